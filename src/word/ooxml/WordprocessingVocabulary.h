// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/toolkit/XmlParser.h"
#include <QString>
#include <string_view>

// The WordprocessingML vocabulary that Office Open XML and Word 2003 XML share, as the text counter
// reads it: the namespaces, the subtrees that are not text, on/off and value attributes, symbols.
namespace word::wordml {

inline constexpr std::string_view kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr std::string_view kStrictWordNs = "http://purl.oclc.org/ooxml/wordprocessingml/main";
inline constexpr std::string_view kWord2003Ns = "http://schemas.microsoft.com/office/word/2003/wordml";
inline constexpr std::string_view kCompatibilityNs = "http://schemas.openxmlformats.org/markup-compatibility/2006";
inline constexpr std::string_view kAmlNs = "http://schemas.microsoft.com/aml/2001/core";
inline constexpr std::string_view kAuxHintNs = "http://schemas.microsoft.com/office/word/2003/auxHint";
inline constexpr std::string_view kDrawingNs = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";

// The main vocabulary, in any of its three namespaces (transitional, strict, Word 2003). Inline: asked
// once for every element of the text.
inline bool isWordNamespace(std::string_view ns) { return ns == kWordNs || ns == kStrictWordNs || ns == kWord2003Ns; }
// Subtrees outside the main story or not part of the text: notes and headers written inline (Word 2003
// XML), text moved away in a tracked change, and the fallback copy of content given twice for older
// readers (a text box's text appears in both the choice and the fallback).
// `storyPart`: a header, footer or notes part is being counted, whose own root is one of those.
// `word`: isWordNamespace(e.ns), which the caller has worked out already.
// Inline: asked for every element of the text.
inline bool skipsSubtree(const XmlName &e, const XmlAttributes &a, bool word, bool storyPart)
{
    using namespace std::string_view_literals;
    const std::string_view name = e.local;
    if (e.ns == kCompatibilityNs)
        return name == "Fallback"sv;
    if (e.is(kAmlNs, "annotation"sv))
        return a.value(kWord2003Ns, "type"sv) == "Word.Comment"sv;
    if (!word)
        return false;
    if (name == "moveFrom"sv)
        return true;
    return !storyPart && (name == "footnote"sv || name == "endnote"sv || name == "hdr"sv || name == "ftr"sv);
}
// An on/off property (w:vanish and the like): on unless its value says 0, false or off.
bool isOn(const XmlAttributes &a);
// The w:val of an element, in whatever namespace it is written.
QString valueOf(const XmlAttributes &a);
// The character a w:sym stands for (a symbol font's code, usually in the private use area).
char16_t symbolCharacter(const XmlAttributes &a);

} // namespace word::wordml
