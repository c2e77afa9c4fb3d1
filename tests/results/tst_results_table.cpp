#include "ResultsTestSupport.h"
#include "platform/RuntimeError.h"
#include "results/ClearResults.h"
#include "results/ResultsView.h"
#include <QHeaderView>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>
#include <functional>

using Action = std::function<void(ResultsTable &)>;
Q_DECLARE_METATYPE(Action)

class TestResultsTable : public QObject {
    Q_OBJECT

private:
    // Three rows under "Filename", "Title", "Pages".
    static void fillThree(ResultsTable &t)
    {
        fillTable(t, {QStringLiteral("Title"), QStringLiteral("Pages")},
                  {{QStringLiteral("/d/a.doc"), {QStringLiteral("Alpha"), QStringLiteral("1")}, true},
                   {QStringLiteral("/d/b.doc"), {QStringLiteral("Beta"), QStringLiteral("22")}, true},
                   {QStringLiteral("/d/c.doc"), {QStringLiteral("Gamma"), QStringLiteral("333")}, true}});
    }
    static QStringList paths(const ResultsTable &t)
    {
        QStringList p;
        for (int r = 1; r <= t.rows(); ++r)
            p << t.rowText(r);
        return p;
    }
    static void sendKey(QWidget *w, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
    }
    static void moveMouse(QWidget *w)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    }

private slots:
    void emptyBeforeFirstRun()
    {
        ResultsTable t;
        QCOMPARE(t.columns(), 0);
        QCOMPARE(t.rows(), 0);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, t.headerText(1));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, t.cell(1, 1));
    }

    void cellAccessRule()
    {
        ResultsTable t;
        fillTable(t, {QStringLiteral("Title"), QStringLiteral("Author"), QStringLiteral("Pages")}, {});
        const auto id = t.appendRow(QStringLiteral("/docs/x.docx"));
        QCOMPARE(t.checked(1), false); // a new row waits for the end of the run
        t.setValueText(id, 3, QStringLiteral("7"));
        t.setValueText(id, 1, QStringLiteral("Report"));
        QCOMPARE(t.headerText(1), QStringLiteral("Filename"));
        QCOMPARE(t.headerText(4), QStringLiteral("Pages"));
        QCOMPARE(t.cell(1, 1), QStringLiteral("/docs/x.docx"));
        QCOMPARE(t.cell(1, 2), QStringLiteral("Report"));
        QCOMPARE(t.cell(1, 3), QString()); // never set: reads empty
        QCOMPARE(t.cell(1, 4), QStringLiteral("7"));
        QCOMPARE(t.valueText(1, 3), QStringLiteral("7"));
        t.checkAllRows();
        QCOMPARE(t.checked(1), true);
    }

    void valueTextsOverwritten()
    {
        // Each row keeps its texts packed together; overwriting one must leave its neighbours intact.
        ResultsTable t;
        fillTable(t, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, {});
        const auto id = t.appendRow(QStringLiteral("p"));
        const auto other = t.appendRow(QStringLiteral("q"));
        t.setValueText(id, 2, QStringLiteral("bb"));
        t.setValueText(id, 1, QStringLiteral("a"));
        t.setValueText(id, 3, QStringLiteral("ccc"));
        t.setValueText(id, 2, QStringLiteral("a much longer text"));
        QCOMPARE(t.valueText(1, 1), QStringLiteral("a"));
        QCOMPARE(t.valueText(1, 2), QStringLiteral("a much longer text"));
        QCOMPARE(t.valueText(1, 3), QStringLiteral("ccc"));
        t.setValueText(id, 2, QString());
        t.setValueText(id, 1, QStringLiteral("Ünïcødé 𝄞"));
        QCOMPARE(t.valueText(1, 1), QStringLiteral("Ünïcødé 𝄞"));
        QCOMPARE(t.valueText(1, 2), QString());
        QCOMPARE(t.valueText(1, 3), QStringLiteral("ccc"));
        QCOMPARE(t.rowText(1), QStringLiteral("p"));
        QCOMPARE(t.valueText(2, 1), QString());
        t.setValueText(other, 3, QStringLiteral("z"));
        QCOMPARE(t.valueText(2, 3), QStringLiteral("z"));
        QCOMPARE(t.valueText(1, 3), QStringLiteral("ccc"));
    }

    void randomEditsMatchAPlainModel()
    {
        // Rows keep their texts packed in one string; thousands of mixed edits must read back exactly
        // as a straightforward list of strings would hold them.
        struct Plain {
            ResultsTable::RowId id;
            QString path;
            QStringList values;
            bool checked;
        };
        ResultsTable t;
        fillTable(t, {"A", "B", "C", "D"}, {});
        QList<Plain> plain;
        QList<ResultsTable::RowId> removed;
        QRandomGenerator random(20261207);
        const auto text = [&random] {
            const int length = int(random.bounded(6)) * int(random.bounded(4)); // often empty or short
            QString s;
            for (int i = 0; i < length; ++i)
                s += QChar(char16_t(random.bounded(2) ? u'a' + random.bounded(26) : 0x00e0 + random.bounded(20)));
            return s;
        };
        for (int step = 0; step < 5000; ++step) {
            const int op = int(random.bounded(100));
            if (op < 25 || plain.isEmpty()) {
                const QString path = QStringLiteral("/d/%1").arg(step) + text();
                plain.append({t.appendRow(path), path, QStringList(4, QString()), false});
            } else if (op < 85) {
                const int r = int(random.bounded(plain.size()));
                const int k = int(random.bounded(4)) + 1;
                const QString v = text();
                t.setValueText(plain[r].id, k, v);
                plain[r].values[k - 1] = v;
            } else if (op < 93) {
                const int r = int(random.bounded(plain.size()));
                t.setChecked(r + 1, !plain[r].checked);
                plain[r].checked = !plain[r].checked;
            } else if (op < 99) {
                const int r = int(random.bounded(plain.size()));
                removed << plain[r].id;
                t.removeRowAt(r + 1);
                plain.removeAt(r);
            } else {
                for (const Plain &p : plain)
                    removed << p.id;
                t.clearRows();
                plain.clear();
            }
        }
        QCOMPARE(t.rows(), plain.size());
        for (int r = 0; r < plain.size(); ++r) {
            QCOMPARE(t.rowIndex(plain[r].id), r + 1);
            QCOMPARE(t.cell(r + 1, 1), plain[r].path);
            for (int k = 1; k <= 4; ++k)
                QCOMPARE(t.valueText(r + 1, k), plain[r].values[k - 1]);
            QCOMPARE(t.checked(r + 1), plain[r].checked);
        }
        for (const auto id : removed)
            QVERIFY(!t.rowExists(id));
    }

    void outOfRangeThrows_data()
    {
        QTest::addColumn<Action>("action");
        QTest::newRow("header 0") << Action([](ResultsTable &t) { t.headerText(0); });
        QTest::newRow("header past end") << Action([](ResultsTable &t) { t.headerText(4); });
        QTest::newRow("row text 0") << Action([](ResultsTable &t) { t.rowText(0); });
        QTest::newRow("row text past end") << Action([](ResultsTable &t) { t.rowText(4); });
        QTest::newRow("value k 0") << Action([](ResultsTable &t) { t.valueText(1, 0); });
        QTest::newRow("value k past columns") << Action([](ResultsTable &t) { t.valueText(1, 3); });
        QTest::newRow("cell column past end") << Action([](ResultsTable &t) { t.cell(1, 4); });
        QTest::newRow("checked past end") << Action([](ResultsTable &t) { t.checked(4); });
        QTest::newRow("set value k 0") << Action([](ResultsTable &t) { t.setValueText(t.rowIdAt(1), 0, "x"); });
        QTest::newRow("set value k past columns")
            << Action([](ResultsTable &t) { t.setValueText(t.rowIdAt(1), 3, "x"); });
        QTest::newRow("set checked 0") << Action([](ResultsTable &t) { t.setChecked(0, true); });
        QTest::newRow("remove past end") << Action([](ResultsTable &t) { t.removeRowAt(4); });
        QTest::newRow("row id past end") << Action([](ResultsTable &t) { t.rowIdAt(4); });
    }
    void outOfRangeThrows()
    {
        QFETCH(Action, action);
        ResultsTable t;
        fillThree(t);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, action(t));
        // Nothing changed.
        QCOMPARE(paths(t), QStringList({"/d/a.doc", "/d/b.doc", "/d/c.doc"}));
        QCOMPARE(t.cell(2, 3), QStringLiteral("22"));
    }

    void handlesSurviveRemovals()
    {
        ResultsTable t;
        fillTable(t, {QStringLiteral("Title")}, {});
        QList<ResultsTable::RowId> ids;
        for (int i = 1; i <= 5; ++i)
            ids << t.appendRow(QStringLiteral("/d/%1.doc").arg(i));
        t.removeRowAt(2);
        t.removeRowAt(3); // the former fourth row
        QCOMPARE(paths(t), QStringList({"/d/1.doc", "/d/3.doc", "/d/5.doc"}));
        QVERIFY(!t.rowExists(ids[1]));
        QVERIFY(!t.rowExists(ids[3]));
        QCOMPARE(t.rowIndex(ids[1]), 0);
        QCOMPARE(t.rowIndex(ids[4]), 3);

        t.setValueText(ids[4], 1, QStringLiteral("five"));
        t.setValueText(ids[2], 1, QStringLiteral("three"));
        QCOMPARE(t.valueText(2, 1), QStringLiteral("three"));
        QCOMPARE(t.valueText(3, 1), QStringLiteral("five"));
        QCOMPARE(t.valueText(1, 1), QString());

        // A write to a vanished row is an error, and it lands nowhere.
        QVERIFY_THROWS_EXCEPTION(RuntimeError, t.setValueText(ids[3], 1, QStringLiteral("four")));
        for (int r = 1; r <= t.rows(); ++r)
            QVERIFY(t.valueText(r, 1) != QStringLiteral("four"));

        // After "Clear Results" and a new row at the same position, the old handle stays dead.
        t.clearRows();
        const auto fresh = t.appendRow(QStringLiteral("/d/new.doc"));
        QVERIFY(fresh != ids[0]);
        QVERIFY(!t.rowExists(ids[0]));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, t.setValueText(ids[0], 1, QStringLiteral("old")));
        QCOMPARE(t.valueText(1, 1), QString());
        QCOMPARE(t.columns(), 2);
    }

    void rebuildingColumnsDropsOldValues()
    {
        ResultsTable t;
        fillThree(t);
        t.removeAllColumns();
        QCOMPARE(t.columns(), 0);
        QCOMPARE(t.rows(), 3);
        t.addColumn(QStringLiteral("Filename"));
        t.addColumn(QStringLiteral("Author"));
        QCOMPARE(t.cell(1, 1), QStringLiteral("/d/a.doc"));
        QCOMPARE(t.cell(1, 2), QString()); // "Alpha" belonged to the removed "Title" column
    }

    void modelSignalsAndRoles()
    {
        ResultsTable t;
        fillThree(t);
        QSignalSpy inserted(&t, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&t, &QAbstractItemModel::rowsAboutToBeRemoved);
        QSignalSpy changed(&t, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&t, &QAbstractItemModel::modelReset);

        const auto id = t.appendRow(QStringLiteral("/d/d.doc"));
        t.publishPendingRows();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 3);
        t.setValueText(id, 2, QStringLiteral("4"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), t.index(3, 2));
        t.checkAllRows(); // one signal for all rows
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).value<QModelIndex>(), t.index(0, 0));
        QCOMPARE(changed.at(1).at(1).value<QModelIndex>(), t.index(3, 0));
        t.removeRowAt(2);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 1);
        t.clearRows();
        QCOMPARE(reset.count(), 1);

        fillThree(t);
        QCOMPARE(t.rowCount(), 3);
        QCOMPARE(t.columnCount(), 3);
        QCOMPARE(t.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Title"));
        QCOMPARE(t.data(t.index(1, 0)).toString(), QStringLiteral("/d/b.doc"));
        QCOMPARE(t.data(t.index(1, 2)).toString(), QStringLiteral("22"));
        QCOMPARE(t.data(t.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!t.data(t.index(1, 1), Qt::CheckStateRole).isValid());
        QVERIFY(t.flags(t.index(0, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(t.flags(t.index(0, 1)) & Qt::ItemIsUserCheckable));
        QVERIFY(!(t.flags(t.index(0, 1)) & Qt::ItemIsEditable));
        // The user unticks a row through its check box.
        QVERIFY(t.setData(t.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(t.checked(2), false);
        QVERIFY(!t.setData(t.index(1, 1), QStringLiteral("x"), Qt::EditRole));
        QCOMPARE(t.cell(2, 2), QStringLiteral("Beta"));
    }

    void appendedRowsReachViewsInBatches()
    {
        ResultsTable t;
        t.setPublishInterval(60 * 60 * 1000); // no batch falls due by itself during the loop, however slow
        fillTable(t, {QStringLiteral("Title")}, {});
        QSignalSpy inserted(&t, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&t, &QAbstractItemModel::dataChanged);
        for (int i = 1; i <= 500; ++i) {
            const auto id = t.appendRow(QStringLiteral("/d/%1.doc").arg(i));
            t.setValueText(id, 1, QStringLiteral("t%1").arg(i));
        }
        // The table itself sees every row at once; views hear of the first at once, the rest in a batch.
        QCOMPARE(t.rows(), 500);
        QCOMPARE(t.cell(500, 2), QStringLiteral("t500"));
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(t.rowCount(), 1);
        QCOMPARE(changed.count(), 1); // only the shown row's value is announced
        // An unshown row can be removed and written around like any other.
        t.removeRowAt(250);
        QCOMPARE(t.rows(), 499);
        QCOMPARE(t.rowCount(), 1);
        // The batch is announced when its time has come.
        t.setPublishInterval(1);
        QTRY_COMPARE_WITH_TIMEOUT(t.rowCount(), 499, 5000);
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted.at(1).at(1).toInt(), 1);
        QCOMPARE(inserted.at(1).at(2).toInt(), 498);
        QCOMPARE(t.data(t.index(249, 0)).toString(), QStringLiteral("/d/251.doc"));
        // The end of a run shows every row at once.
        t.appendRow(QStringLiteral("/d/last.doc"));
        t.appendRow(QStringLiteral("/d/after last.doc"));
        t.checkAllRows();
        QCOMPARE(t.rowCount(), 501);
        QCOMPARE(t.data(t.index(500, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

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
        fillThree(t);
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
        QTest::newRow("removes the selected row") << 3 << 2 << pointer::Default << int(Qt::Key_Delete)
                                                  << QStringList({"/d/a.doc", "/d/c.doc"});
        QTest::newRow("removes the last row") << 3 << 3 << pointer::Default << int(Qt::Key_Delete)
                                              << QStringList({"/d/a.doc", "/d/b.doc"});
        QTest::newRow("hand pointer does not block") << 3 << 1 << pointer::Custom << int(Qt::Key_Delete)
                                                     << QStringList({"/d/b.doc", "/d/c.doc"});
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
        fillThree(t);
        while (t.rows() > rows)
            t.removeRowAt(t.rows());
        FakeWindow w;
        w.pointerValue = windowPointer;
        ResultsView v(&t, &w);
        if (selectRow > 0)
            v.selectionModel()->select(t.index(selectRow - 1, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        sendKey(&v, key);
        QCOMPARE(paths(t), remaining);
        QCOMPARE(t.columns(), 3); // removing rows never touches the columns
    }

    void hoverGivesArrowUnlessBusy()
    {
        ResultsTable t;
        fillThree(t);
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
        fillThree(t);
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
