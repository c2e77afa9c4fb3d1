// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/helper/Watchdog.h"
#include <QByteArray>
#include <QFile>
#include <csignal>
#include <sys/syscall.h>
#include <unistd.h>

namespace office::helper {

namespace {
// Memory is sampled this often; a document cannot grow the office by gigabytes between two looks.
constexpr std::chrono::milliseconds kMemoryPoll{100};

std::int64_t statusFieldKiB(pid_t pid, const QByteArray &field)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    // The status file is a few KiB; the bound keeps a strange /proc from making us read more.
    const QByteArray text = f.read(64 * 1024);
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith(field + ':')) {
            const QByteArray value = line.mid(field.size() + 1).trimmed();
            return value.left(value.indexOf(' ')).toLongLong();
        }
    }
    return 0;
}
} // namespace

std::int64_t residentKiB(pid_t pid) { return statusFieldKiB(pid, "VmRSS"); }
std::int64_t peakResidentKiB(pid_t pid) { return statusFieldKiB(pid, "VmHWM"); }

Watchdog::Watchdog(pid_t pid, std::chrono::milliseconds timeLimit, std::int64_t memoryLimitKiB)
    : m_pid(pid), m_pidfd(int(::syscall(SYS_pidfd_open, pid, 0))), m_memoryLimitKiB(memoryLimitKiB)
{
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    m_thread = std::thread([this, deadline] { watch(deadline); });
}

Watchdog::~Watchdog()
{
    stop();
    if (m_pidfd >= 0)
        ::close(m_pidfd);
}

Watchdog::Verdict Watchdog::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    return m_verdict;
}

void Watchdog::watch(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            m_verdict = Verdict::TimeLimit;
            break;
        }
        if (m_memoryLimitKiB > 0 && residentKiB(m_pid) > m_memoryLimitKiB) {
            m_verdict = Verdict::MemoryLimit;
            break;
        }
        m_wake.wait_until(lock, std::min(deadline, now + kMemoryPoll));
    }
    if (m_verdict == Verdict::None)
        return;
    // Without pidfds (kernels before 5.3) the plain id is the fallback.
    if (m_pidfd >= 0)
        ::syscall(SYS_pidfd_send_signal, m_pidfd, SIGKILL, nullptr, 0);
    else
        ::kill(m_pid, SIGKILL);
}

} // namespace office::helper
