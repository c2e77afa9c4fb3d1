// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Workbooks written with libxlsxwriter, turned into templates (.xltx) and handed to the desktop's
// spreadsheet program, which opens them as new, unsaved workbooks.
#include "platform/XlsxSpreadsheet.h"
#include "platform/Product.h"
#include "platform/RuntimeError.h"
#include "platform/WorkbookTemplate.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <clocale>
#include <locale.h>
#include <vector>
#include <xlsxwriter.h>

namespace {

constexpr int CellRefused = SheetCell::Refused;
// How wide a column can be made.
constexpr double MaxColumnWidth = 255.0;

const QString WorkbookPrefix = QStringLiteral("Quillmere results ");

// The program's own cache folder ($XDG_CACHE_HOME/quillmere-vantrel): a workbook handed to a spreadsheet
// program must outlive the export, since the program reads it after we return; kept here rather than in
// the temporary folder, the next export can clear it away.
QString workbookFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QLatin1String(product::ProgramName));
}

// Workbooks of earlier exports: their spreadsheet program has long since read them.
void removeEarlierWorkbooks(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name : dir.entryList({WorkbookPrefix + QStringLiteral("*.xltx")}, QDir::Files))
        QFile::remove(dir.filePath(name));
}

QString lxwText(lxw_error error) { return QString::fromUtf8(lxw_strerror(error)); }

// Turns a Qt date/time pattern into the spreadsheet's number format, so that date cells read as the
// user's locale writes them. Returns an empty text for a pattern it cannot carry over.
QString sheetDateFormat(const QString &pattern)
{
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar ch = pattern.at(i);
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern.at(i + run) == ch)
            ++run;
        const char c = ch.toLatin1();
        switch (c) {
        case 'd':
            out += QString(std::min<qsizetype>(run, 4), QLatin1Char('d'));
            break;
        case 'M':
            out += QString(std::min<qsizetype>(run, 4), QLatin1Char('m'));
            break;
        case 'y':
            out += run >= 4 ? QStringLiteral("yyyy") : QStringLiteral("yy");
            break;
        case 'h':
        case 'H':
            out += QString(std::min<qsizetype>(run, 2), QLatin1Char('h'));
            break;
        case 'm':
            out += QString(std::min<qsizetype>(run, 2), QLatin1Char('m'));
            break;
        case 's':
            out += QString(std::min<qsizetype>(run, 2), QLatin1Char('s'));
            break;
        case 'A':
        case 'a':
            // Qt's AP or ap; the sheet's hours then count to twelve, as Qt's do.
            out += QStringLiteral("AM/PM");
            if (i + 1 < pattern.size() && pattern.at(i + 1).toLower() == QLatin1Char('p'))
                run = 2;
            break;
        case '\'': {
            const qsizetype close = pattern.indexOf(QLatin1Char('\''), i + 1);
            if (close < 0)
                return {};
            const QString literal = pattern.mid(i + 1, close - i - 1);
            if (!literal.isEmpty())
                out += QLatin1Char('"') + literal + QLatin1Char('"');
            run = close - i + 1;
            break;
        }
        case ' ':
        case '/':
        case '-':
        case '.':
        case ':':
        case ',':
            out += QString(run, ch);
            break;
        default:
            return {};
        }
        i += run;
    }
    return out;
}

// Columns are fitted to the widest text they hold, counted in characters of the default font; wide
// East Asian characters take two.
double textWidth(QStringView text)
{
    double widest = 0;
    double current = 0;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\n')) {
            widest = std::max(widest, current);
            current = 0;
            continue;
        }
        if (ch.isLowSurrogate())
            continue;
        const char16_t u = ch.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
                          || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFF60)
                          || (u >= 0xFFE0 && u <= 0xFFE6);
        current += wide ? 2 : 1;
    }
    return std::max(widest, current);
}

// libxlsxwriter writes every number of the file (cell values, column widths) with the C library's printf,
// which follows LC_NUMERIC: under a locale with a decimal comma a date-time would go in as "45306,3125",
// which a spreadsheet reads as a date without its time. While the file is written this thread uses the
// C conventions for numbers, whatever locale the process runs in; nothing else is touched, and events
// are not processed meanwhile.
class CNumbersOnThisThread {
public:
    CNumbersOnThisThread()
    {
        if (locale_t base = duplocale(LC_GLOBAL_LOCALE)) {
            m_locale = newlocale(LC_NUMERIC_MASK, "C", base);
            if (!m_locale)
                freelocale(base);
        }
        if (!m_locale)
            throw RuntimeError(RuntimeError::AutomationError,
                               QStringLiteral("The workbook could not be saved: no locale for its numbers."));
        m_previous = uselocale(m_locale);
    }
    ~CNumbersOnThisThread()
    {
        uselocale(m_previous);
        freelocale(m_locale);
    }
    CNumbersOnThisThread(const CNumbersOnThisThread &) = delete;
    CNumbersOnThisThread &operator=(const CNumbersOnThisThread &) = delete;

private:
    locale_t m_locale = locale_t(nullptr);
    locale_t m_previous = locale_t(nullptr);
};

class XlsxWorkbook : public IWorkbook {
public:
    XlsxWorkbook(std::shared_ptr<IShell> shell, WorkbookHandOver handOver, const SheetDateFormats &dates)
        : m_shell(std::move(shell)), m_handOver(std::move(handOver))
    {
        // The file is written under a private name first and renamed when complete, so a half-written
        // workbook never carries the name the user will see.
        const QString folder = workbookFolder();
        if (!QDir().mkpath(folder))
            throw RuntimeError(RuntimeError::PermissionDenied,
                               QStringLiteral("No workbook can be created in %1: the folder cannot be made.")
                                   .arg(QDir::toNativeSeparators(folder)));
        removeEarlierWorkbooks(folder);
        QTemporaryFile reserve(QDir(folder).filePath(QStringLiteral(".quillmere-XXXXXX.xlsx")));
        reserve.setAutoRemove(false);
        if (!reserve.open())
            throw RuntimeError(RuntimeError::PermissionDenied,
                               QStringLiteral("No workbook can be created in %1: %2")
                                   .arg(QDir::toNativeSeparators(folder), reserve.errorString()));
        m_tempPath = reserve.fileName();
        reserve.close();

        lxw_workbook_options options{};
        options.constant_memory = LXW_FALSE;
        const QByteArray name = QFile::encodeName(m_tempPath);
        m_book = workbook_new_opt(name.constData(), &options);
        if (m_book)
            m_sheet = workbook_add_worksheet(m_book, nullptr);
        if (!m_book || !m_sheet) {
            if (m_book)
                lxw_workbook_free(m_book);
            QFile::remove(m_tempPath);
            throw RuntimeError(RuntimeError::AutomationError, QStringLiteral("No new workbook could be created."));
        }
        m_dateFormat = addNumberFormat(dates.date, QStringLiteral("yyyy-mm-dd"));
        m_dateTimeFormat = addNumberFormat(dates.dateTime, QStringLiteral("yyyy-mm-dd hh:mm:ss"));
    }

    ~XlsxWorkbook() override
    {
        if (m_book) {
            lxw_workbook_free(m_book); // dropped unsaved
            QFile::remove(m_tempPath);
        }
    }

    XlsxWorkbook(const XlsxWorkbook &) = delete;
    XlsxWorkbook &operator=(const XlsxWorkbook &) = delete;

    void setCell(int row, int column, const SheetCell &cell) override
    {
        if (!m_book)
            throw RuntimeError(CellRefused, QStringLiteral("The workbook has already been handed over."));
        if (row < 1 || row > LXW_ROW_MAX || column < 1 || column > LXW_COL_MAX)
            throw RuntimeError(
                CellRefused,
                QStringLiteral("The cell in row %1, column %2 lies outside the sheet.").arg(row).arg(column));
        const QString &text = cell.text;
        // The file format's own bound, whoever built the cell.
        if (text.size() > SheetCell::MaxChars)
            throw SheetCell::tooLong(text.size());
        if (text.isEmpty())
            return; // an empty text leaves the cell empty
        const lxw_row_t r = lxw_row_t(row - 1);
        const lxw_col_t c = lxw_col_t(column - 1);
        lxw_error error = LXW_NO_ERROR;
        switch (cell.kind) {
        case SheetCell::Kind::Number:
            error = worksheet_write_number(m_sheet, r, c, cell.number, nullptr);
            break;
        case SheetCell::Kind::Date:
        case SheetCell::Kind::DateTime: {
            lxw_datetime dt{cell.date.year(), cell.date.month(),  cell.date.day(),
                            cell.time.hour(), cell.time.minute(), double(cell.time.second())};
            error = worksheet_write_datetime(m_sheet, r, c, &dt,
                                             cell.kind == SheetCell::Kind::Date ? m_dateFormat : m_dateTimeFormat);
            break;
        }
        case SheetCell::Kind::Text: {
            const QByteArray utf8 = text.toUtf8();
            error = worksheet_write_string(m_sheet, r, c, utf8.constData(), nullptr);
            break;
        }
        }
        if (error != LXW_NO_ERROR)
            throw RuntimeError(CellRefused, QStringLiteral("The cell in row %1, column %2 could not be written: %3")
                                                .arg(row)
                                                .arg(column)
                                                .arg(lxwText(error)));
        if (m_widths.size() < size_t(column))
            m_widths.resize(size_t(column), 0.0);
        m_widths[size_t(column - 1)] = std::max(m_widths[size_t(column - 1)], textWidth(text));
    }

    void autoFitColumns() override
    {
        if (!m_book)
            throw RuntimeError(CellRefused, QStringLiteral("The workbook has already been handed over."));
        for (size_t c = 0; c < m_widths.size(); ++c) {
            if (m_widths[c] <= 0)
                continue;
            // One character of margin, as the spreadsheet program leaves beside fitted text.
            const double width = std::min(MaxColumnWidth, m_widths[c] + 1.0);
            const lxw_error error = worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr);
            if (error != LXW_NO_ERROR)
                throw RuntimeError(CellRefused,
                                   QStringLiteral("The columns could not be fitted: %1").arg(lxwText(error)));
        }
    }

    void show() override
    {
        if (!m_book)
            throw RuntimeError(CellRefused, QStringLiteral("The workbook has already been handed over."));
        lxw_workbook *book = m_book;
        lxw_error error = LXW_NO_ERROR;
        {
            const CNumbersOnThisThread cNumbers;
            m_book = nullptr; // closing frees it, whatever the outcome
            error = workbook_close(book);
        }
        if (error != LXW_NO_ERROR) {
            QFile::remove(m_tempPath);
            throw RuntimeError(RuntimeError::AutomationError,
                               QStringLiteral("The workbook could not be saved: %1").arg(lxwText(error)));
        }
        try {
            markWorkbookAsTemplate(m_tempPath);
        } catch (...) {
            QFile::remove(m_tempPath);
            throw;
        }
        const QString path = finalName();
        if (path.isEmpty() || !QFile::rename(m_tempPath, path)) {
            QFile::remove(m_tempPath);
            throw RuntimeError(RuntimeError::AutomationError,
                               QStringLiteral("The workbook could not be saved in %1.")
                                   .arg(QDir::toNativeSeparators(QFileInfo(m_tempPath).absolutePath())));
        }
        if (m_handOver && m_handOver(path)) {
            QFile::remove(path);
            return;
        }
        if (!m_shell->openFile(path))
            throw RuntimeError(RuntimeError::AutomationError,
                               QStringLiteral("The workbook was saved as %1, but no program could open it.")
                                   .arg(QDir::toNativeSeparators(path)));
    }

private:
    lxw_format *addNumberFormat(const QString &pattern, const QString &fallback)
    {
        QString code = sheetDateFormat(pattern);
        if (code.isEmpty())
            code = fallback;
        lxw_format *format = workbook_add_format(m_book);
        const QByteArray utf8 = code.toUtf8();
        format_set_num_format(format, utf8.constData());
        return format;
    }

    // "Quillmere results 2026-12-07 14-05-33.xltx" beside the private name; a second export within the
    // same second gets " (2)" and so on.
    QString finalName() const
    {
        const QDir folder = QFileInfo(m_tempPath).absoluteDir();
        const QString base =
            WorkbookPrefix + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
        for (int n = 1; n < 1000; ++n) {
            const QString name = n == 1 ? base + QStringLiteral(".xltx") : base + QStringLiteral(" (%1).xltx").arg(n);
            const QString path = folder.filePath(name);
            if (!QFileInfo::exists(path))
                return path;
        }
        return {};
    }

    std::shared_ptr<IShell> m_shell;
    WorkbookHandOver m_handOver;
    QString m_tempPath;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_dateFormat = nullptr;
    lxw_format *m_dateTimeFormat = nullptr;
    std::vector<double> m_widths; // per column, the widest text written so far
};

class XlsxSpreadsheet : public ISpreadsheet {
public:
    XlsxSpreadsheet(std::shared_ptr<IShell> shell, WorkbookHandOver handOver)
        : m_shell(std::move(shell)), m_handOver(std::move(handOver))
    {
    }
    std::unique_ptr<IWorkbook> create(const SheetDateFormats &dates) override
    {
        return std::make_unique<XlsxWorkbook>(m_shell, m_handOver, dates);
    }

private:
    std::shared_ptr<IShell> m_shell;
    WorkbookHandOver m_handOver;
};

} // namespace

std::shared_ptr<ISpreadsheet> makeXlsxSpreadsheet(std::shared_ptr<IShell> shell, WorkbookHandOver handOver)
{
    return std::make_shared<XlsxSpreadsheet>(std::move(shell), std::move(handOver));
}
