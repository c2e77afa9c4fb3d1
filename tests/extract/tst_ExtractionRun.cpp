// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeContext.h"
#include "FakeProgress.h"
#include "extract/ExtractionRun.h"
#include "extract/FileNameFromPath.h"
#include "extract/PauseSeconds.h"
#include "filelist/InputFileList.h"
#include "platform/Spreadsheet.h"
#include "results/DisplayPatterns.h"
#include "results/ResultsTable.h"
#include "results/WorkbookExport.h"
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace {
// A clock that follows real time, for waits that must really pass.
class RealClock : public IClock {
public:
    RealClock() { m_timer.start(); }
    double secondsSinceMidnight() override { return 3600.0 + m_timer.nsecsElapsed() / 1e9; }

private:
    QElapsedTimer m_timer;
};

word::PropertyValue text(const char *t) { return word::PropertyValue::text(QString::fromUtf8(t)); }
word::PropertyValue number(qint64 n) { return word::PropertyValue::integer(n); }

QStringList columnHeaders(const ResultsTable &t)
{
    QStringList h;
    for (int c = 1; c <= t.columns(); ++c)
        h << t.headerText(c);
    return h;
}

QStringList rowCells(const ResultsTable &t, int r)
{
    QStringList cells;
    for (int c = 1; c <= t.columns(); ++c)
        cells << t.cell(r, c);
    return cells;
}
} // namespace

class tst_ExtractionRun : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeContext> m_context;
    FakePlatform *m_fakes = nullptr;
    FakeWindow *m_window = nullptr;
    std::unique_ptr<InputFileList> m_list;
    std::unique_ptr<ResultsTable> m_table;
    std::unique_ptr<FakeProgress> m_bar;
    std::unique_ptr<ExtractionRun> m_run;

    void onlySelect(const QList<int> &rows)
    {
        for (int n = 1; n <= 24; ++n)
            m_fakes->settings->values.insert(QStringLiteral("Column%1").arg(n), rows.contains(n) ? "1" : "0");
    }

    FakeDocumentScript &document(const QString &path, const char *title = "A title", qint64 pages = 2)
    {
        FakeDocumentScript &s = m_fakes->word->documents[path];
        s.byName.insert(QStringLiteral("Title"), text(title));
        s.byName.insert(QStringLiteral("Number of Pages"), number(pages));
        s.pageCounts = {number(pages)};
        return s;
    }

    QStringList reports() const
    {
        QStringList r;
        for (const ShownMessage &m : m_fakes->messages->shown)
            if (m.title == QStringLiteral("Application Error"))
                r << m.text.section(QStringLiteral(" at line "), 1).section(QLatin1Char('\r'), 0, 0);
        return r;
    }

    QStringList informs() const
    {
        QStringList r;
        for (const ShownMessage &m : m_fakes->messages->shown)
            if (m.title == QStringLiteral("Quillmere"))
                r << m.text;
        return r;
    }

private slots:
    void init()
    {
        m_context = std::make_unique<FakeContext>();
        m_fakes = &m_context->fakes;
        m_window = &m_context->window;
        m_fakes->clock->stepPerRead = 0.2;
        m_list = std::make_unique<InputFileList>();
        m_table = std::make_unique<ResultsTable>();
        m_bar = std::make_unique<FakeProgress>();
        m_run = std::make_unique<ExtractionRun>(m_context->ctx, *m_list, *m_table, *m_bar, 0.5);
    }

    void cleanup() { QLocale::setDefault(QLocale::system()); }

    // Numbers and dates reach the workbook typed in every locale, also where the locale writes digits
    // other than 0-9: the table shows them in the user's locale and keeps what they stand for.
    void workbookCellsKeepTheirTypes_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("Persian digits") << QStringLiteral("fa_IR");
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("ar_EG");
        QTest::newRow("decimal comma") << QStringLiteral("de_DE");
    }
    void workbookCellsKeepTheirTypes()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        onlySelect({1, 11, 14, 18}); // Title, Created, Printed, Pages
        FakeDocumentScript &s = document(QStringLiteral("/d/a.docx"), "Plan", 12);
        s.byName.insert(QStringLiteral("Creation Date"),
                        word::PropertyValue::dateTime(QDateTime(QDate(2024, 1, 15), QTime(7, 30, 0, 600))));
        s.byName.insert(QStringLiteral("Last Print Date"),
                        word::PropertyValue::dateTime(QDateTime(QDate(2023, 5, 6), QTime(0, 0))));
        m_list->add(QStringLiteral("/d/a.docx"));
        m_run->runExtraction();
        QCOMPARE(m_table->valueText(1, 2),
                 results::displayText(word::PropertyValue::dateTime(QDateTime(QDate(2024, 1, 15), QTime(7, 30)))));

        struct Recorder : IWorkbook {
            QMap<QPair<int, int>, SheetCell> cells;
            void setCell(int row, int column, const SheetCell &cell) override { cells.insert({row, column}, cell); }
            void autoFitColumns() override {}
            void show() override {}
        } book;
        Trap trap(*m_context->ctx.errors, QStringLiteral("test"));
        QVERIFY(results::fillWorkbook(m_table->content(), book, trap));
        QVERIFY(reports().isEmpty());
        const SheetCell title = book.cells.value({2, 2});
        const SheetCell created = book.cells.value({2, 3});
        const SheetCell printed = book.cells.value({2, 4});
        const SheetCell pages = book.cells.value({2, 5});
        QCOMPARE(title.kind, SheetCell::Kind::Text);
        QCOMPARE(created.kind, SheetCell::Kind::DateTime);
        QCOMPARE(created.date, QDate(2024, 1, 15));
        QCOMPARE(created.time, QTime(7, 30)); // whole seconds, as the text shows them
        QCOMPARE(created.text, m_table->valueText(1, 2));
        QCOMPARE(printed.kind, SheetCell::Kind::Date);
        QCOMPARE(printed.date, QDate(2023, 5, 6));
        QCOMPARE(pages.kind, SheetCell::Kind::Number);
        QCOMPARE(pages.number, 12.0);
    }

    void fourEntries()
    {
        onlySelect({1, 18});
        QList<int> progress;
        QStringList progressText;
        QList<int> pointers;
        for (const char *p : {"/d/one.docx", "/d/two.doc", "/d/three.rtf", "four.odt"}) {
            document(QString::fromLatin1(p)).onOpen = [&] {
                progress << m_bar->value();
                progressText << m_bar->text();
                pointers << m_window->pointerValue;
            };
            m_list->add(QString::fromLatin1(p));
        }
        m_run->runExtraction();
        QCOMPARE(progress, (QList<int>{25, 50, 75, 100}));
        QCOMPARE(progressText, (QStringList{"Processing: one.docx", "Processing: two.doc", "Processing: three.rtf",
                                            "Processing: four.odt"}));
        QCOMPARE(pointers, (QList<int>{11, 11, 11, 11}));
        QCOMPARE(m_bar->value(), 0);
        QCOMPARE(m_bar->text(), QStringLiteral("Progress Bar"));
        QCOMPARE(m_window->pointerValue, 0);
        QCOMPARE(informs(), QStringList{"Done."});
        QVERIFY(reports().isEmpty());
        QCOMPARE(columnHeaders(*m_table), (QStringList{"Filename", "Title", "Pages"}));
        QCOMPARE(m_table->rows(), 4);
        for (int r = 1; r <= 4; ++r) {
            QVERIFY(m_table->checked(r));
            QCOMPARE(m_table->valueText(r, 1), QStringLiteral("A title"));
            QCOMPARE(m_table->valueText(r, 2), QStringLiteral("2"));
        }
        QCOMPARE(m_table->rowText(4), QStringLiteral("four.odt"));
        // One instance for the whole run; every document closed unsaved before the next opens.
        QCOMPARE(m_fakes->word->log.count(QStringLiteral("create")), 1);
        QCOMPARE(m_fakes->word->log.last(), QStringLiteral("quit"));
        QCOMPARE(m_fakes->word->log.count(QStringLiteral("close /d/two.doc 0")), 1);
        QVERIFY(m_fakes->word->log.indexOf(QStringLiteral("close /d/one.docx 0"))
                < m_fakes->word->log.indexOf(QStringLiteral("open /d/two.doc")));
        QCOMPARE(m_fakes->word->liveInstances, 0);
        QVERIFY(!m_run->inProgress());
    }

    void noPropertySelected()
    {
        onlySelect({});
        document(QStringLiteral("/a.doc"));
        m_list->add(QStringLiteral("/a.doc"));
        m_list->add(QStringLiteral("/a.doc"));
        m_run->runExtraction();
        QCOMPARE(columnHeaders(*m_table), QStringList{"Filename"});
        QCOMPARE(m_table->rows(), 2);
        QCOMPARE(rowCells(*m_table, 1), rowCells(*m_table, 2));
        // Still opened, waited on and closed.
        QCOMPARE(m_fakes->word->log.count(QStringLiteral("open /a.doc")), 2);
        QCOMPARE(m_fakes->word->log.count(QStringLiteral("prop14 /a.doc")), 4);
        QCOMPARE(m_fakes->word->log.count(QStringLiteral("close /a.doc 0")), 2);
    }

    void emptyTextAndRefusedProperty()
    {
        onlySelect({1, 2, 12, 13});
        FakeDocumentScript &d = document(QStringLiteral("/e.docx"), "");
        d.byName.insert(QStringLiteral("Last Save Time"),
                        word::PropertyValue::dateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))));
        m_list->add(QStringLiteral("/e.docx"));
        m_run->runExtraction();
        QCOMPARE(columnHeaders(*m_table), (QStringList{"Filename", "Title", "Subject", "Modified", "Accessed"}));
        QCOMPARE(m_table->valueText(1, 1), QString());
        QCOMPARE(m_table->valueText(1, 2), QStringLiteral("Not set"));
        QVERIFY(!m_table->valueText(1, 3).isEmpty());
        QCOMPARE(m_table->valueText(1, 3), m_table->valueText(1, 4));
        QVERIFY(reports().isEmpty());
    }

    void failedOpenKeepsTheRow()
    {
        onlySelect({1, 3});
        document(QStringLiteral("/bad.docx")).openError =
            QStringLiteral("The file /bad.docx is damaged: word/document.xml is missing.");
        document(QStringLiteral("/good.docx"), "Fine");
        m_list->add(QStringLiteral("/bad.docx"));
        m_list->add(QStringLiteral("/missing.doc"));
        m_list->add(QStringLiteral("/good.docx"));
        m_run->runExtraction();
        QCOMPARE(reports(), (QStringList{"234", "234"}));
        QVERIFY(m_fakes->messages->shown.first().text.startsWith(QStringLiteral("The file /bad.docx is damaged")));
        QCOMPARE(m_table->rows(), 3);
        QCOMPARE(rowCells(*m_table, 1), (QStringList{"/bad.docx", "Not set", "Not set"}));
        QCOMPARE(rowCells(*m_table, 2), (QStringList{"/missing.doc", "Not set", "Not set"}));
        QCOMPARE(rowCells(*m_table, 3), (QStringList{"/good.docx", "Fine", "Not set"}));
        QVERIFY(!m_fakes->word->log.contains(QStringLiteral("close /bad.docx 0")));
        QCOMPARE(informs(), QStringList{"Done."});
    }

    void pageCountWaitsUntilTwoReadsAgree()
    {
        onlySelect({18});
        FakeDocumentScript &d = document(QStringLiteral("/p.docx"));
        d.pageCounts = {number(3), number(5), number(5)};
        m_list->add(QStringLiteral("/p.docx"));
        const double before = m_fakes->clock->now;
        m_run->runExtraction();
        QCOMPARE(m_fakes->word->log.count(QStringLiteral("prop14 /p.docx")), 4);
        QVERIFY(m_fakes->clock->now - before >= 1.0); // two half-second pauses
    }

    void pageCountThatCannotBeReadEndsTheWait()
    {
        onlySelect({1});
        document(QStringLiteral("/t.txt")).pageCountRefused = true;
        m_list->add(QStringLiteral("/t.txt"));
        m_run->runExtraction();
        QCOMPARE(m_fakes->word->log.count(QStringLiteral("prop14 /t.txt")), 1);
        QCOMPARE(m_table->valueText(1, 1), QStringLiteral("A title"));
    }

    void pageCountThatNeverSettlesGivesUp()
    {
        onlySelect({});
        FakeDocumentScript &d = document(QStringLiteral("/x.docx"));
        d.pageCounts.clear();
        for (int i = 0; i < 100; ++i)
            d.pageCounts.push_back(number(i));
        m_list->add(QStringLiteral("/x.docx"));
        m_run->runExtraction();
        QCOMPARE(m_fakes->word->log.count(QStringLiteral("prop14 /x.docx")), ExtractionRun::MaxPageCountReads);
    }

    void selectionTexts()
    {
        onlySelect({});
        m_fakes->settings->values.insert(QStringLiteral("Column3"), QStringLiteral("yes"));
        m_fakes->settings->values.insert(QStringLiteral("Column5"), QStringLiteral("1.0"));
        document(QStringLiteral("/s.doc"));
        m_list->add(QStringLiteral("/s.doc"));
        m_run->runExtraction();
        QCOMPARE(reports(), QStringList{"118"});
        QVERIFY(m_fakes->messages->shown.first().text.startsWith(
            QStringLiteral("Type mismatch\r\nin Quillmark2021/08/31.Form1.PushButton3_Click at line 118")));
        QCOMPARE(columnHeaders(*m_table), (QStringList{"Filename", "Author", "Company"}));
    }

    void emptyListLeavesEverythingAsItWas()
    {
        m_table->addColumn(QStringLiteral("Filename"));
        m_table->appendRow(QStringLiteral("/old.doc"));
        m_bar->showPercent(40);
        m_window->pointerValue = 99;
        m_run->runExtraction();
        QCOMPARE(informs(), QStringList{"No files added."});
        QCOMPARE(m_table->rows(), 1);
        QCOMPARE(m_bar->value(), 40);
        QCOMPARE(m_window->pointerValue, 99);
        QVERIFY(m_fakes->word->log.isEmpty());
        QVERIFY(!m_run->inProgress());
    }

    void newRunStartsFromScratch()
    {
        document(QStringLiteral("/a.doc"));
        m_list->add(QStringLiteral("/a.doc"));
        m_run->runExtraction();
        QCOMPARE(m_table->columns(), 25);
        onlySelect({24});
        m_run->runExtraction();
        QCOMPARE(columnHeaders(*m_table), (QStringList{"Filename", "Bytes"}));
        QCOMPARE(m_table->rows(), 1);
    }

    void secondStartDuringARunDoesNothing()
    {
        onlySelect({1});
        document(QStringLiteral("/a.doc")).onOpen = [&] { m_run->runExtraction(); };
        document(QStringLiteral("/b.doc"));
        m_list->add(QStringLiteral("/a.doc"));
        m_list->add(QStringLiteral("/b.doc"));
        m_run->runExtraction();
        QCOMPARE(m_fakes->word->log.count(QStringLiteral("create")), 1);
        QCOMPARE(m_table->rows(), 2);
        QCOMPARE(informs(), QStringList{"Done."});
    }

    void clearingResultsMidRunWritesNowhere()
    {
        onlySelect({1, 3});
        document(QStringLiteral("/a.doc"), "First");
        // While b's row waits for its page count, the user clears the results.
        FakeDocumentScript &b = document(QStringLiteral("/b.doc"), "Second");
        b.pageCounts = {number(1), number(2), number(2)};
        document(QStringLiteral("/c.doc"), "Third");
        m_list->add(QStringLiteral("/a.doc"));
        m_list->add(QStringLiteral("/b.doc"));
        m_list->add(QStringLiteral("/c.doc"));
        bool cleared = false;
        m_fakes->clock->stepPerRead = 0.2;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (!cleared && m_table->rows() == 2) {
                m_table->clearRows();
                cleared = true;
            }
        });
        poll.start(0);
        m_run->runExtraction();
        QVERIFY(cleared);
        QVERIFY(reports().isEmpty());
        QCOMPARE(m_table->rows(), 1);
        QCOMPARE(rowCells(*m_table, 1), (QStringList{"/c.doc", "Third", "Not set"}));
        QVERIFY(m_table->checked(1));
    }

    void closingTheWindowMidRunStopsAtOnce()
    {
        onlySelect({1});
        document(QStringLiteral("/a.doc"));
        document(QStringLiteral("/b.doc")).onOpen = [&] { m_window->ended = true; };
        document(QStringLiteral("/c.doc"));
        for (const char *p : {"/a.doc", "/b.doc", "/c.doc"})
            m_list->add(QString::fromLatin1(p));
        m_run->runExtraction();
        QVERIFY(!m_fakes->word->log.contains(QStringLiteral("open /c.doc")));
        QVERIFY(!m_fakes->word->log.contains(QStringLiteral("close /b.doc 0")));
        QVERIFY(!m_fakes->word->log.contains(QStringLiteral("quit")));
        QVERIFY(informs().isEmpty());
    }

    void reorderDuringARunIsReadByPosition()
    {
        onlySelect({1});
        document(QStringLiteral("/a.doc"), "A").onOpen = [&] {
            // The user drags entry 3 onto entry 2 while the first document opens.
            const QString second = m_list->text(2);
            m_list->setText(2, m_list->text(3));
            m_list->setText(3, second);
        };
        document(QStringLiteral("/b.doc"), "B");
        document(QStringLiteral("/c.doc"), "C");
        for (const char *p : {"/a.doc", "/b.doc", "/c.doc"})
            m_list->add(QString::fromLatin1(p));
        m_run->runExtraction();
        QCOMPARE(m_table->rowText(2), QStringLiteral("/c.doc"));
        QCOMPARE(m_table->rowText(3), QStringLiteral("/b.doc"));
        QCOMPARE(m_table->valueText(3, 1), QStringLiteral("B"));
    }

    void noEngineInstance()
    {
        onlySelect({1});
        m_fakes->word->unavailable = true;
        m_list->add(QStringLiteral("/a.doc"));
        m_list->add(QStringLiteral("/b.doc"));
        m_run->runExtraction();
        QCOMPARE(reports(), QStringList{"222"});
        QCOMPARE(rowCells(*m_table, 2), (QStringList{"/b.doc", "Not set"}));
        QCOMPARE(informs(), QStringList{"Done."});
    }

    void fileNameFromPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("full") << "/home/ann/report.docx"
                              << "report.docx";
        QTest::newRow("no separator") << "report.docx"
                                      << "report.docx";
        QTest::newRow("trailing separator") << "/home/ann/"
                                            << "";
        QTest::newRow("network") << "//server/share/a.doc"
                                 << "a.doc";
        QTest::newRow("empty") << ""
                               << "";
    }

    void fileNameFromPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(FileNameFromPath(path), name);
    }

    void pauseEndsAcrossMidnight()
    {
        m_fakes->clock->now = 86399.8;
        m_fakes->clock->stepPerRead = 0.1;
        PauseSeconds(0.5, *m_fakes->clock, m_window);
        QVERIFY(m_fakes->clock->now > 0.2 && m_fakes->clock->now < 1.0);
    }

    void pauseSleepsYetHandlesEvents()
    {
        RealClock clock;
        bool handled = false;
        QTimer::singleShot(50, [&] { handled = true; });
        PauseSeconds(0.3, clock, m_window);
        QVERIFY(handled);
        QVERIFY(clock.secondsSinceMidnight() >= 3600.3);
        // An idle pause wakes a few times a second to look at the clock; it does not spin.
        QVERIFY2(m_window->yields < 30, qPrintable(QString::number(m_window->yields)));
    }
};

QTEST_MAIN(tst_ExtractionRun)
#include "tst_ExtractionRun.moc"
