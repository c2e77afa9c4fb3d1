// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QLocale>
#include <QString>

namespace word {
class PropertyValue;
}

namespace results {

// The Qt date/time patterns in which the program writes a date-time for a locale: the short date with a
// four-digit year, and the long time without its time-zone name. Text cells and workbook cells both use
// these, so what the user reads in one matches the other.
struct DisplayPatterns {
    QString date;
    QString time;
    QString dateTime() const { return date + QLatin1Char(' ') + time; }
};

DisplayPatterns displayPatterns(const QLocale &locale);

// A value as the user's regional settings write it: whole numbers without grouping; a date-time as the
// short date with a four-digit year, a blank and the long time without zone name; midnight as the date
// alone. The engine types its values; how they read is the results' concern.
QString displayText(const word::PropertyValue &value, const QLocale &locale = QLocale());

} // namespace results
