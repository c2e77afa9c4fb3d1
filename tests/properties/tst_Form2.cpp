// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeContext.h"
#include "core/MainWindowState.h"
#include "platform/Product.h"
#include "properties/Form2.h"
#include <QCheckBox>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
void sendMouseMove(QWidget *w)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}
} // namespace

class tst_Form2 : public QObject {
    Q_OBJECT
    QTemporaryDir m_folder;
    std::unique_ptr<FakeContext> m_context;
    FakePlatform *m_fakes = nullptr;

private slots:
    void init()
    {
        m_context = std::make_unique<FakeContext>(m_folder.path());
        m_fakes = &m_context->fakes;
    }

    void layout()
    {
        Form2 form(m_context->ctx);
        QCOMPARE(form.windowTitle(), QStringLiteral("Word Properties"));
        QCOMPARE(form.size(), QSize(352, 366));
        QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(form.check(1)->geometry(), QRect(16, 13, 107, 16));
        QCOMPARE(form.check(12)->geometry(), QRect(16, 307, 107, 16));
        QCOMPARE(form.check(13)->geometry(), QRect(144, 13, 107, 16));
        QCOMPARE(form.check(23)->geometry(), QRect(144, 280, 201, 16));
        QCOMPARE(form.check(23)->text(), QStringLiteral("No. Of Characters (with spaces)"));
        QCOMPARE(form.check(18)->text(), QStringLiteral("Number Of Pages"));
        QCOMPARE(form.closeButton()->text(), QStringLiteral("Close"));
        QCOMPARE(form.closeButton()->geometry(), QRect(8, 332, 336, 27));
        QCOMPARE(form.closeButton()->font().pointSizeF(), 11.25);
        QCOMPARE(form.check(7)->font().pointSize(), 9);

        // Keyboard order: 1..10, 12, Close, 11, 13..24.
        QStringList order;
        QWidget *w = form.check(1);
        for (int i = 0; i < 25; ++i) {
            order << w->objectName();
            w = w->nextInFocusChain();
        }
        QStringList expected;
        for (int n = 1; n <= 10; ++n)
            expected << QStringLiteral("Check%1").arg(n);
        expected << "Check12"
                 << "PushButton11"
                 << "Check11";
        for (int n = 13; n <= 24; ++n)
            expected << QStringLiteral("Check%1").arg(n);
        QCOMPARE(order, expected);
    }

    void firstOpeningStoresEveryRow()
    {
        Form2 form(m_context->ctx);
        form.Form_Load();
        for (int n = 1; n <= 24; ++n) {
            QVERIFY(form.check(n)->isChecked());
            QCOMPARE(m_fakes->settings->values.value(QStringLiteral("Column%1").arg(n)), QStringLiteral("1"));
        }
        QCOMPARE(m_fakes->settings->writes.size(), 24);
        QVERIFY(m_fakes->messages->shown.isEmpty());
    }

    void storedTextsDecideTheTicks()
    {
        m_fakes->settings->values.insert(QStringLiteral("Column24"), QStringLiteral("0"));
        m_fakes->settings->values.insert(QStringLiteral("Column3"), QStringLiteral("1.0"));
        Form2 form(m_context->ctx);
        form.Form_Load();
        QVERIFY(!form.check(24)->isChecked());
        QVERIFY(!form.check(3)->isChecked());
        // Rows left unticked are not written: the hand-edited text survives.
        QCOMPARE(m_fakes->settings->values.value(QStringLiteral("Column3")), QStringLiteral("1.0"));
        QCOMPARE(m_fakes->settings->writes.size(), 22);
    }

    void clicksAreStoredAtOnce()
    {
        Form2 form(m_context->ctx);
        form.Form_Load();
        m_fakes->settings->writes.clear();
        QTest::mouseClick(form.check(24), Qt::LeftButton);
        QCOMPARE(m_fakes->settings->values.value(QStringLiteral("Column24")), QStringLiteral("0"));
        QTest::mouseClick(form.check(24), Qt::LeftButton);
        QCOMPARE(m_fakes->settings->writes, (QStringList{"Column24=0", "Column24=1"}));
        QTest::mouseClick(form.closeButton(), Qt::LeftButton);
        QCOMPARE(m_fakes->settings->writes.size(), 2); // closing stores nothing more
    }

    void loadFailuresAreReportedPerRow()
    {
        m_fakes->settings->refuseReads = true;
        Form2 form(m_context->ctx);
        form.Form_Load();
        QCOMPARE(m_fakes->messages->shown.size(), 24);
        QVERIFY(m_fakes->messages->shown.first().text.contains(
            QStringLiteral("in Quillmark2021/08/31.Form2.Form_Load at line 112\r\r")));
        QVERIFY(m_fakes->messages->shown.last().text.contains(QStringLiteral("at line 158\r\r")));
    }

    void pointerTable()
    {
        QVERIFY(
            QFile::copy(QStringLiteral(QV_PROGRAM_DIR "/HAND-M.CUR"), m_folder.path() + QStringLiteral("/HAND-M.CUR")));
        Form2 form(m_context->ctx);
        form.Form_Load();
        sendMouseMove(form.check(11));
        QCOMPARE(form.mousePointer(), 99);
        sendMouseMove(form.check(6));
        QCOMPARE(form.mousePointer(), 0);
        sendMouseMove(form.closeButton());
        QCOMPARE(form.mousePointer(), 99);
        sendMouseMove(form.check(2)); // other boxes leave the pointer alone
        QCOMPARE(form.mousePointer(), 99);
        sendMouseMove(&form);
        QCOMPARE(form.mousePointer(), 0);
        form.setMousePointer(11);
        sendMouseMove(form.check(11));
        sendMouseMove(&form);
        QCOMPARE(form.mousePointer(), 11);
        QFile::remove(m_folder.path() + QStringLiteral("/HAND-M.CUR"));
    }

    void openedModallyFromTheMainWindow()
    {
        // The chooser closes itself through its Close button while modal.
        QTimer::singleShot(0, [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *f = qobject_cast<Form2 *>(w)) {
                    QVERIFY(f->isModal());
                    QTest::mouseClick(f->closeButton(), Qt::LeftButton);
                }
        });
        chooseProperties(m_context->ctx);
        QCOMPARE(m_fakes->settings->writes.size(), 24);
        QVERIFY(m_fakes->messages->shown.isEmpty());
    }

    // Return on a check box leaves the window open; Return on the focused Close button closes it.
    void returnPressesOnlyTheFocusedButton()
    {
        Form2 form(m_context->ctx);
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.check(1)->setFocus();
        QTest::keyClick(form.check(1), Qt::Key_Return);
        QVERIFY(form.isVisible());
        form.closeButton()->setFocus();
        QTest::keyClick(form.closeButton(), Qt::Key_Return);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(tst_Form2)
#include "tst_Form2.moc"
