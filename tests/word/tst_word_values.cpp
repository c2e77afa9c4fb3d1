// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Property values as the program reads them: types, the catalogue of items,
// and the automation surface (instances, documents, errors) with its adapter for the program.
#include "WordTestMain.h"
#include "WordTestSupport.h"
#include "platform/EngineWordFactory.h"
#include "platform/RuntimeError.h"
#include "word/Application.h"
#include "word/Errors.h"
#include "word/PropertyValue.h"

using word::PropertyValue;

class TstWordValues : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_docx;

    // The engine's fault, or nullopt when the call succeeds.
    static std::optional<word::Fault> faultOf(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const word::Error &e) {
            return e.fault();
        }
        return std::nullopt;
    }
    // The run-time error number the program's adapter raises, 0 when the call succeeds.
    static int errorNumberOf(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const RuntimeError &e) {
            return e.number();
        }
        return 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        wt::DocxParts parts;
        parts.core = wt::coreXml({{"dc:title", "Quarterly report"},
                                  {"dc:creator", "Ada"},
                                  {"cp:revision", "7"},
                                  {"dcterms:created", "2024-03-05T14:07:09Z"},
                                  {"dcterms:modified", "2024-03-06T00:00:00Z"}});
        parts.app = wt::appXml({{"Pages", "12"}, {"Words", "1234567"}, {"TotalTime", "95"}});
        m_docx = wt::writeFile(m_dir, QStringLiteral("report.docx"), wt::makeDocx(parts));
    }

    // The engine types what the document stores; how a value reads in a locale is the results' concern.
    void documentValuesTyped()
    {
        word::Application app;
        const auto doc = app.open(m_docx);
        QCOMPARE(doc->builtinProperty(QStringLiteral("Creation Date")),
                 PropertyValue::dateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC).toLocalTime()));
        QCOMPARE(doc->builtinProperty(QStringLiteral("Last Save Time")).asDateTime(),
                 QDateTime(QDate(2024, 3, 6), QTime(0, 0), Qt::UTC));
        QCOMPARE(doc->builtinProperty(QStringLiteral("Number of Words")), PropertyValue::integer(1234567));
        QCOMPARE(doc->builtinProperty(QStringLiteral("Total Editing Time")), PropertyValue::integer(95));
        QCOMPARE(doc->builtinProperty(QStringLiteral("Revision Number")), PropertyValue::text(QStringLiteral("7")));
    }

    void toInt32()
    {
        QCOMPARE(PropertyValue::integer(12).toInt32(), 12);
        QCOMPARE(PropertyValue::text(QStringLiteral(" 42 ")).toInt32(), 42);
        QCOMPARE(faultOf([] { (void)PropertyValue::integer(4294967295ll).toInt32(); }), word::Fault::Overflow);
        QCOMPARE(faultOf([] { (void)PropertyValue::text(QStringLiteral("x")).toInt32(); }), word::Fault::TypeMismatch);
        QCOMPARE(faultOf([] { (void)PropertyValue::dateTime(QDateTime::currentDateTimeUtc()).toInt32(); }),
                 word::Fault::TypeMismatch);
    }

    // ---- the items
    void itemsByNumberAndName()
    {
        const QList<QPair<int, QString>> items{{1, "Title"},
                                               {2, "Subject"},
                                               {3, "Author"},
                                               {4, "Keywords"},
                                               {5, "Comments"},
                                               {6, "Template"},
                                               {7, "Last Author"},
                                               {8, "Revision Number"},
                                               {10, "Last Print Date"},
                                               {11, "Creation Date"},
                                               {12, "Last Save Time"},
                                               {13, "Total Editing Time"},
                                               {14, "Number of Pages"},
                                               {15, "Number of Words"},
                                               {16, "Number of Characters"},
                                               {18, "Category"},
                                               {20, "Manager"},
                                               {21, "Company"},
                                               {22, "Number of Bytes"},
                                               {23, "Number of Lines"},
                                               {24, "Number of Paragraphs"},
                                               {29, "Hyperlink Base"},
                                               {30, "Number of Characters (with spaces)"}};
        QCOMPARE(items.size(), word::kBuiltinCount);
        for (const auto &[number, name] : items) {
            QCOMPARE(word::builtinByNumber(number), word::builtinByName(name));
            QVERIFY2(word::builtinByName(name).has_value(), qPrintable(name));
        }
        QVERIFY(!word::builtinByName(QStringLiteral("Number Of Pages"))); // names are exact
        QVERIFY(!word::builtinByNumber(9));
        QVERIFY(!word::builtinByNumber(31));
    }

    void typesAndAbsentValues()
    {
        wt::DocxParts parts; // no app.xml: no counts, no template
        parts.core = wt::coreXml({{"dc:title", "T"}, {"dcterms:created", "2020-01-02T03:04:05Z"}});
        const QString path = wt::writeFile(m_dir, QStringLiteral("sparse.docx"), wt::makeDocx(parts));
        word::Application app;
        const auto doc = app.open(path);
        QCOMPARE(doc->builtinProperty(1).type(), PropertyValue::Type::Text);
        QCOMPARE(doc->builtinProperty(11).type(), PropertyValue::Type::DateTime);
        QCOMPARE(doc->builtinProperty(QStringLiteral("Template")), PropertyValue::text(QString()));
        QCOMPARE(doc->builtinProperty(QStringLiteral("Company")), PropertyValue::text(QString()));
        QCOMPARE(doc->builtinProperty(QStringLiteral("Revision Number")), PropertyValue::text(QString()));
        QCOMPARE(doc->builtinProperty(QStringLiteral("Number of Bytes")).asInteger(), QFileInfo(path).size());
        // Its body is empty: the word count is computed, 0; pages need a layout and stay unset.
        QCOMPARE(doc->builtinProperty(QStringLiteral("Number of Words")), PropertyValue::integer(0));
        for (const char *name :
             {"Number of Pages", "Total Editing Time", "Last Print Date", "Last Save Time", "Number of Lines"}) {
            try {
                (void)doc->builtinProperty(QLatin1String(name));
                QFAIL(name);
            } catch (const word::Error &e) {
                QCOMPARE(e.fault(), word::Fault::NoValue);
                QVERIFY(e.description().contains(QLatin1String(name)));
                QVERIFY(e.description().contains(QStringLiteral("sparse.docx")));
            }
        }
        QCOMPARE(faultOf([&] { (void)doc->builtinProperty(9); }), word::Fault::NoSuchProperty);
        QCOMPARE(faultOf([&] { (void)doc->builtinProperty(QStringLiteral("Colour")); }), word::Fault::NoSuchProperty);
    }

    // ---- instances and documents
    void activeDocumentFollowsOpenAndClose()
    {
        const QString other = wt::writeFile(m_dir, QStringLiteral("notes.txt"), "just text\n");
        word::Application app;
        QCOMPARE(faultOf([&] { (void)app.activeDocument(); }), word::Fault::NoDocument);
        const auto a = app.open(m_docx);
        QCOMPARE(app.activeDocument(), a);
        const auto b = app.open(other);
        QCOMPARE(app.activeDocument(), b);
        QCOMPARE(app.documentCount(), 2);
        b->close(0);
        QCOMPARE(app.activeDocument(), a);
        QCOMPARE(faultOf([&] { (void)b->builtinProperty(1); }), word::Fault::DocumentClosed);
        a->close(0);
        QCOMPARE(faultOf([&] { (void)app.activeDocument(); }), word::Fault::NoDocument);
        app.quit();
        QCOMPARE(faultOf([&] { (void)app.open(m_docx); }), word::Fault::EngineEnded);
    }

    void quitClosesEveryDocument()
    {
        word::Application app;
        const auto a = app.open(m_docx);
        app.quit();
        QVERIFY(a->isClosed());
    }

    void failedOpenLeavesActiveDocumentAlone()
    {
        word::Application app;
        const auto a = app.open(m_docx);
        QCOMPARE(faultOf([&] { (void)app.open(m_dir.filePath(QStringLiteral("missing.doc"))); }),
                 word::Fault::NotFound);
        QCOMPARE(app.activeDocument(), a);
    }

    void closeNeverWrites()
    {
        const QByteArray before = [&] {
            QFile f(m_docx);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        const QDateTime modified = QFileInfo(m_docx).lastModified();
        word::Application app;
        app.open(m_docx)->close(-1); // even when asked to save
        app.quit();
        QFile f(m_docx);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QCOMPARE(QFileInfo(m_docx).lastModified(), modified);
    }

    // ---- the program's adapter
    void engineFactoryServesTheAutomationSurface()
    {
        const auto factory = makeEngineWordFactory();
        auto app = factory->create();
        const auto doc = app->open(m_docx);
        QCOMPARE(doc->builtinProperty(14).toInt32(), 12);
        QCOMPARE(app->activeDocument()->builtinProperty(QStringLiteral("Title")).asText(),
                 QStringLiteral("Quarterly report"));
        QCOMPARE(app->activeDocument()->builtinProperty(QStringLiteral("Author")).asText(), QStringLiteral("Ada"));
        doc->close(0);
        QCOMPARE(errorNumberOf([&] { (void)app->activeDocument(); }), 4248);
        app->quit();
    }

    void engineFactoryReportsReadableOpenErrors()
    {
        auto app = makeEngineWordFactory()->create();
        const QString missing = m_dir.filePath(QStringLiteral("gone.docx"));
        try {
            (void)app->open(missing);
            QFAIL("opened a missing file");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 5174);
            QVERIFY(e.description().contains(missing));
        }
        app->quit();
    }

    // Each engine failure reaches the window's error report with the number the word processor would raise.
    void engineFactoryGivesEachFailureItsNumber_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("number");
        QTest::newRow("missing file") << 0 << 5174;
        QTest::newRow("folder") << 1 << 75;
        QTest::newRow("not a document") << 2 << 321;
        QTest::newRow("value not held") << 3 << 440;
        QTest::newRow("no such item") << 4 << 5;
        QTest::newRow("closed document") << 5 << 5825;
        QTest::newRow("instance ended") << 6 << 462;
        QTest::newRow("text as number") << 7 << 13;
        QTest::newRow("number beyond 32 bits") << 8 << 6;
    }
    void engineFactoryGivesEachFailureItsNumber()
    {
        QFETCH(int, scenario);
        QFETCH(int, number);
        const QString pdf = wt::writeFile(m_dir, QStringLiteral("paper.pdf"), "%PDF-1.4\n");
        auto app = makeEngineWordFactory()->create();
        const std::function<void()> calls[] = {
            [&] { (void)app->open(m_dir.filePath(QStringLiteral("gone.docx"))); },
            [&] { (void)app->open(m_dir.path()); },
            [&] { (void)app->open(pdf); },
            [&] { (void)app->open(m_docx)->builtinProperty(QStringLiteral("Last Print Date")); },
            [&] { (void)app->open(m_docx)->builtinProperty(9); },
            [&] {
                const auto d = app->open(m_docx);
                d->close(0);
                (void)d->builtinProperty(1);
            },
            [&] {
                app->quit();
                (void)app->open(m_docx);
            },
            [&] { (void)::toInt32(PropertyValue::text(QStringLiteral("x"))); },
            [&] { (void)::toInt32(PropertyValue::integer(4294967295ll)); },
        };
        QCOMPARE(errorNumberOf(calls[scenario]), number);
    }

    void instancesAreIndependent()
    {
        const auto factory = makeEngineWordFactory();
        auto one = factory->create();
        auto two = factory->create();
        one->open(m_docx);
        QCOMPARE(errorNumberOf([&] { (void)two->activeDocument(); }), 4248);
        one->quit();
        two->quit();
    }
};

QV_WORD_TEST_MAIN(TstWordValues)
#include "tst_word_values.moc"
