// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/toolkit/XmlNamespaces.h"
#include <QString>
#include <string_view>

// The OpenDocument namespaces the text and style readers look for.
namespace word::odf {

inline constexpr std::string_view kTextNs = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
inline constexpr std::string_view kOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
inline constexpr std::string_view kStyleNs = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
inline constexpr std::string_view kSvgNs = "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0";
inline constexpr std::string_view kDrawNs = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0";

// An attribute's value as text.
inline QString text(std::string_view v) { return QString::fromUtf8(v.data(), qsizetype(v.size())); }

// The elements the text and style readers act on. An element is told apart once, by the length of its
// local name and then one comparison of it, and only then of its namespace, rather than by comparisons
// against every name a reader knows: the parts counted run to thousands of elements, nearly all of them of
// no interest.
enum class Element : unsigned char {
    Other,
    // office:
    Annotation,
    Text, // office:text, the body's text
    AutomaticStyles,
    // text:
    Note,
    TrackedChanges,
    Number, // a label written out by the writer
    HiddenText,
    HiddenParagraph,
    Section,
    Span,
    Link, // text:a
    NoteBody,
    List,
    ListItem,
    Paragraph, // text:p and text:h
    Blanks,    // text:s
    Tab,
    LineBreak,
    ListStyle,
    ListLevelBullet,
    ListLevelNumber,
    ListLevelOther, // another text:list-level-style-… (a picture as bullet)
    // svg:
    TitleOrDescription,
    // draw:
    Frame,
    TextBox,
    // style:
    Style,
    TextProperties,
    HeaderOrFooter, // the six kinds of header and footer of a master page
};

namespace detail {

// The element a local name would be, and the namespace it must then be in.
struct Candidate {
    Element element = Element::Other;
    std::string_view ns;
};

inline Candidate candidateOf(std::string_view n)
{
    using namespace std::string_view_literals;
    switch (n.size()) {
    case 1:
        switch (n[0]) {
        case 'p':
        case 'h':
            return {Element::Paragraph, kTextNs};
        case 's':
            return {Element::Blanks, kTextNs};
        case 'a':
            return {Element::Link, kTextNs};
        default:
            return {};
        }
    case 3:
        return n == "tab"sv ? Candidate{Element::Tab, kTextNs} : Candidate{};
    case 4:
        if (n == "span"sv)
            return {Element::Span, kTextNs};
        if (n == "list"sv)
            return {Element::List, kTextNs};
        if (n == "text"sv)
            return {Element::Text, kOfficeNs};
        if (n == "note"sv)
            return {Element::Note, kTextNs};
        if (n == "desc"sv)
            return {Element::TitleOrDescription, kSvgNs};
        return {};
    case 5:
        if (n == "style"sv)
            return {Element::Style, kStyleNs};
        if (n == "frame"sv)
            return {Element::Frame, kDrawNs};
        if (n == "title"sv)
            return {Element::TitleOrDescription, kSvgNs};
        return {};
    case 6:
        if (n == "number"sv)
            return {Element::Number, kTextNs};
        if (n == "header"sv || n == "footer"sv)
            return {Element::HeaderOrFooter, kStyleNs};
        return {};
    case 7:
        return n == "section"sv ? Candidate{Element::Section, kTextNs} : Candidate{};
    case 8:
        return n == "text-box"sv ? Candidate{Element::TextBox, kDrawNs} : Candidate{};
    case 9:
        if (n == "list-item"sv)
            return {Element::ListItem, kTextNs};
        if (n == "note-body"sv)
            return {Element::NoteBody, kTextNs};
        return {};
    case 10:
        if (n == "line-break"sv)
            return {Element::LineBreak, kTextNs};
        if (n == "list-style"sv)
            return {Element::ListStyle, kTextNs};
        if (n == "annotation"sv)
            return {Element::Annotation, kOfficeNs};
        return {};
    case 11:
        if (n == "hidden-text"sv)
            return {Element::HiddenText, kTextNs};
        if (n == "header-left"sv || n == "footer-left"sv)
            return {Element::HeaderOrFooter, kStyleNs};
        return {};
    case 12:
        return n == "header-first"sv || n == "footer-first"sv ? Candidate{Element::HeaderOrFooter, kStyleNs}
                                                              : Candidate{};
    case 15:
        if (n == "text-properties"sv)
            return {Element::TextProperties, kStyleNs};
        if (n == "tracked-changes"sv)
            return {Element::TrackedChanges, kTextNs};
        return {};
    case 16:
        if (n == "hidden-paragraph"sv)
            return {Element::HiddenParagraph, kTextNs};
        if (n == "automatic-styles"sv)
            return {Element::AutomaticStyles, kOfficeNs};
        return {};
    default:
        if (n.substr(0, 17) != "list-level-style-"sv)
            return {};
        return {n == "list-level-style-bullet"sv   ? Element::ListLevelBullet
                : n == "list-level-style-number"sv ? Element::ListLevelNumber
                                                   : Element::ListLevelOther,
                kTextNs};
    }
}

} // namespace detail

inline Element elementOf(const XmlName &e)
{
    const detail::Candidate c = detail::candidateOf(e.local);
    return c.element != Element::Other && e.ns == c.ns ? c.element : Element::Other;
}

} // namespace word::odf
