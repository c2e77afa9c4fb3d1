#pragma once
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <sys/types.h>

class QTemporaryDir;

namespace layout {

class OfficeConnection;
class OfficeProcess;

// Pages and lines of one document as the office's layout gives them. Where a count is missing,
// `error` says why, naming the file.
struct Measurement {
    std::optional<int> pages;
    std::optional<int> lines;
    QString error;
    bool timedOut = false; // the time limit ended the office; the next call starts a new one
    // The office's own count of the text after its recount, to compare with the engine's (benchmarks);
    // -1 where it gave none.
    qint64 officeWords = -1;
    qint64 officeCharacters = -1; // without white space
    qint64 officeCharactersWithSpaces = -1;
    qint64 officeParagraphs = -1;
};

// A helper office process that lays documents out, for one extraction run or one batch job. It is
// started on the first document (or by start()), restarted after a document that overran its limits
// and every `restartEvery` documents (its memory only grows), and is gone when the session is
// destroyed. Use it from the thread that created it.
class LayoutSession {
public:
    struct Options {
        QString officeProgramDir = defaultOfficeProgramDir();
        int restartEvery = 200;
        std::chrono::milliseconds startLimit{60000};
        std::int64_t memoryLimitKiB = 3 * 1024 * 1024; // resident size at which a document is given up
    };

    static QString defaultOfficeProgramDir();
    // Whether layouts can be made at all: this program was built with the office's SDK and the office,
    // with its word processor, is installed in `officeProgramDir`.
    static bool available(const QString &officeProgramDir = defaultOfficeProgramDir());

    LayoutSession();
    explicit LayoutSession(Options options);
    ~LayoutSession();
    LayoutSession(const LayoutSession &) = delete;
    LayoutSession &operator=(const LayoutSession &) = delete;

    // Starts the office unless it runs; an empty text on success, else the reason. A start that
    // fails is not tried again in this session: every later document reports the same reason.
    QString start();
    // Lays out the document at `path`; past `timeLimit` (load, layout and close together) the office
    // is killed and the result says so. Never throws.
    Measurement measure(const QString &path, std::chrono::milliseconds timeLimit);

    // For tests and benchmarks: the office's process id (0 when none runs), the highest peak resident
    // size of the office processes so far, and how often one was started.
    pid_t officeProcessId() const;
    std::int64_t peakOfficeMemoryKiB() const;
    int officeStarts() const { return m_starts; }

private:
    QString startOffice();
    QString tryStartOffice();
    void stopOffice(bool politely);
    void notePeakMemory();

    Options m_options;
    bool m_available;
    std::unique_ptr<QTemporaryDir> m_workDir;
    std::unique_ptr<OfficeProcess> m_process;
    std::unique_ptr<OfficeConnection> m_connection;
    QString m_startError; // once set, the office is not started again in this session
    int m_sinceStart = 0;
    int m_starts = 0;
    std::int64_t m_peakKiB = 0;
};

} // namespace layout
