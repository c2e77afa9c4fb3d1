#include "ResultsTestSupport.h"
#include "results/ClipboardExport.h"
#include "results/Locations.h"
#include <QTimer>
#include <QtTest>

using namespace results;

namespace {
// A clipboard whose every call throws, as a platform layer might on a lost display connection.
class ThrowingClipboard : public IClipboard {
public:
    bool clear() override
    {
        ++attempts;
        throw RuntimeError(RuntimeError::AutomationError, QStringLiteral("The clipboard is gone."));
    }
    bool setText(const QString &) override
    {
        ++attempts;
        throw RuntimeError(RuntimeError::AutomationError, QStringLiteral("The clipboard is gone."));
    }
    int attempts = 0;
};
} // namespace

class TestClipboardExport : public QObject {
    Q_OBJECT

private slots:
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
        QTest::newRow("tab inside a value is quoted") << QStringList{"Title", "Pages"}
                                                      << QList<TestRow>{{"/a", {"x\ty", "2"}, true}}
                                                      << QStringLiteral("/a\t\"x\ty\"\t2\r\n");
        QTest::newRow("line break quoted, inner quotes doubled, others untouched")
            << QStringList{"Comments", "Title"}
            << QList<TestRow>{{"/a", {"say \"hi\"\r\nbye", "\"as is\""}, true}, {"/b", {"plain", "t"}, true}}
            << QStringLiteral("/a\t\"say \"\"hi\"\"\r\nbye\"\t\"as is\"\r\n/b\tplain        \tt\r\n");
        QTest::newRow("quoted last value keeps its spaces") << QStringList{"Comments"}
                                                           << QList<TestRow>{{"/a", {"one\ntwo  "}, true}}
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

    void buttonCopiesAndExplains()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a.dc", {"123"}, true}});
        copyResultsToClipboard(h.ctx, table);
        QCOMPARE(h.fakes.clipboard->text, QStringLiteral("/a.dc\t123\r\n"));
        QCOMPARE(h.fakes.clipboard->clearAttempts, 1);
        QCOMPARE(h.fakes.clipboard->setAttempts, 1);
        QCOMPARE(h.fakes.messages->shown.size(), 1);
        const ShownMessage &m = h.fakes.messages->shown.first();
        QCOMPARE(m.text, QStringLiteral("Results have been copied to the clipboard.\r\rClick a text area where you "
                                        "normally type and press Ctrl+V to paste the clipboard."));
        QCOMPARE(m.title, QStringLiteral("Quillmere"));
        QCOMPARE(m.buttons, MsgButtons::Ok);
        QCOMPARE(m.icon, MsgIcon::None);
        QVERIFY(h.window.pointerHistory.isEmpty()); // the copy never shows the busy pointer
    }

    void emptyTableLeavesClipboardAlone()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {});
        copyResultsToClipboard(h.ctx, table);
        QCOMPARE(h.fakes.clipboard->text, QStringLiteral("previous content"));
        QCOMPARE(h.fakes.clipboard->clearAttempts, 0);
        QCOMPARE(h.fakes.clipboard->setAttempts, 0);
        QCOMPARE(h.plainMessages(), QStringList({CopiedMessage}));
    }

    void retries_data()
    {
        QTest::addColumn<int>("clearFailures");
        QTest::addColumn<int>("setFailures");
        QTest::addColumn<int>("clearAttempts");
        QTest::addColumn<int>("setAttempts");
        QTest::addColumn<QString>("finalText");
        const QString copied = QStringLiteral("/a\t1\r\n");
        QTest::newRow("free at once") << 0 << 0 << 1 << 1 << copied;
        QTest::newRow("busy for a while") << 5 << 17 << 6 << 18 << copied;
        QTest::newRow("last attempt succeeds") << 999 << 999 << 1000 << 1000 << copied;
        QTest::newRow("setting never succeeds") << 0 << 5000 << 1 << 1000 << QString();
        QTest::newRow("clearing never succeeds") << 5000 << 0 << 1000 << 1 << copied;
        QTest::newRow("locked throughout") << 5000 << 5000 << 1000 << 1000 << QStringLiteral("previous content");
    }
    void retries()
    {
        QFETCH(int, clearFailures);
        QFETCH(int, setFailures);
        QFETCH(int, clearAttempts);
        QFETCH(int, setAttempts);
        QFETCH(QString, finalText);
        Harness h;
        h.fakes.clipboard->clearFailures = clearFailures;
        h.fakes.clipboard->setFailures = setFailures;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a", {"1"}, true}});
        copyResultsToClipboard(h.ctx, table);
        QCOMPARE(h.fakes.clipboard->clearAttempts, clearAttempts);
        QCOMPARE(h.fakes.clipboard->setAttempts, setAttempts);
        QCOMPARE(h.fakes.clipboard->text, finalText);
        // Nothing is reported; the message comes all the same.
        QCOMPARE(h.fakes.messages->shown.size(), 1);
        QCOMPARE(h.fakes.messages->shown.first().text, CopiedMessage);
    }

    void throwingClipboardStaysQuiet()
    {
        ThrowingClipboard clipboard;
        QVERIFY(!ClearClipboard(clipboard));
        QVERIFY(!SetClipboardText(clipboard, QStringLiteral("x")));
        QCOMPARE(clipboard.attempts, 2 * ClipboardAttempts);
    }

    void textTooLongStopsTheCopy()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Title"}, {{"/a", {QString(32768, QLatin1Char('x'))}, true}});
        copyResultsToClipboard(h.ctx, table);
        QCOMPARE(h.fakes.clipboard->text, QStringLiteral("previous content"));
        QCOMPARE(h.fakes.clipboard->clearAttempts, 0);
        QCOMPARE(h.fakes.messages->shown.size(), 2);
        QCOMPARE(h.fakes.messages->shown.at(0).text,
                 ErrorReporter::text(location::ClipboardButton, 100, QStringLiteral("Overflow")));
        QCOMPARE(h.fakes.messages->shown.at(1).text, CopiedMessage);
    }

    void longestCountableText()
    {
        ResultsTable table;
        const QString fits(32767, QLatin1Char('x'));
        fillTable(table, {"Title"}, {{fits, {"t"}, true}, {"/b", {"u"}, true}});
        QCOMPARE(clipboardText(table), fits + "\tt\r\n/b" + QString(32765, QLatin1Char(' ')) + "\tu\r\n");
    }

    void tableClearedWhileBuilding()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a", {"1"}, true}, {"/b", {"2"}, true}});
        QTimer::singleShot(0, &table, [&table] { table.clearRows(); });
        copyResultsToClipboard(h.ctx, table);
        QCOMPARE(table.rows(), 0);
        QCOMPARE(h.fakes.clipboard->text, QStringLiteral("/a\t1\r\n/b\t2\r\n"));
        QCOMPARE(h.plainMessages(), QStringList({CopiedMessage}));
    }
};

QTEST_MAIN(TestClipboardExport)
#include "tst_clipboard_export.moc"
