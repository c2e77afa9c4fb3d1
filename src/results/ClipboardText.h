// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "results/Pump.h"
#include <QString>

class ResultsData;
class ResultsTable;

namespace results {

// The clipboard text of the checked rows: no header; each cell padded to its column's width (the
// longest cell of every row, checked or not; headers do not count) and followed by a TAB, except the
// last cell of a line, which ends without TAB and without trailing spaces; CR LF after every line.
// A value holding a TAB, CR or LF is written as a quoted field ("..." with inner quotes doubled), which
// spreadsheets paste back into one cell; the column's width counts the field as written, quotes included.
// Throws RuntimeError (overflow) for a cell longer than 32,767 characters. `text` is only complete when
// the function returns true; false means the program ended meanwhile.
bool buildClipboardText(const ResultsData &table, QString &text, const Pump &pump = {});
QString clipboardText(const ResultsData &table);
QString clipboardText(const ResultsTable &table);

} // namespace results
