// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DesktopPlatform.h"
#include "office/WorkbookHandOver.h"
#include "platform/EngineWordFactory.h"
#include "platform/RuntimeError.h"
#include "platform/XlsxSpreadsheet.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QUrl>
#include <QtGui/private/qguiapplication_p.h>
#include <algorithm>
#include <cstdlib>
#include <qpa/qplatformclipboard.h>
#include <qpa/qplatformintegration.h>
#include <unistd.h>

namespace {
// The program's message texts break lines with a bare carriage return (two of them for an empty line);
// Qt's labels break only on line feeds, so each break becomes one.
QString displayed(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}
} // namespace

int QtMessageBoxes::titleWidth(const QString &title)
{
    // Title bars draw their text in a bold face of about the application's size, beside the window's
    // icon and its buttons; five title-bar heights leave room for those on the usual desktops.
    QFont font = QApplication::font();
    font.setBold(true);
    const int bar =
        std::max(QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight), QFontMetrics(font).height());
    return QFontMetrics(font).horizontalAdvance(title) + 5 * bar;
}

std::unique_ptr<QMessageBox> QtMessageBoxes::build(QWidget *owner, const QString &title, const QString &text,
                                                   MsgButtons buttons, MsgIcon icon)
{
    auto box = std::make_unique<QMessageBox>(
        icon == MsgIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, displayed(text),
        buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    // The title belongs to the message: a short text ("Done.") must not shrink the box until its title
    // bar cuts the title. The box sizes itself from its layout, so the width goes in as a spacer.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth(title), 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                      0, 1, grid->columnCount());
    return box;
}

MsgAnswer QtMessageBoxes::show(QWidget *owner, const QString &title, const QString &text, MsgButtons buttons,
                               MsgIcon icon)
{
    const std::unique_ptr<QMessageBox> box = build(owner, title, text, buttons, icon);
    const int answer = box->exec();
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return answer == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

QString QtMessageBoxes::inputBox(QWidget *owner, const QString &title, const QString &prompt,
                                 const QString &defaultAnswer)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(owner, title, displayed(prompt), QLineEdit::Normal, defaultAnswer, &ok);
    return ok ? answer : QString();
}

namespace {
// The deepest folder that holds every one of the files, as written in their paths.
QString commonFolder(const QStringList &fullPaths)
{
    QStringList common = QFileInfo(fullPaths.first()).absolutePath().split(u'/');
    for (const QString &p : fullPaths) {
        const QStringList parts = QFileInfo(p).absolutePath().split(u'/');
        qsizetype n = 0;
        while (n < common.size() && n < parts.size() && common[n] == parts[n])
            ++n;
        common.resize(n);
    }
    const QString folder = common.join(u'/');
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}
} // namespace

QString IFileDialogs::answerFor(const QStringList &fullPaths)
{
    if (fullPaths.isEmpty())
        return {};
    if (fullPaths.size() == 1)
        return fullPaths.first();
    // Folder, NUL, name, NUL, name ... Files picked from a recent or search view, or typed with a folder
    // part, can lie in different folders: the answer's folder is then the one they share, and each name
    // keeps the rest of its own path, so that folder + name is the very file that was chosen.
    const QString folder = commonFolder(fullPaths);
    const qsizetype skip = folder.endsWith(u'/') ? folder.size() : folder.size() + 1;
    QString answer = folder;
    for (const QString &p : fullPaths)
        answer += QChar(u'\0') + QFileInfo(p).absoluteFilePath().mid(skip);
    // The name buffer holds the answer and its two terminating NULs; an answer that leaves no room for
    // them is refused as too long.
    if (answer.size() + 2 > FileNameBufferChars)
        throw RuntimeError(RuntimeError::DialogBufferTooSmall,
                           QStringLiteral("The FileName buffer is too small to store the selected file name(s)."));
    return answer;
}

QString QtFileDialogs::openFiles(QWidget *owner, const QString &title, const QString &filter)
{
    return answerFor(QFileDialog::getOpenFileNames(owner, title, QString(), filter));
}

QString QtFileDialogs::saveFile(QWidget *owner, const QString &title, const QString &filter)
{
    return QFileDialog::getSaveFileName(owner, title, QString(), filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

QString QtFileDialogs::chooseFolder(QWidget *owner, const QString &prompt, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(owner, prompt, startFolder);
}

void DesktopShell::openUrl(const QString &url)
{
    // The desktop may have no browser, or refuse the address: the user is told rather than left waiting.
    if (!QDesktopServices::openUrl(QUrl(url)))
        throw RuntimeError(RuntimeError::FileNotFound, QStringLiteral("The address %1 could not be opened.").arg(url));
}

void DesktopShell::openFolder(const QString &path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

bool DesktopShell::openFile(const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

namespace {

// The .desktop file of the desktop's default program for the type, as xdg-mime names it; empty when
// there is none or it cannot be asked.
QString defaultProgramFor(const QString &mimeType)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return {};
    QProcess p;
    p.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!p.waitForFinished(5000) || p.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput().trimmed());
}

// LibreOffice opens a template as a new untitled workbook but counts it as unchanged, so closing it
// would drop the results without a question. When it is the desktop's spreadsheet program the workbook
// is handed to it directly and marked changed; otherwise, or when that fails, the desktop opens the file.
bool handToUsersOffice(const QString &templatePath)
{
    if (!defaultProgramFor(WorkbookMimeType).contains(QStringLiteral("libreoffice"), Qt::CaseInsensitive))
        return false;
    // The window keeps answering while the office starts.
    const QString why = office::openAsNewInUsersOffice(templatePath, [](int maxMs) {
                            // Sleeps until an event (the helper's answer is one) or the time is up; the timer only
                            // wakes it.
                            QTimer wake;
                            wake.setSingleShot(true);
                            wake.start(maxMs);
                            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
                            return true;
                        }).error;
    if (!why.isEmpty())
        qWarning("The workbook goes to the desktop's spreadsheet program instead of LibreOffice directly: %s",
                 qUtf8Printable(why));
    return why.isEmpty();
}

} // namespace

bool DesktopShell::hasHandlerFor(const QString &mimeType) { return !defaultProgramFor(mimeType).isEmpty(); }

bool QtClipboard::clear()
{
    QClipboard *cb = QGuiApplication::clipboard();
    if (!cb)
        return false;
    cb->clear();
    return true;
}

bool QtClipboard::setText(const QString &text)
{
    QClipboard *cb = QGuiApplication::clipboard();
    if (!cb)
        return false;
    cb->setText(text);
    return cb->text() == text;
}

double SystemClock::secondsSinceMidnight() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

void SystemRandom::seed(double value) { m_state = static_cast<quint64>(value * 1000.0) ^ 0x9E3779B97F4A7C15ull; }

double SystemRandom::next()
{
    // splitmix64: small, well distributed, and reproducible from the seed.
    quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 53);
}

namespace {
// On X11 the copied text lives in this process until a clipboard manager takes a copy; Qt hands it
// over when its platform clipboard is destroyed, which an immediate end would skip. Destroying just
// that object runs the hand-over (answering only the manager's clipboard requests, no other events,
// bounded by Qt's clipboard timeout) and nothing else of the program.
void handOverClipboard()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard || !(clipboard->ownsClipboard() || clipboard->ownsSelection()))
        return;
    if (QPlatformIntegration *integration = QGuiApplicationPrivate::platformIntegration())
        delete integration->clipboard(); // the process ends next: nothing uses it afterwards
}
} // namespace

void ProcessExit::endNow()
{
    if (m_settings)
        m_settings->flush();
    handOverClipboard();
    std::fflush(nullptr);
    ::_exit(0);
}

Platform Platform::desktop()
{
    Platform p;
    p.messages = std::make_shared<QtMessageBoxes>();
    p.dialogs = std::make_shared<QtFileDialogs>();
    auto shell = std::make_shared<DesktopShell>();
    p.shell = shell;
    p.clipboard = std::make_shared<QtClipboard>();
    p.clock = std::make_shared<SystemClock>();
    p.random = std::make_shared<SystemRandom>();
    p.settings = std::make_shared<QSettingsBackend>(settingsIdentity::Organisation, settingsIdentity::Application,
                                                    settingsIdentity::Section);
    p.exit = std::make_shared<ProcessExit>(p.settings);
    p.word = makeEngineWordFactory();
    p.spreadsheet = makeXlsxSpreadsheet(shell, handToUsersOffice);
    return p;
}
