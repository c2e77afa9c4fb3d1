// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A results table shaped like a long run's: a path and 24 property values per row, the texts varying
// from row to row as real documents' do.
#include "properties/PropertyCatalogue.h"
#include "results/DisplayPatterns.h"
#include "results/ResultsTable.h"
#include "word/PropertyValue.h"
#include <QDateTime>
#include <QStringList>
#include <sys/resource.h>

namespace bench {

// The window's column headers for the 24 properties, as its catalogue gives them.
inline const QStringList PropertyHeaders = [] {
    QStringList headers;
    for (const CatalogueRow &r : catalogue::rows())
        headers << QString::fromUtf16(r.columnHeader);
    return headers;
}();

inline QDateTime dateFor(int row)
{
    return QDateTime(QDate(2020, 1, 1).addDays(row % 2000), QTime(9, 30).addSecs(row % 30000));
}
inline qint64 numberFor(int row, int k) { return (row * 37 + k * 101) % 100000; }

inline QString valueFor(int row, int k)
{
    switch (k) {
    case 1:
        return QStringLiteral("Quarterly report %1").arg(row);
    case 2:
        return QStringLiteral("Subject %1").arg(row % 97);
    case 3:
    case 15:
        return QStringLiteral("Author %1").arg(row % 50);
    case 4:
        return QStringLiteral("Not set");
    case 5:
        return QStringLiteral("Velkorn Ltd");
    case 6:
        return QString();
    case 7:
        return QStringLiteral("alpha, beta, gamma");
    case 8:
        return QStringLiteral("Reviewed=%1").arg(row % 3 == 0 ? "yes" : "no");
    case 9:
        return QString();
    case 10:
        return QStringLiteral("Normal.dotm");
    case 11:
    case 12:
    case 13:
    case 14:
        return results::displayText(word::PropertyValue::dateTime(dateFor(row)));
    default:
        return QString::number(numberFor(row, k));
    }
}

// What a run keeps beside each text: dates, the editing time and the counts typed; the revision
// number is text, as the engine reads it.
inline TypedValue typedFor(int row, int k)
{
    if (k >= 11 && k <= 14)
        return TypedValue::dateTime(dateFor(row).date(), dateFor(row).time());
    if (k >= 17)
        return TypedValue::wholeNumber(numberFor(row, k));
    return {};
}

inline QString pathFor(int row)
{
    return QStringLiteral("/home/user/Documents/projects/folder %1/report %2.docx").arg(row % 100).arg(row);
}

inline void fill(ResultsTable &table, int rows)
{
    table.removeAllColumns();
    table.addColumn(QStringLiteral("Filename"));
    for (const QString &h : PropertyHeaders)
        table.addColumn(h);
    table.clearRows();
    for (int r = 0; r < rows; ++r) {
        const auto id = table.appendRow(pathFor(r));
        for (int k = 1; k <= PropertyHeaders.size(); ++k)
            table.setValue(id, k, valueFor(r, k), typedFor(r, k));
    }
    table.checkAllRows();
}

inline double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace bench
