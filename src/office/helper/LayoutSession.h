// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "office/Measurement.h"
#include "office/helper/OfficeProcess.h"
#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <sys/types.h>

class QTemporaryDir;

namespace office::helper {

class OfficeConnection;

// A private office process that lays documents out, for the life of the helper. It is started on the
// first document, restarted after a document that overran its limits and every `restartEvery`
// documents (its memory only grows), and is gone when the session is destroyed.
class LayoutSession {
public:
    struct Options {
        QString officeProgramDir = defaultOfficeProgramDir();
        int restartEvery = 200;
        std::chrono::milliseconds startLimit{60000};
        std::int64_t memoryLimitKiB = 3 * 1024 * 1024; // resident size at which a document is given up
    };

    static QString defaultOfficeProgramDir();
    // Empty when layouts can be made: the office, with its word processor, is installed in
    // `officeProgramDir`; else why not.
    static QString unavailableReason(const QString &officeProgramDir = defaultOfficeProgramDir());

    LayoutSession();
    explicit LayoutSession(Options options);
    ~LayoutSession();
    LayoutSession(const LayoutSession &) = delete;
    LayoutSession &operator=(const LayoutSession &) = delete;

    // Lays out the file at `nativePath` through the import filter named; past `timeLimit` (load, layout
    // and close together) the office is killed and the result says so. A document whose office was
    // killed from outside while on it is laid out again once, in a new office. Never throws.
    Measurement measure(const QByteArray &nativePath, const QString &filter, const QString &filterOptions,
                        std::chrono::milliseconds timeLimit);

    // For tests and benchmarks: the office's process id (0 when none runs), the highest peak resident
    // size of the office processes so far, how often one was started, and whether the running one is
    // in a network namespace of its own.
    pid_t officeProcessId() const;
    std::int64_t peakOfficeMemoryKiB() const;
    int officeStarts() const { return m_starts; }
    bool officeIsolated() const;

private:
    enum class Outcome { Done, KilledFromOutside };
    Outcome measureOnce(const QByteArray &nativePath, const QString &filter, const QString &filterOptions,
                        std::chrono::milliseconds timeLimit, Measurement &m);
    struct OfficeRun; // what one call to the office gave
    Outcome judge(const OfficeRun &run, std::chrono::milliseconds timeLimit, Measurement &m);
    QByteArray linkWithUtf8Name(const QByteArray &nativePath);
    QString startOffice();
    QString tryStartOffice();
    QString prepareWorkFolder();
    std::optional<QString> launchAndConnect(bool lastAttempt);
    void stopOffice(bool politely);
    void notePeakMemory();

    Options m_options;
    QString m_unavailable;
    std::optional<NetworkIsolation> m_isolation;
    std::unique_ptr<QTemporaryDir> m_workDir;
    std::unique_ptr<OfficeProcess> m_process;
    std::unique_ptr<OfficeConnection> m_connection;
    QString m_startError; // once set, the office is not started again in this session
    int m_sinceStart = 0;
    int m_starts = 0;
    int m_linkSerial = 0;
    std::int64_t m_peakKiB = 0;
};

} // namespace office::helper
