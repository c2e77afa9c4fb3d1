// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QLocale>
#include <QString>

namespace word {

// The Qt date/time patterns in which the program writes a date-time for a locale: the short date with a
// four-digit year, and the long time without its time-zone name. Text cells and workbook cells both use
// these, so what the user reads in one matches the other.
struct DisplayPatterns {
    QString date;
    QString time;
    QString dateTime() const { return date + QLatin1Char(' ') + time; }
};

DisplayPatterns displayPatterns(const QLocale &locale);

} // namespace word
