#pragma once
#include "platform/Shell.h"
#include "platform/Spreadsheet.h"
#include <memory>

// Workbooks written as templates (.xltx) and handed to the desktop's default spreadsheet program, which
// opens them as new, unsaved workbooks.
std::shared_ptr<ISpreadsheet> makeXlsxSpreadsheet(std::shared_ptr<IShell> shell);
