// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ErrorReport.h"
#include "platform/Product.h"
#include "platform/fakes/FakePlatform.h"
#include <QTest>

class tst_ErrorReport : public QObject {
    Q_OBJECT
private slots:
    void reportTextIsExact()
    {
        auto boxes = std::make_shared<FakeMessageBoxes>();
        ErrorReporter reporter(boxes);
        reporter.report(QStringLiteral("Quillmark2021/08/31.Form1.PushButton5_Click"), 104, QStringLiteral("Overflow"));
        QCOMPARE(boxes->shown.size(), 1);
        const ShownMessage &m = boxes->shown.first();
        QCOMPARE(m.title, QStringLiteral("Application Error"));
        QCOMPARE(m.buttons, MsgButtons::Ok);
        QCOMPARE(m.icon, MsgIcon::Warning);
        QCOMPARE(m.text, QStringLiteral("Overflow\r\nin Quillmark2021/08/31.Form1.PushButton5_Click at line 104\r\r"
                                        "Please email screenshot of this message to ")
                             + product::SupportAddress);
    }

    void trapReportsAndGoesOn()
    {
        auto boxes = std::make_shared<FakeMessageBoxes>();
        ErrorReporter reporter(boxes);
        Trap t(reporter, QStringLiteral("Loc.Proc"));
        QStringList ran;
        QVERIFY(t.run(100, [&] { ran << QStringLiteral("100"); }));
        QVERIFY(!t.run(102, [&] {
            ran << QStringLiteral("102a");
            throw RuntimeError(5, QStringLiteral("Invalid procedure call or argument"));
            ran << QStringLiteral("102b"); // the rest of the failed statement is skipped
        }));
        QVERIFY(!t.run(104, [] { throw std::runtime_error("plain failure"); }));
        QVERIFY(t.run(106, [&] { ran << QStringLiteral("106"); }));
        QCOMPARE(ran, (QStringList{"100", "102a", "106"}));
        QCOMPARE(t.failures(), 2);
        QCOMPARE(boxes->shown.size(), 2);
        QVERIFY(boxes->shown[0].text.startsWith(
            QStringLiteral("Invalid procedure call or argument\r\nin Loc.Proc at line 102\r\r")));
        QVERIFY(boxes->shown[1].text.startsWith(QStringLiteral("plain failure\r\nin Loc.Proc at line 104\r\r")));
    }

    void failedConditionCountsAsPassed()
    {
        auto boxes = std::make_shared<FakeMessageBoxes>();
        ErrorReporter reporter(boxes);
        Trap t(reporter, QStringLiteral("Loc.Proc"));
        QVERIFY(t.test(118, []() -> bool { throw RuntimeError(13, QStringLiteral("Type mismatch")); }));
        QVERIFY(!t.test(120, [] { return false; }));
        QCOMPARE(boxes->shown.size(), 1);
        QVERIFY(boxes->shown[0].text.contains(QStringLiteral("at line 118")));
        QCOMPARE(t.value<int>(
                     122, [] { return 7; }, 1),
                 7);
        QCOMPARE(t.value<int>(
                     124, []() -> int { throw RuntimeError(6, QStringLiteral("Overflow")); }, 1),
                 1);
    }
};

QTEST_GUILESS_MAIN(tst_ErrorReport)
#include "tst_ErrorReport.moc"
