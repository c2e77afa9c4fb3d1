// The run over real documents that nobody here wrote, with the real document engine.
#include "FakeProgress.h"
#include "extract/ExtractionRun.h"
#include "filelist/InputFileList.h"
#include "platform/EngineWordFactory.h"
#include "FakeContext.h"
#include "results/ResultsTable.h"
#include <QDir>
#include <QFileInfo>
#include <QTest>


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
            fake.settings->values.insert(QStringLiteral("Column%1").arg(n), QList<int>{1, 3, 18, 21, 24}.contains(n) ? "1" : "0");
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
};

QTEST_MAIN(tst_ExtractionEndToEnd)
#include "tst_ExtractionEndToEnd.moc"
