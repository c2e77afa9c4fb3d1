// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Times the three exports over a 100,000-row, 25-column results table: the text file, the .xlsx
// workbook and the clipboard text. Events are processed between cells as in the program.
// Targets in Release: text <= 2 s, workbook <= 10 s, clipboard text <= 2 s.
#include "BenchTable.h"
#include "core/ErrorReport.h"
#include "core/UiContext.h"
#include "platform/XlsxSpreadsheet.h"
#include "platform/fakes/FakePlatform.h"
#include "results/CellRules.h"
#include "results/ClipboardExport.h"
#include "results/EventPump.h"
#include "results/TextExport.h"
#include "results/WorkbookExport.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    ResultsTable table;
    bench::fill(table, rows);
    const ResultsData data = table.content();
    const results::Pump pump = results::eventPump(nullptr);
    auto messages = std::make_shared<FakeMessageBoxes>();
    ErrorReporter errors(messages);
    QTemporaryDir dir;
    bool ok = true;
    QElapsedTimer timer;

    // Text file.
    {
        FakePlatform fakes;
        UiContext ctx;
        ctx.platform = fakes.platform();
        ctx.errors = &errors;
        const QString path = dir.filePath(QStringLiteral("results.txt"));
        timer.start();
        results::SaveListviewProperlySpacedWithoutProgressBar(ctx, data, path);
        const qint64 ms = timer.elapsed();
        std::printf("text file: %lld ms (target <= 2000), %.1f MB written\n", static_cast<long long>(ms),
                    QFileInfo(path).size() / 1e6);
        ok = ok && ms <= 2000;
    }

    // Workbook: filled cell by cell, fitted and saved as the export does.
    {
        auto shell = std::make_shared<FakeShell>();
        auto spreadsheet = makeXlsxSpreadsheet(shell);
        Trap trap(errors, QStringLiteral("bench"));
        timer.start();
        auto book = spreadsheet->create(results::sheetDateFormats(QLocale()));
        results::fillWorkbook(data, *book, trap, pump);
        book->autoFitColumns();
        book->show();
        const qint64 ms = timer.elapsed();
        const QString path = shell->files.value(0);
        std::printf("workbook: %lld ms (target <= 10000), %.1f MB .xlsx\n", static_cast<long long>(ms),
                    QFileInfo(path).size() / 1e6);
        QFile::remove(path);
        ok = ok && ms <= 10000 && !path.isEmpty();
    }

    // Clipboard text.
    {
        QString text;
        timer.start();
        results::buildClipboardText(data, text, pump);
        const qint64 ms = timer.elapsed();
        std::printf("clipboard text: %lld ms (target <= 2000), %lld characters\n", static_cast<long long>(ms),
                    static_cast<long long>(text.size()));
        ok = ok && ms <= 2000;
    }

    std::printf("error reports: %lld; peak memory %.1f MB\n", static_cast<long long>(messages->shown.size()),
                bench::peakMegabytes());
    return ok && messages->shown.isEmpty() ? 0 : 1;
}
