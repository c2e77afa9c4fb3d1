// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/DocumentData.h"
#include "word/EngineLog.h"
#include "word/toolkit/Dates.h"
#include <QTimeZone>

namespace word {

namespace {
// The word processor's dates have a resolution of one second.
QDateTime wholeSeconds(const QDateTime &dt)
{
    const QTime t = dt.time();
    return t.msec() == 0 ? dt : dt.addMSecs(-t.msec());
}

// Dates before 1602 are the formats' way of writing "never"; after 9999 none can be shown. `stated` is
// empty when the reader already found the stored value to mean "never" (a zero FILETIME).
void noteOutOfRange(Builtin id, const QString &stated)
{
    const QLatin1String name(builtinInfo(id).name);
    if (stated.isEmpty())
        noteSkipped(QStringLiteral("its %1 is stored as \"never\" and is taken as not set").arg(name));
    else
        noteSkipped(QStringLiteral("its %1 (%2) lies outside %3 to %4 and is taken as not set")
                        .arg(name, stated)
                        .arg(kFirstShownYear)
                        .arg(kLastShownYear));
}

// The system's time zone, looked up once per thread. Converting through it avoids the C library's
// localtime, which re-examines the zone file on every call.
const QTimeZone &localZone()
{
    thread_local const QTimeZone zone = QTimeZone::systemTimeZone();
    return zone;
}

// 1600-01-01T00:00Z in milliseconds since 1970: before the first moment a document's date can name (a
// zero FILETIME lands just after it).
constexpr qint64 kEarliestMoment = -11676096000000;

// The local offset when it is the same at every moment a document can name, as on a machine kept in UTC:
// asking the zone for each date then costs more than reading the date.
std::optional<int> fixedLocalOffset()
{
    thread_local const std::optional<int> offset = []() -> std::optional<int> {
        const QTimeZone &zone = localZone();
        if (!zone.isValid())
            return std::nullopt;
        const QDateTime earliest = QDateTime::fromMSecsSinceEpoch(kEarliestMoment, Qt::UTC);
        if (zone.nextTransition(earliest).atUtc.isValid())
            return std::nullopt;
        return zone.offsetFromUtc(earliest);
    }();
    return offset;
}

// A date and time as read at UTC, in milliseconds since 1970.
qint64 millisecondsSince1970(QDate date, QTime time)
{
    constexpr qint64 kJulianDayOf1970 = 2440588;
    constexpr qint64 kMSecsPerDay = 86400000;
    return (date.toJulianDay() - kJulianDayOf1970) * kMSecsPerDay + time.msecsSinceStartOfDay();
}

} // namespace

QDateTime toLocalDisplay(const QDateTime &instant)
{
    const QDateTime moment = wholeSeconds(instant);
    if (const std::optional<int> fixed = fixedLocalOffset(); fixed && moment.toMSecsSinceEpoch() >= kEarliestMoment)
        return moment.toOffsetFromUtc(*fixed);
    const QTimeZone &zone = localZone();
    // The zone's offset at that moment, asked of the zone directly: the same result as converting into the
    // zone and reading the offset back, without making the zoned date first.
    if (zone.isValid())
        return moment.toOffsetFromUtc(zone.offsetFromUtc(moment));
    const QDateTime local = moment.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc());
}

void DocumentData::setText(Builtin id, const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    values[static_cast<int>(id)] = PropertyValue::text(nul < 0 ? text : text.left(nul));
}

void DocumentData::setInstant(Builtin id, const QDateTime &instant)
{
    if (instant.isValid() && !isNeverDate(instant.toUTC()))
        values[static_cast<int>(id)] = PropertyValue::dateTime(toLocalDisplay(instant));
    else
        noteOutOfRange(id, instant.toUTC().toString(Qt::ISODate));
}

void DocumentData::setLocal(Builtin id, QDate date, QTime time)
{
    const QTime seconds(time.hour(), time.minute(), time.second());
    // Where the local offset never changes, the reading is that many seconds off UTC: no zone is asked.
    if (const std::optional<int> fixed = fixedLocalOffset();
        fixed && date.isValid() && seconds.isValid() && isShownYear(date.year())) {
        const qint64 moment = millisecondsSince1970(date, seconds) - qint64(*fixed) * 1000;
        values[static_cast<int>(id)] = PropertyValue::zonelessDateTime(
            QDateTime::fromMSecsSinceEpoch(moment, Qt::OffsetFromUTC, *fixed), date, seconds);
        return;
    }
    const QTimeZone &zone = localZone();
    auto make = [&](QTime t) { return zone.isValid() ? QDateTime(date, t, zone) : QDateTime(date, t, Qt::LocalTime); };
    QDateTime local = make(seconds);
    if (!local.isValid() && date.isValid() && seconds.isValid())
        local = make(seconds.addSecs(3600)); // inside the hour skipped by a clock change
    // Judged by the date as written, the way the user reads it.
    if (local.isValid() && isShownYear(date.year()))
        values[static_cast<int>(id)] =
            PropertyValue::zonelessDateTime(local.toOffsetFromUtc(local.offsetFromUtc()), date, seconds);
    else
        noteOutOfRange(id, date.toString(Qt::ISODate));
}

void noteUnreadable(Builtin id, QStringView stated)
{
    const QStringView trimmed = stated.trimmed();
    if (trimmed.isEmpty())
        return;
    constexpr qsizetype kShown = 40; // enough to recognise the value without flooding the log
    const QString shown =
        trimmed.size() > kShown ? trimmed.left(kShown).toString() + QStringLiteral("...") : trimmed.toString();
    noteSkipped(QStringLiteral("its %1 is stored as \"%2\", which this program cannot read; it is taken as not set")
                    .arg(QLatin1String(builtinInfo(id).name), shown));
}

void DocumentData::setIntegerText(Builtin id, QStringView text, std::optional<qint64> read)
{
    if (read)
        setInteger(id, *read);
    else
        noteUnreadable(id, text);
}

void DocumentData::setW3cDate(Builtin id, QStringView text)
{
    const auto p = parseW3cDateTime(text);
    if (!p) {
        noteUnreadable(id, text);
        return;
    }
    setW3cDate(id, *p);
}

bool DocumentData::setCommonW3cDate(Builtin id, std::string_view utf8)
{
    // YYYY-MM-DDThh:mm:ss, then Z or nothing: the digits and the marks between them at their places.
    constexpr std::string_view kForm = "0000-00-00T00:00:00";
    const bool utc = utf8.size() == kForm.size() + 1 && utf8.back() == 'Z';
    if (utf8.size() != kForm.size() && !utc)
        return false;
    int numbers[6] = {};
    int n = 0;
    for (std::size_t i = 0; i < kForm.size(); ++i) {
        const char c = utf8[i];
        if (kForm[i] != '0') {
            if (c != kForm[i])
                return false;
            ++n;
        } else if (c >= '0' && c <= '9') {
            numbers[n] = numbers[n] * 10 + (c - '0');
        } else {
            return false;
        }
    }
    ParsedDateTime p;
    p.date = QDate(numbers[0], numbers[1], numbers[2]);
    p.time = QTime(numbers[3], numbers[4], numbers[5]); // 24:00:00, the end of a day, is left to the general reading
    if (!p.date.isValid() || !p.time.isValid())
        return false;
    if (utc)
        p.offsetSeconds = 0;
    setW3cDate(id, p);
    return true;
}

void DocumentData::setW3cDate(Builtin id, const ParsedDateTime &p)
{
    if (p.offsetSeconds) {
        // On a machine whose local offset never changes, the moment is worked out in milliseconds, without
        // the date-times that converting it step by step makes; dates outside the years shown go the
        // long way, which notes them.
        if (const std::optional<int> fixed = fixedLocalOffset()) {
            static const qint64 firstShown = QDate(kFirstShownYear, 1, 1).startOfDay(Qt::UTC).toMSecsSinceEpoch();
            static const qint64 pastLastShown = QDate(kLastShownYear + 1, 1, 1).startOfDay(Qt::UTC).toMSecsSinceEpoch();
            const qint64 utc = millisecondsSince1970(p.date, p.time) - qint64(*p.offsetSeconds) * 1000;
            if (utc >= firstShown && utc < pastLastShown) {
                values[static_cast<int>(id)] = PropertyValue::dateTime(
                    QDateTime::fromMSecsSinceEpoch(utc - p.time.msec(), Qt::OffsetFromUTC, *fixed));
                return;
            }
        }
        const QDateTime moment(p.date, p.time, Qt::OffsetFromUTC, *p.offsetSeconds);
        if (moment.isValid())
            setInstant(id, moment); // which leaves out, and notes, a date outside the years shown
    } else if (p.date.year() >= kFirstShownYear) {
        setLocal(id, p.date, p.time);
    } else {
        noteOutOfRange(id, p.date.toString(Qt::ISODate));
    }
}

} // namespace word
