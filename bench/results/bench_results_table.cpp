// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Appends 100,000 rows with 24 value texts each to the results table, as a long extraction run does,
// checks them all, and reports the time and the peak memory. Targets: 2 s and 400 MB in Release.
// Only the table's own work is timed: the value texts are made beforehand, row by row, as the
// document engine would hand them over. A second pass shows the table in a ResultsView and lets events
// through after every row, as the extraction run does.
#include "BenchTable.h"
#include "core/MainWindowState.h"
#include "results/ResultsView.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>

namespace {
class IdleWindow : public MainWindowState {
public:
    int mousePointer() const override { return m_pointer; }
    void setMousePointer(int value) override { m_pointer = value; }
    bool hasEnded() const override { return false; }

private:
    int m_pointer = 0;
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const double before = bench::peakMegabytes();

    ResultsTable table;
    QElapsedTimer timer;
    qint64 tableNs = 0;
    timer.start();
    table.removeAllColumns();
    table.addColumn(QStringLiteral("Filename"));
    for (const QString &h : bench::PropertyHeaders)
        table.addColumn(h);
    table.clearRows();
    tableNs += timer.nsecsElapsed();
    QStringList values;
    for (int r = 0; r < rows; ++r) {
        const QString path = bench::pathFor(r);
        values.clear();
        for (int k = 1; k <= 24; ++k)
            values << bench::valueFor(r, k);
        timer.start();
        const auto id = table.appendRow(path);
        for (int k = 1; k <= 24; ++k)
            table.setValueText(id, k, values[k - 1]);
        tableNs += timer.nsecsElapsed();
    }
    timer.start();
    table.checkAllRows();
    tableNs += timer.nsecsElapsed();
    const qint64 ms = tableNs / 1000000;
    values.clear();
    const double peak = bench::peakMegabytes();

    // Read everything back, so a fast but wrong table does not pass.
    int wrong = 0;
    for (int r = 1; r <= table.rows(); ++r) {
        if (!table.checked(r) || table.rowText(r) != bench::pathFor(r - 1))
            ++wrong;
        for (int k = 1; k <= 24; ++k)
            if (table.valueText(r, k) != bench::valueFor(r - 1, k))
                ++wrong;
    }

    std::printf("rows %d x 24 values: append + set + check %lld ms (target <= 2000), peak memory %.1f MB "
                "(%.1f MB before; target <= 400)\n",
                table.rows(), static_cast<long long>(ms), peak, before);
    std::printf("read back: %s\n", wrong == 0 ? "all values correct" : "WRONG VALUES");

    // The same rows again with the table shown, letting events through after every row as the run does.
    ResultsTable shownTable;
    IdleWindow window;
    ResultsView view(&shownTable, &window);
    view.resize(1000, 500);
    view.show();
    QApplication::processEvents();
    timer.start();
    shownTable.addColumn(QStringLiteral("Filename"));
    for (const QString &h : bench::PropertyHeaders)
        shownTable.addColumn(h);
    for (int r = 0; r < rows; ++r) {
        const auto id = shownTable.appendRow(bench::pathFor(r));
        for (int k = 1; k <= 24; ++k)
            shownTable.setValueText(id, k, bench::valueFor(r, k));
        QApplication::processEvents();
    }
    shownTable.checkAllRows();
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    QApplication::processEvents();
    std::printf("shown in a view, events after every row: %lld ms (value texts made inside the loop)\n",
                static_cast<long long>(timer.elapsed()));
    return (wrong == 0 && ms <= 2000 && peak <= 400) ? 0 : 1;
}
