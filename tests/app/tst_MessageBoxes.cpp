// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DesktopPlatform.h"
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>

// The real message boxes, as the desktop shows them.
class tst_MessageBoxes : public QObject {
    Q_OBJECT

private slots:
    void shortMessagesShowTheWholeTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("Done.") << "Quillmere"
                               << "Done.";
        QTest::newRow("No files added.") << "Quillmere"
                                         << "No files added.";
        QTest::newRow("long title") << "Application Error"
                                    << "x";
    }

    void shortMessagesShowTheWholeTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        const auto box = QtMessageBoxes::build(nullptr, title, text, MsgButtons::Ok, MsgIcon::None);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QFont bold = QApplication::font();
        bold.setBold(true);
        // The title's own width plus room for an icon and a close button beside it.
        QVERIFY2(box->width() >= QFontMetrics(bold).horizontalAdvance(title) + 80,
                 qPrintable(QString::number(box->width())));
        QCOMPARE(box->windowTitle(), title);
        QCOMPARE(box->text(), text);
    }
};

QTEST_MAIN(tst_MessageBoxes)
#include "tst_MessageBoxes.moc"
