// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <sys/types.h>

namespace office::helper {

// The helper lives only as long as the program that started it. When that program goes away for any
// reason (it ends, is killed, or a terminal interrupts both), the office is killed at once, from the
// signal handler itself, so that a call blocked in it returns; the main loop then cleans up and exits.
namespace parentWatch {

// Installs the handlers for SIGTERM, SIGINT and SIGHUP and asks the kernel for SIGTERM when the parent
// ends. `expectedParent` is the parent's id as it gave it: a parent that died before the request was
// made is noticed too. Call once, first thing in main, before any thread starts.
void install(pid_t expectedParent);
// Whether the helper was told to end (by a signal, or the parent being gone).
bool ending();
// A file descriptor that becomes readable once ending() is true, for poll().
int wakeFd();
// The office process the handler kills: a pidfd (or -1 for none).
void setOfficeProcess(int pidfd);

} // namespace parentWatch

} // namespace office::helper
