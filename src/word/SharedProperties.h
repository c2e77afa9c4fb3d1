// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/DocumentData.h"
#include <string_view>

// Properties that several XML formats store under the same names, each read by one function so that the
// formats cannot come to disagree about them.
namespace word {

class XmlField;

// How a format writes the text of an element: OOXML escapes characters XML cannot carry as _xHHHH_.
enum class XmlText { AsWritten, OoxmlEscaped };

// The names one format gives the three dates (created, last saved, last printed).
struct DateElementNames {
    std::string_view created;
    std::string_view saved;
    std::string_view printed;
};

// Title, subject and description (Dublin Core in OOXML's core part and ODF's meta.xml) and the three
// dates under `dates`, by the field's local name. Returns false when the field is none of them.
bool setCoreProperty(DocumentData &d, const XmlField &field, const DateElementNames &dates, XmlText encoding);

// The eleven application properties and statistics OOXML's app.xml and Word 2003 XML share: Template,
// Company, Manager, HyperlinkBase, TotalTime, Pages, Words, Characters, CharactersWithSpaces, Lines,
// Paragraphs. Counts that are not whole numbers are left unset. Returns false for any other name.
bool setApplicationProperty(DocumentData &d, const XmlField &field, XmlText encoding);

} // namespace word
