// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
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
