// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Shell.h"
#include "platform/Spreadsheet.h"
#include <memory>

// Workbooks written as templates (.xltx) and handed to the desktop's default spreadsheet program, which
// opens them as new, unsaved workbooks. `handOver`, when given, is tried first; after it succeeds the
// template file is removed, as the open workbook no longer needs it.
std::shared_ptr<ISpreadsheet> makeXlsxSpreadsheet(std::shared_ptr<IShell> shell, WorkbookHandOver handOver = {});
