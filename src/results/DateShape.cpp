// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/DateShape.h"
#include <algorithm>

namespace results {

DateShape::DateShape(const QLocale &locale, const QString &pattern) : m_locale(locale)
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
            re +=
                QStringLiteral("((?i)%1|%2)")
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
        i += run;
    }
    re += QLatin1Char('$');
    m_re.setPattern(re);
    m_valid = m_valid && m_re.isValid();
    if (m_valid)
        m_re.optimize();
}

bool DateShape::read(QStringView text, QDate *date, QTime *time) const
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
