// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Filling a results table with known rows, for tests with or without a window.
#include "results/ResultsTable.h"
#include <QList>
#include <QMetaType>
#include <QStringList>

struct TestRow {
    QString path;
    QStringList values;
    bool checked = true;
};

// Columns "Filename" plus the given property headers, then the rows.
inline void fillTable(ResultsTable &table, const QStringList &propertyHeaders, const QList<TestRow> &rows)
{
    table.removeAllColumns();
    table.addColumn(QStringLiteral("Filename"));
    for (const QString &h : propertyHeaders)
        table.addColumn(h);
    table.clearRows();
    for (const TestRow &row : rows) {
        const ResultsTable::RowId id = table.appendRow(row.path);
        for (int k = 0; k < row.values.size(); ++k)
            table.setValueText(id, k + 1, row.values[k]);
    }
    table.checkAllRows();
    for (int r = 0; r < rows.size(); ++r)
        if (!rows[r].checked)
            table.setChecked(r + 1, false);
}

Q_DECLARE_METATYPE(TestRow)

// Three rows under "Filename", "Title", "Pages".
inline void fillThreeRows(ResultsTable &t)
{
    fillTable(t, {QStringLiteral("Title"), QStringLiteral("Pages")},
              {{QStringLiteral("/d/a.doc"), {QStringLiteral("Alpha"), QStringLiteral("1")}, true},
               {QStringLiteral("/d/b.doc"), {QStringLiteral("Beta"), QStringLiteral("22")}, true},
               {QStringLiteral("/d/c.doc"), {QStringLiteral("Gamma"), QStringLiteral("333")}, true}});
}

// The row texts (paths) in table order.
inline QStringList rowTexts(const ResultsTable &t)
{
    QStringList p;
    for (int r = 1; r <= t.rows(); ++r)
        p << t.rowText(r);
    return p;
}
