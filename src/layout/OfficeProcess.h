#pragma once
#include <QProcess>
#include <QString>
#include <chrono>
#include <optional>
#include <sys/types.h>

namespace layout {

// One headless office process listening on a private pipe, with the profile folder it is given.
// Started by us (not through a launcher script) so that we hold its process id for the watchdog.
class OfficeProcess {
public:
    // `workDir` is private to this session: it holds the office's profile and its temporary files.
    OfficeProcess(QString programDir, QString workDir, QString pipeName);
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess &) = delete;
    OfficeProcess &operator=(const OfficeProcess &) = delete;

    // Starts the process; false (with the reason in `error`) when it cannot be started at all.
    bool start(QString &error);
    // Waits up to `wait` for the process to end; its exit status when it has ended.
    std::optional<int> waitForExit(std::chrono::milliseconds wait);
    // Whether it has ended (checked without waiting).
    bool ended();
    pid_t pid() const;
    // Asks it to end (SIGTERM), then kills it after `grace`; it is reaped either way.
    void stop(std::chrono::milliseconds grace);

private:
    QString profileUrl() const;
    void end(std::chrono::milliseconds grace);
    void removeLeftoverPipes() const;

    QString m_programDir;
    QString m_workDir;
    QString m_pipeName;
    QProcess m_process;
};

} // namespace layout
