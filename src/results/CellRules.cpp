// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How the workbook export types its cells. Kept apart from the workbook writer so the rules are plain
// functions of text and locale.
#include "results/CellRules.h"
#include "word/DisplayPatterns.h"
#include "word/PropertyValue.h"
#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>

namespace results {

// Recognises texts written with one date or time pattern of a locale. Qt's own parser goes through the
// local time zone on every call (and so does its formatting of a date), which costs a file-system check
// each time: some 18 microseconds a cell, seven seconds for a 100,000-row export. The pattern is therefore
// turned once into a regular expression, and the matched fields are checked to be exactly what the
// pattern writes (padding, names, range).
class DateShape {
public:
    DateShape(const QLocale &locale, const QString &pattern) : m_locale(locale)
    {
        QString re = QStringLiteral("^");
        for (qsizetype i = 0; i < pattern.size() && m_valid;) {
            const QChar ch = pattern.at(i);
            qsizetype run = 1;
            while (i + run < pattern.size() && pattern.at(i + run) == ch)
                ++run;
            switch (ch.toLatin1()) {
            case 'd':
                if (run <= 2)
                    addNumber(re, 'd', run);
                else
                    addNames(re, 'w', run == 3 ? QLocale::ShortFormat : QLocale::LongFormat, true);
                break;
            case 'M':
                if (run <= 2)
                    addNumber(re, 'M', run);
                else
                    addNames(re, 'N', run == 3 ? QLocale::ShortFormat : QLocale::LongFormat, false);
                break;
            case 'y':
                if (run == 4)
                    addNumber(re, 'y', 4);
                else
                    m_valid = false; // two-digit years are never written by the program
                break;
            case 'H':
            case 'h':
            case 'm':
            case 's':
                addNumber(re, ch.toLatin1(), std::min<qsizetype>(run, 2));
                break;
            case 'A':
            case 'a':
                re += QStringLiteral("((?i)%1|%2)")
                          .arg(QRegularExpression::escape(m_locale.amText()),
                               QRegularExpression::escape(m_locale.pmText()));
                // Qt writes "AP" in capitals and "ap" in small letters.
                m_fields += ch == QLatin1Char('A') ? 'A' : 'a';
                m_unpadded.append(false);
                if (i + 1 < pattern.size() && pattern.at(i + 1).toLower() == QLatin1Char('p'))
                    run = 2;
                break;
            case '\'': {
                const qsizetype close = pattern.indexOf(QLatin1Char('\''), i + 1);
                if (close < 0) {
                    m_valid = false;
                    break;
                }
                re += QRegularExpression::escape(pattern.mid(i + 1, close - i - 1));
                run = close - i + 1;
                break;
            }
            default:
                if (ch.isLetter())
                    m_valid = false; // a field this shape does not know
                else
                    re += QRegularExpression::escape(QString(run, ch));
                break;
            }
            i += run;
        }
        re += QLatin1Char('$');
        m_re.setPattern(re);
        m_valid = m_valid && m_re.isValid();
        if (m_valid)
            m_re.optimize();
    }

    bool valid() const { return m_valid; }

    // Fills date and/or time from the text; true when it is exactly what the pattern writes.
    bool read(QStringView text, QDate *date, QTime *time) const
    {
        const QRegularExpressionMatch m = m_re.match(text);
        if (!m.hasMatch())
            return false;
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, weekday = 0;
        bool twelveHour = false, pm = false;
        for (int f = 0; f < m_fields.size(); ++f) {
            const QStringView v = m.capturedView(f + 1);
            // A one-letter number field is written without a leading zero.
            if (m_unpadded.at(f) && v.size() > 1 && v.front() == QLatin1Char('0'))
                return false;
            switch (m_fields.at(f)) {
            case 'd':
                day = v.toInt();
                break;
            case 'M':
                month = v.toInt();
                break;
            case 'N':
                month = int(m_monthNames.indexOf(v.toString()) % 12) + 1;
                break;
            case 'w':
                weekday = int(m_dayNames.indexOf(v.toString()) % 7) + 1;
                break;
            case 'y':
                year = v.toInt();
                break;
            case 'H':
                hour = v.toInt();
                break;
            case 'h':
                hour = v.toInt();
                twelveHour = true;
                break;
            case 'm':
                minute = v.toInt();
                break;
            case 's':
                second = v.toInt();
                break;
            case 'A':
            case 'a': {
                const bool upper = m_fields.at(f) == 'A';
                const QString am = upper ? m_locale.amText().toUpper() : m_locale.amText().toLower();
                const QString pmText = upper ? m_locale.pmText().toUpper() : m_locale.pmText().toLower();
                if (v != am && v != pmText)
                    return false;
                pm = v == pmText;
                break;
            }
            default:
                break;
            }
        }
        if (twelveHour && (m_fields.contains('A') || m_fields.contains('a'))) {
            if (hour < 1 || hour > 12)
                return false;
            hour = hour % 12 + (pm ? 12 : 0);
        }
        if (date) {
            *date = QDate(year, month, day);
            if (!date->isValid() || (weekday != 0 && date->dayOfWeek() != weekday))
                return false;
        }
        if (time) {
            *time = QTime(hour, minute, second);
            if (!time->isValid())
                return false;
        }
        return true;
    }

private:
    void addNumber(QString &re, char field, qsizetype digits)
    {
        re += digits == 1 ? QStringLiteral("(\\d{1,2})") : QStringLiteral("(\\d{%1})").arg(digits);
        m_fields += field;
        m_unpadded.append(digits == 1);
    }
    void addNames(QString &re, char field, QLocale::FormatType format, bool days)
    {
        QStringList names;
        for (int n = 1; n <= (days ? 7 : 12); ++n)
            names << (days ? m_locale.dayName(n, format) : m_locale.monthName(n, format));
        (days ? m_dayNames : m_monthNames) += names;
        QStringList escaped;
        for (const QString &name : names)
            escaped << QRegularExpression::escape(name);
        re += QLatin1Char('(') + escaped.join(QLatin1Char('|')) + QLatin1Char(')');
        m_fields += field;
        m_unpadded.append(false);
    }

    QLocale m_locale;
    QRegularExpression m_re;
    QByteArray m_fields;    // what each capture group holds
    QList<bool> m_unpadded; // per group: a number written without leading zero
    QStringList m_monthNames;
    QStringList m_dayNames;
    bool m_valid = true;
};

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
    : m_locale(locale), m_datePattern(word::displayPatterns(locale).date),
      m_timePattern(word::displayPatterns(locale).time), m_decimalPoint(locale.decimalPoint()),
      m_dateShape(std::make_unique<DateShape>(locale, m_datePattern)),
      m_timeShape(std::make_unique<DateShape>(locale, m_timePattern))
{
    // A long sample shows how the locale's date-times begin and how long they get; it lets most
    // texts be turned away before the comparatively slow parse.
    const QString sample =
        word::PropertyValue::dateTime(QDateTime(QDate(2000, 12, 28), QTime(23, 59, 59))).toText(m_locale);
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

std::optional<SheetCell> typedCell(const TypedValue &value, const QString &text)
{
    if (text.size() > SheetCell::MaxChars)
        throw SheetCell::tooLong(text.size());
    SheetCell cell = SheetCell::plain(text);
    switch (value.kind) {
    case TypedValue::Kind::Text:
        return std::nullopt;
    case TypedValue::Kind::Number: {
        // Beyond 15 digits a number cell would no longer hold the number exactly.
        constexpr qint64 ExactLimit = 1000000000000000LL;
        if (value.number <= -ExactLimit || value.number >= ExactLimit)
            return std::nullopt;
        cell.kind = SheetCell::Kind::Number;
        cell.number = double(value.number);
        return cell;
    }
    case TypedValue::Kind::DateTime: {
        if (!value.date.isValid() || value.date.year() < 1900 || value.date.year() > 9999)
            return std::nullopt;
        cell.date = value.date;
        // The text shows whole seconds, and so does the cell: a spreadsheet would round the rest up.
        const QTime time = value.time.isValid() ? value.time : QTime(0, 0);
        cell.time = QTime(time.hour(), time.minute(), time.second());
        cell.kind = time == QTime(0, 0) ? SheetCell::Kind::Date : SheetCell::Kind::DateTime;
        return cell;
    }
    }
    return std::nullopt;
}

QString sheetValue(QStringView valueText)
{
    QString v = valueText.toString();
    v.remove(QLatin1Char('='));
    return v;
}

} // namespace results
