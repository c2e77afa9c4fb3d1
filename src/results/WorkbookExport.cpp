// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/WorkbookExport.h"
#include "core/ErrorReport.h"
#include "core/MainWindowState.h"
#include "core/UiContext.h"
#include "platform/RuntimeError.h"
#include "platform/Spreadsheet.h"
#include "results/CellRules.h"
#include "results/EventPump.h"
#include "results/Locations.h"
#include "results/ResultsTable.h"
#include <exception>
#include <memory>

namespace results {

bool SaveResultsAsExcelFileIsExcelInstalled(const UiContext &ctx)
{
    bool available = true;
    try {
        if (!ctx.platform.shell->hasHandlerFor(WorkbookMimeType))
            throw RuntimeError(429, QStringLiteral("No program is registered for .xltx workbook templates."));
        // Created and dropped at once: it only has to be possible. Nothing is written.
        ctx.platform.spreadsheet->create(sheetDateFormats(QLocale())).reset();
    } catch (const std::exception &) {
        available = false;
    }
    if (!available) {
        try {
            ctx.inform(SpreadsheetMissingAtTest);
        } catch (const std::exception &) {
            // The test itself never reports; a message that could not be shown changes nothing.
        }
    }
    return available;
}

bool fillWorkbook(const ResultsData &table, IWorkbook &book, Trap &trap, const Pump &pump)
{
    const CellReader cells{QLocale()};
    const int columns = table.columns();
    for (int c = 0; c < columns; ++c) {
        if (!keepGoing(pump))
            return false;
        trap.run(110, [&] { book.setCell(1, c + 1, cells.read(table.headerAt(c))); });
    }
    for (int r = 0; r < table.rows(); ++r) {
        if (!keepGoing(pump))
            return false;
        if (!table.checkedAt(r))
            continue; // the sheet row stays empty; the next table row keeps its own sheet row
        const int sheetRow = r + 2;
        for (int c = 0; c < columns; ++c) {
            if (!keepGoing(pump))
                return false;
            trap.run(118, [&] {
                const QStringView text = table.cellAt(r, c);
                if (c == 0) {
                    book.setCell(sheetRow, c + 1, cells.read(text.toString()));
                    return;
                }
                book.setCell(sheetRow, c + 1, valueCell(cells, text, table.typedAt(r, c)));
            });
        }
    }
    return true;
}

void saveResultsAsWorkbook(const UiContext &ctx, ResultsTable &table)
{
    Trap t(*ctx.errors, location::WorkbookButton);
    if (t.test(100, [&] { return !SaveResultsAsExcelFileIsExcelInstalled(ctx); })) {
        t.run(102, [&] { ctx.inform(SpreadsheetMissingForFeature); });
        return;
    }
    if (t.test(104, [&] { return table.rows() == 0; }))
        return;
    t.run(106, [&] { ctx.setPointer(pointer::Busy); });

    std::unique_ptr<IWorkbook> book;
    t.run(108, [&] { book = ctx.platform.spreadsheet->create(sheetDateFormats(QLocale())); });
    if (!book) {
        // Without a workbook every cell would fail on its own: one report is enough.
        t.run(124, [&] { ctx.setPointer(pointer::Default); });
        return;
    }
    // Cells are written from the table as it stood when the export began: events are processed
    // between cells, and a run or "Clear Results" started meanwhile must not mix into the sheet.
    const ResultsData snapshot = table.content();
    if (!fillWorkbook(snapshot, *book, t, eventPump(ctx.window)))
        return;
    t.run(120, [&] { book->autoFitColumns(); });
    t.run(122, [&] { book->show(); });
    if (ctx.programEnded())
        return;
    t.run(124, [&] { ctx.setPointer(pointer::Default); });
}

} // namespace results
