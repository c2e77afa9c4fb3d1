// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/helper/OfficeProcess.h"
#include "office/helper/OfficeConnection.h"
#include "office/helper/ParentWatch.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace office::helper {

namespace {

// What follows runs in the forked child before exec: system calls only, no allocation.
bool writeAll(const char *path, const char *text, size_t size)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text, size) == ssize_t(size);
    ::close(fd);
    return ok;
}

// "<id> <id> 1": the id inside the namespace is the id outside, so the office's own names for its
// sockets (which carry the user id) are the ones the helper looks for.
bool mapIdToItself(const char *path, unsigned id)
{
    char digits[16];
    int n = 0;
    do
        digits[n++] = char('0' + id % 10);
    while ((id /= 10) != 0 && n < 16);
    char line[40];
    size_t at = 0;
    for (int copy = 0; copy < 2; ++copy) {
        for (int i = n - 1; i >= 0; --i)
            line[at++] = digits[i];
        line[at++] = ' ';
    }
    line[at++] = '1';
    return writeAll(path, line, at);
}

bool enterIsolation(NetworkIsolation isolation)
{
    switch (isolation) {
    case NetworkIsolation::OwnNamespace:
        return ::unshare(CLONE_NEWNET) == 0;
    case NetworkIsolation::UserAndOwnNamespace: {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        return ::unshare(CLONE_NEWUSER | CLONE_NEWNET) == 0 && writeAll("/proc/self/setgroups", "deny", 4)
               && mapIdToItself("/proc/self/uid_map", uid) && mapIdToItself("/proc/self/gid_map", gid)
               && ::getuid() == uid;
    }
    case NetworkIsolation::None:
        return true;
    }
    return false;
}

// The child's exit status when it could not enter the isolation it was started for.
constexpr int kIsolationRefused = 121;

QByteArray networkNamespaceOf(const QByteArray &process)
{
    char target[64] = {};
    const ssize_t n = ::readlink(("/proc/" + process + "/ns/net").constData(), target, sizeof target - 1);
    return n > 0 ? QByteArray(target, n) : QByteArray();
}

} // namespace

NetworkIsolation availableNetworkIsolation()
{
    for (const NetworkIsolation candidate : {NetworkIsolation::OwnNamespace, NetworkIsolation::UserAndOwnNamespace}) {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(enterIsolation(candidate) ? 0 : 1);
        int status = 0;
        if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0)
            return candidate;
    }
    return NetworkIsolation::None;
}

OfficeProcess::OfficeProcess(QString programDir, QString workDir, QString pipeName, NetworkIsolation isolation)
    : m_programDir(std::move(programDir)), m_workDir(std::move(workDir)), m_pipeName(std::move(pipeName)),
      m_isolation(isolation)
{
}

OfficeProcess::~OfficeProcess() { stop(std::chrono::seconds(3)); }

bool OfficeProcess::isolated() const
{
    const QByteArray own = networkNamespaceOf("self");
    const QByteArray office = networkNamespaceOf(QByteArray::number(pid()));
    return !own.isEmpty() && !office.isEmpty() && own != office;
}

void OfficeProcess::forgetPidfd()
{
    if (m_pidfd < 0)
        return;
    parentWatch::setOfficeProcess(-1);
    ::close(m_pidfd);
    m_pidfd = -1;
}

QString OfficeProcess::profileUrl() const
{
    return QUrl::fromLocalFile(QDir(m_workDir).filePath(QStringLiteral("profile"))).toString(QUrl::FullyEncoded);
}

// The office listens on Unix sockets named /tmp/OSL_PIPE_<uid>_<name> (/var/tmp when /tmp is not
// usable) and does not remove them when it ends, killed or not: our connection pipe, and its
// single-instance pipe, named after an MD5 of the profile URL in UTF-16 written as hex without
// leading zeros. Only sockets are removed, so a name that ever stops matching removes nothing.
void OfficeProcess::removeLeftoverPipes() const
{
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray(reinterpret_cast<const char *>(profileUrl().utf16()), profileUrl().size() * 2),
        QCryptographicHash::Md5);
    QString instanceHash;
    for (const char byte : digest)
        instanceHash += QString::number(uchar(byte), 16);
    const QString uid = QString::number(::getuid());
    for (const QString &folder : {QStringLiteral("/tmp"), QStringLiteral("/var/tmp")}) {
        for (const QString &name : {m_pipeName, QStringLiteral("SingleOfficeIPC_") + instanceHash}) {
            const QByteArray path = QStringLiteral("%1/OSL_PIPE_%2_%3").arg(folder, uid, name).toLocal8Bit();
            struct stat st {};
            if (::lstat(path.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::getuid())
                ::unlink(path.constData());
        }
    }
}

bool OfficeProcess::start(QString &error)
{
    const QDir work(m_workDir);
    const QString temp = work.filePath(QStringLiteral("tmp"));
    if (!work.mkpath(QStringLiteral("profile")) || !work.mkpath(QStringLiteral("tmp"))) {
        error =
            QStringLiteral("no folder for its profile could be made in %1").arg(QDir::toNativeSeparators(m_workDir));
        return false;
    }
    m_process.setProgram(QDir(m_programDir).filePath(QStringLiteral("soffice.bin")));
    m_process.setArguments({
        QStringLiteral("--headless"),
        QStringLiteral("--invisible"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nologo"),
        QStringLiteral("--nodefault"),
        // A profile left behind by a killed office still holds its lock; it is ours alone, so the
        // check for another instance using it is pointless.
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--accept=") + officeAcceptString(m_pipeName),
        QStringLiteral("-env:UserInstallation=%1").arg(profileUrl()),
    });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The helper's own UNO client setting must not steer the office's bootstrap.
    env.remove(QStringLiteral("URE_BOOTSTRAP"));
    // The office keeps temporary folders that a killed office leaves behind; inside the session's
    // folder they go when the session does.
    env.insert(QStringLiteral("TMPDIR"), temp);
    m_process.setProcessEnvironment(env);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    // If the helper dies without cleaning up, the office must not live on as an orphan. The request is
    // made after entering the namespaces, whose change of credentials could otherwise clear it.
    const NetworkIsolation isolation = m_isolation;
    m_process.setChildProcessModifier([isolation] {
        if (!enterIsolation(isolation))
            ::_exit(kIsolationRefused);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    m_process.start();
    if (!m_process.waitForStarted(30000)) {
        error = m_process.errorString();
        return false;
    }
    m_pidfd = int(::syscall(SYS_pidfd_open, pid(), 0));
    if (m_pidfd >= 0)
        parentWatch::setOfficeProcess(m_pidfd);
    return true;
}

bool OfficeProcess::killedFromOutside()
{
    if (!ended())
        return false;
    siginfo_t info{};
    if (::waitid(P_PID, id_t(pid()), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == 0)
        return m_process.exitStatus() == QProcess::CrashExit && m_process.error() != QProcess::FailedToStart;
    if (info.si_code != CLD_KILLED && info.si_code != CLD_DUMPED)
        return false;
    switch (info.si_status) {
    case SIGSEGV:
    case SIGBUS:
    case SIGABRT:
    case SIGFPE:
    case SIGILL:
    case SIGTRAP:
        return false;
    default:
        return true;
    }
}

std::optional<int> OfficeProcess::waitForExit(std::chrono::milliseconds wait)
{
    if (m_process.state() == QProcess::NotRunning || m_process.waitForFinished(int(wait.count())))
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    return std::nullopt;
}

bool OfficeProcess::ended()
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    // QProcess notices an exit only from an event loop or a blocking wait; peek at the child without
    // reaping it, so QProcess still collects its status.
    siginfo_t info{};
    return ::waitid(P_PID, id_t(pid()), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

pid_t OfficeProcess::pid() const { return pid_t(m_process.processId()); }

void OfficeProcess::stop(std::chrono::milliseconds grace)
{
    if (m_process.state() != QProcess::NotRunning)
        end(grace);
    if (m_process.state() == QProcess::NotRunning) {
        forgetPidfd();
        removeLeftoverPipes();
    }
}

void OfficeProcess::end(std::chrono::milliseconds grace)
{
    // Told to end, the helper does not wait for the office to end politely.
    if (parentWatch::ending())
        m_process.kill();
    m_process.terminate();
    if (!m_process.waitForFinished(int(grace.count()))) {
        m_process.kill();
        m_process.waitForFinished(10000); // only a process stuck in the kernel outlasts SIGKILL
    }
}

} // namespace office::helper
