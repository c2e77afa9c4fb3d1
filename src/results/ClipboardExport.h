// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "results/ClipboardText.h"
#include <QString>

class IClipboard;
class ResultsTable;
struct UiContext;

namespace results {

inline const QString CopiedMessage =
    QStringLiteral("Results have been copied to the clipboard.\r\r"
                   "Click a text area where you normally type and press Ctrl+V to paste the clipboard.");

// How often the clipboard is tried before giving up: another program may hold it open for a moment.
constexpr int ClipboardAttempts = 1000;

// Each tries up to ClipboardAttempts times, at once one after the other, and never lets an error out.
// True when an attempt succeeded.
bool ClearClipboard(IClipboard &clipboard);
bool SetClipboardText(IClipboard &clipboard, const QString &text);

// Puts the checked rows on the clipboard; leaves the clipboard alone when the table has no rows.
// Throws RuntimeError when the text cannot be built.
void CopyListviewToClipboard(const UiContext &ctx, const ResultsTable &table);

// "Copy Results To Clipboard": copies, then always says how to paste.
void copyResultsToClipboard(const UiContext &ctx, ResultsTable &table);

} // namespace results
