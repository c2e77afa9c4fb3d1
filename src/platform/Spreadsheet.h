// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/RuntimeError.h"
#include <QDate>
#include <QString>
#include <QTime>
#include <functional>
#include <memory>

// The workbook is handed over as a template (.xltx), which opens as a new, unsaved workbook.
inline const QString WorkbookMimeType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.template");

// One cell as a workbook stores it: the text the user sees, and the typed value it was read as.
struct SheetCell {
    enum class Kind { Text, Number, Date, DateTime };
    Kind kind = Kind::Text;
    QString text;
    double number = 0;
    QDate date;
    QTime time;

    // What one cell can hold.
    static constexpr qsizetype MaxChars = 32767;
    // The error the spreadsheet program raises for a cell it cannot take.
    static constexpr int Refused = 1004;
    static RuntimeError tooLong(qsizetype size)
    {
        return RuntimeError(Refused,
                            QStringLiteral("A cell holds at most 32,767 characters; this text has %1.").arg(size));
    }
    static SheetCell plain(const QString &text) { return SheetCell{Kind::Text, text, 0, {}, {}}; }
};

// A new workbook in the spreadsheet program. It writes cells as it is given them; how a text is read as a
// number or date is decided before (results/CellRules.h).
class IWorkbook {
public:
    virtual ~IWorkbook() = default;
    virtual void setCell(int row, int column, const SheetCell &cell) = 0; // 1-based
    virtual void autoFitColumns() = 0;
    // Saves the workbook and hands it to the desktop's spreadsheet program; throws on failure.
    virtual void show() = 0;
};

// How date cells show, as Qt date/time patterns: the date alone (midnight) and the date with its time. An
// empty or unusable pattern shows as an ISO date.
struct SheetDateFormats {
    QString date;
    QString dateTime;
};

class ISpreadsheet {
public:
    virtual ~ISpreadsheet() = default;
    // Throws RuntimeError when no spreadsheet program can be started.
    virtual std::unique_ptr<IWorkbook> create(const SheetDateFormats &dates) = 0;
};

// Opens a finished workbook template in the spreadsheet program itself, as a new workbook the program
// counts as changed; false leaves it to the desktop's default program for the file.
using WorkbookHandOver = std::function<bool(const QString &templatePath)>;
