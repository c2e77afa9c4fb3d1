// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QStringView>
#include <optional>

// The dates and durations documents store, in every form the formats use, and the years a date may
// have to be shown at all.
namespace word {

// The first and last years a stored date is believed in. Earlier ones are the "never" that writers store
// for a date they do not have (a zero FILETIME lands in 1601, .NET's zero date in year 1); later ones are
// beyond any calendar a program shows.
inline constexpr int kFirstShownYear = 1602;
inline constexpr int kLastShownYear = 9999;
inline bool isShownYear(int year) { return year >= kFirstShownYear && year <= kLastShownYear; }

// W3C date-time (the form OOXML and ODF use): YYYY[-MM[-DD[Thh:mm[:ss[.f]][Z|±hh:mm]]]]. A value with a
// zone (Z or an offset) is a moment; one without is a local reading.
struct ParsedDateTime {
    QDate date;
    QTime time;
    std::optional<int> offsetSeconds; // absent: no zone given, the value is local time
};
std::optional<ParsedDateTime> parseW3cDateTime(QStringView text);

// ISO 8601 duration (PnYnMnDTnHnMnS, as ODF's editing duration) in whole minutes, rounded down.
std::optional<qint64> parseIsoDurationMinutes(QStringView text);

// Dates a document cannot mean: those before 1602 are the "never" that writers store for a date they do
// not have (zero FILETIME, .NET's zero date); those after 9999 are beyond any calendar a program shows.
bool isNeverDate(const QDateTime &utc);

// The moment a FILETIME names (UTC: 100-nanosecond ticks since 1601), invalid for zero and the other
// "never" values.
QDateTime fromFileTime(quint64 ticks);

// A FILETIME used as a duration (the editing time of a binary document), in whole minutes, rounded down.
qint64 fileTimeDurationMinutes(quint64 ticks);

} // namespace word
