#include "layout/LayoutSession.h"
#include "layout/OfficeConnection.h"
#include "layout/OfficeProcess.h"
#include "layout/Watchdog.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <atomic>

namespace layout {

namespace {

// A brand-new profile makes the office set itself up and exit with this status once before it
// accepts connections; started again on the same profile it runs normally.
constexpr int kExitAfterProfileCreated = 81;
constexpr std::chrono::milliseconds kConnectPoll{100};
constexpr std::chrono::seconds kPoliteStopLimit{10};
constexpr std::chrono::seconds kTerminateGrace{3};

QString quoted(const QString &path) { return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"'); }

QString duration(std::chrono::milliseconds d)
{
    if (d.count() < 1000)
        return QStringLiteral("%1 ms").arg(d.count());
    return QStringLiteral("%1 s").arg(double(d.count()) / 1000.0, 0, 'g', 4);
}

QString uniquePipeName()
{
    static std::atomic<int> serial{0};
    return QStringLiteral("qvlayout-%1-%2-%3")
        .arg(QCoreApplication::applicationPid())
        .arg(++serial)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

} // namespace

QString LayoutSession::defaultOfficeProgramDir() { return QStringLiteral(QV_OFFICE_PROGRAM_DIR); }

bool LayoutSession::available(const QString &officeProgramDir)
{
    const QDir dir(officeProgramDir);
    // The office's core starts without its word processor (libswlo), but then cannot lay out a text.
    return OfficeConnection::supported() && QFileInfo(dir.filePath(QStringLiteral("soffice.bin"))).isExecutable()
        && QFileInfo::exists(dir.filePath(QStringLiteral("fundamentalrc")))
        && QFileInfo::exists(dir.filePath(QStringLiteral("libswlo.so")));
}

LayoutSession::LayoutSession() : LayoutSession(Options{}) {}

LayoutSession::LayoutSession(Options options)
    : m_options(std::move(options)), m_available(available(m_options.officeProgramDir))
{
}

LayoutSession::~LayoutSession() { stopOffice(true); }

QString LayoutSession::start()
{
    if (m_connection)
        return {};
    return startOffice();
}

QString LayoutSession::startOffice()
{
    // An office that failed to start once (after its retry for a new profile) is broken, not busy:
    // trying again for every document could cost the start-up limit each time.
    if (m_startError.isEmpty())
        m_startError = tryStartOffice();
    return m_startError;
}

QString LayoutSession::tryStartOffice()
{
    if (!OfficeConnection::supported())
        return QStringLiteral("this program was built without LibreOffice support");
    if (!m_available)
        return QStringLiteral("LibreOffice with its word processor is not installed in %1")
            .arg(QDir::toNativeSeparators(m_options.officeProgramDir));
    try {
        OfficeConnection::prepareRuntime(m_options.officeProgramDir);
    } catch (const OfficeError &e) {
        return e.reason;
    }
    if (!m_workDir) {
        // A private profile and temporary folder: the user's own office settings, recent files and
        // running instance stay untouched, and nothing the helper leaves outlives the session.
        m_workDir = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("qv-layout-XXXXXX")));
        if (!m_workDir->isValid()) {
            const QString why = m_workDir->errorString();
            m_workDir.reset();
            return QStringLiteral("no folder for the office's profile could be made: %1").arg(why);
        }
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QString pipe = uniquePipeName();
        m_process = std::make_unique<OfficeProcess>(m_options.officeProgramDir, m_workDir->path(), pipe);
        QString error;
        if (!m_process->start(error)) {
            m_process.reset();
            return QStringLiteral("LibreOffice could not be started: %1").arg(error);
        }
        ++m_starts;
        m_sinceStart = 0;
        // Connecting can block once the office half-accepts; the watchdog bounds the whole start.
        Watchdog dog(m_process->pid(), m_options.startLimit, m_options.memoryLimitKiB);
        std::optional<int> exit;
        while (true) {
            try {
                m_connection = OfficeConnection::tryConnect(pipe);
            } catch (const OfficeError &) {
                m_connection.reset(); // a half-started office: keep trying until it ends or the limit
            }
            if (m_connection)
                return {};
            exit = m_process->waitForExit(kConnectPoll);
            if (exit)
                break;
        }
        const bool killed = dog.stop() != Watchdog::Verdict::None;
        stopOffice(false);
        if (killed)
            return QStringLiteral("LibreOffice did not accept a connection within %1").arg(duration(m_options.startLimit));
        if (*exit != kExitAfterProfileCreated || attempt > 0)
            return QStringLiteral("LibreOffice ended while starting (exit status %1)").arg(*exit);
    }
    return QStringLiteral("LibreOffice could not be started");
}

void LayoutSession::stopOffice(bool politely)
{
    if (!m_process)
        return;
    notePeakMemory();
    if (politely && m_connection && !m_process->ended()) {
        Watchdog dog(m_process->pid(), kPoliteStopLimit, 0);
        if (m_connection->terminateOffice())
            m_process->waitForExit(kPoliteStopLimit);
        dog.stop();
    }
    m_connection.reset();
    m_process->stop(kTerminateGrace);
    m_process.reset();
}

void LayoutSession::notePeakMemory()
{
    if (m_process && !m_process->ended())
        m_peakKiB = std::max(m_peakKiB, peakResidentKiB(m_process->pid()));
}

Measurement LayoutSession::measure(const QString &path, std::chrono::milliseconds timeLimit)
{
    Measurement m;
    const auto fail = [&](const QString &why) {
        m.error = QStringLiteral("The layout of %1 could not be made: %2.").arg(quoted(path), why);
        return m;
    };
    const QFileInfo file(path);
    if (!file.exists())
        return fail(QStringLiteral("the file does not exist"));
    // A pipe or device would keep the office waiting for data that may never come.
    if (!file.isFile())
        return fail(QStringLiteral("it is not a regular file"));
    if (!file.isReadable())
        return fail(QStringLiteral("it cannot be read"));
    if (m_connection && m_process->ended())
        stopOffice(false); // it died between documents (killed from outside): not this document's fault
    if (!m_connection) {
        stopOffice(false); // an office left without a connection is of no use
        const QString error = startOffice();
        if (!error.isEmpty())
            return fail(error);
    }

    Watchdog dog(m_process->pid(), timeLimit, m_options.memoryLimitKiB);
    QString error;
    bool connectionLost = false;
    LayoutCounts counts;
    try {
        counts = m_connection->measure(file.absoluteFilePath());
    } catch (const OfficeError &e) {
        error = e.reason;
        connectionLost = e.connectionLost;
    }
    const Watchdog::Verdict verdict = dog.stop();
    ++m_sinceStart;

    if (verdict != Watchdog::Verdict::None) {
        stopOffice(false);
        m.timedOut = verdict == Watchdog::Verdict::TimeLimit;
        return fail(m.timedOut ? QStringLiteral("it took longer than %1; LibreOffice was stopped").arg(duration(timeLimit))
                               : QStringLiteral("LibreOffice needed more than %1 MiB for it and was stopped")
                                     .arg(m_options.memoryLimitKiB / 1024));
    }
    if (connectionLost || m_process->ended()) {
        // The office died on the document by itself (a crash): the next one gets a fresh office.
        stopOffice(false);
        return fail(error.isEmpty() ? QStringLiteral("LibreOffice ended unexpectedly") : error);
    }
    if (m_sinceStart >= m_options.restartEvery)
        stopOffice(true);
    if (!error.isEmpty())
        return fail(error);
    m.pages = counts.pages;
    m.lines = counts.lines;
    m.officeWords = counts.text.words;
    m.officeCharacters = counts.text.characters;
    m.officeCharactersWithSpaces = counts.text.charactersWithSpaces;
    m.officeParagraphs = counts.text.paragraphs;
    return m;
}

pid_t LayoutSession::officeProcessId() const { return m_process ? m_process->pid() : 0; }

std::int64_t LayoutSession::peakOfficeMemoryKiB() const
{
    return m_process ? std::max(m_peakKiB, peakResidentKiB(m_process->pid())) : m_peakKiB;
}

} // namespace layout
