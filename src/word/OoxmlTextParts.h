// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/WordListNumbering.h"
#include <QString>
#include <QStringList>

namespace word {

class ZipArchive;

// The parts of an Office Open XML document that its main part relates to and that counting its text
// needs: the numbering definitions and styles (for list labels), and the other stories (headers, footers,
// footnotes, endnotes), which some word processors include in their counts.
struct OoxmlTextParts {
    QString numbering;
    QString styles;
    QStringList otherStories; // in the order the relationships list them
};

// Read from the main part's relationships (word/_rels/document.xml.rels for word/document.xml); a missing
// or unreadable relationships part gives none.
OoxmlTextParts readOoxmlTextParts(const ZipArchive &zip, const QString &mainPart);

// The numbering definitions and the numbering of paragraph styles, from the two parts (each may be empty).
// `directNumbering`: the main text numbers paragraphs itself (w:numPr); when neither it nor a style does,
// the definitions are not read at all. Throws DamagedContent when a part is too large or not
// well-formed: its labels would be wrong.
WordListNumbering readWordListNumbering(const ZipArchive &zip, const OoxmlTextParts &parts, bool directNumbering);

} // namespace word
