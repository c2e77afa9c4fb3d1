// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Extract.h"
#include "cli/CheckedOutput.h"
#include "cli/InputSource.h"
#include "cli/Options.h"
#include "cli/OutputFormat.h"
#include "cli/Record.h"
#include "cli/TerminalText.h"
#include "office/LayoutClient.h"
#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace cli {

namespace {

// How many inputs may be taken ahead of the output. Bounds the memory of a run: finished records wait
// here for a slow document before them, and no more inputs than this are held at once.
constexpr qint64 kWindow = 4096;
// Output buffers kept for reuse once written out, and the most room one may keep.
constexpr size_t kSpareBuffers = 16;
constexpr qsizetype kSpareBufferRoom = 64 * 1024;

// The progress line: shown only on a terminal, at most ten times a second, erased before any other line
// and at the end.
class Progress {
public:
    Progress(FILE *err, bool enabled) : m_err(err), m_enabled(enabled && isatty(fileno(err))) {}
    void update(qint64 done, const QString &path)
    {
        if (!m_enabled)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_last < std::chrono::milliseconds(100))
            return;
        m_last = now;
        QString name = QFileInfo(path).fileName();
        if (name.size() > 50)
            name = name.left(47) + QStringLiteral("...");
        fprintf(m_err, "\r\033[K%lld  %s", static_cast<long long>(done), escapedForTerminal(name).constData());
        fflush(m_err);
        m_shown = true;
    }
    void erase()
    {
        if (m_shown) {
            fputs("\r\033[K", m_err);
            fflush(m_err);
            m_shown = false;
        }
    }
    ~Progress() { erase(); }

private:
    FILE *m_err;
    bool m_enabled;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_last{};
};

// What the summary line reports.
struct Tally {
    qint64 read = 0;
    std::array<qint64, word::kErrorKindCount> failed{};

    qint64 failures() const
    {
        qint64 n = 0;
        for (qint64 f : failed)
            n += f;
        return n;
    }
    QString summary(double seconds) const
    {
        QString s = QStringLiteral("%1: %2 read, %3 failed").arg(QLatin1String(kCommandName)).arg(read).arg(failures());
        QStringList kinds;
        for (int k = 0; k < word::kErrorKindCount; ++k)
            if (failed[static_cast<size_t>(k)] > 0)
                kinds << QStringLiteral("%1 %2")
                             .arg(QLatin1String(word::errorKindName(static_cast<word::ErrorKind>(k))))
                             .arg(failed[static_cast<size_t>(k)]);
        if (!kinds.isEmpty())
            s += QStringLiteral(" (%1)").arg(kinds.join(QStringLiteral(", ")));
        return s + QStringLiteral(" in %1 s").arg(seconds, 0, 'f', 2);
    }
};

// A finished record waiting for its turn in the output.
struct Slot {
    QByteArray bytes;
    QString failure;       // the error line, empty for a document that was read
    QString layoutFailure; // a note for a document that was read but could not be laid out
    NativePath path;
    word::ErrorKind kind = word::ErrorKind::Io;
    bool failed = false;
    bool ready = false;
};

// --verbose: the engine's notes go to the error output as lines of their own, one whole line per write so
// that notes from several reading threads do not mix.
FILE *g_notesOut = nullptr;

void writeEngineNote(QtMsgType, const QMessageLogContext &, const QString &message)
{
    const QByteArray line = kCommandName + QByteArray(": note: ") + escapedForTerminal(message) + '\n';
    static std::mutex lock;
    const std::lock_guard<std::mutex> hold(lock);
    fwrite(line.constData(), 1, static_cast<size_t>(line.size()), g_notesOut);
    fflush(g_notesOut);
}

void enableEngineNotes(FILE *err)
{
    g_notesOut = err;
    qInstallMessageHandler(writeEngineNote);
    QLoggingCategory::setFilterRules(QStringLiteral("quillmere.engine.info=true"));
}

// Whether the documents' layouts can be made. Layouts are made by the LibreOffice helper program, one per
// job (each is used only on the thread that made it). Without the helper or the office the run goes on,
// and says once that pages and lines stay as the files store them.
bool layoutsAvailable(const Options &options, FILE *err)
{
    if (!options.layout)
        return false;
    office::LayoutClient probe;
    const QString why = probe.unavailableReason();
    if (!why.isEmpty() && !options.quiet)
        fprintf(err, "%s: no layouts: %s; pages and lines that documents do not store stay null\n", kCommandName,
                why.toUtf8().constData());
    return why.isEmpty();
}

// Whether reading the next path may wait on another program: a list that is not a regular file (a pipe,
// a terminal, a device) can keep the run waiting; arguments, folders and list files cannot.
bool listsMayWait(const Options &options)
{
    return std::any_of(options.lists.begin(), options.lists.end(), [](FILE *list) {
        struct stat status {};
        return fstat(fileno(list), &status) != 0 || !S_ISREG(status.st_mode);
    });
}

int jobCount(const Options &options)
{
    const unsigned hw = std::thread::hardware_concurrency();
    return options.jobs > 0 ? options.jobs : static_cast<int>(hw == 0 ? 1 : hw);
}

// One run over the inputs. Every thread (the calling one too) takes the next input, reads it, and then
// writes out whatever records are finished in input order. A thread that runs too far ahead of the
// output waits.
class ExtractionRun {
public:
    ExtractionRun(const Options &options, FILE *out, FILE *err)
        : m_options(options), m_err(err), m_settings(recordSettings(options)),
          m_format(makeOutputFormat(options.format, columnNames(m_settings))), m_output(out), m_source(options, err),
          m_progress(err, startEngineNotes(options, err)), m_pending(static_cast<size_t>(kWindow))
    {
        m_stop = !m_output.write(m_format->begin());
        m_layouts = layoutsAvailable(options, err);
    }

    void readDocuments(int jobs)
    {
        std::vector<std::thread> threads;
        threads.reserve(static_cast<size_t>(jobs));
        for (int k = 1; k < jobs; ++k)
            threads.emplace_back([this] { readUntilDone(); });
        readUntilDone();
        for (std::thread &t : threads)
            t.join();
        m_progress.erase();
    }

    // Ends the output, writes the summary, and gives the exit status.
    int finish(std::chrono::steady_clock::time_point started)
    {
        if (!m_stop)
            m_output.write(m_format->end(m_written > 0));
        const bool outputWhole = m_output.finish();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!outputWhole)
            fprintf(m_err, "%s: the output could not be written: %s; it is incomplete\n", kCommandName,
                    escapedForTerminal(m_output.reason()).constData());
        if (!m_options.quiet)
            fprintf(m_err, "%s\n", m_tally.summary(seconds).toUtf8().constData());
        if (!outputWhole)
            return kExitWriteFailed;
        // --ignore-failed-read spares only documents that have their record; a list cut short leaves inputs
        // with no record at all, so it fails the run either way.
        const bool documentsFailed = m_tally.failures() > 0 && !m_options.ignoreFailedRead;
        return documentsFailed || m_source.listFailed() ? kExitSomeFailed : kExitAllRead;
    }

private:
    // With --verbose the engine's notes go to the error output. Returns whether a progress line may be
    // shown: it would be torn by notes written from the reading threads, so they exclude each other.
    static bool startEngineNotes(const Options &options, FILE *err)
    {
        if (options.verbose)
            enableEngineNotes(err);
        return !options.quiet && !options.verbose;
    }

    // Takes the next input and its position, once the output is near enough; false when there is none
    // or the output has failed.
    bool takeNext(Input &input, qint64 &index)
    {
        std::lock_guard lock(m_sourceMutex);
        {
            std::unique_lock outLock(m_outputMutex);
            m_windowMoved.wait(outLock, [&] { return m_stop || m_taken < m_written + kWindow; });
            if (m_stop)
                return false;
        }
        if (!m_source.next(input))
            return false;
        index = m_taken++;
        return true;
    }

    void readUntilDone()
    {
        std::unique_ptr<office::LayoutClient> session;
        if (m_layouts)
            session = std::make_unique<office::LayoutClient>();
        QByteArray bytes;
        Record record; // one for every input this thread reads: its lists keep their room
        for (;;) {
            Input input;
            qint64 index = 0;
            if (!takeNext(input, index))
                return;
            describeInput(input, m_settings, session.get(), record);
            Slot done;
            // The record's bytes go into this thread's buffer, which goes with the record to its slot; the
            // thread takes back a buffer already written out: buffers circulate rather than being made for
            // every record.
            bytes.resize(0);
            m_format->record(record, bytes);
            done.bytes.swap(bytes);
            done.failed = record.failed;
            done.kind = record.errorKind;
            if (record.failed)
                done.failure = failureText(record);
            done.layoutFailure = record.layoutFailure;
            done.path = input.path;
            done.ready = true;
            std::lock_guard lock(m_outputMutex);
            m_pending[static_cast<size_t>(index % kWindow)] = std::move(done);
            writeFinished();
            if (!m_spareBuffers.empty()) {
                bytes = std::move(m_spareBuffers.back());
                m_spareBuffers.pop_back();
            }
        }
    }

    // Writes the records that are finished in input order, with their lines on the error output.
    // m_outputMutex is held.
    void writeFinished()
    {
        const qint64 before = m_written;
        for (Slot *s = &m_pending[static_cast<size_t>(m_written % kWindow)]; s->ready && !m_stop;
             s = &m_pending[static_cast<size_t>(m_written % kWindow)]) {
            reportOnErrorOutput(*s);
            if ((m_written > 0 && !m_output.write(m_format->separator())) || !m_output.write(s->bytes))
                m_stop = true;
            m_progress.update(m_written + 1, s->path.text());
            QByteArray emptied = std::move(s->bytes);
            *s = Slot();
            // Kept for the next records, a few (a reading thread takes one back after each record) and not
            // the room of an exceptionally long one.
            if (m_spareBuffers.size() < kSpareBuffers && emptied.capacity() <= kSpareBufferRoom) {
                emptied.resize(0);
                m_spareBuffers.push_back(std::move(emptied));
            }
            ++m_written;
        }
        // Output that has caught up with every input taken, when a list comes through a pipe, means the run
        // may be waiting for input (a list being written by another program): what is finished goes out now
        // rather than when a buffer fills. Inputs that cannot keep the run waiting leave the output to its
        // buffer, which spares a write for every record.
        if (m_written != before && m_inputMayWait && m_written == m_taken.load() && !m_output.flush())
            m_stop = true;
        if (m_written != before || m_stop)
            m_windowMoved.notify_all();
    }

    void reportOnErrorOutput(const Slot &s)
    {
        if (s.failed) {
            ++m_tally.failed[static_cast<size_t>(s.kind)];
            if (!m_options.quiet) {
                m_progress.erase();
                fprintf(m_err, "%s: %s\n", kCommandName, escapedForTerminal(s.failure).constData());
            }
        } else {
            ++m_tally.read;
            if (!s.layoutFailure.isEmpty() && !m_options.quiet) {
                m_progress.erase();
                fprintf(m_err, "%s: no pages or lines: %s\n", kCommandName,
                        escapedForTerminal(s.layoutFailure).constData());
            }
        }
    }

    const Options &m_options;
    FILE *m_err;
    const RecordSettings m_settings;
    const std::unique_ptr<OutputFormat> m_format;
    CheckedOutput m_output;
    InputSource m_source;
    Progress m_progress;
    Tally m_tally;
    bool m_layouts = false;
    const bool m_inputMayWait = listsMayWait(m_options);

    std::mutex m_sourceMutex; // taken before m_outputMutex when both are held
    std::mutex m_outputMutex;
    std::condition_variable m_windowMoved;
    std::vector<Slot> m_pending;
    std::vector<QByteArray> m_spareBuffers; // written out, emptied, their room kept (under m_outputMutex)
    std::atomic<qint64> m_taken{0};
    qint64 m_written = 0;
    bool m_stop = false;
};

} // namespace

int run(int argc, char **argv, FILE *out, FILE *err)
{
    Options options;
    if (const int parsed = parseArguments(argc, argv, options, out, err); parsed >= 0)
        return parsed;
    const auto started = std::chrono::steady_clock::now();
    ExtractionRun extraction(options, out, err);
    extraction.readDocuments(jobCount(options));
    return extraction.finish(started);
}

} // namespace cli
