// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/TextExport.h"
#include "core/ErrorReport.h"
#include "core/MainWindowState.h"
#include "core/UiContext.h"
#include "platform/RuntimeError.h"
#include "results/ColumnWidths.h"
#include "results/EventPump.h"
#include "results/Locations.h"
#include "results/ResultsTable.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace results {

namespace {

// The export may be pointed at one of the documents it lists; those are never to be written, so the
// file is refused before it is opened. Names are compared first, so only same-named rows cost a look
// at the file system.
void refuseListedDocument(const ResultsData &table, const QString &path)
{
    const QFileInfo target(path);
    if (!target.exists())
        return;
    const QString canonical = target.canonicalFilePath();
    const QString name = target.fileName();
    for (int r = 0; r < table.rows(); ++r) {
        const QStringView text = table.cellAt(r, 0);
        if (!text.endsWith(name))
            continue;
        if (QFileInfo(text.toString()).canonicalFilePath() == canonical)
            throw RuntimeError(RuntimeError::PermissionDenied,
                               QStringLiteral("%1 is one of the documents in the results table and is not replaced.")
                                   .arg(QDir::toNativeSeparators(path)));
    }
}

// Creates the file, replacing one of the same name. Throws RuntimeError when it cannot.
std::unique_ptr<QFile> createTextFile(const QString &path)
{
    if (path.isEmpty())
        throw RuntimeError(RuntimeError::PathNotFound, QStringLiteral("Path not found"));
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    // Only a regular file is replaced: opening a pipe would wait for a reader, and a folder or a device
    // is nothing a results file belongs in.
    if (info.exists() && !info.isFile())
        throw RuntimeError(75, QStringLiteral("Path/File access error: %1 is not a file").arg(shown));
    auto file = std::make_unique<QFile>(path);
    if (file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file;
    if (!info.absoluteDir().exists())
        throw RuntimeError(RuntimeError::PathNotFound, QStringLiteral("Path not found: %1").arg(shown));
    if (file->error() == QFileDevice::PermissionsError)
        throw RuntimeError(RuntimeError::PermissionDenied, QStringLiteral("Permission denied: %1").arg(shown));
    throw RuntimeError(75, QStringLiteral("Path/File access error: %1 (%2)").arg(shown, file->errorString()));
}

} // namespace

bool alignedTextWidths(const ResultsData &table, QList<int> &widths, Trap &trap, const Pump &pump)
{
    widths.clear();
    for (int c = 0; c < table.columns(); ++c) {
        int w = 0;
        trap.run(104, [&] { w = widenedWidth(w, table.headerAt(c)); });
        for (int r = 0; r < table.rows(); ++r) {
            if (!keepGoing(pump))
                return false;
            trap.run(108, [&] { w = widenedWidth(w, table.cellAt(r, c)); });
        }
        widths.append(w);
    }
    return true;
}

bool writeAlignedLines(const ResultsData &table, const QList<int> &widths, TextLineWriter &out, Trap &trap,
                       const Pump &pump)
{
    const int columns = std::min(table.columns(), int(widths.size()));
    QString line;
    for (int c = 0; c < columns; ++c) {
        if (!keepGoing(pump))
            return false;
        appendField(line, table.headerAt(c), widths[c]);
    }
    trap.run(120, [&] { out.writeLine(line); });

    for (int r = 0; r < table.rows(); ++r) {
        if (!keepGoing(pump))
            return false;
        if (!table.checkedAt(r))
            continue;
        line.clear();
        for (int c = 0; c < columns; ++c) {
            if (!keepGoing(pump))
                return false;
            appendField(line, table.cellAt(r, c), widths[c]);
        }
        trap.run(132, [&] { out.writeLine(line); });
    }
    return true;
}

bool writeAlignedText(const ResultsData &table, QIODevice &device, Trap &trap, const Pump &pump,
                      const QByteArray &encoding)
{
    QList<int> widths;
    if (!alignedTextWidths(table, widths, trap, pump))
        return false;
    TextLineWriter out(&device, encoding);
    if (!writeAlignedLines(table, widths, out, trap, pump))
        return false;
    trap.run(134, [&] { out.close(); });
    return true;
}

bool writeAlignedText(const ResultsTable &table, QIODevice &device, Trap &trap, const Pump &pump,
                      const QByteArray &encoding)
{
    const ResultsData snapshot = table.content();
    return writeAlignedText(snapshot, device, trap, pump, encoding);
}

void SaveListviewProperlySpacedWithoutProgressBar(const UiContext &ctx, const ResultsData &table, const QString &path)
{
    Trap t(*ctx.errors, location::TextWriter);
    const Pump pump = eventPump(ctx.window);
    QList<int> widths;
    if (!alignedTextWidths(table, widths, t, pump))
        return;
    std::unique_ptr<QFile> file;
    t.run(112, [&] {
        refuseListedDocument(table, path);
        file = createTextFile(path);
    });
    TextLineWriter out(file.get(), textFileEncoding());
    if (!writeAlignedLines(table, widths, out, t, pump))
        return;
    t.run(134, [&] { out.close(); });
}

void SaveListviewProperlySpacedWithoutProgressBar(const UiContext &ctx, const ResultsTable &table, const QString &path)
{
    // The writer lets other handlers run between cells; it writes the table as it stood when it began,
    // whatever a new run or "Clear Results" does to it meanwhile.
    const ResultsData snapshot = table.content();
    SaveListviewProperlySpacedWithoutProgressBar(ctx, snapshot, path);
}

void saveResultsAsText(const UiContext &ctx, ResultsTable &table)
{
    Trap t(*ctx.errors, location::TextButton);
    QString path;
    t.run(100, [&] { path = ctx.platform.dialogs->saveFile(ctx.owner, QStringLiteral("Save"), TextFileFilter); });
    if (t.test(102, [&] { return path.isEmpty(); }))
        return;
    t.run(104, [&] { ctx.setPointer(pointer::Busy); });
    t.run(106, [&] { SaveListviewProperlySpacedWithoutProgressBar(ctx, table, path); });
    if (ctx.programEnded())
        return;
    t.run(108, [&] { ctx.setPointer(pointer::Default); });
}

} // namespace results
