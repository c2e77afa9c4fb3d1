// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/HelperProcess.h"
#include "office/Protocol.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace office {

namespace {

// The longest the window goes without a look at its events while it waits: as the page-count pause.
constexpr int kMaxPumpMs = 100;
// How long the helper may take to end its office and itself after being told to.
constexpr std::chrono::seconds kEndGrace{15};

QString errnoText(int e) { return QString::fromLocal8Bit(strerror(e)).toLower(); }

} // namespace

QString HelperProcess::defaultProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quillmere-office"));
}

HelperProcess::HelperProcess(QString program) : m_program(std::move(program)) {}

HelperProcess::~HelperProcess() { stop(kEndGrace); }

bool HelperProcess::start(QByteArray &greeting, QString &error)
{
    const QByteArray program = QFile::encodeName(m_program);
    if (::access(program.constData(), X_OK) != 0) {
        error = QStringLiteral("the LibreOffice helper %1 is not installed").arg(QDir::toNativeSeparators(m_program));
        return false;
    }
    // One socket carries both directions: a write to a helper that has gone fails with EPIPE instead of
    // raising SIGPIPE in this program (whose own output may rely on SIGPIPE's default), and both ends
    // are closed on exec, so helpers started by other threads do not hold this one's open.
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        error = QStringLiteral("no channel to the LibreOffice helper could be made: %1").arg(errnoText(errno));
        return false;
    }
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&files, ends[1], STDOUT_FILENO);
    // The helper handles the signals that end it; whatever this thread blocks or ignores, it does not.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t ending;
    sigemptyset(&ending);
    for (const int s : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&ending, s);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &ending);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const QByteArray parent = QByteArray::number(::getpid());
    char *argv[] = {const_cast<char *>(program.constData()), const_cast<char *>("--parent"),
                    const_cast<char *>(parent.constData()), nullptr};
    const int spawned = ::posix_spawn(&m_pid, program.constData(), &files, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    ::close(ends[1]);
    if (spawned != 0) {
        ::close(ends[0]);
        m_pid = 0;
        error = QStringLiteral("the LibreOffice helper could not be started: %1").arg(errnoText(spawned));
        return false;
    }
    m_toHelper = m_fromHelper = ends[0];
    ::fcntl(m_fromHelper, F_SETFL, ::fcntl(m_fromHelper, F_GETFL) | O_NONBLOCK);
    // The helper answers at once: it only looks whether the office is installed.
    const std::optional<QByteArray> line = awaitLine(std::chrono::seconds(30), {}, error);
    if (!line)
        return false;
    greeting = *line;
    return true;
}

HelperProcess::Read HelperProcess::readLine(QByteArray &line)
{
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n');
        if (end >= 0) {
            line = m_buffer.left(end);
            m_buffer.remove(0, end + 1);
            return Read::Line;
        }
        if (m_buffer.size() > protocol::kMaxLineBytes)
            return Read::Ended; // not our helper speaking
        char chunk[4096];
        const ssize_t n = ::read(m_fromHelper, chunk, sizeof chunk);
        if (n > 0) {
            m_buffer.append(chunk, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return Read::Pending;
        return Read::Ended;
    }
}

std::optional<QByteArray> HelperProcess::awaitLine(std::chrono::milliseconds limit, const WaitForEvents &wait,
                                                   QString &error)
{
    // While the window waits, an answer arriving wakes its event loop at once, as any event does.
    std::unique_ptr<QSocketNotifier> wake;
    if (wait && QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread())
        wake = std::make_unique<QSocketNotifier>(m_fromHelper, QSocketNotifier::Read);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        QByteArray line;
        switch (readLine(line)) {
        case Read::Line:
            return line;
        case Read::Ended:
            stop(std::chrono::seconds(3));
            error = QStringLiteral("the LibreOffice helper ended unexpectedly");
            return std::nullopt;
        case Read::Pending:
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            stop(std::chrono::seconds(3));
            error = QStringLiteral("the LibreOffice helper did not answer within %1 s").arg(limit.count() / 1000);
            return std::nullopt;
        }
        if (wait) {
            if (!wait(int(std::min<qint64>(left.count(), kMaxPumpMs)))) {
                // The program ends: the helper is told at once, as it would be by this process's end,
                // and ends its office without finishing the document.
                ::kill(m_pid, SIGTERM);
                error = QStringLiteral("the program ended");
                return std::nullopt;
            }
        } else {
            pollfd fd{m_fromHelper, POLLIN, 0};
            ::poll(&fd, 1, int(std::min<qint64>(left.count(), 1000)));
        }
    }
}

std::optional<QByteArray> HelperProcess::ask(const QByteArray &request, std::chrono::milliseconds limit,
                                             const WaitForEvents &wait, QString &error)
{
    if (!running()) {
        error = QStringLiteral("the LibreOffice helper is not running");
        return std::nullopt;
    }
    const QByteArray line = request + '\n';
    qsizetype sent = 0;
    while (sent < line.size()) {
        const ssize_t n = ::send(m_toHelper, line.constData() + sent, size_t(line.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            stop(std::chrono::seconds(3));
            error = QStringLiteral("the LibreOffice helper ended unexpectedly");
            return std::nullopt;
        }
        sent += n;
    }
    return awaitLine(limit, wait, error);
}

void HelperProcess::stop(std::chrono::milliseconds grace)
{
    if (m_toHelper >= 0) {
        // The end of its input tells the helper to end its office and itself.
        ::send(m_toHelper, "quit\n", 5, MSG_NOSIGNAL | MSG_DONTWAIT);
        ::shutdown(m_toHelper, SHUT_WR);
    }
    if (m_pid > 0) {
        const auto deadline = std::chrono::steady_clock::now() + grace;
        bool reaped = false;
        while (!reaped && std::chrono::steady_clock::now() < deadline) {
            const pid_t r = ::waitpid(m_pid, nullptr, WNOHANG);
            reaped = r == m_pid || (r < 0 && errno == ECHILD);
            if (!reaped)
                ::usleep(10000);
        }
        if (!reaped) {
            // SIGTERM first: the helper still removes its office's files before it goes.
            ::kill(m_pid, SIGTERM);
            for (int i = 0; i < 300 && !reaped; ++i) {
                const pid_t r = ::waitpid(m_pid, nullptr, WNOHANG);
                reaped = r == m_pid || (r < 0 && errno == ECHILD);
                if (!reaped)
                    ::usleep(10000);
            }
            if (!reaped) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, nullptr, 0);
            }
        }
        m_pid = 0;
    }
    if (m_fromHelper >= 0)
        ::close(m_fromHelper);
    m_toHelper = m_fromHelper = -1;
    m_buffer.clear();
}

} // namespace office
