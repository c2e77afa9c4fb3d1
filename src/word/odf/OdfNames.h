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

// The elements the text and style readers act on. An element is told apart once, by its namespace and
// its length and then one comparison of its local name, rather than by a comparison against every name
// a reader knows: the parts counted run to thousands of elements, nearly all of them of no interest.
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

inline Element textElement(std::string_view n)
{
    using namespace std::string_view_literals;
    switch (n.size()) {
    case 1:
        return n[0] == 'p' || n[0] == 'h' ? Element::Paragraph
               : n[0] == 's'              ? Element::Blanks
               : n[0] == 'a'              ? Element::Link
                                          : Element::Other;
    case 3:
        return n == "tab"sv ? Element::Tab : Element::Other;
    case 4:
        return n == "span"sv   ? Element::Span
               : n == "list"sv ? Element::List
               : n == "note"sv ? Element::Note
                               : Element::Other;
    case 6:
        return n == "number"sv ? Element::Number : Element::Other;
    case 7:
        return n == "section"sv ? Element::Section : Element::Other;
    case 9:
        return n == "list-item"sv ? Element::ListItem : n == "note-body"sv ? Element::NoteBody : Element::Other;
    case 10:
        return n == "line-break"sv ? Element::LineBreak : n == "list-style"sv ? Element::ListStyle : Element::Other;
    case 11:
        return n == "hidden-text"sv ? Element::HiddenText : Element::Other;
    case 15:
        return n == "tracked-changes"sv ? Element::TrackedChanges : Element::Other;
    case 16:
        return n == "hidden-paragraph"sv ? Element::HiddenParagraph : Element::Other;
    default:
        if (n.substr(0, 17) != "list-level-style-"sv)
            return Element::Other;
        return n == "list-level-style-bullet"sv   ? Element::ListLevelBullet
               : n == "list-level-style-number"sv ? Element::ListLevelNumber
                                                  : Element::ListLevelOther;
    }
}

inline Element styleElement(std::string_view n)
{
    using namespace std::string_view_literals;
    switch (n.size()) {
    case 5:
        return n == "style"sv ? Element::Style : Element::Other;
    case 6:
        return n == "header"sv || n == "footer"sv ? Element::HeaderOrFooter : Element::Other;
    case 11:
        return n == "header-left"sv || n == "footer-left"sv ? Element::HeaderOrFooter : Element::Other;
    case 12:
        return n == "header-first"sv || n == "footer-first"sv ? Element::HeaderOrFooter : Element::Other;
    case 15:
        return n == "text-properties"sv ? Element::TextProperties : Element::Other;
    default:
        return Element::Other;
    }
}

} // namespace detail

inline Element elementOf(const XmlName &e)
{
    using namespace std::string_view_literals;
    const std::string_view n = e.local;
    if (e.ns == kTextNs)
        return detail::textElement(n);
    if (e.ns == kStyleNs)
        return detail::styleElement(n);
    if (e.ns == kOfficeNs)
        return n == "text"sv               ? Element::Text
               : n == "annotation"sv       ? Element::Annotation
               : n == "automatic-styles"sv ? Element::AutomaticStyles
                                           : Element::Other;
    if (e.ns == kDrawNs)
        return n == "frame"sv ? Element::Frame : n == "text-box"sv ? Element::TextBox : Element::Other;
    if (e.ns == kSvgNs)
        return n == "title"sv || n == "desc"sv ? Element::TitleOrDescription : Element::Other;
    return Element::Other;
}

} // namespace word::odf
