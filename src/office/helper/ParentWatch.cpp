// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/helper/ParentWatch.h"
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace office::helper::parentWatch {

namespace {

std::atomic<bool> g_ending{false};
std::atomic<int> g_officePidfd{-1};
int g_wakePipe[2] = {-1, -1};

// Only async-signal-safe calls: an atomic store, a system call, a write.
void onSignal(int)
{
    const int saved = errno;
    g_ending.store(true);
    const int pidfd = g_officePidfd.load();
    if (pidfd >= 0)
        ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_wakePipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void install(pid_t expectedParent)
{
    if (::pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_wakePipe[0] = g_wakePipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a blocking read returns to look at the flag
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    // A write to a parent that is gone must fail with EPIPE, not end the helper before it cleans up.
    ::signal(SIGPIPE, SIG_IGN);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (expectedParent > 0 && ::getppid() != expectedParent)
        onSignal(SIGTERM); // the parent went away before the request above was made
}

bool ending() { return g_ending.load(); }

int wakeFd() { return g_wakePipe[0]; }

void setOfficeProcess(int pidfd)
{
    g_officePidfd.store(pidfd);
    if (pidfd >= 0 && g_ending.load()) // the signal came while the office was starting
        ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0);
}

} // namespace office::helper::parentWatch
