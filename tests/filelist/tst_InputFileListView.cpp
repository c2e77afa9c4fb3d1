// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeContext.h"
#include "TestTree.h"
#include "filelist/InputFileList.h"
#include "filelist/InputFileListView.h"
#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QUrl>
#include <memory>

// Drives the list's mouse and drop handling on a real view, headless.
class tst_InputFileListView : public QObject {
    Q_OBJECT

    struct Fixture {
        FakeContext tc{QStringLiteral(QV_PROGRAM_DIR)};
        InputFileList list;
        std::unique_ptr<InputFileListView> view;
        int screenY = 330; // inside the band where nothing scrolls

        explicit Fixture(const QStringList &texts)
        {
            view = std::make_unique<InputFileListView>(&list, &tc.ctx);
            view->addFileColumn();
            view->setFileColumnWidthTwips(7000);
            view->setCursorPositionSource([this] { return QPoint(10, screenY); });
            view->resize(400, 300);
            view->show();
            list.addMany(texts);
        }
        QStringList texts() const
        {
            QStringList t;
            for (int i = 1; i <= list.count(); ++i)
                t << list.text(i);
            return t;
        }
        QPoint centreOf(int index) const { return view->visualRect(list.index(index - 1, 0)).center(); }
        // Press on entry `from`, as the view reports it: the button press, then the item press.
        void pressOn(int from)
        {
            view->buttonPressed();
            view->itemPressed(from);
        }
        void moveOnto(int index, int y) { view->pointerMoved(centreOf(index), QPoint(10, y)); }
    };

    static QStringList letters(int n)
    {
        QStringList t;
        for (int i = 0; i < n; ++i)
            t << QStringLiteral("/docs/%1.doc").arg(QChar(u'a' + i));
        return t;
    }

private slots:
    void columnAndToolTip()
    {
        Fixture f(letters(2));
        QCOMPARE(f.list.headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Word File(s)"));
        QCOMPARE(f.view->header()->sectionSize(0), 467); // 7000 twips, to the nearest pixel
        QCOMPARE(f.view->toolTip(), QStringLiteral("Drag and drop files here. Double-click item to remove it. "
                                                   "Move | line to right and out of window to reveal full names."));
        // It shows over an entry and over the empty part of the list alike.
        for (const QPoint &at : {f.centreOf(1), QPoint(20, 250)}) {
            QToolTip::hideText();
            QHelpEvent help(QEvent::ToolTip, at, f.view->viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(f.view->viewport(), &help);
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), f.view->toolTip());
        }
    }

    void modelIndexesAreOneBasedAndChecked()
    {
        InputFileList list;
        list.add("/x.doc");
        list.add("/x.doc");
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.text(2), QStringLiteral("/x.doc"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, list.text(0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, list.text(3));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, list.removeAt(3));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, list.setText(-1, "y"));
    }

    void dragJumpSwapsOnlyTheTwoEntries()
    {
        Fixture f(letters(6));
        f.pressOn(2);
        QCOMPARE(f.view->draggedIndex(), 2);
        f.moveOnto(5, 330);
        QCOMPARE(f.texts(), QStringList({"/docs/a.doc", "/docs/e.doc", "/docs/c.doc", "/docs/d.doc", "/docs/b.doc",
                                         "/docs/f.doc"}));
        QCOMPARE(f.view->selectedIndex(), 5);
        QCOMPARE(f.view->draggedIndex(), 5);
        // The carried path keeps travelling with the pointer.
        f.moveOnto(4, 330);
        QCOMPARE(f.list.text(4), QStringLiteral("/docs/b.doc"));
        QCOMPARE(f.list.text(5), QStringLiteral("/docs/d.doc"));
    }

    void equalTextsSwapNothing()
    {
        Fixture f({"/same.doc", "/other.doc", "/same.doc"});
        QSignalSpy changed(&f.list, &InputFileList::dataChanged);
        f.pressOn(1);
        f.moveOnto(3, 330);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(f.view->draggedIndex(), 1);
    }

    void movesWithoutPressChangeNothing()
    {
        Fixture f(letters(4));
        f.view->itemPressed(1); // an item press without the armed flag (e.g. after a release)
        f.view->buttonReleased();
        f.moveOnto(3, 100);
        QCOMPARE(f.texts(), letters(4));
        QCOMPARE(f.view->listPointer(), 1);
    }

    void autoscrollBounds_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("onto");
        QTest::addColumn<int>("screenY");
        QTest::addColumn<int>("scrolled"); // 0: nothing scrolled
        QTest::newRow("304 scrolls the entry above") << 2 << 3 << 304 << 2;
        QTest::newRow("305 does not scroll") << 2 << 3 << 305 << 0;
        QTest::newRow("364 does not scroll") << 2 << 3 << 364 << 0;
        QTest::newRow("365 scrolls the entry below") << 2 << 3 << 365 << 4;
        QTest::newRow("first entry never scrolls up") << 2 << 1 << 10 << 0;
        QTest::newRow("last entry never scrolls down") << 2 << 5 << 900 << 0;
    }
    void autoscrollBounds()
    {
        QFETCH(int, from);
        QFETCH(int, onto);
        QFETCH(int, screenY);
        QFETCH(int, scrolled);
        Fixture f(letters(5));
        QSignalSpy spy(f.view.get(), &InputFileListView::scrolledIntoView);
        f.pressOn(from);
        f.moveOnto(onto, screenY);
        QCOMPARE(f.list.text(onto), letters(5).at(from - 1)); // the swap happened
        if (scrolled == 0) {
            QCOMPARE(spy.count(), 0);
        } else {
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.first().first().toInt(), scrolled);
        }
    }

    void autoscrollMovesTheViewport()
    {
        Fixture f(letters(200));
        f.view->resize(300, 120);
        f.view->scrollToTop();
        QCoreApplication::processEvents();
        f.pressOn(1);
        // Carry the entry down past the bottom edge with the pointer low on the screen: each move
        // scrolls the next entry into view, so the next move can reach it.
        for (int i = 2; i <= 30; ++i) {
            const QModelIndex idx = f.list.index(i - 1, 0);
            QVERIFY2(f.view->viewport()->rect().contains(f.view->visualRect(idx).center()),
                     qPrintable(QString::number(i)));
            f.view->pointerMoved(f.view->visualRect(idx).center(), QPoint(0, 500));
        }
        QCOMPARE(f.list.text(30), QStringLiteral("/docs/a.doc"));
        QVERIFY(f.view->verticalScrollBar()->value() > 0);
        QVERIFY(f.view->viewport()->rect().intersects(f.view->visualRect(f.list.index(30, 0))));
    }

    void realMouseEventsCarryTheEntry()
    {
        Fixture f(letters(5));
        QWidget *vp = f.view->viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, f.centreOf(1));
        QVERIFY(f.view->isArmed());
        QCOMPARE(f.view->draggedIndex(), 1);
        QCOMPARE(f.view->listPointer(), 99);
        QVERIFY(f.view->dragPictureLoaded()); // the shipped drag.ico
        QTest::mouseMove(vp, f.centreOf(2));
        QTest::mouseMove(vp, f.centreOf(3));
        QCOMPARE(f.texts(), QStringList({"/docs/b.doc", "/docs/c.doc", "/docs/a.doc", "/docs/d.doc", "/docs/e.doc"}));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, f.centreOf(3));
        QVERIFY(!f.view->isArmed());
        QCOMPARE(f.view->listPointer(), 1);
        // The dragged entry stays after the release.
        QCOMPARE(f.view->draggedIndex(), 3);
        QTest::mouseMove(vp, f.centreOf(5));
        QCOMPARE(f.list.text(3), QStringLiteral("/docs/a.doc"));
    }

    void missingDragPictureStillCarries()
    {
        Fixture f(letters(3));
        f.tc.ctx.programFolder = QStringLiteral("/nonexistent-program-folder");
        f.pressOn(3);
        QVERIFY(!f.view->dragPictureLoaded());
        QCOMPARE(f.view->listPointer(), 99);
        f.moveOnto(1, 330);
        QCOMPARE(f.list.text(1), QStringLiteral("/docs/c.doc"));
    }

    void pointerMovesUndoTheHandButNotTheBusyPointer()
    {
        Fixture f(letters(2));
        f.tc.window.setMousePointer(pointer::Custom);
        f.moveOnto(1, 330);
        QCOMPARE(f.tc.window.mousePointer(), pointer::Default);
        f.tc.window.setMousePointer(pointer::Busy);
        f.moveOnto(2, 330);
        QCOMPARE(f.tc.window.mousePointer(), pointer::Busy);
    }

    void removedDraggedEntryIsNeverTouched()
    {
        Fixture f(letters(4));
        f.pressOn(2);
        f.list.removeAt(2);
        QCOMPARE(f.view->draggedIndex(), 0);
        f.moveOnto(3, 330);
        QCOMPARE(f.texts(), QStringList({"/docs/a.doc", "/docs/c.doc", "/docs/d.doc"}));
        f.pressOn(1);
        f.list.clear();
        f.list.addMany(letters(2));
        f.moveOnto(2, 330);
        QCOMPARE(f.texts(), letters(2));
    }

    void dragKeepsWorkingWhileBusy()
    {
        Fixture f(letters(3));
        f.tc.window.setMousePointer(pointer::Busy);
        f.pressOn(1);
        f.moveOnto(2, 330);
        QCOMPARE(f.list.text(2), QStringLiteral("/docs/a.doc"));
    }

    void doubleClickRemovesTheSelectedEntry()
    {
        Fixture f(letters(3));
        QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, f.centreOf(2));
        QCOMPARE(f.texts(), QStringList({"/docs/a.doc", "/docs/c.doc"}));
    }

    void doubleClickGuards()
    {
        Fixture f({});
        QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        f.view->removeSelected();
        QCOMPARE(f.list.count(), 0);

        f.list.addMany(letters(3));
        f.view->removeSelected(); // nothing selected
        QCOMPARE(f.list.count(), 3);

        f.view->itemPressed(2);
        f.tc.window.setMousePointer(pointer::Busy);
        f.view->removeSelected();
        QCOMPARE(f.list.count(), 3);
        f.tc.window.setMousePointer(pointer::Default);
        f.view->removeSelected();
        QCOMPARE(f.texts(), QStringList({"/docs/a.doc", "/docs/c.doc"}));
    }

    void dragOverAcceptsOnlyLocalFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain text") << "text" << false;
        QTest::newRow("picture") << "image" << false;
        QTest::newRow("web link") << "http" << false;
        QTest::newRow("local files") << "files" << true;
    }
    void dragOverAcceptsOnlyLocalFiles()
    {
        QFETCH(QString, kind);
        QFETCH(bool, accepted);
        Fixture f({});
        QMimeData data;
        if (kind == "text")
            data.setText("hello");
        else if (kind == "image")
            data.setImageData(QImage(4, 4, QImage::Format_RGB32));
        else if (kind == "http")
            data.setUrls({QUrl("https://example.org/a.doc")});
        else
            data.setUrls({QUrl::fromLocalFile("/tmp/a.doc"), QUrl::fromLocalFile("/tmp/b.doc")});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(f.view->viewport(), &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDragMoveEvent move(QPoint(12, 12), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(f.view->viewport(), &move);
        QCOMPARE(move.isAccepted(), accepted);
        QDropEvent drop(QPointF(12, 12), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(f.view->viewport(), &drop);
        QCoreApplication::processEvents();
        QCOMPARE(f.list.count(), accepted ? 2 : 0);
    }

    void dropOfTwoFoldersAndAFile()
    {
        TestTree t;
        t.file("one/b.doc");
        t.file("one/A.txt");
        t.file("one/~$lock.doc");
        t.file("one/.hidden-writable");
        t.file("one/.hidden-readonly", true);
        t.file("one/sub/c.bin");
        t.file("two/z.docx");
        const QString loose = t.file("~loose.doc");
        Fixture f({"/already.doc"});
        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(t.path("one")), QUrl::fromLocalFile(t.path("two/")), QUrl::fromLocalFile(loose)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(f.view->viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(f.view->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(f.list.count(), 1); // the walk runs once the drop event has returned
        QCoreApplication::processEvents();
        QCOMPARE(f.texts(), QStringList({"/already.doc", t.path("one/.hidden-readonly"), t.path("one/A.txt"),
                                         t.path("one/b.doc"), t.path("one/sub/c.bin"), t.path("two/z.docx"), loose}));
    }

    void droppedFilesAreTakenAsTheyCome()
    {
        Fixture f({"/x.doc"});
        // No existence, extension, duplicate or normalisation test for dropped files.
        f.view->dropPaths({"/x.doc", "/no/such//file.txt", "/tmp/~$owner.doc"});
        QCOMPARE(f.texts(), QStringList({"/x.doc", "/x.doc", "/no/such//file.txt", "/tmp/~$owner.doc"}));
    }
};

QTEST_MAIN(tst_InputFileListView)
#include "tst_InputFileListView.moc"
