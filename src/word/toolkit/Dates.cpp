// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/Dates.h"

namespace word {

namespace {

// Reads exactly `n` digits at `i`.
std::optional<int> digits(QStringView s, qsizetype &i, int n)
{
    if (i + n > s.size())
        return std::nullopt;
    int v = 0;
    for (int k = 0; k < n; ++k) {
        const QChar c = s[i + k];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        v = v * 10 + (c.unicode() - '0');
    }
    i += n;
    return v;
}

bool at(QStringView s, qsizetype i, char c) { return i < s.size() && s[i] == QLatin1Char(c); }

// The calendar date that begins the text: YYYY, YYYY-MM or YYYY-MM-DD (month and day default to 1).
std::optional<QDate> readDate(QStringView s, qsizetype &i)
{
    const auto year = digits(s, i, 4);
    if (!year)
        return std::nullopt;
    int month = 1, day = 1;
    if (at(s, i, '-')) {
        const auto m = digits(s, ++i, 2);
        if (!m)
            return std::nullopt;
        month = *m;
        if (at(s, i, '-')) {
            const auto d = digits(s, ++i, 2);
            if (!d)
                return std::nullopt;
            day = *d;
        }
    }
    const QDate date(*year, month, day);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// Milliseconds of a decimal fraction of a second (after its '.' or ','), digits past the third ignored.
std::optional<int> readFraction(QStringView s, qsizetype &i)
{
    int ms = 0, scale = 100;
    const qsizetype start = i;
    while (i < s.size() && s[i].isDigit()) {
        ms += (s[i].unicode() - '0') * scale;
        scale /= 10;
        ++i;
    }
    return i == start ? std::nullopt : std::optional<int>(ms);
}

// hh:mm, hh:mm:ss or hh:mm:ss.fff into `r`; 24:00 is the end of the day, the start of the next one.
bool readTime(QStringView s, qsizetype &i, ParsedDateTime &r)
{
    const auto h = digits(s, i, 2);
    if (!h || !at(s, i, ':'))
        return false;
    const auto mi = digits(s, ++i, 2);
    if (!mi)
        return false;
    int sec = 0, ms = 0;
    if (at(s, i, ':')) {
        const auto se = digits(s, ++i, 2);
        if (!se)
            return false;
        sec = *se;
        if (at(s, i, '.') || at(s, i, ',')) {
            const auto fraction = readFraction(s, ++i);
            if (!fraction)
                return false;
            ms = *fraction;
        }
    }
    const bool endOfDay = *h == 24 && *mi == 0 && sec == 0 && ms == 0;
    r.time = endOfDay ? QTime(0, 0) : QTime(*h, *mi, sec, ms);
    if (!r.time.isValid())
        return false;
    if (endOfDay)
        r.date = r.date.addDays(1);
    return true;
}

// An optional zone after the time: Z, or +hh:mm, -hhmm, +hh; false when one is there but malformed.
bool readOffset(QStringView s, qsizetype &i, ParsedDateTime &r)
{
    if (at(s, i, 'Z') || at(s, i, 'z')) {
        r.offsetSeconds = 0;
        ++i;
        return true;
    }
    if (!at(s, i, '+') && !at(s, i, '-'))
        return true;
    const int sign = s[i] == QLatin1Char('-') ? -1 : 1;
    const auto oh = digits(s, ++i, 2);
    if (!oh)
        return false;
    int om = 0;
    if (at(s, i, ':'))
        ++i;
    if (i < s.size()) {
        const auto m = digits(s, i, 2);
        if (!m)
            return false;
        om = *m;
    }
    if (*oh > 23 || om > 59)
        return false;
    r.offsetSeconds = sign * (*oh * 3600 + om * 60);
    return true;
}

} // namespace

std::optional<ParsedDateTime> parseW3cDateTime(QStringView text)
{
    const QStringView s = text.trimmed();
    qsizetype i = 0;
    ParsedDateTime r;
    const auto date = readDate(s, i);
    if (!date)
        return std::nullopt;
    r.date = *date;
    r.time = QTime(0, 0);
    if (at(s, i, 'T') || at(s, i, 't') || at(s, i, ' ')) {
        if (!readTime(s, ++i, r) || !readOffset(s, i, r))
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    return r;
}

std::optional<qint64> parseIsoDurationMinutes(QStringView text)
{
    const QStringView s = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && s[i] == QLatin1Char('-')) {
        negative = true;
        ++i;
    }
    if (i >= s.size() || (s[i] != QLatin1Char('P') && s[i] != QLatin1Char('p')))
        return std::nullopt;
    ++i;
    bool inTime = false;
    bool any = false;
    double seconds = 0;
    while (i < s.size()) {
        if (s[i] == QLatin1Char('T') || s[i] == QLatin1Char('t')) {
            inTime = true;
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < s.size() && (s[i].isDigit() || s[i] == QLatin1Char('.') || s[i] == QLatin1Char(',')))
            ++i;
        if (i == start || i >= s.size() || i - start > 18)
            return std::nullopt;
        bool ok = false;
        const double n = s.mid(start, i - start).toString().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok)
            return std::nullopt;
        const QChar unit = s[i].toUpper();
        ++i;
        any = true;
        if (!inTime) {
            if (unit == QLatin1Char('Y'))
                seconds += n * 365 * 86400;
            else if (unit == QLatin1Char('M'))
                seconds += n * 30 * 86400;
            else if (unit == QLatin1Char('W'))
                seconds += n * 7 * 86400;
            else if (unit == QLatin1Char('D'))
                seconds += n * 86400;
            else
                return std::nullopt;
        } else {
            if (unit == QLatin1Char('H'))
                seconds += n * 3600;
            else if (unit == QLatin1Char('M'))
                seconds += n * 60;
            else if (unit == QLatin1Char('S'))
                seconds += n;
            else
                return std::nullopt;
        }
    }
    if (!any || seconds > 9.0e15)
        return std::nullopt;
    const auto minutes = static_cast<qint64>(seconds / 60.0 + 1e-9);
    return negative ? -minutes : minutes;
}

bool isNeverDate(const QDateTime &utc)
{
    static const QDateTime firstReal(QDate(kFirstShownYear, 1, 1), QTime(0, 0), Qt::UTC);
    static const QDateTime pastLast(QDate(kLastShownYear + 1, 1, 1), QTime(0, 0), Qt::UTC);
    return utc < firstReal || utc >= pastLast;
}

QDateTime fromFileTime(quint64 ticks)
{
    constexpr quint64 kEpochDelta = 116444736000000000ull; // 1601-01-01 to 1970-01-01 in 100 ns ticks
    const qint64 ms = ticks >= kEpochDelta ? static_cast<qint64>((ticks - kEpochDelta) / 10000)
                                           : -static_cast<qint64>((kEpochDelta - ticks) / 10000);
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    if (!utc.isValid() || isNeverDate(utc))
        return {};
    return utc;
}

qint64 fileTimeDurationMinutes(quint64 ticks)
{
    constexpr quint64 kTicksPerMinute = 600000000ull;
    return static_cast<qint64>(ticks / kTicksPerMinute);
}

} // namespace word
