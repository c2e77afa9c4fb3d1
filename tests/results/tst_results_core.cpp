// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The results core with Qt Core alone: the table and its model, the clipboard text and the line writer
// of the text file, without a window or the desktop.
#include "FailDevice.h"
#include "ResultsTableFill.h"
#include "platform/RuntimeError.h"
#include "results/ClipboardText.h"
#include "results/TextLineWriter.h"
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>
#include <functional>

using namespace results;
using Action = std::function<void(ResultsTable &)>;
Q_DECLARE_METATYPE(Action)

class TestResultsCore : public QObject {
    Q_OBJECT

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

    // A typed value goes with its text: rewritten or dropped with it, never left behind for a workbook.
    void typedValuesFollowTheirTexts()
    {
        ResultsTable t;
        fillTable(t, {QStringLiteral("Created"), QStringLiteral("Pages")}, {});
        const auto id = t.appendRow(QStringLiteral("p"));
        const TypedValue created = TypedValue::dateTime(QDate(1601, 1, 1), QTime(23, 59, 59, 999));
        t.setValue(id, 1, QStringLiteral("1/1/1601 23:59:59"), created);
        t.setValue(id, 2, QStringLiteral("-7"), TypedValue::wholeNumber(-7));
        QCOMPARE(t.content().typedAt(0, 1), created);
        QCOMPARE(t.content().typedAt(0, 2), TypedValue::wholeNumber(-7));
        QCOMPARE(t.content().typedAt(0, 0).kind, TypedValue::Kind::Text); // the path
        t.setValueText(id, 2, QStringLiteral("Not set"));
        QCOMPARE(t.content().typedAt(0, 2).kind, TypedValue::Kind::Text);
        QCOMPARE(t.content().typedAt(0, 1), created);
        t.removeAllColumns();
        t.addColumn(QStringLiteral("Filename"));
        t.addColumn(QStringLiteral("Title"));
        QCOMPARE(t.content().typedAt(0, 1).kind, TypedValue::Kind::Text);
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
        fillThreeRows(t);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, action(t));
        // Nothing changed.
        QCOMPARE(rowTexts(t), QStringList({"/d/a.doc", "/d/b.doc", "/d/c.doc"}));
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
        QCOMPARE(rowTexts(t), QStringList({"/d/1.doc", "/d/3.doc", "/d/5.doc"}));
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
        fillThreeRows(t);
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
        fillThreeRows(t);
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

        fillThreeRows(t);
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

    void text_data()
    {
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QList<TestRow>>("rows");
        QTest::addColumn<QString>("expected");

        QTest::newRow("two columns, 5 and 3 wide")
            << QStringList{"Pages"} << QList<TestRow>{{"/a.dc", {"123"}, true}} << QStringLiteral("/a.dc\t123\r\n");
        QTest::newRow("padding, then the last cell bare")
            << QStringList{"Title", "Pages"}
            << QList<TestRow>{{"/a", {"T", "1"}, true}, {"/longer", {"Title", "1234"}, true}}
            << QStringLiteral("/a     \tT    \t1\r\n/longer\tTitle\t1234\r\n");
        QTest::newRow("headers do not widen")
            << QStringList{"Characters (with spaces)"} << QList<TestRow>{{"/y", {"42"}, true}, {"/z", {"7"}, true}}
            << QStringLiteral("/y\t42\r\n/z\t7\r\n");
        QTest::newRow("last value loses its own trailing spaces")
            << QStringList{"Title"} << QList<TestRow>{{"/a", {"x  "}, true}} << QStringLiteral("/a\tx\r\n");
        QTest::newRow("empty last value leaves the TAB")
            << QStringList{"Title", "Author"}
            << QList<TestRow>{{"/a", {"t", ""}, true}, {"/bcd", {"title", "who"}, true}}
            << QStringLiteral("/a  \tt    \t\r\n/bcd\ttitle\twho\r\n");
        QTest::newRow("unchecked row counts for widths only")
            << QStringList{"Title"}
            << QList<TestRow>{{"/a", {"t"}, true}, {"/unchecked/long", {"long title"}, false}, {"/b", {"u"}, true}}
            << QStringLiteral("/a             \tt\r\n/b             \tu\r\n");
        QTest::newRow("no checked row") << QStringList{"Title"} << QList<TestRow>{{"/a", {"t"}, false}} << QString();
        // Values that would split into further cells or rows paste back as one quoted cell.
        QTest::newRow("tab inside a value is quoted")
            << QStringList{"Title", "Pages"} << QList<TestRow>{{"/a", {"x\ty", "2"}, true}}
            << QStringLiteral("/a\t\"x\ty\"\t2\r\n");
        // The quoted field is 17 characters as written (13 held): the other rows pad to 17 and stay in line.
        QTest::newRow("line break quoted, inner quotes doubled, others untouched")
            << QStringList{"Comments", "Title"}
            << QList<TestRow>{{"/a", {"say \"hi\"\r\nbye", "\"as is\""}, true}, {"/b", {"plain", "t"}, true}}
            << QStringLiteral("/a\t\"say \"\"hi\"\"\r\nbye\"\t\"as is\"\r\n/b\tplain            \tt\r\n");
        QTest::newRow("quoted last value keeps its spaces")
            << QStringList{"Comments"} << QList<TestRow>{{"/a", {"one\ntwo  "}, true}}
            << QStringLiteral("/a\t\"one\ntwo  \"\r\n");
    }
    void text()
    {
        QFETCH(QStringList, headers);
        QFETCH(QList<TestRow>, rows);
        QFETCH(QString, expected);
        ResultsTable table;
        fillTable(table, headers, rows);
        QCOMPARE(clipboardText(table), expected);
    }

    void longestCountableText()
    {
        ResultsTable table;
        const QString fits(32767, QLatin1Char('x'));
        fillTable(table, {"Title"}, {{fits, {"t"}, true}, {"/b", {"u"}, true}});
        QCOMPARE(clipboardText(table), fits + "\tt\r\n/b" + QString(32765, QLatin1Char(' ')) + "\tu\r\n");
    }

    // Lines reach the file whole or not at all, in the chosen character set, each ended by CR LF.
    void lineWriter()
    {
        FailDevice device(40); // room for the first two lines and part of the third
        TextLineWriter writer(&device, "ISO-8859-1");
        writer.writeLine(QStringLiteral("caf\u00e9\tok"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, writer.writeLine(QStringLiteral("5 \u20ac"))); // no euro in Latin-1
        writer.writeLine(QStringLiteral("second line, whole"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, writer.writeLine(QStringLiteral("third line, too long to fit")));
        QCOMPARE(device.written(), QByteArray("caf\xe9\tok\r\nsecond line, whole\r\n"));

        TextLineWriter noFile(nullptr, "UTF-8");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, noFile.writeLine(QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, noFile.close());
    }
};

QTEST_GUILESS_MAIN(TestResultsCore)
#include "tst_results_core.moc"
