// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <sys/types.h>
#include <thread>

namespace office::helper {

// Ends a helper process that overruns: while one call into it is under way, a thread waits for the
// deadline and watches the process's resident memory; past either bound it kills the process, which
// makes the blocked call fail at once. It holds the process through a pidfd, so a process that ended
// and was collected meanwhile cannot be confused with a new one under the same id.
class Watchdog {
public:
    enum class Verdict { None, TimeLimit, MemoryLimit };

    Watchdog(pid_t pid, std::chrono::milliseconds timeLimit, std::int64_t memoryLimitKiB);
    ~Watchdog();
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

    // Stops watching; tells whether (and why) the process was killed.
    Verdict stop();

private:
    void watch(std::chrono::steady_clock::time_point deadline);

    pid_t m_pid;
    int m_pidfd;
    std::int64_t m_memoryLimitKiB;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    Verdict m_verdict = Verdict::None;
    std::thread m_thread;
};

// The resident set size of a process and its peak, in KiB (0 when it cannot be read).
std::int64_t residentKiB(pid_t pid);
std::int64_t peakResidentKiB(pid_t pid);

} // namespace office::helper
