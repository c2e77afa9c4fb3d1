// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"
#include "platform/EngineWordFactory.h"
#include "platform/RuntimeError.h"
#include "platform/WordAutomation.h"
#include "platform/fakes/FakePlatform.h"
#include "properties/PropertyCatalogue.h"
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class tst_PropertyCatalogue : public QObject {
    Q_OBJECT
private slots:
    void rowsThatDifferAreKeptApart()
    {
        const auto text = [](const char16_t *s) { return QString::fromUtf16(s); };
        QCOMPARE(text(catalogue::row(11).caption), QStringLiteral("Date Created"));
        QCOMPARE(text(catalogue::row(11).columnHeader), QStringLiteral("Created"));
        QCOMPARE(text(catalogue::row(11).wordName), QStringLiteral("Creation Date"));
        QCOMPARE(text(catalogue::row(12).wordName), text(catalogue::row(13).wordName));
        QCOMPARE(text(catalogue::row(13).columnHeader), QStringLiteral("Accessed"));
        QCOMPARE(text(catalogue::row(15).caption), QStringLiteral("Last Saved By"));
        QCOMPARE(text(catalogue::row(15).wordName), QStringLiteral("Last Author"));
        QCOMPARE(text(catalogue::row(18).caption), QStringLiteral("Number Of Pages"));
        QCOMPARE(text(catalogue::row(18).columnHeader), QStringLiteral("Pages"));
        QCOMPARE(text(catalogue::row(18).wordName), QStringLiteral("Number of Pages"));
        QCOMPARE(text(catalogue::row(23).caption), QStringLiteral("No. Of Characters (with spaces)"));
        QCOMPARE(text(catalogue::row(23).columnHeader), QStringLiteral("Characters (with spaces)"));
        QCOMPARE(text(catalogue::row(23).wordName), QStringLiteral("Number of Characters (with spaces)"));
        QCOMPARE(text(catalogue::row(24).wordName), QStringLiteral("Number of Bytes"));
    }

    void everyWordNameIsAnsweredByTheEngine_data()
    {
        QTest::addColumn<QString>("wordName");
        for (int n = 1; n <= catalogue::RowCount; ++n)
            QTest::newRow(qPrintable(QStringLiteral("row %1").arg(n)))
                << QString::fromUtf16(catalogue::row(n).wordName);
    }
    void everyWordNameIsAnsweredByTheEngine()
    {
        QFETCH(QString, wordName);
        QTemporaryDir dir;
        QFile doc(dir.filePath(QStringLiteral("note.txt")));
        QVERIFY(doc.open(QIODevice::WriteOnly));
        doc.write("Two words.\n");
        doc.close();
        const auto word = makeEngineWordFactory()->create();
        word->open(doc.fileName());
        // A property the document does not hold may be "not set"; a name the engine does not know never.
        try {
            word->activeDocument()->builtinProperty(wordName);
        } catch (const RuntimeError &e) {
            QVERIFY2(e.number() == RuntimeError::AutomationError, qPrintable(e.description()));
        }
        word->quit();
    }

    void namesKeysAndHeadersFollowTheRowNumber()
    {
        QSet<QString> wordNames;
        QStringList headers;
        for (int n = 1; n <= catalogue::RowCount; ++n) {
            const CatalogueRow &r = catalogue::row(n);
            QCOMPARE(r.number, n);
            QCOMPARE(QString::fromUtf16(r.checkBox), QStringLiteral("Check%1").arg(n));
            QCOMPARE(setting::column(r.number).key, QStringLiteral("Column%1").arg(n));
            wordNames.insert(QString::fromUtf16(r.wordName));
            headers << QString::fromUtf16(r.columnHeader);
        }
        QCOMPARE(wordNames.size(), 23); // rows 12 and 13 share one
        QCOMPARE(headers, (QStringList{"Title",
                                       "Subject",
                                       "Author",
                                       "Manager",
                                       "Company",
                                       "Category",
                                       "Keywords",
                                       "Comments",
                                       "Hyperlink Base",
                                       "Template",
                                       "Created",
                                       "Modified",
                                       "Accessed",
                                       "Printed",
                                       "Last Saved By",
                                       "Revision Number",
                                       "Total Editing Time",
                                       "Pages",
                                       "Paragraphs",
                                       "Lines",
                                       "Words",
                                       "Characters",
                                       "Characters (with spaces)",
                                       "Bytes"}));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, catalogue::row(0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, catalogue::row(25));
    }

    void theTwoReadersOfTheSelection_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<int>("run"); // 1 selected, 0 not, -1 type mismatch
        QTest::newRow("1") << "1" << true << 1;
        QTest::newRow("0") << "0" << false << 0;
        QTest::newRow("1.0") << "1.0" << false << 1;
        QTest::newRow(" 1 ") << " 1 " << false << 1;
        QTest::newRow("+1") << "+1" << false << 1;
        QTest::newRow("1e0") << "1e0" << false << 1;
        QTest::newRow("2") << "2" << false << 0;
        QTest::newRow("-1") << "-1" << false << 0;
        QTest::newRow("yes") << "yes" << false << -1;
        QTest::newRow("empty") << "" << false << -1;
    }

    void theTwoReadersOfTheSelection()
    {
        QFETCH(QString, stored);
        QFETCH(bool, ticked);
        QFETCH(int, run);
        QCOMPARE(catalogue::tickedInChooser(stored), ticked);
        if (run < 0) {
            try {
                catalogue::selectedForRun(stored);
                QFAIL("a text that is no number must be a type mismatch");
            } catch (const RuntimeError &e) {
                QCOMPARE(e.number(), 13);
                QCOMPARE(e.description(), QStringLiteral("Type mismatch"));
            }
        } else {
            QCOMPARE(catalogue::selectedForRun(stored), run == 1);
        }
    }

    void selectionDefaultsToSelected()
    {
        auto fake = std::make_shared<FakeSettings>();
        SettingsStore store(fake);
        QCOMPARE(catalogue::readSelection(store, 5), QStringLiteral("1"));
        catalogue::writeSelection(store, 5, false);
        QCOMPARE(fake->values.value(QStringLiteral("Column5")), QStringLiteral("0"));
        QCOMPARE(catalogue::readSelection(store, 5), QStringLiteral("0"));
        catalogue::writeSelection(store, 5, true);
        QCOMPARE(fake->writes, (QStringList{"Column5=0", "Column5=1"}));
    }
};

QTEST_GUILESS_MAIN(tst_PropertyCatalogue)
#include "tst_PropertyCatalogue.moc"
