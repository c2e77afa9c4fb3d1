// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "office/HelperProcess.h"
#include "office/Measurement.h"
#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace office {

// What the helper tells of its office (tests and benchmarks).
struct OfficeStatus {
    pid_t officePid = 0; // 0 when none runs
    int starts = 0;      // offices started so far
    std::int64_t peakKiB = 0;
    bool isolated = false; // the running office has a network namespace of its own
};

// Layouts for one run or one batch job, made by the helper program and its private office. The helper
// is started on the first document that needs a layout and ended with this object; a helper that ended
// unexpectedly is replaced for the next document. Use it from one thread.
class LayoutClient {
public:
    struct Options {
        QString helperProgram = HelperProcess::defaultProgram();
        // How the window stays alive while a layout is waited for; none in the batch command.
        WaitForEvents whileWaiting;
    };

    LayoutClient();
    explicit LayoutClient(Options options);
    ~LayoutClient();
    LayoutClient(const LayoutClient &) = delete;
    LayoutClient &operator=(const LayoutClient &) = delete;

    // Empty when layouts can be made here, else why not (no helper, or no office). Starts the helper.
    QString unavailableReason();
    // Lays out the document at `nativePath` (its exact bytes), which the engine read as `engineFormat`;
    // past `timeLimit` the office is stopped and the result says so. Never throws.
    Measurement measure(const QByteArray &nativePath, const QString &engineFormat, std::chrono::milliseconds timeLimit);
    // Whether the wait for a layout was abandoned because the program ended.
    bool programEnded() const { return m_programEnded; }

    std::optional<OfficeStatus> status();
    pid_t helperProcessId() const { return m_helper ? m_helper->pid() : 0; }

private:
    QString startHelper();

    Options m_options;
    std::unique_ptr<HelperProcess> m_helper;
    QString m_unavailable; // once set, no layout is tried again
    bool m_programEnded = false;
};

} // namespace office
