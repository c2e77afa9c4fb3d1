// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/Form1.h"
#include "app/TextProgressBar.h"
#include "app/WindowPlacement.h"
#include "extract/WordAvailability.h"
#include "filelist/InputFileList.h"
#include "filelist/InputFileListView.h"
#include "platform/DesktopPlatform.h"
#include "platform/Product.h"
#include "platform/fakes/FakePlatform.h"
#include "results/ResultsTable.h"
#include "results/ResultsView.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>

namespace {
void sendMouseMove(QWidget *w)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

QStringList reportLines(const FakeMessageBoxes &boxes)
{
    QStringList lines;
    for (const ShownMessage &m : boxes.shown) {
        if (m.title != QStringLiteral("Application Error"))
            continue;
        const qsizetype at = m.text.indexOf(QStringLiteral(" at line "));
        lines << m.text.mid(m.text.indexOf(QStringLiteral("\r\nin ")) + 5,
                            at - m.text.indexOf(QStringLiteral("\r\nin ")) - 5)
                     + QLatin1Char('@') + m.text.mid(at + 9, m.text.indexOf(QLatin1Char('\r'), at) - at - 9);
    }
    return lines;
}
} // namespace

class tst_Form1 : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_folder;
    QTemporaryDir m_config; // the settings file of the tests that use the real one
    FakePlatform m_fake;

    std::unique_ptr<Form1> makeForm() { return std::make_unique<Form1>(m_fake.platform(), m_folder->path(), 0.0); }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }

    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_fake = FakePlatform();
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        const auto row = [](const char *n, const char *c, int l, int t, int w, int h) {
            QTest::newRow(n) << QString::fromLatin1(n) << QString::fromUtf8(c) << QRect(l, t, w, h);
        };
        row("ListView1", "", 120, 120, 7800, 2535);
        row("PushButton7", "1. Add Word File(s)", 120, 2750, 3840, 405);
        row("PushButton4", "1. Add All Word File(s) In Folder", 4080, 2750, 3840, 405);
        row("PushButton6", "2. Choose Word Properties To Extract", 120, 3770, 7800, 405);
        row("PushButton3", "3. Start Extracting", 120, 4280, 7800, 405);
        row("ListView2", "", 120, 4790, 7800, 2535);
        row("PushButton1", "4. Save Results As Text File", 120, 7410, 3840, 405);
        row("PushButton13", "4. Save Results As Excel File", 4080, 7410, 3840, 405);
        row("ProgressBar1", "Progress Bar", 120, 8440, 7800, 405);
        row("PushButton5", "Clear Results", 4080, 7920, 3840, 405);
        row("PushButton2", "Copy Results To Clipboard", 120, 7920, 3840, 405);
        row("PushButton8", "Clear List", 120, 3260, 3840, 405);
        row("PushButton9", "Load Sample/Example Files", 4080, 3260, 3840, 405);
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        auto form = makeForm();
        QCOMPARE(form->size(), QSize(536, 598));
        QWidget *w = form->findChild<QWidget *>(name);
        QVERIFY2(w, qPrintable(name));
        const auto px = [](int t) { return (t + 7) / 15; };
        QCOMPARE(w->geometry(), QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
        if (auto *b = qobject_cast<QPushButton *>(w)) {
            QCOMPARE(b->text(), caption);
            QCOMPARE(b->font().family(), QStringLiteral("Arial"));
            QCOMPARE(b->font().pointSizeF(), 11.25);
            QVERIFY(b->font().bold());
        } else if (auto *p = qobject_cast<TextProgressBar *>(w)) {
            QCOMPARE(p->text(), caption);
            QCOMPARE(p->value(), 0);
        } else {
            QCOMPARE(w->font().pointSize(), 9);
            QVERIFY(w->font().bold());
        }
    }

    void tabOrderFollowsTheWorkflow()
    {
        auto form = makeForm();
        const QStringList expected{"ListView1",   "PushButton7", "PushButton4",  "PushButton6",  "PushButton3",
                                   "ListView2",   "PushButton1", "PushButton13", "ProgressBar1", "PushButton5",
                                   "PushButton2", "PushButton8", "PushButton9"};
        QWidget *w = form->findChild<QWidget *>(expected.first());
        for (qsizetype i = 1; i < expected.size(); ++i) {
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || w->parentWidget() != form.get())
                w = w->nextInFocusChain();
            QCOMPARE(w->objectName(), expected[i]);
        }
    }

    // Tabbing from control to control, each one shows that it has the focus.
    void everyStopOfTheTabOrderShowsTheFocus()
    {
        auto form = makeForm();
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->listView1()->setFocus(Qt::TabFocusReason);
        QVERIFY(form->listView1()->hasFocus());
        QWidget *w = form->listView1();
        QStringList unmarked;
        for (int stop = 0; stop < 13; ++stop) {
            const QImage focused = w->grab().toImage();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *next = QApplication::focusWidget();
            QVERIFY(next && next != w);
            if (w->grab().toImage() == focused)
                unmarked << w->objectName();
            w = next;
        }
        QVERIFY2(unmarked.isEmpty(), qPrintable(unmarked.join(QLatin1Char(' '))));
    }

    void cleanStart()
    {
        auto form = makeForm();
        QVERIFY(form->Form_Load());
        QVERIFY(m_fake.messages->shown.isEmpty());
        QCOMPARE(form->windowTitle(), QStringLiteral("Quillmere Vantrel"));
        QCOMPARE(form->appTitle(), QStringLiteral("Quillmere"));
        QVERIFY(!form->isSkinned());
        QCOMPARE(form->palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(!form->hasHandPointerPicture());
        QCOMPARE(form->listView1()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Word File(s)"));
        QVERIFY(qAbs(form->listView1()->header()->sectionSize(0) - 7000 / 15.0) < 1.0);
        // The engine test leaves no instance behind.
        QCOMPARE(m_fake.word->log, (QStringList{"create", "quit"}));
        QCOMPARE(m_fake.word->liveInstances, 0);
        // No samples folder: the recorded list is empty, and recorded nonetheless.
        QVERIFY(m_fake.settings->values.contains(QStringLiteral("Snapshot")));
        QVERIFY(!form->isVisible());
    }

    void storedSampleListIsNotRecordedAgain()
    {
        m_fake.settings->values.insert(QStringLiteral("Snapshot"), QStringLiteral("\x01garbage"));
        auto form = makeForm();
        QVERIFY(form->Form_Load());
        QVERIFY(m_fake.settings->writes.isEmpty());
    }

    // Start-up over a damaged settings file reads what it can, sets the file aside with one report, and a
    // run then extracts exactly the choice the file held.
    void damagedSettingsFileIsSetAsideAtStartUp()
    {
        Platform platform = m_fake.platform();
        const auto stored = std::make_shared<QSettingsBackend>(
            QStringLiteral("Velkorn"), QStringLiteral("Quillmere Vantrel"), QStringLiteral("Quillmere Vantrel"));
        platform.settings = stored;
        const QString file = stored->fileName();
        QVERIFY2(file.startsWith(m_config.path()), qPrintable(file));
        QDir().mkpath(QFileInfo(file).absolutePath());
        QByteArray content = "[Quillmere%20Vantrel]\n";
        for (int n = 1; n <= 24; ++n)
            content += "Column" + QByteArray::number(n) + (n == 1 || n == 3 || n == 18 ? "=1\n" : "=0\n");
        content += QByteArray("\xff\xfe\x00\x01[\x80\x9f=\xc3\x28\n\x00\x00\xfe", 14);
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(content);
        damaged.close();

        Form1 form(platform, m_folder->path(), 0.0);
        QVERIFY(form.Form_Load());
        QCOMPARE(reportLines(*m_fake.messages), QStringList("Quillmark2021/08/31.Form1.Form_Load@112"));
        QVERIFY(m_fake.messages->shown.first().text.contains(file + QStringLiteral(".damaged")));
        QFile kept(file + QStringLiteral(".damaged"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), content);

        m_fake.messages->shown.clear();
        m_fake.word->documents.insert(QStringLiteral("/d/a.docx"), {});
        form.inputList().add(QStringLiteral("/d/a.docx"));
        form.PushButton3_Click();
        QStringList headers;
        for (int c = 1; c <= form.results().columns(); ++c)
            headers << form.results().headerText(c);
        QCOMPARE(headers, (QStringList{"Filename", "Title", "Author", "Pages"}));
        QCOMPARE(m_fake.messages->texts(), QStringList("Done."));
    }

    void skinAndPointerFiles()
    {
        QDir(m_folder->path()).mkpath(QStringLiteral("x"));
        QFile skin(m_folder->path() + QStringLiteral("/x/o.cjs"));
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.write("QPushButton { color: navy; }");
        skin.close();
        QVERIFY(QFile::copy(QStringLiteral(QV_PROGRAM_DIR "/HAND-M.CUR"),
                            m_folder->path() + QStringLiteral("/HAND-M.CUR")));
        auto form = makeForm();
        QVERIFY(form->Form_Load());
        QVERIFY(m_fake.messages->shown.isEmpty());
        QVERIFY(form->isSkinned());
        QCOMPARE(form->styleSheet(), QStringLiteral("QPushButton { color: navy; }"));
        QCOMPARE(form->palette().color(QPalette::Window), form->palette().color(QPalette::Button));
        QVERIFY(form->hasHandPointerPicture());
    }

    void failingStepsAreReportedAtTheirLines()
    {
        QDir(m_folder->path()).mkpath(QStringLiteral("x"));
        QFile skin(m_folder->path() + QStringLiteral("/x/o.cjs"));
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.write(QByteArray(5 * 1024 * 1024, ' ')); // larger than any style sheet
        skin.close();
        QFile cursor(m_folder->path() + QStringLiteral("/HAND-M.CUR"));
        QVERIFY(cursor.open(QIODevice::WriteOnly));
        cursor.write("not a cursor at all");
        cursor.close();
        m_fake.random->values = {0.06}; // draws 7: the home-page visit
        m_fake.shell->throwOnOpenUrl = true;
        m_fake.settings->refuseReads = true;
        auto form = makeForm();
        QVERIFY(form->Form_Load());
        const QString at = QStringLiteral("Quillmark2021/08/31.Form1.Form_Load");
        QCOMPARE(reportLines(*m_fake.messages), (QStringList{at + "@100", at + "@108", at + "@110", at + "@112"}));
        // The sample-list test failed, so its branch ran as if it had passed: the list was recorded.
        QVERIFY(m_fake.settings->values.contains(QStringLiteral("Snapshot")));
        // Later steps still ran.
        QCOMPARE(form->appTitle(), QStringLiteral("Quillmere"));
        QCOMPARE(m_fake.word->log, (QStringList{"create", "quit"}));
    }

    void refusedHomePageVisitIsReported()
    {
        // The offscreen desktop opens no web addresses, so the real shell is refused here.
        Platform platform = m_fake.platform();
        platform.shell = std::make_shared<DesktopShell>();
        m_fake.random->values = {0.06}; // draws 7: the home-page visit
        Form1 form(platform, m_folder->path(), 0.0);
        QVERIFY(form.Form_Load());
        QCOMPARE(reportLines(*m_fake.messages), QStringList("Quillmark2021/08/31.Form1.Form_Load@110"));
        QVERIFY(m_fake.messages->shown.first().text.startsWith(
            QStringLiteral("The address %1 could not be opened.\r\n").arg(product::HomePage)));
    }

    void homePageOnlyOnSeven_data()
    {
        QTest::addColumn<double>("draw");
        QTest::addColumn<bool>("visits");
        QTest::newRow("n=1") << 0.0 << false;
        QTest::newRow("n=6") << 0.0599 << false;
        QTest::newRow("n=7 low") << 0.06 << true;
        QTest::newRow("n=7 high") << 0.0699 << true;
        QTest::newRow("n=8") << 0.07 << false;
        QTest::newRow("n=100") << 0.9999 << false;
    }

    void homePageOnlyOnSeven()
    {
        QFETCH(double, draw);
        QFETCH(bool, visits);
        m_fake.random->values = {draw};
        m_fake.clock->now = 4321.5;
        auto form = makeForm();
        QVERIFY(form->Form_Load());
        QCOMPARE(m_fake.shell->urls.size(), visits ? 1 : 0);
        if (visits)
            QCOMPARE(m_fake.shell->urls.first(), product::HomePage);
        QCOMPARE(m_fake.random->seeds, QList<double>{4321.5});
    }

    void appTitle_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("product") << "Quillmere Vantrel"
                                 << "Quillmere";
        QTest::newRow("short name still loses its last word") << "Ab Cd Ef"
                                                              << "Ab Cd";
        QTest::newRow("44 chars, six words: one word") << "Alpha Bravo Charlie Delta Echoes Foxtrot1234"
                                                       << "Alpha Bravo Charlie Delta Echoes";
        QTest::newRow("long name loses words until it fits")
            << "Aaaaaaaaaa Bbbbbbbbbb Cccccccccc Dddddddddd Eeeeeeeeee Ffffffffff"
            << "Aaaaaaaaaa Bbbbbbbbbb Cccccccccc";
    }

    void appTitle()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QCOMPARE(Form1::SetAppTitle(name), title);
    }

    void appTitleOfOneWordIsAnError()
    {
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Form1::SetAppTitle(QStringLiteral("Quillmere")));
        QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                 Form1::SetAppTitle(QString(50, QLatin1Char('x')) + QStringLiteral(" y")));
    }

    void noEngineEndsBeforeTheWindowShows()
    {
        m_fake.word->unavailable = true;
        auto form = makeForm();
        QVERIFY(!form->Form_Load());
        QCOMPARE(m_fake.exit->calls, 1);
        QVERIFY(form->hasEnded());
        QVERIFY(!form->isVisible());
        QCOMPARE(m_fake.messages->shown.size(), 1);
        const ShownMessage &m = m_fake.messages->shown.first();
        QCOMPARE(m.title, QStringLiteral("Quillmere"));
        QCOMPARE(m.icon, MsgIcon::None);
        QCOMPARE(m.buttons, MsgButtons::Ok);
        QCOMPARE(m.text, QStringLiteral("Error 842001. A normal instance of Word could not be created.\r\n\r\n"
                                        "1. Please make sure Word is installed on this computer.\r\n\r\n"
                                        "2. Please open Word normally and make sure a blank document opens immediately "
                                        "without any interrupting "
                                        "window (such as an Word file recovery window).\r\n\r\n"
                                        "3. Please make sure that when you double-click on a DOC or DOCX file that "
                                        "Word opens normally without any "
                                        "interrupting messages.\r\n\r\n"
                                        "4. All versions of Word are supported by this software except for the rare "
                                        "Word Starter and Student editions."));
    }

    void hoverRules()
    {
        auto form = makeForm();
        QVERIFY(form->Form_Load());
        for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 13}) {
            form->setMousePointer(0);
            sendMouseMove(form->button(n));
            QCOMPARE(form->mousePointer(), 99);
        }
        sendMouseMove(form.get());
        QCOMPARE(form->mousePointer(), 0);
        form->setMousePointer(99);
        sendMouseMove(form->listView2()->viewport());
        QCOMPARE(form->mousePointer(), 0);
        form->setMousePointer(99);
        sendMouseMove(form->listView1()->viewport());
        QCOMPARE(form->mousePointer(), 0);

        // The busy pointer is never replaced by hovering.
        form->setMousePointer(11);
        sendMouseMove(form->button(3));
        sendMouseMove(form.get());
        sendMouseMove(form->listView1()->viewport());
        sendMouseMove(form->listView2()->viewport());
        QCOMPARE(form->mousePointer(), 11);
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
        form->setMousePointer(0);
        sendMouseMove(form->button(3));
        QCOMPARE(form->mousePointer(), 99);
    }

    void closingEndsTheProgram()
    {
        auto form = makeForm();
        QVERIFY(form->Form_Load());
        form->show();
        form->close();
        QCOMPARE(m_fake.exit->calls, 1);
        QVERIFY(form->hasEnded());
    }

    // Every push button, clicked or given Return while it has the focus, runs its own handler; what the
    // handler did shows in the fakes. The lists start with one entry each.
    void eachButtonRunsItsHandler_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("byReturn");
        QTest::addColumn<QString>("seen");
        const QList<std::pair<int, const char *>> buttons{
            {7, "dialog open Add File(s) - Hold Ctrl to select multiple files"},
            {4, "input Enter file extension to load:"},
            {6, "window Form2"},
            {3, "word open /d/a.doc"},
            {1, "dialog save Save"},
            {13, "query application/vnd.openxmlformats-officedocument.spreadsheetml.template"},
            {5, "results 0"},
            {2, "message Results have been copied to the clipboard."},
            {8, "files 0"},
            {9, "message Would you like this software to open the folder"},
        };
        for (const auto &[number, seen] : buttons) {
            QTest::addRow("PushButton%d click", number) << number << false << QString::fromUtf8(seen);
            QTest::addRow("PushButton%d Return", number) << number << true << QString::fromUtf8(seen);
        }
    }

    void eachButtonRunsItsHandler()
    {
        QFETCH(int, number);
        QFETCH(bool, byReturn);
        QFETCH(QString, seen);
        auto form = makeForm();
        QVERIFY(form->Form_Load());
        form->show();
        m_fake.word->log.clear(); // start-up's availability test created an instance
        form->inputList().add(QStringLiteral("/d/a.doc"));
        form->results().addColumn(QStringLiteral("Filename"));
        form->results().appendRow(QStringLiteral("/d/a.doc"));
        QStringList trace;
        // The chooser is modal: note it and close it.
        QTimer::singleShot(0, [&trace] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                trace << QStringLiteral("window ") + modal->objectName();
                modal->close();
            }
        });
        QPushButton *button = form->button(number);
        QVERIFY(!button->isDefault() && !button->autoDefault()); // Return elsewhere never presses it
        if (byReturn) {
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Return);
        } else {
            QTest::mouseClick(button, Qt::LeftButton);
        }
        for (const FakeFileDialogs::Call &c : m_fake.dialogs->calls)
            trace << QStringLiteral("dialog %1 %2").arg(c.kind, c.title);
        for (const FakeMessageBoxes::Input &i : m_fake.messages->inputs)
            trace << QStringLiteral("input ") + i.prompt;
        for (const ShownMessage &m : m_fake.messages->shown)
            trace << QStringLiteral("message ") + m.text;
        for (const QString &q : m_fake.shell->queried)
            trace << QStringLiteral("query ") + q;
        for (const QString &w : m_fake.word->log)
            trace << QStringLiteral("word ") + w;
        trace << QStringLiteral("files %1").arg(form->inputList().count());
        trace << QStringLiteral("results %1").arg(form->results().rows());
        QVERIFY2(std::any_of(trace.cbegin(), trace.cend(), [&](const QString &t) { return t.startsWith(seen); }),
                 qPrintable(trace.join(QLatin1Char('\n'))));
    }

    void returnAwayFromTheButtonsPressesNone()
    {
        auto form = makeForm();
        QVERIFY(form->Form_Load());
        form->show();
        form->inputList().add(QStringLiteral("/d/a.doc"));
        form->listView1()->setFocus();
        QTest::keyClick(form->listView1(), Qt::Key_Return);
        QTest::keyClick(form.get(), Qt::Key_Return);
        QCOMPARE(form->inputList().count(), 1);
        QVERIFY(m_fake.messages->shown.isEmpty() && m_fake.dialogs->calls.isEmpty());
    }

    void openingPlace_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("fits: centred") << QSize(536, 598) << QRect(0, 0, 1600, 1000) << QPoint(532, 201);
        QTest::newRow("below a top panel") << QSize(536, 598) << QRect(0, 30, 1600, 970) << QPoint(532, 216);
        // At scale factor 2 a 1600x1000 screen is 800x500: the title bar stays on the screen.
        QTest::newRow("taller than the screen") << QSize(536, 598) << QRect(0, 0, 800, 500) << QPoint(132, 0);
        QTest::newRow("second screen, too small") << QSize(536, 598) << QRect(1600, 24, 400, 300) << QPoint(1600, 24);
    }

    void openingPlace()
    {
        QFETCH(QSize, window);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        QCOMPARE(centredPosition(window, available), expected);
    }

    // Asked from a terminal: help and the version need no display; an unknown option is refused before
    // the window starts, with a usage line on standard error.
    void commandLineRequests_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString usage = QStringLiteral("Usage: quillmere-vantrel [--help] [--version] [FILE|FOLDER]...\n");
        QTest::newRow("help") << QStringList{"x.doc", "--help"} << false << 0 << usage << QString();
        QTest::newRow("version") << QStringList{"--version"} << false << 0 << QStringLiteral("quillmere-vantrel 1.")
                                 << QString();
        QTest::newRow("unknown option") << QStringList{"--bogus", "x.doc"} << true << 2 << QString()
                                        << QStringLiteral("quillmere-vantrel: unknown option --bogus\n") + usage;
        QTest::newRow("the toolkit's own options pass")
            << QStringList{"-platform", "offscreen", "-x"} << true << 2 << QString()
            << QStringLiteral("quillmere-vantrel: unknown option -x\n") + usage;
    }
    void commandLineRequests()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!display) {
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            env.remove(QStringLiteral("DISPLAY"));
            env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        }
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QV_PROGRAM_DIR "/quillmere-vantrel"), arguments);
        QVERIFY(program.waitForFinished(60000));
        const QString standardError = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(program.exitCode(), status);
        QVERIFY2(standardError.endsWith(err), qPrintable(standardError));
        if (status == 0)
            QVERIFY2(QString::fromLocal8Bit(program.readAllStandardOutput()).startsWith(out),
                     qPrintable(standardError));
        else
            QVERIFY(program.readAllStandardOutput().isEmpty());
    }

    // The menu entry's "Open with" hands over files and folders; they arrive as if dropped.
    void commandLineItemsAreAddedAsDropped()
    {
        QDir root(m_folder->path());
        QVERIFY(root.mkpath(QStringLiteral("in/sub")));
        for (const char *name : {"one.doc", "in/two.docx", "in/~lock.doc", "in/sub/three.rtf"}) {
            QFile f(root.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        // Names are cleaned as a drop gives them; a name that names nothing is left out and reported.
        const CommandLine line = CommandLine::parse(
            {QStringLiteral("./in/sub/.."), QStringLiteral("gone.doc"), QStringLiteral("in//../one.doc")}, root.path());
        QCOMPARE(line.request, CommandLine::Request::Start);
        QCOMPARE(line.paths,
                 QStringList({root.filePath(QStringLiteral("in")), root.filePath(QStringLiteral("one.doc"))}));
        QCOMPARE(line.missing, QStringList(QStringLiteral("gone.doc")));
        auto byCommandLine = makeForm();
        byCommandLine->openFromCommandLine(line.paths);
        QCOMPARE(byCommandLine->inputList().count(), 0); // only once the event loop runs
        auto byDrop = makeForm();
        byDrop->listView1()->dropPaths({root.filePath(QStringLiteral("in")), root.filePath(QStringLiteral("one.doc"))});
        QTRY_COMPARE(byCommandLine->inputList().count(), byDrop->inputList().count());
        QCOMPARE(byDrop->inputList().count(), 3);
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(byCommandLine->inputList().text(i), byDrop->inputList().text(i));
    }
};

QTEST_MAIN(tst_Form1)
#include "tst_Form1.moc"
