// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The run over real documents that nobody here wrote, with the real document engine.
#include "FakeContext.h"
#include "FakeProgress.h"
#include "Processes.h"
#include "extract/ExtractionRun.h"
#include "filelist/InputFileList.h"
#include "platform/EngineWordFactory.h"
#include "results/ResultsTable.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <unistd.h>

namespace {

// Processes whose parent is this test: an office a run left behind would be one.
int childProcesses() { return int(testprocesses::childrenOf(getpid()).size()); }

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(f.fileName()));
    return f.fileName();
}

const QString kHelper = QStringLiteral(QV_PROGRAM_DIR "/quillmere-office");

bool officeInstalled()
{
    return QFileInfo(kHelper).isExecutable()
           && QFileInfo::exists(QStringLiteral("/usr/lib/libreoffice/program/libswlo.so"));
}

// A helper that speaks the protocol and takes `seconds` for a layout, answering 3 pages and 7 lines; it
// notes every request in `log`.
QString slowHelper(const QTemporaryDir &dir, int seconds)
{
    const QString log = dir.filePath(QStringLiteral("requests.log"));
    const QString path = writeFile(
        dir, QStringLiteral("slow-helper"),
        QStringLiteral("#!/bin/sh\necho ready layout\nwhile read verb rest; do\n  echo \"$verb\" >> '%1'\n"
                       "  case $verb in\n    layout) sleep %2; echo ok 3 7 -1 -1 -1 -1;;\n    quit) exit 0;;\n"
                       "    *) echo fail 0 -;;\n  esac\ndone\n")
            .arg(log)
            .arg(seconds)
            .toUtf8());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

class tst_ExtractionEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void realDocuments()
    {
        const QString corpus = QStringLiteral(QV_SHARED_DIR "/corpus");
        if (!QDir(corpus).exists())
            QSKIP("the shared document corpus is not here");
        FakeContext context;
        FakePlatform &fake = context.fakes;
        context.ctx.platform.word = makeEngineWordFactory();
        for (int n = 1; n <= 24; ++n) // Title, Author, Pages, Words, Bytes
            fake.settings->values.insert(QStringLiteral("Column%1").arg(n),
                                         QList<int>{1, 3, 18, 21, 24}.contains(n) ? "1" : "0");
        InputFileList list;
        const QStringList files{"tika/microsoft/testWORD.doc", "tika/microsoft/testWORD.docx",
                                "tika/miscoffice/testODFwithOOo3.odt", "poi/document/truncated62886.docx"};
        for (const QString &f : files)
            list.add(corpus + QLatin1Char('/') + f);
        ResultsTable table;
        FakeProgress bar;
        ExtractionRun run(context.ctx, list, table, bar, 0.0);
        run.runExtraction();

        QCOMPARE(table.rows(), 4);
        const QStringList expectedTitle{"Sample Word Document", "Sample Word Document", "Apache Tika"};
        const QStringList expectedAuthor{"Keith Bennett", "Keith Bennett", "Bart Hanssens"};
        const QStringList expectedWords{"122", "122", "54"};
        for (int r = 1; r <= 3; ++r) {
            QCOMPARE(table.rowText(r), corpus + QLatin1Char('/') + files[r - 1]);
            QCOMPARE(table.valueText(r, 1), expectedTitle[r - 1]);
            QCOMPARE(table.valueText(r, 2), expectedAuthor[r - 1]);
            QCOMPARE(table.valueText(r, 3), QStringLiteral("2"));
            QCOMPARE(table.valueText(r, 4), expectedWords[r - 1]);
            QCOMPARE(table.valueText(r, 5), QString::number(QFileInfo(table.rowText(r)).size()));
            QVERIFY(table.checked(r));
        }
        // The damaged document is reported with a reason that names it, and keeps its row.
        QCOMPARE(fake.messages->shown.size(), 2);
        const QString report = fake.messages->shown.first().text;
        QVERIFY2(report.contains(QStringLiteral("truncated62886.docx")), qPrintable(report));
        QVERIFY(report.contains(QStringLiteral("at line 234")));
        QCOMPARE(table.rowText(4), corpus + QStringLiteral("/poi/document/truncated62886.docx"));
        QCOMPARE(table.valueText(4, 1), QStringLiteral("Not set"));
        QCOMPARE(fake.messages->shown.last().text, QStringLiteral("Done."));
    }

    // Pages and lines a document does not store come from the office's layout during the run; stored
    // ones win; a document the office does not finish in time is ended and the run goes on.
    void layoutGivesMissingPagesAndLines_data()
    {
        QTest::addColumn<int>("timeLimitMs");
        QTest::addColumn<QString>("pages");
        QTest::addColumn<QString>("lines");
        QTest::newRow("laid out") << 60000 << "2"
                                  << "2";
        QTest::newRow("never finishes in time") << 1 << "Not set"
                                                << "Not set";
    }
    void layoutGivesMissingPagesAndLines()
    {
        if (!officeInstalled())
            QSKIP("the LibreOffice helper or the office's word processor is not installed");
        QFETCH(int, timeLimitMs);
        QFETCH(QString, pages);
        QFETCH(QString, lines);
        QTemporaryDir dir;
        const QString twoPages =
            writeFile(dir, QStringLiteral("two-pages.rtf"),
                      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Serif;}}\\f0 one\\par\\page two\\par}");
        const QString stored = writeFile(dir, QStringLiteral("stored.rtf"), "{\\rtf1{\\info{\\nofpages3}}one\\par}");
        FakeContext context;
        FakePlatform &fake = context.fakes;
        context.ctx.platform.word = makeEngineWordFactory({std::chrono::milliseconds(timeLimitMs), kHelper});
        for (int n = 1; n <= 24; ++n) // Pages, Lines
            fake.settings->values.insert(QStringLiteral("Column%1").arg(n), n == 18 || n == 20 ? "1" : "0");
        InputFileList list;
        list.add(twoPages);
        list.add(stored);
        ResultsTable table;
        FakeProgress bar;
        ExtractionRun run(context.ctx, list, table, bar, 0.0);
        run.runExtraction();

        QCOMPARE(table.rows(), 2);
        QCOMPARE(table.valueText(1, 1), pages);
        QCOMPARE(table.valueText(1, 2), lines);
        QCOMPARE(table.valueText(2, 1), QStringLiteral("3"));
        QCOMPARE(fake.messages->shown.size(), 1);
        QCOMPARE(fake.messages->shown.last().text, QStringLiteral("Done."));
        QCOMPARE(childProcesses(), 0);
    }

    // A layout is waited for as the page-count pause waits: the window's events go on being processed,
    // and a layout is asked for only when Pages or Lines is among the chosen properties.
    void theWindowAnswersWhileALayoutIsAwaited_data()
    {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<QString>("firstCell");
        QTest::addColumn<int>("layouts");
        QTest::newRow("pages chosen") << QList<int>{18} << "3" << 1;
        QTest::newRow("lines chosen") << QList<int>{20} << "7" << 1;
        QTest::newRow("neither chosen") << QList<int>{1} << "" << 0;
    }
    void theWindowAnswersWhileALayoutIsAwaited()
    {
        QFETCH(QList<int>, chosen);
        QFETCH(QString, firstCell);
        QFETCH(int, layouts);
        QTemporaryDir dir;
        const QString doc = writeFile(dir, QStringLiteral("no-counts.rtf"), "{\\rtf1 one\\par two\\par}");
        FakeContext context;
        context.ctx.platform.word = makeEngineWordFactory({kLayoutTimeLimit, slowHelper(dir, 2)});
        for (int n = 1; n <= 24; ++n)
            context.fakes.settings->values.insert(QStringLiteral("Column%1").arg(n), chosen.contains(n) ? "1" : "0");
        InputFileList list;
        list.add(doc);
        ResultsTable table;
        FakeProgress bar;
        ExtractionRun run(context.ctx, list, table, bar, 0.0);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(50);
        QElapsedTimer clock;
        clock.start();
        run.runExtraction();

        QCOMPARE(table.valueText(1, 1), firstCell);
        QFile log(dir.filePath(QStringLiteral("requests.log")));
        const QByteArray requests = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        QCOMPARE(requests.count("layout"), layouts);
        if (layouts > 0) // two seconds of layout, and the timer went on firing all along
            QVERIFY2(clock.elapsed() >= 2000 && ticks >= 20, qPrintable(QString::number(ticks)));
        QCOMPARE(childProcesses(), 0);
    }

    // Closing the window during a layout ends the wait at once, and the helper with it.
    void closingTheWindowDuringALayoutEndsItAtOnce()
    {
        QTemporaryDir dir;
        const QString doc = writeFile(dir, QStringLiteral("no-counts.rtf"), "{\\rtf1 one\\par}");
        FakeContext context;
        context.ctx.platform.word = makeEngineWordFactory({kLayoutTimeLimit, slowHelper(dir, 60)});
        for (int n = 1; n <= 24; ++n)
            context.fakes.settings->values.insert(QStringLiteral("Column%1").arg(n), n == 18 ? "1" : "0");
        InputFileList list;
        list.add(doc);
        list.add(doc);
        ResultsTable table;
        FakeProgress bar;
        ExtractionRun run(context.ctx, list, table, bar, 0.0);
        QTimer::singleShot(500, [&] { context.window.ended = true; });
        QElapsedTimer clock;
        clock.start();
        run.runExtraction();
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(table.rows(), 1); // nothing after the close ran
        QTRY_COMPARE_WITH_TIMEOUT(childProcesses(), 0, 10000);
    }
};

QTEST_MAIN(tst_ExtractionEndToEnd)
#include "tst_ExtractionEndToEnd.moc"
