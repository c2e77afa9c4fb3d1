// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ClipboardText.h"
#include "results/ColumnWidths.h"
#include "results/ResultsTable.h"
#include <QList>
#include <algorithm>
#include <limits>

namespace results {

namespace {

// Pasted as it is, a value holding one of these would split into further cells or rows and shift every
// cell after it; quoted, spreadsheets read it back into one cell. Every other value stays exactly as it
// was, quotes included.
bool splitsCell(QStringView value)
{
    return value.contains(QLatin1Char('\t')) || value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
}

// The length of the quoted field: the value, its inner quotes doubled, and the two quotes around it.
qsizetype quotedLength(QStringView value) { return value.size() + value.count(QLatin1Char('"')) + 2; }

QString quotedField(QStringView value)
{
    QString quoted = value.toString();
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

bool buildClipboardText(const ResultsData &table, QString &text, const Pump &pump)
{
    text.clear();
    const int columns = table.columns();
    const int rows = table.rows();
    QList<int> widths;
    widths.reserve(columns);
    for (int c = 0; c < columns; ++c) {
        int w = 0;
        for (int r = 0; r < rows; ++r) {
            if (!keepGoing(pump))
                return false;
            const QStringView cell = table.cellAt(r, c);
            w = widenedWidth(w, cell);
            // A quoted field is written longer than the value it holds; the column is as wide as what
            // is written, so the cells after it stay in line with the other rows.
            if (splitsCell(cell))
                w = std::max(w, int(std::min<qsizetype>(quotedLength(cell), std::numeric_limits<int>::max())));
        }
        widths.append(w);
    }

    for (int r = 0; r < rows; ++r) {
        if (!keepGoing(pump))
            return false;
        if (!table.checkedAt(r))
            continue;
        for (int c = 0; c < columns; ++c) {
            if (!keepGoing(pump))
                return false;
            const QStringView cell = table.cellAt(r, c);
            if (splitsCell(cell))
                appendField(text, quotedField(cell), widths[c]);
            else
                appendField(text, cell, widths[c]);
        }
        // The last cell carries neither its TAB nor its padding (nor spaces of its own). A line without
        // columns has no TAB to drop, and the line before it must keep its line end.
        if (columns > 0)
            text.chop(1);
        qsizetype end = text.size();
        while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
            --end;
        text.truncate(end);
        text.append(QLatin1String("\r\n"));
    }
    return true;
}

QString clipboardText(const ResultsData &table)
{
    QString text;
    buildClipboardText(table, text);
    return text;
}

QString clipboardText(const ResultsTable &table) { return clipboardText(table.content()); }

} // namespace results
