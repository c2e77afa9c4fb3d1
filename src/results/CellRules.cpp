// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How the workbook export types its cells. Kept apart from the workbook writer so the rules are plain
// functions of value, text and locale.
#include "results/CellRules.h"
#include "results/DateShape.h"
#include "results/DisplayPatterns.h"

namespace results {

namespace {

bool hasFourDigitYear(const QString &text)
{
    int run = 0;
    for (const QChar ch : text) {
        run = (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) ? run + 1 : 0;
        if (run == 4)
            return true;
    }
    return false;
}

} // namespace

CellReader::CellReader(const QLocale &locale)
    : m_locale(locale), m_datePattern(displayPatterns(locale).date), m_timePattern(displayPatterns(locale).time),
      m_decimalPoint(locale.decimalPoint()), m_dateShape(std::make_unique<DateShape>(locale, m_datePattern)),
      m_timeShape(std::make_unique<DateShape>(locale, m_timePattern))
{
    // A long sample shows how the locale's date-times begin and how long they get; it lets most
    // texts be turned away before the comparatively slow parse.
    const QString sample = m_locale.toString(QDate(2000, 12, 28), m_datePattern) + QLatin1Char(' ')
                           + m_locale.toString(QTime(23, 59, 59), m_timePattern);
    m_dateStartsWithDigit = !sample.isEmpty() && sample.at(0).isDigit();
    m_maxDateLength = sample.size() + 16; // month and day names differ in length
}

CellReader::~CellReader() = default;

bool CellReader::number(const QString &text, double &value) const
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && text.at(i) == QLatin1Char('-'))
        ++i;
    const qsizetype intStart = i;
    while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128)
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && text.at(intStart) == QLatin1Char('0')))
        return false;
    qsizetype fracDigits = 0;
    if (i < n) {
        if (!QStringView(text).mid(i).startsWith(m_decimalPoint) || m_decimalPoint.isEmpty())
            return false;
        i += m_decimalPoint.size();
        const qsizetype fracStart = i;
        while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128)
            ++i;
        fracDigits = i - fracStart;
        if (i != n || fracDigits == 0 || text.at(n - 1) == QLatin1Char('0'))
            return false;
    }
    if (intDigits + fracDigits > MaxExactDigits)
        return false;
    const bool negative = intStart == 1;
    if (negative && intDigits == 1 && text.at(intStart) == QLatin1Char('0') && fracDigits == 0)
        return false; // "-0" would come back as 0
    QString plain = text.mid(intStart, intDigits);
    if (fracDigits > 0)
        plain += QLatin1Char('.') + text.right(fracDigits);
    bool ok = false;
    value = plain.toDouble(&ok);
    if (negative)
        value = -value;
    return ok;
}

bool CellReader::dateTime(const QString &text, QDate &date, QTime &time, bool &dateOnly) const
{
    if (text.isEmpty() || text.size() > m_maxDateLength || text.at(0).isDigit() != m_dateStartsWithDigit
        || !text.at(0).isLetterOrNumber() || !hasFourDigitYear(text))
        return false;
    if (!m_dateShape->valid() || !m_timeShape->valid())
        return false;
    if (m_dateShape->read(text, &date, nullptr)) {
        dateOnly = true;
        time = QTime(0, 0);
    } else {
        // The time has as many blanks as its pattern; the one before it separates it from the date.
        const qsizetype blanks = m_timePattern.count(QLatin1Char(' '));
        qsizetype split = text.size();
        for (qsizetype n = 0; n <= blanks && split > 0; ++n)
            split = text.lastIndexOf(QLatin1Char(' '), split - 1);
        if (split <= 0)
            return false;
        if (!m_dateShape->read(QStringView(text).left(split), &date, nullptr)
            || !m_timeShape->read(QStringView(text).mid(split + 1), nullptr, &time))
            return false;
        if (time == QTime(0, 0))
            return false; // the program writes midnight as the date alone
        dateOnly = false;
    }
    return date.year() >= 1900 && date.year() <= 9999; // the sheet's calendar starts in 1900
}

SheetCell CellReader::read(const QString &text) const
{
    if (text.size() > SheetCell::MaxChars)
        throw SheetCell::tooLong(text.size());
    SheetCell cell = SheetCell::plain(text);
    bool dateOnly = false;
    if (number(text, cell.number))
        cell.kind = SheetCell::Kind::Number;
    else if (dateTime(text, cell.date, cell.time, dateOnly))
        cell.kind = dateOnly ? SheetCell::Kind::Date : SheetCell::Kind::DateTime;
    return cell;
}

SheetCell typedCell(const TypedValue &value, const QString &text)
{
    if (text.size() > SheetCell::MaxChars)
        throw SheetCell::tooLong(text.size());
    SheetCell cell = SheetCell::plain(text);
    switch (value.kind) {
    case TypedValue::Kind::Text:
        break;
    case TypedValue::Kind::Number: {
        // Beyond 15 digits a number cell would no longer hold the number exactly.
        constexpr qint64 ExactLimit = 1000000000000000LL;
        if (value.number <= -ExactLimit || value.number >= ExactLimit)
            break;
        cell.kind = SheetCell::Kind::Number;
        cell.number = double(value.number);
        break;
    }
    case TypedValue::Kind::DateTime: {
        if (!value.date.isValid() || value.date.year() < 1900 || value.date.year() > 9999)
            break;
        cell.date = value.date;
        // The text shows whole seconds, and so does the cell: a spreadsheet would round the rest up.
        const QTime time = value.time.isValid() ? value.time : QTime(0, 0);
        cell.time = QTime(time.hour(), time.minute(), time.second());
        cell.kind = time == QTime(0, 0) ? SheetCell::Kind::Date : SheetCell::Kind::DateTime;
        break;
    }
    }
    return cell;
}

SheetCell valueCell(const CellReader &reader, QStringView text, const TypedValue &value)
{
    const QString shown = sheetValue(text);
    if (value.kind == TypedValue::Kind::Text)
        return reader.read(shown);
    return typedCell(value, shown);
}

SheetDateFormats sheetDateFormats(const QLocale &locale)
{
    const DisplayPatterns patterns = displayPatterns(locale);
    return {patterns.date, patterns.dateTime()};
}

QString sheetValue(QStringView valueText)
{
    QString v = valueText.toString();
    v.remove(QLatin1Char('='));
    return v;
}

} // namespace results
