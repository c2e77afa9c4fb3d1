// Workbooks written with libxlsxwriter, turned into templates (.xltx) and handed to the desktop's
// spreadsheet program, which opens them as new, unsaved workbooks.
#include "platform/XlsxSpreadsheet.h"
#include "platform/WorkbookTemplate.h"
#include "platform/RuntimeError.h"
#include "word/DisplayPatterns.h"
#include "word/PropertyValue.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <vector>
#include <xlsxwriter.h>

namespace {

// The error the spreadsheet program raises for a cell it cannot take.
constexpr int CellRefused = 1004;
// What one cell and one sheet can hold.
constexpr qsizetype MaxCellChars = 32767;
constexpr double MaxColumnWidth = 255.0;
// Digits a cell's number keeps exactly; longer digit strings stay text so nothing is lost.
constexpr int MaxExactDigits = 15;

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
        case ' ': case '/': case '-': case '.': case ':': case ',':
            out += QString(run, ch);
            break;
        default:
            return {};
        }
        i += run;
    }
    return out;
}

// Recognises texts written with one date or time pattern of a locale. Qt's own parser goes through the
// local time zone on every call (and so does its formatting of a date), which costs a file-system check
// each time: some 18 microseconds a cell, seven seconds for a 100,000-row export. The pattern is therefore
// turned once into a regular expression, and the matched fields are checked to be exactly what the
// pattern writes (padding, names, range).
class DateShape {
public:
    DateShape(const QLocale &locale, const QString &pattern) : m_locale(locale)
    {
        QString re = QStringLiteral("^");
        for (qsizetype i = 0; i < pattern.size() && m_valid;) {
            const QChar ch = pattern.at(i);
            qsizetype run = 1;
            while (i + run < pattern.size() && pattern.at(i + run) == ch)
                ++run;
            switch (ch.toLatin1()) {
            case 'd':
                if (run <= 2)
                    addNumber(re, 'd', run);
                else
                    addNames(re, 'w', run == 3 ? QLocale::ShortFormat : QLocale::LongFormat, true);
                break;
            case 'M':
                if (run <= 2)
                    addNumber(re, 'M', run);
                else
                    addNames(re, 'N', run == 3 ? QLocale::ShortFormat : QLocale::LongFormat, false);
                break;
            case 'y':
                if (run == 4)
                    addNumber(re, 'y', 4);
                else
                    m_valid = false; // two-digit years are never written by the program
                break;
            case 'H': case 'h': case 'm': case 's':
                addNumber(re, ch.toLatin1(), std::min<qsizetype>(run, 2));
                break;
            case 'A': case 'a':
                re += QStringLiteral("((?i)%1|%2)").arg(QRegularExpression::escape(m_locale.amText()),
                                                    QRegularExpression::escape(m_locale.pmText()));
                // Qt writes "AP" in capitals and "ap" in small letters.
                m_fields += ch == QLatin1Char('A') ? 'A' : 'a';
                m_unpadded.append(false);
                if (i + 1 < pattern.size() && pattern.at(i + 1).toLower() == QLatin1Char('p'))
                    run = 2;
                break;
            case '\'': {
                const qsizetype close = pattern.indexOf(QLatin1Char('\''), i + 1);
                if (close < 0) {
                    m_valid = false;
                    break;
                }
                re += QRegularExpression::escape(pattern.mid(i + 1, close - i - 1));
                run = close - i + 1;
                break;
            }
            default:
                if (ch.isLetter())
                    m_valid = false; // a field this shape does not know
                else
                    re += QRegularExpression::escape(QString(run, ch));
                break;
            }
            i += run;
        }
        re += QLatin1Char('$');
        m_re.setPattern(re);
        m_valid = m_valid && m_re.isValid();
        if (m_valid)
            m_re.optimize();
    }

    bool valid() const { return m_valid; }

    // Fills date and/or time from the text; true when it is exactly what the pattern writes.
    bool read(QStringView text, QDate *date, QTime *time) const
    {
        const QRegularExpressionMatch m = m_re.match(text);
        if (!m.hasMatch())
            return false;
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, weekday = 0;
        bool twelveHour = false, pm = false;
        for (int f = 0; f < m_fields.size(); ++f) {
            const QStringView v = m.capturedView(f + 1);
            // A one-letter number field is written without a leading zero.
            if (m_unpadded.at(f) && v.size() > 1 && v.front() == QLatin1Char('0'))
                return false;
            switch (m_fields.at(f)) {
            case 'd': day = v.toInt(); break;
            case 'M': month = v.toInt(); break;
            case 'N': month = int(m_monthNames.indexOf(v.toString()) % 12) + 1; break;
            case 'w': weekday = int(m_dayNames.indexOf(v.toString()) % 7) + 1; break;
            case 'y': year = v.toInt(); break;
            case 'H': hour = v.toInt(); break;
            case 'h': hour = v.toInt(); twelveHour = true; break;
            case 'm': minute = v.toInt(); break;
            case 's': second = v.toInt(); break;
            case 'A':
            case 'a': {
                const bool upper = m_fields.at(f) == 'A';
                const QString am = upper ? m_locale.amText().toUpper() : m_locale.amText().toLower();
                const QString pmText = upper ? m_locale.pmText().toUpper() : m_locale.pmText().toLower();
                if (v != am && v != pmText)
                    return false;
                pm = v == pmText;
                break;
            }
            default: break;
            }
        }
        if (twelveHour && (m_fields.contains('A') || m_fields.contains('a'))) {
            if (hour < 1 || hour > 12)
                return false;
            hour = hour % 12 + (pm ? 12 : 0);
        }
        if (date) {
            *date = QDate(year, month, day);
            if (!date->isValid() || (weekday != 0 && date->dayOfWeek() != weekday))
                return false;
        }
        if (time) {
            *time = QTime(hour, minute, second);
            if (!time->isValid())
                return false;
        }
        return true;
    }

private:
    void addNumber(QString &re, char field, qsizetype digits)
    {
        re += digits == 1 ? QStringLiteral("(\\d{1,2})") : QStringLiteral("(\\d{%1})").arg(digits);
        m_fields += field;
        m_unpadded.append(digits == 1);
    }
    void addNames(QString &re, char field, QLocale::FormatType format, bool days)
    {
        QStringList names;
        for (int n = 1; n <= (days ? 7 : 12); ++n)
            names << (days ? m_locale.dayName(n, format) : m_locale.monthName(n, format));
        (days ? m_dayNames : m_monthNames) += names;
        QStringList escaped;
        for (const QString &name : names)
            escaped << QRegularExpression::escape(name);
        re += QLatin1Char('(') + escaped.join(QLatin1Char('|')) + QLatin1Char(')');
        m_fields += field;
        m_unpadded.append(false);
    }

    QLocale m_locale;
    QRegularExpression m_re;
    QByteArray m_fields;     // what each capture group holds
    QList<bool> m_unpadded;  // per group: a number written without leading zero
    QStringList m_monthNames;
    QStringList m_dayNames;
    bool m_valid = true;
};

// Reads texts as the spreadsheet program would when they are typed into a cell.
class CellInterpreter {
public:
    explicit CellInterpreter(const QLocale &locale)
        : m_locale(locale), m_datePattern(word::displayPatterns(locale).date), m_timePattern(word::displayPatterns(locale).time),
          m_decimalPoint(locale.decimalPoint()), m_dateShape(locale, m_datePattern),
          m_timeShape(locale, m_timePattern)
    {
        // A long sample shows how the locale's date-times begin and how long they get; it lets most
        // texts be turned away before the comparatively slow parse.
        const QString sample =
            word::PropertyValue::dateTime(QDateTime(QDate(2000, 12, 28), QTime(23, 59, 59))).toText(m_locale);
        m_dateStartsWithDigit = !sample.isEmpty() && sample.at(0).isDigit();
        m_maxDateLength = sample.size() + 16; // month and day names differ in length
    }

    const QString &datePattern() const { return m_datePattern; }
    QString dateTimePattern() const { return m_datePattern + QLatin1Char(' ') + m_timePattern; }

    // A plain number: optional minus, digits without needless leading zeros, optionally the locale's
    // decimal point and digits without trailing zeros, at most 15 digits in all. Anything that would not
    // read back the same from a number cell stays text.
    bool number(const QString &text, double &value) const
    {
        qsizetype i = 0;
        const qsizetype n = text.size();
        if (i < n && text.at(i) == QLatin1Char('-'))
            ++i;
        const qsizetype intStart = i;
        while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128)
            ++i;
        const qsizetype intDigits = i - intStart;
        if (intDigits == 0 || (intDigits > 1 && text.at(intStart) == QLatin1Char('0')))
            return false;
        qsizetype fracDigits = 0;
        if (i < n) {
            if (!QStringView(text).mid(i).startsWith(m_decimalPoint) || m_decimalPoint.isEmpty())
                return false;
            i += m_decimalPoint.size();
            const qsizetype fracStart = i;
            while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128)
                ++i;
            fracDigits = i - fracStart;
            if (i != n || fracDigits == 0 || text.at(n - 1) == QLatin1Char('0'))
                return false;
        }
        if (intDigits + fracDigits > MaxExactDigits)
            return false;
        const bool negative = intStart == 1;
        if (negative && intDigits == 1 && text.at(intStart) == QLatin1Char('0') && fracDigits == 0)
            return false; // "-0" would come back as 0
        QString plain = text.mid(intStart, intDigits);
        if (fracDigits > 0)
            plain += QLatin1Char('.') + text.right(fracDigits);
        bool ok = false;
        value = plain.toDouble(&ok);
        if (negative)
            value = -value;
        return ok;
    }

    // A date-time exactly as the program writes one in this locale: the short date with a four-digit
    // year, a blank and the long time, or the date alone for midnight. dateOnly tells which.
    bool dateTime(const QString &text, QDate &date, QTime &time, bool &dateOnly) const
    {
        if (text.isEmpty() || text.size() > m_maxDateLength || text.at(0).isDigit() != m_dateStartsWithDigit
            || !text.at(0).isLetterOrNumber() || !hasFourDigitYear(text))
            return false;
        if (!m_dateShape.valid() || !m_timeShape.valid())
            return false;
        if (m_dateShape.read(text, &date, nullptr)) {
            dateOnly = true;
            time = QTime(0, 0);
        } else {
            // The time has as many blanks as its pattern; the one before it separates it from the date.
            const qsizetype blanks = m_timePattern.count(QLatin1Char(' '));
            qsizetype split = text.size();
            for (qsizetype n = 0; n <= blanks && split > 0; ++n)
                split = text.lastIndexOf(QLatin1Char(' '), split - 1);
            if (split <= 0)
                return false;
            if (!m_dateShape.read(QStringView(text).left(split), &date, nullptr)
                || !m_timeShape.read(QStringView(text).mid(split + 1), nullptr, &time))
                return false;
            if (time == QTime(0, 0))
                return false; // the program writes midnight as the date alone
            dateOnly = false;
        }
        return date.year() >= 1900 && date.year() <= 9999; // the sheet's calendar starts in 1900
    }

private:
    static bool hasFourDigitYear(const QString &text)
    {
        int run = 0;
        for (const QChar ch : text) {
            run = (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) ? run + 1 : 0;
            if (run == 4)
                return true;
        }
        return false;
    }

    QLocale m_locale;
    bool m_dateStartsWithDigit = true;
    qsizetype m_maxDateLength = 64;
    QString m_datePattern;
    QString m_timePattern;
    QString m_decimalPoint;
    DateShape m_dateShape;
    DateShape m_timeShape;
};

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
            || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6);
        current += wide ? 2 : 1;
    }
    return std::max(widest, current);
}

class XlsxWorkbook : public IWorkbook {
public:
    XlsxWorkbook(std::shared_ptr<IShell> shell, const QLocale &locale)
        : m_shell(std::move(shell)), m_interpreter(locale)
    {
        // The file is written under a private name first and renamed when complete, so a half-written
        // workbook never carries the name the user will see.
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
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
        m_dateFormat = addNumberFormat(m_interpreter.datePattern(), QStringLiteral("yyyy-mm-dd"));
        m_dateTimeFormat = addNumberFormat(m_interpreter.dateTimePattern(), QStringLiteral("yyyy-mm-dd hh:mm:ss"));
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

    void setCell(int row, int column, const QString &text) override
    {
        if (!m_book)
            throw RuntimeError(CellRefused, QStringLiteral("The workbook has already been handed over."));
        if (row < 1 || row > LXW_ROW_MAX || column < 1 || column > LXW_COL_MAX)
            throw RuntimeError(CellRefused,
                               QStringLiteral("The cell in row %1, column %2 lies outside the sheet.").arg(row).arg(column));
        if (text.size() > MaxCellChars)
            throw RuntimeError(CellRefused, QStringLiteral("A cell holds at most 32,767 characters; this text has %1.")
                                                .arg(text.size()));
        if (text.isEmpty())
            return; // an empty text leaves the cell empty
        const lxw_row_t r = lxw_row_t(row - 1);
        const lxw_col_t c = lxw_col_t(column - 1);
        lxw_error error = LXW_NO_ERROR;
        double number = 0;
        QDate date;
        QTime time;
        bool dateOnly = false;
        if (m_interpreter.number(text, number)) {
            error = worksheet_write_number(m_sheet, r, c, number, nullptr);
        } else if (m_interpreter.dateTime(text, date, time, dateOnly)) {
            lxw_datetime dt{date.year(), date.month(), date.day(), time.hour(), time.minute(), double(time.second())};
            error = worksheet_write_datetime(m_sheet, r, c, &dt, dateOnly ? m_dateFormat : m_dateTimeFormat);
        } else {
            const QByteArray utf8 = text.toUtf8();
            error = worksheet_write_string(m_sheet, r, c, utf8.constData(), nullptr);
        }
        if (error != LXW_NO_ERROR)
            throw RuntimeError(CellRefused, QStringLiteral("The cell in row %1, column %2 could not be written: %3")
                                                .arg(row).arg(column).arg(lxwText(error)));
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
                throw RuntimeError(CellRefused, QStringLiteral("The columns could not be fitted: %1").arg(lxwText(error)));
        }
    }

    void show() override
    {
        if (!m_book)
            throw RuntimeError(CellRefused, QStringLiteral("The workbook has already been handed over."));
        lxw_workbook *book = m_book;
        m_book = nullptr; // closing frees it, whatever the outcome
        const lxw_error error = workbook_close(book);
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
        const QString base = QStringLiteral("Quillmere results ")
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
        for (int n = 1; n < 1000; ++n) {
            const QString name = n == 1 ? base + QStringLiteral(".xltx")
                                        : base + QStringLiteral(" (%1).xltx").arg(n);
            const QString path = folder.filePath(name);
            if (!QFileInfo::exists(path))
                return path;
        }
        return {};
    }

    std::shared_ptr<IShell> m_shell;
    CellInterpreter m_interpreter;
    QString m_tempPath;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_dateFormat = nullptr;
    lxw_format *m_dateTimeFormat = nullptr;
    std::vector<double> m_widths; // per column, the widest text written so far
};

class XlsxSpreadsheet : public ISpreadsheet {
public:
    explicit XlsxSpreadsheet(std::shared_ptr<IShell> shell) : m_shell(std::move(shell)) {}
    std::unique_ptr<IWorkbook> create() override { return std::make_unique<XlsxWorkbook>(m_shell, QLocale()); }

private:
    std::shared_ptr<IShell> m_shell;
};

} // namespace

std::shared_ptr<ISpreadsheet> makeXlsxSpreadsheet(std::shared_ptr<IShell> shell)
{
    return std::make_shared<XlsxSpreadsheet>(std::move(shell));
}
