// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>
#include <sys/types.h>

namespace office {

// How a caller spends the time while the helper works: called with the longest it may take (in ms)
// before it must come back; false once the program has ended, which abandons the wait. Without one the
// caller simply blocks until the answer comes.
using WaitForEvents = std::function<bool(int maxMs)>;

// The helper program as a child process: its standard input takes requests, its standard output gives
// answers, one line each (office/Protocol.h). It ends when this object is destroyed, and by itself when
// this program ends in any way (its input then reaches its end, and it is signalled).
class HelperProcess {
public:
    // quillmere-office beside this program's executable, where the build and the installation put it.
    static QString defaultProgram();

    explicit HelperProcess(QString program);
    ~HelperProcess();
    HelperProcess(const HelperProcess &) = delete;
    HelperProcess &operator=(const HelperProcess &) = delete;

    // Starts the helper and reads its first line into `greeting`; false with the reason in `error`.
    bool start(QByteArray &greeting, QString &error);
    // Sends one request and returns the answer line. nullopt, with the reason in `error`, when the helper
    // ended or did not answer within `limit` (it is then stopped), or the program ended meanwhile.
    std::optional<QByteArray> ask(const QByteArray &request, std::chrono::milliseconds limit, const WaitForEvents &wait,
                                  QString &error);
    bool running() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

private:
    enum class Read { Line, Pending, Ended };
    Read readLine(QByteArray &line);
    std::optional<QByteArray> awaitLine(std::chrono::milliseconds limit, const WaitForEvents &wait, QString &error);
    void stop(std::chrono::milliseconds grace);

    QString m_program;
    pid_t m_pid = 0;
    int m_toHelper = -1;
    int m_fromHelper = -1;
    QByteArray m_buffer;
};

} // namespace office
