// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeContext.h"
#include "ListTexts.h"
#include "TestTree.h"
#include "filelist/FileAttributes.h"
#include "filelist/FileListHandlers.h"
#include "filelist/FolderWalk.h"
#include "filelist/InputFileList.h"
#include "filelist/Wildcard.h"
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

// The folder import: its dialogs and settings, the folder walk and the file tests beneath it.
class tst_FolderImport : public QObject {
    Q_OBJECT

    // Runs the import with the given extension answer and folder choice.
    static QStringList import(FakeContext &tc, InputFileList &list, const QString &extension, const QString &folder)
    {
        tc.fakes.messages->inputAnswers.push_back(extension);
        if (!extension.isEmpty())
            tc.fakes.dialogs->folderAnswers.push_back(folder);
        filelist::addFolderFiles(tc.ctx, list);
        return texts(list);
    }

    // A tree with several kinds of names in two levels.
    static void mixedTree(const TestTree &t)
    {
        t.file("a.doc");
        t.file("B.DOCX");
        t.file("c.docm");
        t.file("notes.txt");
        t.file("readme");
        t.file("x.do");
        t.file("sub/d.doc");
        t.file("sub/e.txt");
        t.file("sub/deeper/f.doc");
        t.file("sub2/g.odt");
    }

private slots:
    void patterns_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("* lists every file")
            << "*" << QStringList{"a.doc", "B.DOCX",    "c.docm",    "notes.txt",  "readme",
                                  "x.do",  "sub/d.doc", "sub/e.txt", "sub2/g.odt", "sub/deeper/f.doc"};
        QTest::newRow("txt lists text files only") << "txt" << QStringList{"notes.txt", "sub/e.txt"};
        QTest::newRow("doc also finds docx and docm")
            << "doc" << QStringList{"a.doc", "B.DOCX", "c.docm", "sub/d.doc", "sub/deeper/f.doc"};
        QTest::newRow("upper-case answer") << "TXT" << QStringList{"notes.txt", "sub/e.txt"};
        QTest::newRow("four letters are exact") << "docx" << QStringList{"B.DOCX"};
        QTest::newRow("no match") << "pdf" << QStringList{};
    }
    void patterns()
    {
        QFETCH(QString, extension);
        QFETCH(QStringList, expected);
        TestTree t;
        mixedTree(t);
        FakeContext tc;
        InputFileList list;
        QStringList full;
        for (const QString &e : expected)
            full << t.path(e);
        QCOMPARE(import(tc, list, extension, t.dir.path()), full);
        QVERIFY(tc.fakes.messages->shown.isEmpty());
    }

    void dialogsAndSettings()
    {
        TestTree t;
        t.file("one.txt");
        FakeContext tc;
        InputFileList list;
        import(tc, list, "txt", t.dir.path());
        QCOMPARE(tc.fakes.messages->inputs.size(), 1);
        QCOMPARE(tc.fakes.messages->inputs[0].title, QStringLiteral("Quillmere"));
        QCOMPARE(tc.fakes.messages->inputs[0].prompt,
                 QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all "
                                "doc files, etc.)"));
        QCOMPARE(tc.fakes.messages->inputs[0].defaultAnswer, QStringLiteral("doc"));
        QCOMPARE(tc.fakes.dialogs->calls[0].title, QStringLiteral("Please select folder:"));
        QCOMPARE(tc.fakes.dialogs->calls[0].start, QString());
        QCOMPARE(tc.fakes.settings->writes, QStringList({"Extension=txt", "LastFolder=" + t.dir.path()}));
        QCOMPARE(tc.window.pointerHistory, QList<int>({pointer::Busy, pointer::Default}));

        // The next import offers what was used last.
        import(tc, list, "txt", t.dir.path());
        QCOMPARE(tc.fakes.messages->inputs[1].defaultAnswer, QStringLiteral("txt"));
        QCOMPARE(tc.fakes.dialogs->calls[1].start, t.dir.path());
        // Importing the same folder twice lists its files twice.
        QCOMPARE(texts(list), QStringList({t.path("one.txt"), t.path("one.txt")}));
    }

    void cancelling()
    {
        TestTree t;
        t.file("a.doc");
        FakeContext tc;
        tc.fakes.settings->values.insert("Extension", "rtf");
        InputFileList list;
        import(tc, list, "", t.dir.path()); // the extension box cancelled
        QCOMPARE(tc.fakes.dialogs->calls.size(), 0);
        QCOMPARE(tc.fakes.settings->writes, QStringList());
        import(tc, list, "doc", ""); // the folder chooser cancelled: the extension is kept all the same
        QCOMPARE(tc.fakes.settings->writes, QStringList({"Extension=doc"}));
        QCOMPARE(list.count(), 0);
        QVERIFY(tc.window.pointerHistory.isEmpty());
        QVERIFY(tc.fakes.messages->shown.isEmpty());
    }

    void refusedSettingsAreReported()
    {
        TestTree t;
        t.file("a.doc");
        FakeContext tc;
        tc.fakes.settings->refuseWrites = true;
        InputFileList list;
        QCOMPARE(import(tc, list, "doc", t.dir.path()), QStringList({t.path("a.doc")}));
        const QString location = "Quillmark2021/08/31.Form1.PushButton4_Click";
        QCOMPARE(tc.errorReports(),
                 QStringList({ErrorReporter::text(location, 106, "The settings could not be written."),
                              ErrorReporter::text(location, 114, "The settings could not be written.")}));
    }

    void namesAndAttributes()
    {
        TestTree t;
        t.file("~$owner.doc");
        t.file("~temp.doc");
        t.file("kept~.doc");
        t.file(".lock.doc");           // hidden and writable: attributes exactly 34
        t.file(".readonly.doc", true); // hidden, archive and read-only: added
        t.file("plain-readonly.doc", true);
        t.file(".hidden/inside.doc"); // a hidden folder is walked
        FakeContext tc;
        InputFileList list;
        QCOMPARE(import(tc, list, "doc", t.dir.path()),
                 QStringList({t.path(".readonly.doc"), t.path("kept~.doc"), t.path("plain-readonly.doc"),
                              t.path(".hidden/inside.doc")}));
    }

    void unsafeFolderNamesAreNotWalked()
    {
        TestTree t;
        t.file("ok/a.doc");
        t.file(QStringLiteral("tab\there/b.doc"));
        t.file(QStringLiteral("ques?tion/c.doc"));
        t.file(QStringLiteral("next%1line/d.doc").arg(QChar(0x85)));
        t.file(QStringLiteral("del%1/e.doc").arg(QChar(0x7f)));
        t.file(QStringLiteral("ques?tion/below/f.doc"));
        t.file(QStringLiteral("Ünïcødé ✓/g.doc")); // representable in the locale's charset
        // A name whose bytes are no valid text in the charset cannot be reached by a path text.
        const QByteArray badName = QFile::encodeName(t.dir.path()) + "/bad\xff";
        QVERIFY(::mkdir(badName.constData(), 0755) == 0);
        FakeContext tc;
        InputFileList list;
        const QStringList found = import(tc, list, "doc", t.dir.path());
        ::rmdir(badName.constData());
        QCOMPARE(found, QStringList({t.path("ok/a.doc"), t.path("Ünïcødé ✓/g.doc")}));
    }

    void hundredTwentyFilesInOneFolder()
    {
        TestTree t;
        QStringList expected;
        for (int i = 0; i < 120; ++i)
            expected << t.file(QStringLiteral("many/%1.doc").arg(i, 3, 10, QChar(u'0')));
        FakeContext tc;
        InputFileList list;
        QCOMPARE(import(tc, list, "doc", t.path("many")), expected);
    }

    void longFolderPathsAreNotWalked()
    {
        TestTree t;
        // Nest folders until a folder's path (with its closing separator) reaches 260 characters: that
        // folder is still listed, but nothing below it is walked.
        const QString part = QString(40, u'n');
        QString relative;
        while ((t.path(relative + part) + "/").size() < filelist::MaxPathChars)
            relative += part + "/";
        const QString lastWalked = relative; // its path is below the bound: its subfolders are walked
        const QString tooLong = relative + part + "/";
        t.file(lastWalked + "a.doc");
        t.file(tooLong + "b.doc");
        t.file(tooLong + "deeper/c.doc");
        QVERIFY((t.path(tooLong)).size() >= filelist::MaxPathChars);
        FakeContext tc;
        InputFileList list;
        QCOMPARE(import(tc, list, "doc", t.dir.path()),
                 QStringList({t.path(lastWalked + "a.doc"), t.path(tooLong + "b.doc")}));
    }

    void folderEndingWithTheSeparator()
    {
        TestTree t;
        t.file("x/a.doc");
        t.file("x/y/b.doc");
        FakeContext tc;
        InputFileList list;
        QCOMPARE(import(tc, list, "doc", t.path("x/")), QStringList({t.path("x/a.doc"), t.path("x/y/b.doc")}));
    }

    void rootFolderEntriesHaveOneSeparator()
    {
        FakeContext tc;
        QStringList folders{filelist::FolderSetEntry("/")};
        QCOMPARE(folders, QStringList({"/"}));
        filelist::GetSubDirectories2016(tc.ctx, folders, false);
        QVERIFY(folders.contains("/tmp/"));
        for (const QString &f : folders)
            QVERIFY2(!f.startsWith("//"), qPrintable(f));
    }

    void linkLoopIsWalkedOnce()
    {
        TestTree t;
        t.file("top/a.doc");
        t.file("top/sub/b.doc");
        t.file("outside/c.doc");
        QVERIFY(::symlink("..", QFile::encodeName(t.path("top/sub/up")).constData()) == 0);
        QVERIFY(::symlink(QFile::encodeName(t.path("top")).constData(),
                          QFile::encodeName(t.path("top/sub/again")).constData())
                == 0);
        QVERIFY(::symlink(QFile::encodeName(t.path("outside")).constData(),
                          QFile::encodeName(t.path("top/link")).constData())
                == 0);
        FakeContext tc;
        InputFileList list;
        QCOMPARE(import(tc, list, "doc", t.path("top")),
                 QStringList({t.path("top/a.doc"), t.path("top/link/c.doc"), t.path("top/sub/b.doc")}));
    }

    void unreadableFolderIsDropped()
    {
        if (!permissionsDeny())
            QSKIP("running as the superuser: permission bits deny nothing");
        TestTree t;
        t.file("open/a.doc");
        t.file("closed/b.doc");
        t.file("closed/inner/c.doc");
        ::chmod(QFile::encodeName(t.path("closed")).constData(), 0);
        FakeContext tc;
        InputFileList list;
        const QStringList found = import(tc, list, "doc", t.dir.path());
        ::chmod(QFile::encodeName(t.path("closed")).constData(), 0755);
        QCOMPARE(found, QStringList({t.path("open/a.doc")}));
        QCOMPARE(tc.errorReports(), QStringList());
    }

    void unsearchableFolderAddsNothing()
    {
        if (!permissionsDeny())
            QSKIP("running as the superuser: permission bits deny nothing");
        TestTree t;
        t.file("listable/a.doc");
        // Names can be read, but no file can be reached (r-- without x).
        ::chmod(QFile::encodeName(t.path("listable")).constData(), 0444);
        const QStringList names = filelist::ListFiles(t.path("listable"), "*.doc");
        const bool reachable = filelist::IsExistingFile(t.path("listable/a.doc"));
        ::chmod(QFile::encodeName(t.path("listable")).constData(), 0755);
        QVERIFY(!reachable);
        QCOMPARE(names, QStringList());
    }

    void vanishedFolderIsDropped()
    {
        TestTree t;
        t.folder("a");
        t.file("b/inner/x.doc");
        t.file("c/y.doc");
        FakeContext tc;
        // Yields: 1 before the start folder, 2 and 3 before its subfolders a and b and 4 before c,
        // 5 before a is listed, 6 before b is listed: b vanishes in between.
        tc.window.onYield = [&](int n) {
            if (n == 6)
                QDir(t.path("b")).removeRecursively();
        };
        QStringList folders{filelist::FolderSetEntry(t.dir.path())};
        filelist::GetSubDirectories2016(tc.ctx, folders, true);
        QCOMPARE(folders, QStringList({t.dir.path() + "/", t.path("a/"), t.path("c/")}));
        QCOMPARE(tc.errorReports(), QStringList());
    }

    void walkErrorsAreReportedAndTheWalkGoesOn()
    {
        TestTree t;
        t.file("a/x.doc");
        t.file("b/y.doc");
        FakeContext tc;
        tc.window.onYield = [&](int n) {
            if (n == 2)
                throw RuntimeError(7, QStringLiteral("Out of memory"));
        };
        InputFileList list;
        QCOMPARE(import(tc, list, "doc", t.dir.path()), QStringList({t.path("a/x.doc"), t.path("b/y.doc")}));
        QCOMPARE(tc.errorReports(), QStringList(ErrorReporter::text(
                                        "Tormandel2021/08/31.AddFolder.GetSubDirectories2016", 108, "Out of memory")));
    }

    void walkYieldsUnderTheBusyPointerAndStopsWhenTheProgramEnds()
    {
        TestTree t;
        for (int i = 0; i < 5; ++i)
            t.file(QStringLiteral("f%1/g/a.doc").arg(i));
        FakeContext tc;
        QList<int> pointersSeen;
        tc.window.onYield = [&](int n) {
            pointersSeen << tc.window.mousePointer();
            if (n == 8)
                tc.window.ended = true;
        };
        InputFileList list;
        import(tc, list, "doc", t.dir.path());
        // Eight yields, then the handler's own look at whether the program still runs.
        QCOMPARE(tc.window.yields, 9);
        QCOMPARE(pointersSeen, QList<int>(9, pointer::Busy));
        QCOMPARE(list.count(), 0);
    }

    void wildcard_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("*.* without dot") << "*.*"
                                         << "README" << true;
        QTest::newRow("*.* hidden") << "*.*"
                                    << ".profile" << true;
        QTest::newRow("exact") << "*.doc"
                               << "a.doc" << true;
        QTest::newRow("case") << "*.doc"
                              << "A.DoC" << true;
        QTest::newRow("longer extension") << "*.doc"
                                          << "a.docx" << true;
        QTest::newRow("longer extension, many dots") << "*.doc"
                                                     << "v1.2.docm" << true;
        QTest::newRow("ends differently") << "*.doc"
                                          << "a.xdoc" << false;
        QTest::newRow("shorter") << "*.doc"
                                 << "a.do" << false;
        QTest::newRow("dot inside only") << "*.doc"
                                         << "a.doc.bak" << false;
        QTest::newRow("two letters are exact") << "*.do"
                                               << "a.doc" << false;
        QTest::newRow("four letters are exact") << "*.docx"
                                                << "a.docxx" << false;
        QTest::newRow("question mark") << "*.d?c"
                                       << "a.dac" << true;
        QTest::newRow("brackets are literal") << "*.[ab]"
                                              << "x.[ab]" << true;
        QTest::newRow("brackets are no class") << "*.[ab]"
                                               << "x.a" << false;
        QTest::newRow("non-ASCII case") << "*.ДОК"
                                        << "отчёт.док" << true;
        QTest::newRow("double star") << "*.*x*"
                                     << "a.box" << true;
    }
    void wildcard()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(filelist::MatchesPattern(name, pattern), matches);
    }

    void unsafeChars_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("unsafe");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("plain") << "Reports 2024" << false;
        QTest::newRow("tab") << "a\tb" << true;
        QTest::newRow("code 31") << QString(QChar(31)) << true;
        QTest::newRow("code 127") << QString(QChar(127)) << true;
        QTest::newRow("code 159") << QString(QChar(159)) << true;
        QTest::newRow("code 160") << QString(QChar(160)) << false;
        QTest::newRow("question mark") << "what?" << true;
        QTest::newRow("accented") << "Ñandú" << false;
        QTest::newRow("outside the BMP") << QString::fromUcs4(U"\U0001F600") << false;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << true;
        QTest::newRow("replacement character") << QString(QChar(0xFFFD)) << true;
    }
    void unsafeChars()
    {
        QFETCH(QString, name);
        QFETCH(bool, unsafe);
        QCOMPARE(filelist::HasUnsafeChars(name), unsafe);
    }

    void fileTests()
    {
        TestTree t;
        const QString plain = t.file("plain.doc");
        const QString hidden = t.file(".hidden");
        const QString hiddenRo = t.file(".hidden-ro", true);
        const QString folder = t.folder("dir");
        const QString hiddenFolder = t.folder(".dir");
        const QString link = t.path("link.doc");
        QVERIFY(::symlink("plain.doc", QFile::encodeName(link).constData()) == 0);
        const QString dangling = t.path("dangling");
        QVERIFY(::symlink("missing", QFile::encodeName(dangling).constData()) == 0);
        const QString fifo = t.path("pipe");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);

        using namespace filelist;
        QCOMPARE(FileAttributes(plain), 32);
        QCOMPARE(FileAttributes(hidden), 34);
        QCOMPARE(FileAttributes(hiddenRo), 35);
        QCOMPARE(FileAttributes(folder), 16);
        QCOMPARE(FileAttributes(folder + "/"), 16);
        QCOMPARE(FileAttributes(hiddenFolder), 18);
        QCOMPARE(FileAttributes(link), 1024 + 32);
        QCOMPARE(FileAttributes(t.path("missing")), -1);
        QVERIFY(IsExistingFile(plain) && IsExistingFile(link) && IsExistingFile(hiddenRo));
        QVERIFY(!IsExistingFile(folder) && !IsExistingFile(dangling) && !IsExistingFile(fifo));
        QVERIFY(!IsExistingFile(t.path("missing")) && !IsExistingFile(QString()));
        QVERIFY(IsFolder(folder) && IsFolder(hiddenFolder) && !IsFolder(plain) && !IsFolder(t.path("missing")));
        // The listing leaves out folders, pipes and dangling links.
        QCOMPARE(ListFiles(t.dir.path(), "*.*"), QStringList({".hidden", ".hidden-ro", "link.doc", "plain.doc"}));
        QCOMPARE(ListFiles(t.path("nowhere"), "*.*"), QStringList());
    }
};

QTEST_MAIN(tst_FolderImport)
#include "tst_FolderImport.moc"
