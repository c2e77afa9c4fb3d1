// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ClipboardExport.h"
#include "core/ErrorReport.h"
#include "core/MainWindowState.h"
#include "core/UiContext.h"
#include "platform/Clipboard.h"
#include "results/ClipboardText.h"
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

} // namespace

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

void copyResultsToClipboard(const UiContext &ctx, ResultsTable &table)
{
    Trap t(*ctx.errors, location::ClipboardButton);
    t.run(100, [&] { CopyListviewToClipboard(ctx, table); });
    if (ctx.window && ctx.window->hasEnded())
        return;
    t.run(102, [&] { ctx.inform(CopiedMessage); });
}

} // namespace results
