// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QProcess>
#include <QString>
#include <chrono>
#include <optional>
#include <sys/types.h>

namespace office::helper {

// How the office is kept off the network: a network namespace of its own holds no interface but an
// unconfigured loopback, so nothing it tries can reach any host, this one included.
enum class NetworkIsolation {
    OwnNamespace,        // the helper may create one itself (it runs with the right to)
    UserAndOwnNamespace, // through a user namespace of its own, as an ordinary user may where allowed
    None,                // the system allows neither: only the profile's settings hold remote content off
};

// Which isolation this system allows, tried once in a short-lived child.
NetworkIsolation availableNetworkIsolation();

// One headless office process listening on a private pipe, with the profile folder it is given.
// Started by us (not through a launcher script) so that we hold its process id for the watchdog.
class OfficeProcess {
public:
    // `workDir` is private to this session: it holds the office's profile and its temporary files.
    OfficeProcess(QString programDir, QString workDir, QString pipeName, NetworkIsolation isolation);
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess &) = delete;
    OfficeProcess &operator=(const OfficeProcess &) = delete;

    // Starts the process; false (with the reason in `error`) when it cannot be started at all.
    bool start(QString &error);
    // Waits up to `wait` for the process to end; its exit status when it has ended (-1: by a signal).
    std::optional<int> waitForExit(std::chrono::milliseconds wait);
    // Whether it has ended (checked without waiting).
    bool ended();
    // Whether it ended by a signal that a crash does not raise (someone outside killed it).
    bool killedFromOutside();
    pid_t pid() const;
    // Whether the running process is in a network namespace other than the helper's.
    bool isolated() const;
    // Asks it to end (SIGTERM), then kills it after `grace`; it is reaped either way.
    void stop(std::chrono::milliseconds grace);

    // The profile folder's URL, as the office is given it.
    QString profileUrl() const;

private:
    void end(std::chrono::milliseconds grace);
    void removeLeftoverPipes() const;
    void forgetPidfd();

    QString m_programDir;
    QString m_workDir;
    QString m_pipeName;
    NetworkIsolation m_isolation;
    QProcess m_process;
    int m_pidfd = -1;
};

} // namespace office::helper
