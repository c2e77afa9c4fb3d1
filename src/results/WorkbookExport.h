// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "results/Pump.h"
#include <QString>

class IWorkbook;
class ResultsData;
class ResultsTable;
class Trap;
struct UiContext;

namespace results {

inline const QString SpreadsheetMissingAtTest = QStringLiteral(
    "Excel is not installed on this computer. You need to have it installed to use this software without error.");
inline const QString SpreadsheetMissingForFeature =
    QStringLiteral("Excel is not installed on this computer. You need to have it installed to use this feature.");

// True when a spreadsheet program is registered for .xltx workbook templates and a workbook can be created; otherwise
// shows its message and returns false. Never shows the error report.
bool SaveResultsAsExcelFileIsExcelInstalled(const UiContext &ctx);

// The header in row 1, table row r in sheet row r + 1 (left empty when the row is not checked), path
// texts and headers unchanged, value texts without "=". A value the engine typed keeps its type; other
// texts are typed by the cell rules of the user's locale. Each cell that cannot be written is reported
// through `trap` and the next one is tried. Returns false when the program ended meanwhile.
bool fillWorkbook(const ResultsData &table, IWorkbook &book, Trap &trap, const Pump &pump = {});

// "4. Save Results As Excel File": the results in a new workbook, shown in the spreadsheet program.
void saveResultsAsWorkbook(const UiContext &ctx, ResultsTable &table);

} // namespace results
