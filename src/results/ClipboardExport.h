#pragma once
#include "results/ColumnWidths.h"
#include <QString>

class IClipboard;
class ResultsData;
class ResultsTable;
struct UiContext;

namespace results {

inline const QString CopiedMessage =
    QStringLiteral("Results have been copied to the clipboard.\r\r"
                   "Click a text area where you normally type and press Ctrl+V to paste the clipboard.");

// How often the clipboard is tried before giving up: another program may hold it open for a moment.
constexpr int ClipboardAttempts = 1000;

// The clipboard text of the checked rows: no header; each cell padded to its column's width (the
// longest cell of every row, checked or not; headers do not count) and followed by a TAB, except the
// last cell of a line, which ends without TAB and without trailing spaces; CR LF after every line.
// A value holding a TAB, CR or LF is written as a quoted field ("..." with inner quotes doubled), which
// spreadsheets paste back into one cell; its padding still counts the value as held.
// Throws RuntimeError (overflow) for a cell longer than 32,767 characters. `text` is only complete when
// the function returns true; false means the program ended meanwhile.
bool buildClipboardText(const ResultsData &table, QString &text, const Pump &pump = {});
QString clipboardText(const ResultsData &table);
QString clipboardText(const ResultsTable &table);

// Each tries up to ClipboardAttempts times, at once one after the other, and never lets an error out.
// True when an attempt succeeded.
bool ClearClipboard(IClipboard &clipboard);
bool SetClipboardText(IClipboard &clipboard, const QString &text);

// Puts the checked rows on the clipboard; leaves the clipboard alone when the table has no rows.
// Throws RuntimeError when the text cannot be built.
void CopyListviewToClipboard(const UiContext &ctx, const ResultsTable &table);

// "Copy Results To Clipboard": copies, then always says how to paste.
void PushButton2_Click(const UiContext &ctx, ResultsTable &table);

} // namespace results
