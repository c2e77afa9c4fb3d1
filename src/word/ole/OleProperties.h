// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/DocumentData.h"
#include "word/ReadOptions.h"
#include "word/ole/PropertySet.h"
#include <QString>
#include <vector>

namespace word {

// Whether the caller asks for a property the Summary Information stream holds; or for a count, which is
// counted by the rules of the application that stream names when the document lacks it.
bool needsSummaryInformation(const ReadOptions &options);
// Whether the caller asks for a property the Document Summary Information stream holds.
bool needsDocumentSummaryInformation(const ReadOptions &options);

// Sets on `d` the built-in properties the Summary Information stream holds (its own section, or else its
// first); returns the name of the application that wrote the document, whose way of counting the stored
// counts follow (empty when it names none).
QString takeSummaryInformation(DocumentData &d, const std::vector<OleSection> &sections);
// The same for the Document Summary Information stream, with Hyperlink Base from its user-defined section.
void takeDocumentSummaryInformation(DocumentData &d, const std::vector<OleSection> &sections);

} // namespace word
