// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Form1.h"
#include "app/CommandLine.h"
#include "app/FocusMark.h"
#include "app/Samples.h"
#include "app/TextProgressBar.h"
#include "app/WindowPlacement.h"
#include "core/ErrorLocation.h"
#include "core/FileExists.h"
#include "core/FormColors.h"
#include "core/PointerFile.h"
#include "core/ProgramFolder.h"
#include "core/ProgramIcon.h"
#include "core/ReturnKey.h"
#include "core/Twips.h"
#include "extract/ExtractionRun.h"
#include "extract/WordAvailability.h"
#include "filelist/FileListHandlers.h"
#include "filelist/InputFileList.h"
#include "filelist/InputFileListView.h"
#include "platform/Product.h"
#include "platform/RuntimeError.h"
#include "properties/Form2.h"
#include "results/ClearResults.h"
#include "results/ClipboardExport.h"
#include "results/ResultsTable.h"
#include "results/ResultsView.h"
#include "results/TextExport.h"
#include "results/WorkbookExport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <clocale>
#include <cmath>

namespace {
int px(int twips) { return twipsToPixels(twips); }
constexpr int ButtonHeight = 405;
} // namespace

QString Form1::location(const QString &procedure) { return errorLocation::of(QStringLiteral("Form1"), procedure); }

Form1::Form1(const Platform &platform, const QString &programFolder, double pageWaitSeconds)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint),
      m_errors(platform.messages, this), m_settings(platform.settings), m_pointer(this)
{
    m_ctx.platform = platform;
    m_ctx.errors = &m_errors;
    m_ctx.settings = &m_settings;
    m_ctx.window = this;
    m_ctx.owner = this;
    m_ctx.appTitle = product::Name;
    m_ctx.programFolder = programFolder;
    m_inputList = std::make_unique<InputFileList>();
    m_results = std::make_unique<ResultsTable>();
    buildControls();
    m_run = std::make_unique<ExtractionRun>(m_ctx, *m_inputList, *m_results, *m_progress, pageWaitSeconds);
}

Form1::~Form1() = default;

QPushButton *Form1::addButton(int number, const QString &caption, int left, int top, int width)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(QStringLiteral("PushButton%1").arg(number));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    font.setBold(true);
    b->setFont(font);
    b->setGeometry(px(left), px(top), px(width), px(ButtonHeight));
    b->setMouseTracking(true);
    // Moves over a button belong to the button alone, not also to the background behind it.
    b->setAttribute(Qt::WA_NoMousePropagation);
    b->installEventFilter(this);
    pressOnReturn(b);
    m_buttons.insert(number, b);
    return b;
}

void Form1::buildControls()
{
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(px(8040), px(8970));
    QFont font(QStringLiteral("Arial"), 9);
    font.setBold(true);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white); // white until a skin gives it the button face
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);

    m_listView1 = new InputFileListView(m_inputList.get(), &m_ctx, this);
    m_listView1->setObjectName(QStringLiteral("ListView1"));
    m_listView1->setGeometry(px(120), px(120), px(7800), px(2535));
    m_listView1->setFont(font);

    QPushButton *b7 = addButton(7, QStringLiteral("1. Add Word File(s)"), 120, 2750, 3840);
    QPushButton *b4 = addButton(4, QStringLiteral("1. Add All Word File(s) In Folder"), 4080, 2750, 3840);
    QPushButton *b6 = addButton(6, QStringLiteral("2. Choose Word Properties To Extract"), 120, 3770, 7800);
    QPushButton *b3 = addButton(3, QStringLiteral("3. Start Extracting"), 120, 4280, 7800);

    m_listView2 = new ResultsView(m_results.get(), this, this);
    m_listView2->setObjectName(QStringLiteral("ListView2"));
    m_listView2->setGeometry(px(120), px(4790), px(7800), px(2535));
    m_listView2->setFont(font);

    QPushButton *b1 = addButton(1, QStringLiteral("4. Save Results As Text File"), 120, 7410, 3840);
    QPushButton *b13 = addButton(13, QStringLiteral("4. Save Results As Excel File"), 4080, 7410, 3840);

    m_progress = new TextProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setGeometry(px(120), px(8440), px(7800), px(ButtonHeight));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    m_progress->setAlignment(Qt::AlignCenter);
    m_progress->setText(QStringLiteral("Progress Bar"));

    QPushButton *b5 = addButton(5, QStringLiteral("Clear Results"), 4080, 7920, 3840);
    QPushButton *b2 = addButton(2, QStringLiteral("Copy Results To Clipboard"), 120, 7920, 3840);
    QPushButton *b8 = addButton(8, QStringLiteral("Clear List"), 120, 3260, 3840);
    QPushButton *b9 = addButton(9, QStringLiteral("Load Sample/Example Files"), 4080, 3260, 3840);

    const QList<QWidget *> tabOrder{m_listView1, b7, b4, b6, b3, m_listView2, b1, b13, m_progress, b5, b2, b8, b9};
    for (int i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    m_progress->setFocusPolicy(Qt::TabFocus);
    // The buttons show the focus through the style; the lists (when they have no current entry) and the
    // progress bar show none, so they carry a mark of their own.
    for (QWidget *unmarked :
         {static_cast<QWidget *>(m_listView1), static_cast<QWidget *>(m_listView2), static_cast<QWidget *>(m_progress)})
        FocusMark::attach(unmarked);

    connect(b1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(b2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(b3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(b4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(b5, &QPushButton::clicked, this, &Form1::PushButton5_Click);
    connect(b6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(b7, &QPushButton::clicked, this, &Form1::PushButton7_Click);
    connect(b8, &QPushButton::clicked, this, &Form1::PushButton8_Click);
    connect(b9, &QPushButton::clicked, this, &Form1::PushButton9_Click);
    connect(b13, &QPushButton::clicked, this, &Form1::PushButton13_Click);
}

QPushButton *Form1::button(int number) const { return m_buttons.value(number, nullptr); }

QString Form1::SetAppTitle(const QString &productName)
{
    // The last word always goes, even from a short name; longer names lose words until they fit 40.
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            throw RuntimeError(RuntimeError::InvalidProcedureCall,
                               QStringLiteral("Invalid procedure call or argument"));
        title = title.left(blank);
    } while (title.size() > 40);
    return title;
}

void Form1::ApplySkin()
{
    // Only an ordinary file counts: hidden files (a leading dot) and folders are not found.
    const QString skin = m_ctx.programFolder + QStringLiteral("/x/o.cjs");
    const QFileInfo info(skin);
    if (!info.isFile() || info.isHidden())
        return;
    SetFormColors(this);
    QFile file(skin);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(RuntimeError::PermissionDenied,
                           QStringLiteral("The skin file %1 could not be read.").arg(skin));
    if (file.size() > 4 * 1024 * 1024)
        throw RuntimeError(RuntimeError::Overflow, QStringLiteral("The skin file %1 is too large.").arg(skin));
    setStyleSheet(QString::fromUtf8(file.readAll()));
    m_skinned = true;
}

void Form1::visitHomePage()
{
    IRandom &random = *m_ctx.platform.random;
    random.seed(m_ctx.platform.clock->secondsSinceMidnight());
    const int n = static_cast<int>(std::floor(random.next() * 100.0)) + 1;
    if (n == 7)
        m_ctx.platform.shell->openUrl(product::HomePage);
}

bool Form1::Form_Load()
{
    Trap t(m_errors, location(QStringLiteral("Form_Load")));
    t.run(100, [&] { ApplySkin(); });
    t.run(104, [&] {
        setWindowTitle(product::Name);
        setWindowIcon(programIcon());
        m_ctx.appTitle = SetAppTitle(product::Name);
    });
    const QString cursorPath = m_ctx.programFolder + QStringLiteral("/HAND-M.CUR");
    if (t.test(106, [&] { return FileExists(cursorPath); })) {
        t.run(108, [&] {
            const auto cursor = loadPointerFile(cursorPath);
            if (!cursor)
                throw RuntimeError(RuntimeError::InvalidProcedureCall,
                                   QStringLiteral("Invalid picture: %1").arg(cursorPath));
            m_pointer.setCustomCursor(*cursor);
        });
    }
    t.run(110, [&] { visitHomePage(); });
    // Recorded while no list (or an empty one) is stored. A test that fails counts as passed, as for every
    // conditional step: the list is recorded then, and its write sets a damaged settings file aside at once.
    if (t.test(112, [&] {
            return !m_settings.contains(setting::Snapshot.key) || m_settings.read(setting::Snapshot).isEmpty();
        }))
        t.run(112, [&] { RecordSampleList(m_ctx); });
    t.run(130, [&] { m_listView1->addFileColumn(); });
    t.run(132, [&] { m_listView1->setFileColumnWidthTwips(7000); });
    bool available = true;
    t.run(134, [&] { available = CheckWordInstalled(m_ctx); });
    if (!available)
        m_ended = true;
    return available;
}

void Form1::openFromCommandLine(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    InputFileListView *view = m_listView1;
    QMetaObject::invokeMethod(
        view, [view, paths] { view->dropPaths(paths); }, Qt::QueuedConnection);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program at once, whatever is running.
    m_ended = true;
    event->accept();
    m_ctx.platform.exit->endNow();
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    hoverToArrow();
    QWidget::mouseMoveEvent(event);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove && qobject_cast<QPushButton *>(watched))
        hoverToHand();
    return QWidget::eventFilter(watched, event);
}

void Form1::PushButton1_Click() { results::saveResultsAsText(m_ctx, *m_results); }
void Form1::PushButton2_Click() { results::copyResultsToClipboard(m_ctx, *m_results); }
void Form1::PushButton3_Click() { m_run->runExtraction(); }
void Form1::PushButton4_Click() { filelist::addFolderFiles(m_ctx, *m_inputList); }
void Form1::PushButton5_Click() { results::clearResults(m_ctx, *m_results); }
void Form1::PushButton6_Click() { ::chooseProperties(m_ctx); }
void Form1::PushButton7_Click() { filelist::addFiles(m_ctx, *m_inputList); }
void Form1::PushButton8_Click() { filelist::clearList(m_ctx, *m_inputList); }
void Form1::PushButton9_Click() { samples::addSampleFiles(m_ctx, *m_inputList); }
void Form1::PushButton13_Click() { results::saveResultsAsWorkbook(m_ctx, *m_results); }

int runApplication(int argc, char **argv)
{
    // Help and the version are answered before the application object exists, so they need no display.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    const CommandLine asked = CommandLine::parse(given, QDir::currentPath());
    if (asked.request == CommandLine::Request::Help || asked.request == CommandLine::Request::Version)
        return asked.answer(stdout, stderr);

    QApplication app(argc, argv);
    // The application object has set the C library's locale from the environment. Libraries that write
    // files for other programs (the workbook's numbers) print through the C library and would then
    // write a decimal comma that those programs misread; what the user reads is formatted by Qt, which
    // keeps following the user's locale.
    setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(product::Name);
    QApplication::setOrganizationName(settingsIdentity::Organisation);
    QApplication::setWindowIcon(programIcon());
    // Wayland compositors and docks match the window to its menu entry by this name.
    QGuiApplication::setDesktopFileName(product::DesktopId);
    // The application object has taken out the options it knows (-platform, -style ...); anything else
    // that looks like an option is refused before the window starts.
    const CommandLine line = CommandLine::parse(QCoreApplication::arguments().mid(1), QDir::currentPath());
    if (const int status = line.answer(stdout, stderr); status >= 0)
        return status;
    Form1 form(Platform::desktop(),
               programFolder(QCoreApplication::applicationDirPath(), QStringLiteral(QV_DATA_FROM_PROGRAM)));
    if (!form.Form_Load())
        return 0;
    centreOnScreen(form);
    form.show();
    form.openFromCommandLine(line.paths);
    return app.exec();
}
