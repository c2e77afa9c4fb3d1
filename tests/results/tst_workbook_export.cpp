// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultsTestSupport.h"
#include "office/WorkbookHandOver.h"
#include "platform/XlsxSpreadsheet.h"
#include "results/CellRules.h"
#include "results/DisplayPatterns.h"
#include "results/Locations.h"
#include "results/WorkbookExport.h"
#include "word/PropertyValue.h"
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QXmlStreamReader>
#include <QtTest>
#include <clocale>
#include <csignal>
#include <unistd.h>
#include <zip.h>

using namespace results;

namespace {

// One cell as the .xlsx file holds it.
struct XlsxCell {
    QString type;   // "s" shared string, "" number, ...
    QString value;  // the text for strings, the raw number otherwise
    QString format; // the number format code of its style, empty for none
};

// Reads back what a spreadsheet program would find in the file: cells, column widths and row numbers.
struct XlsxContent {
    QMap<QString, XlsxCell> cells; // by reference, "B2"
    QList<int> rowNumbers;         // rows present in the sheet
    QMap<int, double> widths;      // column (1-based) -> width
    QByteArray contentTypes;       // what tells a spreadsheet program a workbook from a template
    QString error;

    static QByteArray part(zip_t *zip, const char *name)
    {
        zip_stat_t st;
        if (zip_stat(zip, name, 0, &st) != 0)
            return {};
        zip_file_t *f = zip_fopen(zip, name, 0);
        if (!f)
            return {};
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t got = zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        return got == zip_int64_t(st.size) ? data : QByteArray();
    }

    explicit XlsxContent(const QString &path)
    {
        int err = 0;
        zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
        if (!zip) {
            error = QStringLiteral("cannot open %1").arg(path);
            return;
        }
        const QByteArray sheet = part(zip, "xl/worksheets/sheet1.xml");
        const QByteArray strings = part(zip, "xl/sharedStrings.xml");
        const QByteArray styles = part(zip, "xl/styles.xml");
        contentTypes = part(zip, "[Content_Types].xml");
        zip_close(zip);
        if (sheet.isEmpty() || styles.isEmpty()) {
            error = QStringLiteral("parts missing");
            return;
        }

        QStringList shared;
        QXmlStreamReader s(strings);
        QString current;
        bool inSi = false;
        while (!s.atEnd()) {
            s.readNext();
            if (s.isStartElement() && s.name() == QLatin1String("si")) {
                inSi = true;
                current.clear();
            } else if (s.isStartElement() && s.name() == QLatin1String("t") && inSi) {
                current += s.readElementText();
            } else if (s.isEndElement() && s.name() == QLatin1String("si")) {
                shared << current;
                inSi = false;
            }
        }

        QMap<int, QString> numFmts;
        QList<int> xfFormats;
        QXmlStreamReader st(styles);
        bool inCellXfs = false;
        while (!st.atEnd()) {
            st.readNext();
            if (st.isStartElement() && st.name() == QLatin1String("numFmt"))
                numFmts.insert(st.attributes().value("numFmtId").toInt(),
                               st.attributes().value("formatCode").toString());
            else if (st.isStartElement() && st.name() == QLatin1String("cellXfs"))
                inCellXfs = true;
            else if (st.isEndElement() && st.name() == QLatin1String("cellXfs"))
                inCellXfs = false;
            else if (inCellXfs && st.isStartElement() && st.name() == QLatin1String("xf"))
                xfFormats << st.attributes().value("numFmtId").toInt();
        }

        QXmlStreamReader x(sheet);
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement())
                continue;
            if (x.name() == QLatin1String("col")) {
                const int min = x.attributes().value("min").toInt();
                const int max = x.attributes().value("max").toInt();
                for (int c = min; c <= max; ++c)
                    widths.insert(c, x.attributes().value("width").toDouble());
            } else if (x.name() == QLatin1String("row")) {
                rowNumbers << x.attributes().value("r").toInt();
            } else if (x.name() == QLatin1String("c")) {
                XlsxCell cell;
                const QString ref = x.attributes().value("r").toString();
                cell.type = x.attributes().value("t").toString();
                const int style = x.attributes().hasAttribute("s") ? x.attributes().value("s").toInt() : -1;
                if (style >= 0 && style < xfFormats.size())
                    cell.format = numFmts.value(xfFormats[style]);
                while (!(x.isEndElement() && x.name() == QLatin1String("c")) && !x.atEnd()) {
                    x.readNext();
                    if (x.isStartElement() && x.name() == QLatin1String("v"))
                        cell.value = x.readElementText();
                }
                if (cell.type == QLatin1String("s"))
                    cell.value = shared.value(cell.value.toInt());
                cells.insert(ref, cell);
            }
        }
    }
};

double serial(const QDateTime &dt)
{
    return QDate(1899, 12, 30).daysTo(dt.date()) + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

// Lets the first workbook (the availability test's) be created, then refuses.
class OnceSpreadsheet : public ISpreadsheet {
public:
    explicit OnceSpreadsheet(std::shared_ptr<FakeSpreadsheet> inner) : m_inner(std::move(inner)) {}
    std::unique_ptr<IWorkbook> create(const SheetDateFormats &dates) override
    {
        if (++calls > 1)
            throw RuntimeError(429, QStringLiteral("The spreadsheet program stopped answering."));
        return m_inner->create(dates);
    }
    int calls = 0;

private:
    std::shared_ptr<FakeSpreadsheet> m_inner;
};

// Ends the office processes started with this home (the user's office of the hand-over test) and removes
// the sockets they leave in /tmp: their connection pipe for the hand-over and their single-instance pipe.
void stopOfficesOfHome(const QByteArray &home)
{
    QList<pid_t> offices;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const pid_t pid = pid_t(entry.toInt());
        if (pid <= 0 || pid == getpid())
            continue;
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        QFile command(QStringLiteral("/proc/%1/comm").arg(pid));
        if (!environ.open(QIODevice::ReadOnly) || !command.open(QIODevice::ReadOnly))
            continue;
        if (environ.readAll().split('\0').contains("HOME=" + home) && command.readAll().startsWith("soffice"))
            offices << pid;
    }
    for (const pid_t pid : offices)
        ::kill(pid, SIGKILL);
    for (const pid_t pid : offices)
        QTRY_VERIFY_WITH_TIMEOUT(
            !QFileInfo::exists(QStringLiteral("/proc/%1/comm").arg(pid)) ||
                [&] {
                    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
                    return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z");
                }(),
            10000);
    const QString profile =
        QUrl::fromLocalFile(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/libreoffice/4"))
            .toString(QUrl::FullyEncoded);
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray(reinterpret_cast<const char *>(profile.utf16()), profile.size() * 2), QCryptographicHash::Md5);
    QString hash;
    for (const char byte : digest)
        hash += QString::number(uchar(byte), 16);
    const QString uid = QString::number(getuid());
    QFile::remove(QStringLiteral("/tmp/OSL_PIPE_%1_quillmere-vantrel-workbook").arg(uid));
    QFile::remove(QStringLiteral("/tmp/OSL_PIPE_%1_SingleOfficeIPC_%2").arg(uid, hash));
}

} // namespace

class TestWorkbookExport : public QObject {
    Q_OBJECT

    QTemporaryDir m_temp;
    QByteArray m_oldTmp;

    static void fillThreeMiddleUnchecked(ResultsTable &table)
    {
        fillTable(table, {"Title", "Pages"},
                  {{"/d/first.doc", {"Alpha", "12"}, true},
                   {"/d/second.doc", {"Beta", "3"}, false},
                   {"/d/third.doc", {"=Gamma", "1=2"}, true}});
    }
    // The program's cache folder, where the workbooks handed to a spreadsheet program wait.
    QString workbookFolder() const { return m_temp.filePath(QStringLiteral("quillmere-vantrel")); }
    QStringList tempEntries() const
    {
        return QDir(workbookFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_temp.isValid());
        m_oldTmp = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_temp.path()));
        QLocale::setDefault(QLocale::c());
    }
    void cleanupTestCase() { qputenv("XDG_CACHE_HOME", m_oldTmp); }
    void init()
    {
        QLocale::setDefault(QLocale::c());
        for (const QString &f : tempEntries())
            QFile::remove(QDir(workbookFolder()).filePath(f));
    }

    // ---- The export over the spreadsheet interface ----

    void threeRowsMiddleUnchecked()
    {
        Harness h;
        ResultsTable table;
        fillThreeMiddleUnchecked(table);
        saveResultsAsWorkbook(h.ctx, table);
        const auto &cells = h.fakes.spreadsheet->cells;
        QMap<QPair<int, int>, QString> expected{{{1, 1}, "Filename"},     {{1, 2}, "Title"}, {{1, 3}, "Pages"},
                                                {{2, 1}, "/d/first.doc"}, {{2, 2}, "Alpha"}, {{2, 3}, "12"},
                                                {{4, 1}, "/d/third.doc"}, {{4, 2}, "Gamma"}, {{4, 3}, "12"}};
        QCOMPARE(cells, expected);
        QVERIFY(h.fakes.spreadsheet->autoFitted);
        QVERIFY(h.fakes.spreadsheet->shown);
        QCOMPARE(h.fakes.spreadsheet->created, 2); // the availability test's, then the export's
        QCOMPARE(h.fakes.shell->queried, QStringList({WorkbookMimeType}));
        QCOMPARE(h.window.pointerHistory, QList<int>({pointer::Busy, pointer::Default}));
        QVERIFY(h.fakes.messages->shown.isEmpty()); // the workbook coming up is the confirmation
    }

    void equalsSigns_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("sheetValue");
        QTest::newRow("leading") << "Title"
                                 << "/a.doc"
                                 << "=SUM(A1:A3)"
                                 << "SUM(A1:A3)";
        QTest::newRow("several") << "Title"
                                 << "/a.doc"
                                 << "a=b==c="
                                 << "abc";
        QTest::newRow("only equals") << "Title"
                                     << "/a.doc"
                                     << "==="
                                     << "";
        QTest::newRow("path and header keep theirs") << "Ti=tle"
                                                     << "/x=y/a=.doc"
                                                     << "v"
                                                     << "v";
    }
    void equalsSigns()
    {
        QFETCH(QString, header);
        QFETCH(QString, path);
        QFETCH(QString, value);
        QFETCH(QString, sheetValue);
        Harness h;
        ResultsTable table;
        fillTable(table, {header}, {{path, {value}, true}});
        saveResultsAsWorkbook(h.ctx, table);
        QCOMPARE(h.fakes.spreadsheet->cells.value({1, 2}), header);
        QCOMPARE(h.fakes.spreadsheet->cells.value({2, 1}), path);
        QCOMPARE(h.fakes.spreadsheet->cells.value({2, 2}), sheetValue);
    }

    void spreadsheetMissing_data()
    {
        QTest::addColumn<bool>("handlerRegistered");
        QTest::addColumn<bool>("creatable");
        QTest::addColumn<int>("rows");
        QTest::newRow("no program for .xltx") << false << true << 2;
        QTest::newRow("workbook cannot be created") << true << false << 2;
        QTest::newRow("neither, empty table") << false << false << 0;
        QTest::newRow("no program, empty table") << false << true << 0;
    }
    void spreadsheetMissing()
    {
        QFETCH(bool, handlerRegistered);
        QFETCH(bool, creatable);
        QFETCH(int, rows);
        Harness h;
        h.fakes.shell->handlerRegistered = handlerRegistered;
        h.fakes.spreadsheet->unavailable = !creatable;
        ResultsTable table;
        fillTable(table, {"Pages"}, {});
        for (int r = 0; r < rows; ++r)
            table.appendRow(QStringLiteral("/d/%1.doc").arg(r));
        table.checkAllRows();
        saveResultsAsWorkbook(h.ctx, table);
        QCOMPARE(h.fakes.messages->shown.size(), 2);
        for (const ShownMessage &m : h.fakes.messages->shown) {
            QCOMPARE(m.title, QStringLiteral("Quillmere"));
            QCOMPARE(m.buttons, MsgButtons::Ok);
            QCOMPARE(m.icon, MsgIcon::None);
        }
        QCOMPARE(h.fakes.messages->shown.at(0).text,
                 QStringLiteral("Excel is not installed on this computer. You need to have it installed to use this "
                                "software without error."));
        QCOMPARE(h.fakes.messages->shown.at(1).text,
                 QStringLiteral("Excel is not installed on this computer. You need to have it installed to use this "
                                "feature."));
        QVERIFY(h.fakes.spreadsheet->cells.isEmpty());
        QVERIFY(h.window.pointerHistory.isEmpty());
    }

    void emptyTableDoesNothing()
    {
        Harness h;
        ResultsTable table;
        fillThreeMiddleUnchecked(table);
        table.clearRows(); // "Clear Results": columns stay, rows gone
        saveResultsAsWorkbook(h.ctx, table);
        QVERIFY(h.fakes.messages->shown.isEmpty());
        QCOMPARE(h.fakes.spreadsheet->created, 1); // only the availability test's
        QVERIFY(!h.fakes.spreadsheet->shown);
        QVERIFY(h.window.pointerHistory.isEmpty());
    }

    void workbookRefusedAfterTheTest()
    {
        Harness h;
        auto once = std::make_shared<OnceSpreadsheet>(h.fakes.spreadsheet);
        h.ctx.platform.spreadsheet = once;
        ResultsTable table;
        fillThreeMiddleUnchecked(table);
        saveResultsAsWorkbook(h.ctx, table);
        // One report for the creation, none for the cells it could not hold.
        QCOMPARE(h.reports().size(), 1);
        QCOMPARE(h.reports().first().text,
                 ErrorReporter::text(location::WorkbookButton, 108,
                                     QStringLiteral("The spreadsheet program stopped answering.")));
        QCOMPARE(h.window.pointerHistory, QList<int>({pointer::Busy, pointer::Default}));
    }

    void tableClearedWhileFilling()
    {
        Harness h;
        ResultsTable table;
        fillThreeMiddleUnchecked(table);
        QTimer::singleShot(0, &table, [&table] { table.clearRows(); });
        saveResultsAsWorkbook(h.ctx, table);
        QCOMPARE(table.rows(), 0);
        QCOMPARE(h.fakes.spreadsheet->cells.value({4, 1}), QStringLiteral("/d/third.doc"));
        QVERIFY(h.reports().isEmpty());
    }

    // ---- The workbook file ----

    void writtenWorkbookReadsBack()
    {
        Harness h;
        h.ctx.platform.spreadsheet = makeXlsxSpreadsheet(h.fakes.shell);
        const QDateTime created(QDate(2026, 12, 7), QTime(14, 5, 33));
        const QDateTime printed(QDate(2025, 1, 2), QTime(0, 0));
        const QString createdText = displayText(word::PropertyValue::dateTime(created));
        const QString printedText = displayText(word::PropertyValue::dateTime(printed));
        ResultsTable table;
        fillTable(table, {"Title", "Pages", "Created", "Printed"},
                  {{"/d/a rather long path/first.docx", {"Alpha", "12", createdText, printedText}, true},
                   {"/d/second.doc", {"Beta", "3", "Not set", "Not set"}, false},
                   {"/d/third.doc", {"=Gamma", "1=2", "Not set", "Not set"}, true}});
        saveResultsAsWorkbook(h.ctx, table);
        QVERIFY2(h.reports().isEmpty(), qPrintable(h.fakes.messages->texts().join('\n')));
        QCOMPARE(h.fakes.shell->files.size(), 1);
        const QString path = h.fakes.shell->files.first();
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(workbookFolder()).absoluteFilePath());
        QVERIFY2(
            QRegularExpression(QStringLiteral("^Quillmere results \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.xltx$"))
                .match(QFileInfo(path).fileName())
                .hasMatch(),
            qPrintable(path));
        QCOMPARE(tempEntries(), QStringList({QFileInfo(path).fileName()})); // no private leftovers

        const XlsxContent x(path);
        QVERIFY2(x.error.isEmpty(), qPrintable(x.error));
        // A template: the spreadsheet program opens it as a new, untitled workbook.
        QVERIFY(x.contentTypes.contains("spreadsheetml.template.main+xml"));
        QVERIFY(!x.contentTypes.contains("spreadsheetml.sheet.main+xml"));
        QCOMPARE(x.rowNumbers, QList<int>({1, 2, 4})); // the unchecked row's sheet row stays empty
        QCOMPARE(x.cells.value("A1").type, QStringLiteral("s"));
        QCOMPARE(x.cells.value("A1").value, QStringLiteral("Filename"));
        QCOMPARE(x.cells.value("E1").value, QStringLiteral("Printed"));
        QCOMPARE(x.cells.value("A2").value, QStringLiteral("/d/a rather long path/first.docx"));
        QCOMPARE(x.cells.value("B2").type, QStringLiteral("s"));
        QCOMPARE(x.cells.value("C2").type, QString()); // a number cell
        QCOMPARE(x.cells.value("C2").value, QStringLiteral("12"));
        QCOMPARE(x.cells.value("D2").type, QString());
        QVERIFY(qAbs(x.cells.value("D2").value.toDouble() - serial(created)) < 1e-6);
        QCOMPARE(x.cells.value("D2").format, QStringLiteral("d mmm yyyy hh:mm:ss"));
        QCOMPARE(x.cells.value("E2").value.toDouble(), serial(printed));
        QCOMPARE(x.cells.value("E2").format, QStringLiteral("d mmm yyyy"));
        QCOMPARE(x.cells.value("B4").value, QStringLiteral("Gamma"));
        QCOMPARE(x.cells.value("C4").value, QStringLiteral("12")); // "1=2" lost its "=" and reads as a number
        QCOMPARE(x.cells.value("D4").type, QStringLiteral("s"));
        QCOMPARE(x.cells.value("D4").value, QStringLiteral("Not set"));
        QVERIFY(!x.cells.contains("A3"));

        // Fitted: each column one character wider than its longest text (plus the format's own margin).
        const auto near = [](double width, int chars) { return width > chars + 1 && width < chars + 2; };
        QVERIFY2(near(x.widths.value(1), 32), qPrintable(QString::number(x.widths.value(1))));
        QVERIFY2(near(x.widths.value(2), 5), qPrintable(QString::number(x.widths.value(2))));
        QVERIFY2(near(x.widths.value(3), 5), qPrintable(QString::number(x.widths.value(3))));
        QVERIFY2(near(x.widths.value(4), int(createdText.size())), qPrintable(QString::number(x.widths.value(4))));
        QFile::remove(path);
    }

    // The writer stores each kind of typed cell as the spreadsheet program reads it back.
    void typedCellsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("type"); // "s" string, "n" number, "d" date
        QTest::addColumn<double>("number");
        QTest::newRow("number") << "-1.5"
                                << "n" << -1.5;
        QTest::newRow("date and time") << "7 Dec 2026 14:05:33"
                                       << "d" << serial(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 33)));
        QTest::newRow("date alone") << "2 Jan 2025"
                                    << "d" << serial(QDateTime(QDate(2025, 1, 2), QTime(0, 0)));
        QTest::newRow("text") << "007"
                              << "s" << 0.0;
    }
    void typedCellsWritten()
    {
        QFETCH(QString, text);
        QFETCH(QString, type);
        QFETCH(double, number);
        QLocale::setDefault(QLocale::c());
        FakeShell shell;
        auto spreadsheet = makeXlsxSpreadsheet(std::shared_ptr<IShell>(&shell, [](IShell *) {}));
        auto book = spreadsheet->create(sheetDateFormats(QLocale()));
        book->setCell(1, 1, CellReader(QLocale()).read(text));
        book->show();
        QCOMPARE(shell.files.size(), 1);
        const XlsxContent x(shell.files.first());
        QVERIFY2(x.error.isEmpty(), qPrintable(x.error));
        const XlsxCell cell = x.cells.value("A1");
        if (type == "s") {
            QCOMPARE(cell.type, QStringLiteral("s"));
            QCOMPARE(cell.value, text);
        } else if (type == "n") {
            QCOMPARE(cell.type, QString());
            QCOMPARE(cell.value.toDouble(), number);
            QCOMPARE(cell.format, QString());
        } else {
            QCOMPARE(cell.type, QString());
            QVERIFY2(qAbs(cell.value.toDouble() - number) < 1e-6, qPrintable(cell.value));
            QVERIFY2(cell.format.contains("yyyy"), qPrintable(cell.format));
        }
        QFile::remove(shell.files.first());
    }

    // Under a locale with a decimal comma the file still writes every number with a point: a spreadsheet
    // reads "45306,3125" up to the comma, and every date-time would lose its time of day.
    void numbersKeepTheirPointUnderADecimalComma()
    {
        // The comma locale is made for the test, so that a machine without it cannot pass for it.
        QTemporaryDir locales;
        qputenv("LOCPATH", QFile::encodeName(locales.path()));
        const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
        if (localedef.isEmpty()
            || QProcess::execute(localedef,
                                 {"-i", "de_DE", "-f", "UTF-8", locales.filePath(QStringLiteral("de_DE.UTF-8"))})
                   != 0) {
            qunsetenv("LOCPATH");
            QSKIP("no locale with a decimal comma can be made here");
        }
        const std::string previous = ::setlocale(LC_NUMERIC, nullptr);
        const bool comma = ::setlocale(LC_NUMERIC, "de_DE.UTF-8") && QByteArray(::localeconv()->decimal_point) == ",";
        qunsetenv("LOCPATH"); // the locale is loaded; the C library would keep a copy of the path for every new locale
        FakeShell shell;
        QString written;
        if (comma) {
            auto book = makeXlsxSpreadsheet(std::shared_ptr<IShell>(&shell, [](IShell *) {
                        }))->create(sheetDateFormats(QLocale()));
            SheetCell number = SheetCell::plain(QStringLiteral("1.5"));
            number.kind = SheetCell::Kind::Number;
            number.number = 1.5;
            SheetCell dateTime = SheetCell::plain(QStringLiteral("15 Jan 2024 07:30:00"));
            dateTime.kind = SheetCell::Kind::DateTime;
            dateTime.date = QDate(2024, 1, 15);
            dateTime.time = QTime(7, 30);
            book->setCell(1, 1, number);
            book->setCell(1, 2, dateTime);
            book->autoFitColumns();
            book->show();
            written = shell.files.value(0);
        }
        ::setlocale(LC_NUMERIC, previous.c_str());
        QVERIFY2(comma, "the made locale has no decimal comma");
        QVERIFY(!written.isEmpty());

        int err = 0;
        zip_t *zip = zip_open(QFile::encodeName(written).constData(), ZIP_RDONLY, &err);
        QVERIFY(zip);
        const QByteArray sheet = XlsxContent::part(zip, "xl/worksheets/sheet1.xml");
        zip_close(zip);
        QFile::remove(written);
        const QRegularExpression numbers(QStringLiteral("(?:<v>|width=\")([^<\"]*)"));
        QStringList seen;
        for (const QRegularExpressionMatch &m : numbers.globalMatch(QString::fromUtf8(sheet)))
            seen << m.captured(1);
        QCOMPARE(seen.size(), 4); // two column widths, two values
        QVERIFY2(seen.filter(QStringLiteral(",")).isEmpty(), qPrintable(seen.join(QLatin1Char(' '))));
        QVERIFY2(seen.contains(QStringLiteral("1.5")) && seen.contains(QStringLiteral("45306.3125")),
                 qPrintable(seen.join(' ')));
    }

    // A template opened as it is counts as unchanged in LibreOffice, and closes without a question; the
    // hand-over through the helper leaves it new, untitled and changed, and takes the file away. The
    // office it starts is the user's own, which in this test has a profile in the test's home.
    void workbookHandedToTheOfficeOpensNewAndChanged()
    {
        const QString helper = QStringLiteral(QV_PROGRAM_DIR "/quillmere-office");
        if (!QFileInfo(helper).isExecutable()
            || !QFileInfo::exists(QStringLiteral("/usr/lib/libreoffice/program/libsclo.so")))
            QSKIP("the LibreOffice helper or the office's spreadsheet is not installed");
        qputenv("SAL_USE_VCLPLUGIN", "svp"); // no display is needed for the office's windows
        const QByteArray home = qgetenv("HOME");
        const auto endTheOffice = qScopeGuard([&] { stopOfficesOfHome(home); });
        FakeShell shell;
        QString handed;
        office::HandOver state;
        auto spreadsheet =
            makeXlsxSpreadsheet(std::shared_ptr<IShell>(&shell, [](IShell *) {}), [&](const QString &path) {
                handed = path;
                state = office::openAsNewInUsersOffice(path, {}, helper);
                return state.error.isEmpty();
            });
        auto book = spreadsheet->create(sheetDateFormats(QLocale()));
        book->setCell(1, 1, SheetCell::plain(QStringLiteral("Filename")));
        book->show();
        QVERIFY2(state.error.isEmpty(), qPrintable(state.error));
        QVERIFY(shell.files.isEmpty());
        QVERIFY(handed.endsWith(QStringLiteral(".xltx")));
        QVERIFY(!QFileInfo::exists(handed));
        QVERIFY(state.modified);
        QVERIFY(!state.hasLocation);
        QVERIFY2(state.title.startsWith(QStringLiteral("Untitled")), qPrintable(state.title));
    }

    // A workbook given to the desktop's program stays in the program's cache folder until the next
    // export, which clears it away.
    void theNextExportClearsEarlierWorkbooks()
    {
        FakeShell shell;
        auto spreadsheet = makeXlsxSpreadsheet(std::shared_ptr<IShell>(&shell, [](IShell *) {}));
        for (int n = 0; n < 3; ++n) {
            auto book = spreadsheet->create(sheetDateFormats(QLocale()));
            book->setCell(1, 1, SheetCell::plain(QStringLiteral("book %1").arg(n)));
            book->show();
            QCOMPARE(XlsxContent(shell.files.last()).cells.value("A1").value, QStringLiteral("book %1").arg(n));
            QCOMPARE(tempEntries(), QStringList{QFileInfo(shell.files.last()).fileName()});
        }
        QFile::remove(shell.files.last());
    }

    void workbookLimitsAndFailures()
    {
        FakeShell shell;
        auto spreadsheet = makeXlsxSpreadsheet(std::shared_ptr<IShell>(&shell, [](IShell *) {}));
        {
            // Dropped without being shown: nothing stays behind.
            auto dropped = spreadsheet->create(sheetDateFormats(QLocale()));
            dropped->setCell(1, 1, SheetCell::plain(QStringLiteral("x")));
        }
        QVERIFY(tempEntries().isEmpty());

        auto book = spreadsheet->create(sheetDateFormats(QLocale()));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, book->setCell(0, 1, SheetCell::plain(QStringLiteral("x"))));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, book->setCell(1, 0, SheetCell::plain(QStringLiteral("x"))));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, book->setCell(1048577, 1, SheetCell::plain(QStringLiteral("x"))));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, book->setCell(1, 16385, SheetCell::plain(QStringLiteral("x"))));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, book->setCell(2, 1, SheetCell::plain(QString(32768, QLatin1Char('y')))));
        book->setCell(1048576, 16384, SheetCell::plain(QStringLiteral("last cell")));
        book->setCell(3, 1, SheetCell::plain(QString(32767, QLatin1Char('z'))));
        book->setCell(4, 1, SheetCell::plain(QStringLiteral("tab\there & <angle> \"quoted\" Ünï 𝄞")));
        book->setCell(5, 1, SheetCell::plain(QStringLiteral("bell\x07 and unit separator\x1f")));
        book->autoFitColumns();
        shell.openFileSucceeds = false;
        try {
            book->show();
            QFAIL("show() must report that nothing could open the workbook");
        } catch (const RuntimeError &e) {
            QVERIFY2(e.description().contains(QStringLiteral("no program could open it")), qPrintable(e.description()));
        }
        QCOMPARE(shell.files.size(), 1);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, book->show());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, book->setCell(1, 1, SheetCell::plain(QStringLiteral("late"))));

        const XlsxContent x(shell.files.first()); // saved all the same, for the user to open by hand
        QVERIFY2(x.error.isEmpty(), qPrintable(x.error));
        QVERIFY(!x.cells.contains("A2"));
        QCOMPARE(x.cells.value("A3").value.size(), 32767);
        QCOMPARE(x.cells.value("A4").value, QStringLiteral("tab\there & <angle> \"quoted\" Ünï 𝄞"));
        QCOMPARE(x.cells.value("XFD1048576").value, QStringLiteral("last cell"));
        // Control characters cannot stand in XML as they are; the sheet carries them escaped.
        QVERIFY(x.cells.value("A5").value.startsWith(QStringLiteral("bell")));
        QVERIFY(x.cells.value("A5").value.contains(QStringLiteral("_x0007_")));
        QCOMPARE(x.widths.value(1), 255.0 + 0.7109375); // capped at the widest a column can be
        QFile::remove(shell.files.first());
    }
};

QTEST_MAIN(TestWorkbookExport)
#include "tst_workbook_export.moc"
