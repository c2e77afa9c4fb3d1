#pragma once
#include "platform/Shell.h"
#include "platform/Spreadsheet.h"
#include <memory>

// Workbooks written as .xlsx files and handed to the desktop's default spreadsheet program.
std::shared_ptr<ISpreadsheet> makeXlsxSpreadsheet(std::shared_ptr<IShell> shell);
