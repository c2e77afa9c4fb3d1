// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Spreadsheet.h"
#include "results/TypedValue.h"
#include <QLocale>
#include <QString>
#include <QStringView>
#include <memory>

namespace results {

// Digits a cell's number keeps exactly; longer digit strings stay text so nothing is lost.
constexpr int MaxExactDigits = 15;

class DateShape;

// Reads texts that stand for themselves (paths, headers, text properties, "Not set") as the spreadsheet
// program would when they are typed into a cell: a plain number of the locale or a date-time exactly as
// this program writes one becomes a typed cell, anything else stays text. Values the engine typed never
// come here (valueCell). Built once per export, since preparing the locale's date shapes is the costly
// part.
class CellReader {
public:
    explicit CellReader(const QLocale &locale);
    ~CellReader();
    CellReader(const CellReader &) = delete;
    CellReader &operator=(const CellReader &) = delete;

    // The typed cell for `text`. Throws RuntimeError (1004) for a text longer than a cell holds.
    SheetCell read(const QString &text) const;

    // A plain number: optional minus, digits without needless leading zeros, optionally the locale's
    // decimal point and digits without trailing zeros, at most 15 digits in all. Anything that would not
    // read back the same from a number cell stays text.
    bool number(const QString &text, double &value) const;

    // A date-time exactly as the program writes one in this locale: the short date with a four-digit
    // year, a blank and the long time, or the date alone for midnight. dateOnly tells which.
    bool dateTime(const QString &text, QDate &date, QTime &time, bool &dateOnly) const;

private:
    QLocale m_locale;
    bool m_dateStartsWithDigit = true;
    qsizetype m_maxDateLength = 64;
    QString m_datePattern;
    QString m_timePattern;
    QString m_decimalPoint;
    std::unique_ptr<DateShape> m_dateShape;
    std::unique_ptr<DateShape> m_timeShape;
};

// The cell for a value the engine typed, shown as `text`: a number cell for a whole number the sheet
// holds exactly, a date cell for a date-time within the sheet's calendar (1900 to 9999), dated alone at
// midnight as the text is. Anything else goes in as its text. Never reads the text.
SheetCell typedCell(const TypedValue &value, const QString &text);

// The cell for a value of the results table: from its typed value where the engine gave one, otherwise
// from its text as typed in; "=" signs are removed first (sheetValue). Throws RuntimeError (1004) for a
// text longer than a cell holds.
SheetCell valueCell(const CellReader &reader, QStringView text, const TypedValue &value);

// Date cells show as the program writes date-times in this locale.
SheetDateFormats sheetDateFormats(const QLocale &locale);

// A value text as it goes into the sheet: every "=" removed, so that nothing is taken for a formula.
QString sheetValue(QStringView valueText);

} // namespace results
