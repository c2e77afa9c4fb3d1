// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/DateShape.h"
#include <algorithm>

namespace results {

DateShape::DateShape(const QLocale &locale, const QString &pattern) : m_locale(locale)
{
    QString re = QStringLiteral("^");
    for (qsizetype i = 0; i < pattern.size() && m_valid;)
        i += addPiece(re, pattern, i);
    re += QLatin1Char('$');
    m_re.setPattern(re);
    m_valid = m_valid && m_re.isValid();
    if (m_valid)
        m_re.optimize();
}

// Adds to `re` the piece of the pattern at `i` (a run of one field letter, a quoted literal or other
// characters) and returns its length; a piece the shape cannot read leaves it invalid.
qsizetype DateShape::addPiece(QString &re, const QString &pattern, qsizetype i)
{
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
                  .arg(QRegularExpression::escape(m_locale.amText()), QRegularExpression::escape(m_locale.pmText()));
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
    return run;
}

bool DateShape::readFields(const QRegularExpressionMatch &m, Fields &out) const
{
    for (int f = 0; f < m_fields.size(); ++f) {
        const QStringView v = m.capturedView(f + 1);
        // A one-letter number field is written without a leading zero.
        if (m_unpadded.at(f) && v.size() > 1 && v.front() == QLatin1Char('0'))
            return false;
        switch (m_fields.at(f)) {
        case 'd':
            out.day = v.toInt();
            break;
        case 'M':
            out.month = v.toInt();
            break;
        case 'N':
            out.month = int(m_monthNames.indexOf(v.toString()) % 12) + 1;
            break;
        case 'w':
            out.weekday = int(m_dayNames.indexOf(v.toString()) % 7) + 1;
            break;
        case 'y':
            out.year = v.toInt();
            break;
        case 'H':
            out.hour = v.toInt();
            break;
        case 'h':
            out.hour = v.toInt();
            out.twelveHour = true;
            break;
        case 'm':
            out.minute = v.toInt();
            break;
        case 's':
            out.second = v.toInt();
            break;
        case 'A':
        case 'a':
            if (!readDayPeriod(v, m_fields.at(f) == 'A', out.pm))
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

bool DateShape::readDayPeriod(QStringView v, bool upper, bool &pm) const
{
    const QString am = upper ? m_locale.amText().toUpper() : m_locale.amText().toLower();
    const QString pmText = upper ? m_locale.pmText().toUpper() : m_locale.pmText().toLower();
    if (v != am && v != pmText)
        return false;
    pm = v == pmText;
    return true;
}

bool DateShape::read(QStringView text, QDate *date, QTime *time) const
{
    const QRegularExpressionMatch m = m_re.match(text);
    Fields f;
    if (!m.hasMatch() || !readFields(m, f))
        return false;
    if (f.twelveHour && (m_fields.contains('A') || m_fields.contains('a'))) {
        if (f.hour < 1 || f.hour > 12)
            return false;
        f.hour = f.hour % 12 + (f.pm ? 12 : 0);
    }
    if (date) {
        *date = QDate(f.year, f.month, f.day);
        if (!date->isValid() || (f.weekday != 0 && date->dayOfWeek() != f.weekday))
            return false;
    }
    if (time) {
        *time = QTime(f.hour, f.minute, f.second);
        if (!time->isValid())
            return false;
    }
    return true;
}

void DateShape::addNumber(QString &re, char field, qsizetype digits)
{
    re += digits == 1 ? QStringLiteral("(\\d{1,2})") : QStringLiteral("(\\d{%1})").arg(digits);
    m_fields += field;
    m_unpadded.append(digits == 1);
}

void DateShape::addNames(QString &re, char field, QLocale::FormatType format, bool days)
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

} // namespace results
