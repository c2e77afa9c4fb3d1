// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeContext.h"
#include "ListTexts.h"
#include "filelist/FileListHandlers.h"
#include "filelist/InputFileList.h"
#include <QTest>

// The "1. Add Word File(s)" dialog answers and the "Clear List" button.
class tst_AddFilesDialog : public QObject {
    Q_OBJECT

private slots:
    void dialogAnswers_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("cancel") << QStringList() << QStringList();
        QTest::newRow("one file, taken unchanged")
            << QStringList{"/data//odd/a.doc"} << QStringList{"/data//odd/a.doc"};
        QTest::newRow("three files in the dialog's order")
            << QStringList{"/data/docs/c.doc", "/data/docs/a.docx", "/data/docs/b.doc"}
            << QStringList{"/data/docs/c.doc", "/data/docs/a.docx", "/data/docs/b.doc"};
        QTest::newRow("root folder gets one separator")
            << QStringList{"/a.doc", "/b.doc"} << QStringList{"/a.doc", "/b.doc"};
        QTest::newRow("non-ASCII names") << QStringList{"/Документы/отчёт.docx", "/Документы/план.doc"}
                                         << QStringList{"/Документы/отчёт.docx", "/Документы/план.doc"};
        // Picked from a recent or search view: each file keeps its own folder.
        QTest::newRow("files in different folders")
            << QStringList{"/data/docs/a.doc", "/data/old/b.doc", "/data/docs/sub/c.doc", "/data/d.doc"}
            << QStringList{"/data/docs/a.doc", "/data/old/b.doc", "/data/docs/sub/c.doc", "/data/d.doc"};
        QTest::newRow("only the root in common")
            << QStringList{"/home/a.doc", "/srv/b.doc"} << QStringList{"/home/a.doc", "/srv/b.doc"};
    }
    void dialogAnswers()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, expected);
        FakeContext tc;
        InputFileList list;
        tc.fakes.dialogs->openAnswers.push_back(chosen);
        filelist::addFiles(tc.ctx, list);
        QCOMPARE(texts(list), expected);
        QCOMPARE(tc.fakes.dialogs->calls.size(), 1);
        QCOMPARE(tc.fakes.dialogs->calls[0].title, QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"));
        QCOMPARE(tc.fakes.dialogs->calls[0].filter, QStringLiteral("Word Files (*.doc*)"));
        QVERIFY(tc.fakes.messages->shown.isEmpty());
    }

    void severalPartsAreNormalised()
    {
        // A folder answer with a doubled separator inside, as a dialog may hand back a typed folder.
        class RawDialogs : public FakeFileDialogs {
        public:
            QString openFiles(QWidget *, const QString &, const QString &) override
            {
                return QStringLiteral("/data//docs") + QChar(u'\0') + "a.doc" + QChar(u'\0') + "b.doc";
            }
        };
        FakeContext tc;
        tc.ctx.platform.dialogs = std::make_shared<RawDialogs>();
        InputFileList list;
        filelist::addFiles(tc.ctx, list);
        QCOMPARE(texts(list), QStringList({"/data/docs/a.doc", "/data/docs/b.doc"}));
    }

    void sameFileTwiceStandsTwice()
    {
        FakeContext tc;
        InputFileList list;
        tc.fakes.dialogs->openAnswers.push_back({"/d/a.doc"});
        tc.fakes.dialogs->openAnswers.push_back({"/d/a.doc"});
        filelist::addFiles(tc.ctx, list);
        filelist::addFiles(tc.ctx, list);
        QCOMPARE(texts(list), QStringList({"/d/a.doc", "/d/a.doc"}));
    }

    void tooManyFiles()
    {
        FakeContext tc;
        InputFileList list;
        QStringList many;
        for (int i = 0; i < 2000; ++i)
            many << QStringLiteral("/data/a-rather-long-document-name-%1.docx").arg(i);
        tc.fakes.dialogs->openAnswers.push_back(many);
        filelist::addFiles(tc.ctx, list);
        QCOMPARE(list.count(), 0);
        QCOMPARE(tc.fakes.messages->shown.size(), 1);
        const ShownMessage &m = tc.fakes.messages->shown.first();
        QCOMPARE(m.title, QStringLiteral("Quillmere"));
        QCOMPARE(
            m.text,
            QStringLiteral("You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button."));
        QCOMPARE(m.buttons, MsgButtons::Ok);
        QCOMPARE(m.icon, MsgIcon::None);
    }

    void otherDialogErrorsAreReported()
    {
        class BrokenDialogs : public FakeFileDialogs {
        public:
            QString openFiles(QWidget *, const QString &, const QString &) override
            {
                throw RuntimeError(32755, QStringLiteral("The dialog could not be shown."));
            }
        };
        FakeContext tc;
        tc.ctx.platform.dialogs = std::make_shared<BrokenDialogs>();
        InputFileList list;
        filelist::addFiles(tc.ctx, list);
        QCOMPARE(list.count(), 0);
        QCOMPARE(tc.errorReports(), QStringList(ErrorReporter::text("Quillmark2021/08/31.Form1.PushButton7_Click", 100,
                                                                    "The dialog could not be shown.")));
    }

    void clearList()
    {
        FakeContext tc;
        InputFileList list;
        list.addMany({"/a.doc", "/b.doc"});
        tc.window.setMousePointer(pointer::Busy);
        filelist::clearList(tc.ctx, list);
        QCOMPARE(list.count(), 2);
        tc.window.setMousePointer(pointer::Custom); // the hand over the button is no long operation
        filelist::clearList(tc.ctx, list);
        QCOMPARE(list.count(), 0);
        filelist::clearList(tc.ctx, list); // an empty list stays empty
        QCOMPARE(list.count(), 0);
        QVERIFY(tc.fakes.messages->shown.isEmpty());
    }
};

QTEST_MAIN(tst_AddFilesDialog)
#include "tst_AddFilesDialog.moc"
