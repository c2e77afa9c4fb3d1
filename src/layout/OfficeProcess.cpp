#include "layout/OfficeProcess.h"
#include "layout/OfficeConnection.h"
#include <QCryptographicHash>
#include <QDir>
#include <QUrl>
#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace layout {

OfficeProcess::OfficeProcess(QString programDir, QString workDir, QString pipeName)
    : m_programDir(std::move(programDir)), m_workDir(std::move(workDir)), m_pipeName(std::move(pipeName))
{
}

OfficeProcess::~OfficeProcess() { stop(std::chrono::seconds(3)); }

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
        error = QStringLiteral("no folder for its profile could be made in %1").arg(QDir::toNativeSeparators(m_workDir));
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
    // Our own UNO client setting must not steer the office's bootstrap.
    env.remove(QStringLiteral("URE_BOOTSTRAP"));
    // The office keeps temporary folders that a killed office leaves behind; inside the session's
    // folder they go when the session does.
    env.insert(QStringLiteral("TMPDIR"), temp);
    m_process.setProcessEnvironment(env);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    // If this program dies without cleaning up, the office must not live on as an orphan.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.start();
    if (!m_process.waitForStarted(30000)) {
        error = m_process.errorString();
        return false;
    }
    return true;
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
    if (m_process.state() == QProcess::NotRunning)
        removeLeftoverPipes();
}

void OfficeProcess::end(std::chrono::milliseconds grace)
{
    m_process.terminate();
    if (!m_process.waitForFinished(int(grace.count()))) {
        m_process.kill();
        m_process.waitForFinished(10000); // only a process stuck in the kernel outlasts SIGKILL
    }
}

} // namespace layout
