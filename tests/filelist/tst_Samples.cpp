// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeContext.h"
#include "ListTexts.h"
#include "TestTree.h"
#include "app/Samples.h"
#include "filelist/InputFileList.h"
#include "platform/DesktopPlatform.h"
#include <QStandardPaths>
#include <QTest>

// The sample documents: recording on first start, loading by the button, and the scrambled form.
class tst_Samples : public QObject {
    Q_OBJECT

    // A program folder with three samples, recorded as on a first start.
    struct Installed {
        TestTree tree;
        std::unique_ptr<FakeContext> tc;
        QStringList samples;
        explicit Installed(const QString &folderName = QStringLiteral("program"))
        {
            for (const char *name : {"Report.docx", "legacy.doc", "notes.rtf"})
                samples << tree.file(folderName + QStringLiteral("/Samples/") + QLatin1String(name));
            samples.sort(Qt::CaseInsensitive);
            tc = std::make_unique<FakeContext>(tree.path(folderName));
            RecordSampleList(tc->ctx);
        }
        const ShownMessage *question() const
        {
            const auto &shown = tc->fakes.messages->shown;
            return shown.isEmpty() ? nullptr : &shown.last();
        }
    };

    static QString allCodes()
    {
        QString s;
        for (int c = 1; c <= 255; ++c)
            s += QChar(c);
        return s;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstStartRecordsAndTheButtonAddsEachOnce()
    {
        Installed p;
        const QString stored = p.tc->fakes.settings->values.value("Snapshot");
        QVERIFY(!stored.isEmpty());
        QVERIFY(!stored.contains("Samples")); // kept scrambled
        QCOMPARE(UnscrambleText(stored, samples::ScrambleKey), p.samples.join('|'));

        InputFileList list;
        list.add("/unrelated.doc");
        samples::addSampleFiles(p.tc->ctx, list);
        QCOMPARE(texts(list), QStringList{"/unrelated.doc"} + p.samples);
        const ShownMessage *q = p.question();
        QVERIFY(q);
        QCOMPARE(q->title, QStringLiteral("Quillmere"));
        QCOMPARE(q->text, QStringLiteral("Would you like this software to open the folder where these sample files are "
                                         "stored (so that you can view them before working with them)?"));
        QCOMPARE(q->buttons, MsgButtons::YesNo);
        QCOMPARE(q->icon, MsgIcon::None);
        QVERIFY(p.tc->fakes.shell->folders.isEmpty()); // answered No

        p.tc->fakes.messages->answers.push_back(MsgAnswer::Yes);
        samples::addSampleFiles(p.tc->ctx, list);
        QCOMPARE(list.count(), 4); // nothing new the second time
        QCOMPARE(p.tc->fakes.shell->folders, QStringList(p.tree.path("program/Samples/")));
        QCOMPARE(p.tc->errorReports(), QStringList());
    }

    void changesAfterRecording()
    {
        Installed p;
        QFile::remove(p.samples[1]);
        p.tree.file("program/Samples/added-later.docx");
        InputFileList list;
        // The same path in other letter case is another entry.
        list.add(p.samples[0].toUpper());
        samples::addSampleFiles(p.tc->ctx, list);
        QCOMPARE(texts(list), QStringList({p.samples[0].toUpper(), p.samples[0], p.samples[2]}));
    }

    void nonAsciiProgramFolder()
    {
        Installed p(QStringLiteral("Программа Ünïcødé 試験"));
        InputFileList list;
        samples::addSampleFiles(p.tc->ctx, list);
        QCOMPARE(texts(list), p.samples);
    }

    void noSamplesFolderStillAsks()
    {
        TestTree t;
        FakeContext tc(t.path("empty-program"));
        RecordSampleList(tc.ctx);
        QCOMPARE(tc.fakes.settings->writes, QStringList("Snapshot="));
        InputFileList list;
        tc.fakes.messages->answers.push_back(MsgAnswer::Yes);
        samples::addSampleFiles(tc.ctx, list);
        QCOMPARE(list.count(), 0);
        QCOMPARE(tc.fakes.messages->shown.size(), 1);
        QCOMPARE(tc.fakes.shell->folders, QStringList(t.path("empty-program/Samples/")));
    }

    void neverRecordedAddsNothing()
    {
        FakeContext tc(QStringLiteral("/nonexistent"));
        InputFileList list;
        samples::addSampleFiles(tc.ctx, list);
        QCOMPARE(list.count(), 0);
        QCOMPARE(tc.fakes.messages->shown.size(), 1); // the question only
        QCOMPARE(tc.errorReports(), QStringList());
    }

    void errorsAbandonTheLoad()
    {
        Installed p;
        p.tc->fakes.settings->refuseReads = true;
        InputFileList list;
        samples::addSampleFiles(p.tc->ctx, list);
        QCOMPARE(list.count(), 0);
        QCOMPARE(p.tc->fakes.messages->texts(),
                 QStringList(ErrorReporter::text("Quillmark2021/08/31.Form1.PushButton9_Click", 100,
                                                 "The settings could not be read.")));
        // Recording has no report of its own: the caller sees the error.
        p.tc->fakes.settings->refuseWrites = true;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, RecordSampleList(p.tc->ctx));
    }

    void scrambleRoundTripThroughTheSettingsFile()
    {
        const QString text = allCodes() + allCodes().right(40) + QStringLiteral("|/home/Ωμέγα/文書/😀.docx");
        const QString scrambled = ScrambleText(text, samples::ScrambleKey);
        QVERIFY(scrambled != text);
        // Every code from 1 to 255 must come back from the file as written.
        QString codes = allCodes();
        for (const QString &value : {scrambled, codes}) {
            {
                QSettingsBackend writer("Velkorn-test", "Quillmere Vantrel", "Quillmere Vantrel");
                writer.write("Snapshot", value);
            }
            QSettingsBackend reader("Velkorn-test", "Quillmere Vantrel", "Quillmere Vantrel");
            QCOMPARE(reader.read("Snapshot").value_or(QString()), value);
        }
        QCOMPARE(UnscrambleText(scrambled, samples::ScrambleKey), text);
        QCOMPARE(UnscrambleText(ScrambleText(codes, "z"), "z"), codes);
        QCOMPARE(UnscrambleText(ScrambleText(codes, "a"), "a"), codes);
    }

    void scrambleRules()
    {
        QCOMPARE(ScrambleText(QString(), samples::ScrambleKey), QString());
        QCOMPARE(UnscrambleText(QString(), samples::ScrambleKey), QString());
        // The key is reused from its first letter: 'A'+'a', 'A'+'b', 'A'+'a'.
        QCOMPARE(ScrambleText("AAA", "ab"), QString(QChar(162)) + QChar(163) + QChar(162));
        // Past 255 the code wraps to 1: 255 is carried as the two bytes of U+00FF, 195 and 191.
        QCOMPARE(ScrambleText(QString(QChar(0xFF)), "z"), QString(QChar(195 + 122 - 255)) + QChar(191 + 122 - 255));
        QCOMPARE(samples::ScrambleKey.size(), 8);
        for (QChar c : samples::ScrambleKey)
            QVERIFY(c >= u'a' && c <= u'z');
    }

    void scrambleLimits()
    {
        QCOMPARE(ScrambleText(QString(32767, u'a'), "k").size(), 32767);
        try {
            ScrambleText(QString(32768, u'a'), "k");
            QFAIL("no overflow");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 6);
        }
        // The limit counts codes: two-byte characters reach it at half the length.
        QVERIFY_THROWS_EXCEPTION(RuntimeError, ScrambleText(QString(16384, QChar(0xE9)), "k"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, UnscrambleText(QString(32768, u'a'), "k"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, ScrambleText("x", QString()));
        // Damaged stored values unscramble to something, never to a crash.
        QVERIFY(!UnscrambleText(QStringLiteral("False \u4e2d\u0000"), samples::ScrambleKey).contains(u'/'));
    }

    void scramblingYieldsOncePerCode()
    {
        FakeWindow window;
        const QString text = QStringLiteral("abc/é"); // six codes
        QVERIFY(samples::ScrambleText(text, samples::ScrambleKey, &window).has_value());
        QCOMPARE(window.yields, 6);
        window.yields = 0;
        window.onYield = [&](int n) { window.ended = n >= 3; };
        QVERIFY(!samples::UnscrambleText("abcdef", samples::ScrambleKey, &window).has_value());
    }
};

QTEST_MAIN(tst_Samples)
#include "tst_Samples.moc"
