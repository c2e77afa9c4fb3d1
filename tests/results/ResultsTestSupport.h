#pragma once
// What the results tests share: a main window stand-in, a handler context over the fake platform and
// a quick way to fill a results table.
#include "FakeContext.h"
#include "results/ResultsTable.h"
#include <QList>
#include <QStringList>

using Harness = FakeContext;

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
