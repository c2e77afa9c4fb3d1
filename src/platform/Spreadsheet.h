#pragma once
#include <QString>
#include <memory>

// A new workbook in the spreadsheet program: cells are assigned text and interpreted as the spreadsheet
// program would (plain numbers and local date-times become typed cells).
class IWorkbook {
public:
    virtual ~IWorkbook() = default;
    virtual void setCell(int row, int column, const QString &text) = 0; // 1-based
    virtual void autoFitColumns() = 0;
    // Saves the workbook and hands it to the desktop's spreadsheet program; throws on failure.
    virtual void show() = 0;
};

class ISpreadsheet {
public:
    virtual ~ISpreadsheet() = default;
    // Throws RuntimeError when no spreadsheet program can be started.
    virtual std::unique_ptr<IWorkbook> create() = 0;
};
