// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultsTestSupport.h"
#include "platform/RuntimeError.h"
#include "results/ClearResults.h"
#include "results/ResultsView.h"
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

class TestResultsTable : public QObject {
    Q_OBJECT

private:
    static void sendKey(QWidget *w, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
    }
    static void moveMouse(QWidget *w)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    }

private slots:
    void viewSetUp()
    {
        ResultsTable t;
        FakeWindow w;
        ResultsView v(&t, &w);
        QCOMPARE(v.model(), &t);
        QCOMPARE(v.toolTip(), QStringLiteral("Move | line to right and out of window to reveal full names."));
        QCOMPARE(v.selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(v.selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(!v.rootIsDecorated());
        QVERIFY(v.viewport()->hasMouseTracking());
        fillThreeRows(t);
        QCOMPARE(v.header()->sectionSize(0), v.header()->defaultSectionSize());
        QCOMPARE(v.header()->sectionSize(2), v.header()->defaultSectionSize());
    }

    void deleteKey_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("selectRow"); // 0 = nothing selected
        QTest::addColumn<int>("windowPointer");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("remaining");
        const QStringList all{"/d/a.doc", "/d/b.doc", "/d/c.doc"};
        QTest::newRow("removes the selected row")
            << 3 << 2 << pointer::Default << int(Qt::Key_Delete) << QStringList({"/d/a.doc", "/d/c.doc"});
        QTest::newRow("removes the last row")
            << 3 << 3 << pointer::Default << int(Qt::Key_Delete) << QStringList({"/d/a.doc", "/d/b.doc"});
        QTest::newRow("hand pointer does not block")
            << 3 << 1 << pointer::Custom << int(Qt::Key_Delete) << QStringList({"/d/b.doc", "/d/c.doc"});
        QTest::newRow("busy: nothing") << 3 << 2 << pointer::Busy << int(Qt::Key_Delete) << all;
        QTest::newRow("no selection: nothing") << 3 << 0 << pointer::Default << int(Qt::Key_Delete) << all;
        QTest::newRow("other key: nothing") << 3 << 2 << pointer::Default << int(Qt::Key_Backspace) << all;
        QTest::newRow("empty table: nothing") << 0 << 0 << pointer::Default << int(Qt::Key_Delete) << QStringList();
    }
    void deleteKey()
    {
        QFETCH(int, rows);
        QFETCH(int, selectRow);
        QFETCH(int, windowPointer);
        QFETCH(int, key);
        QFETCH(QStringList, remaining);
        ResultsTable t;
        fillThreeRows(t);
        while (t.rows() > rows)
            t.removeRowAt(t.rows());
        FakeWindow w;
        w.pointerValue = windowPointer;
        ResultsView v(&t, &w);
        if (selectRow > 0)
            v.selectionModel()->select(t.index(selectRow - 1, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        sendKey(&v, key);
        QCOMPARE(rowTexts(t), remaining);
        QCOMPARE(t.columns(), 3); // removing rows never touches the columns
    }

    void hoverGivesArrowUnlessBusy()
    {
        ResultsTable t;
        fillThreeRows(t);
        FakeWindow w;
        ResultsView v(&t, &w);
        w.pointerValue = pointer::Custom;
        moveMouse(v.viewport());
        QCOMPARE(w.pointerValue, pointer::Default);
        w.pointerValue = pointer::Busy;
        moveMouse(v.viewport());
        QCOMPARE(w.pointerValue, pointer::Busy);
    }

    void deleteDuringRunKeepsWritesInTheirRows()
    {
        // The run appends a row, lets events through (the user deletes the row above), then writes.
        ResultsTable t;
        fillTable(t, {QStringLiteral("Title")}, {});
        FakeWindow w;
        ResultsView v(&t, &w);
        const auto first = t.appendRow(QStringLiteral("/d/1.doc"));
        const auto second = t.appendRow(QStringLiteral("/d/2.doc"));
        v.selectionModel()->select(t.index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        sendKey(&v, Qt::Key_Delete);
        t.setValueText(second, 1, QStringLiteral("two"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, t.setValueText(first, 1, QStringLiteral("one")));
        QCOMPARE(t.rows(), 1);
        QCOMPARE(t.cell(1, 1), QStringLiteral("/d/2.doc"));
        QCOMPARE(t.cell(1, 2), QStringLiteral("two"));
    }

    void clearResults()
    {
        Harness h;
        ResultsTable t;
        fillThreeRows(t);
        results::clearResults(h.ctx, t);
        QCOMPARE(t.rows(), 0);
        QCOMPARE(t.columns(), 3);
        QCOMPARE(t.headerText(2), QStringLiteral("Title"));
        results::clearResults(h.ctx, t); // already empty: nothing visible either
        QCOMPARE(t.rows(), 0);
        QVERIFY(h.fakes.messages->shown.isEmpty());
    }
};

QTEST_MAIN(TestResultsTable)
#include "tst_results_table.moc"
