// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringView>
#include <string_view>

namespace word {

// How a list level writes its number. Formats this program does not know are written in decimal, which
// has the same number of words as nearly every other numbering system.
enum class ListNumberFormat {
    Decimal,
    DecimalZero, // 01, 02 ... 10
    UpperRoman,
    LowerRoman,
    UpperLetter, // A ... Z, AA ... ZZ (Word) or AA, AB (the office suites)
    LowerLetter,
    Ordinal,      // 1st, 2nd
    CardinalText, // One, Two
    OrdinalText,  // First, Second
    Bullet,       // the level's text is the bullet itself
    None,         // no number
};

// Word's w:numFmt values (OOXML numbering, Word 2003 XML).
ListNumberFormat listFormatFromWordName(QStringView name);
// ODF's style:num-format values: "1", "a", "A", "i", "I", and "" for none.
ListNumberFormat listFormatFromOdf(QStringView format);
// The same, from UTF-8 (an attribute value as the XML parser gives it).
ListNumberFormat listFormatFromOdf(std::string_view format);
// Word binary and RTF number format codes (nfc): 0 decimal, 1 upper roman, 2 lower roman, 3 upper letter,
// 4 lower letter, 5 ordinal, 6 cardinal text, 7 ordinal text, 22 leading zero, 23 bullet, 255 none.
ListNumberFormat listFormatFromCode(int nfc);

// `n` written in `format` (Bullet and None give an empty text).
QString listNumberText(qint64 n, ListNumberFormat format);

} // namespace word
