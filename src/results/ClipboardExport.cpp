#include "results/ClipboardExport.h"
#include "app/ErrorReport.h"
#include "app/MainWindowState.h"
#include "app/UiContext.h"
#include "platform/Clipboard.h"
#include "results/EventPump.h"
#include "results/Locations.h"
#include "results/ResultsTable.h"
#include <QList>
#include <exception>

namespace results {

namespace {

template <typename Attempt> bool retried(Attempt attempt)
{
    for (int n = 0; n < ClipboardAttempts; ++n) {
        try {
            if (attempt())
                return true;
        } catch (const std::exception &) {
            // Counts as a refused attempt; the clipboard is tried again.
        }
    }
    return false;
}

// Pasted as it is, a value holding one of these would split into further cells or rows and shift every
// cell after it; quoted, spreadsheets read it back into one cell. Every other value stays exactly as it
// was, quotes included.
bool splitsCell(QStringView value)
{
    return value.contains(QLatin1Char('\t')) || value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
}

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
            w = widenedWidth(w, table.cellAt(r, c));
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

bool ClearClipboard(IClipboard &clipboard)
{
    return retried([&] { return clipboard.clear(); });
}

bool SetClipboardText(IClipboard &clipboard, const QString &text)
{
    return retried([&] { return clipboard.setText(text); });
}

void CopyListviewToClipboard(const UiContext &ctx, const ResultsTable &table)
{
    if (table.rows() == 0)
        return;
    // Built from the table as it stands now; a run or "Clear Results" started while the text is built
    // (events are processed between cells) does not mix into it.
    const ResultsData snapshot = table.content();
    QString text;
    if (!buildClipboardText(snapshot, text, eventPump(ctx.window)))
        return;
    ClearClipboard(*ctx.platform.clipboard);
    SetClipboardText(*ctx.platform.clipboard, text);
}

void PushButton2_Click(const UiContext &ctx, ResultsTable &table)
{
    Trap t(*ctx.errors, location::ClipboardButton);
    t.run(100, [&] { CopyListviewToClipboard(ctx, table); });
    if (ctx.window && ctx.window->hasEnded())
        return;
    t.run(102, [&] { ctx.inform(CopiedMessage); });
}

} // namespace results
