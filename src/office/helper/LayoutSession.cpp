// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/helper/LayoutSession.h"
#include "office/helper/OfficeConnection.h"
#include "office/helper/OfficeProcess.h"
#include "office/helper/ParentWatch.h"
#include "office/helper/PrivateProfile.h"
#include "office/helper/Watchdog.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <atomic>
#include <sys/stat.h>
#include <unistd.h>

namespace office::helper {

namespace {

// A brand-new profile makes the office set itself up and exit with this status once before it
// accepts connections; started again on the same profile it runs normally.
constexpr int kExitAfterProfileCreated = 81;
constexpr std::chrono::milliseconds kConnectPoll{100};
constexpr std::chrono::seconds kPoliteStopLimit{10};
constexpr std::chrono::seconds kTerminateGrace{3};

QString duration(std::chrono::milliseconds d)
{
    if (d.count() < 1000)
        return QStringLiteral("%1 ms").arg(d.count());
    return QStringLiteral("%1 s").arg(double(d.count()) / 1000.0, 0, 'g', 4);
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // decoding is lazy until the result is taken
    return !utf8.hasError();
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

QString LayoutSession::unavailableReason(const QString &officeProgramDir)
{
    const QDir dir(officeProgramDir);
    // The office's core starts without its word processor (libswlo), but then cannot lay out a text.
    if (QFileInfo(dir.filePath(QStringLiteral("soffice.bin"))).isExecutable()
        && QFileInfo::exists(dir.filePath(QStringLiteral("fundamentalrc")))
        && QFileInfo::exists(dir.filePath(QStringLiteral("libswlo.so"))))
        return {};
    return QStringLiteral("LibreOffice with its word processor is not installed in %1")
        .arg(QDir::toNativeSeparators(officeProgramDir));
}

LayoutSession::LayoutSession() : LayoutSession(Options{}) {}

LayoutSession::LayoutSession(Options options)
    : m_options(std::move(options)), m_unavailable(unavailableReason(m_options.officeProgramDir))
{
}

LayoutSession::~LayoutSession() { stopOffice(!parentWatch::ending()); }

QString LayoutSession::startOffice()
{
    // An office that failed to start once (after its retry for a new profile) is broken, not busy:
    // trying again for every document could cost the start-up limit each time.
    if (m_startError.isEmpty())
        m_startError = tryStartOffice();
    return m_startError;
}

// A private profile and temporary folder: the user's own office settings, recent files and running
// instance stay untouched, and nothing the helper leaves outlives the session.
QString LayoutSession::prepareWorkFolder()
{
    if (m_workDir)
        return {};
    m_workDir = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("qv-layout-XXXXXX")));
    if (!m_workDir->isValid()) {
        const QString why = m_workDir->errorString();
        m_workDir.reset();
        return QStringLiteral("no folder for the office's profile could be made: %1").arg(why);
    }
    QString error;
    if (!writePrivateProfileSettings(QDir(m_workDir->path()).filePath(QStringLiteral("profile")), error))
        return QStringLiteral("the office's profile could not be prepared: %1").arg(error);
    return {};
}

QString LayoutSession::tryStartOffice()
{
    if (!m_unavailable.isEmpty())
        return m_unavailable;
    try {
        OfficeConnection::prepareRuntime(m_options.officeProgramDir);
    } catch (const OfficeError &e) {
        return e.reason;
    }
    if (const QString error = prepareWorkFolder(); !error.isEmpty())
        return error;
    // QUILLMERE_OFFICE_NO_NAMESPACE makes the helper act as on a system that allows no namespace, so
    // that what holds the office back there can be tried anywhere.
    if (!m_isolation)
        m_isolation = qEnvironmentVariableIsSet("QUILLMERE_OFFICE_NO_NAMESPACE") ? NetworkIsolation::None
                                                                                 : availableNetworkIsolation();
    // A first start in a new profile may end once the profile is made: the second start is the real one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::optional<QString> outcome = launchAndConnect(attempt > 0);
        if (outcome)
            return *outcome;
    }
    return QStringLiteral("LibreOffice could not be started");
}

// One start of the office and its connection: empty when connected, why not, or nullopt when the office
// ended only to have made its profile and another start may follow.
std::optional<QString> LayoutSession::launchAndConnect(bool lastAttempt)
{
    if (parentWatch::ending())
        return QStringLiteral("the helper is ending");
    const QString pipe = uniquePipeName();
    m_process = std::make_unique<OfficeProcess>(m_options.officeProgramDir, m_workDir->path(), pipe, *m_isolation);
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
            return QString();
        exit = m_process->waitForExit(kConnectPoll);
        if (exit || parentWatch::ending())
            break;
    }
    const bool killed = dog.stop() != Watchdog::Verdict::None;
    stopOffice(false);
    if (killed)
        return QStringLiteral("LibreOffice did not accept a connection within %1").arg(duration(m_options.startLimit));
    if (!exit)
        return QStringLiteral("the helper is ending");
    if (*exit != kExitAfterProfileCreated || lastAttempt)
        return QStringLiteral("LibreOffice ended while starting (exit status %1)").arg(*exit);
    return std::nullopt;
}

void LayoutSession::stopOffice(bool politely)
{
    if (!m_process)
        return;
    notePeakMemory();
    if (politely && m_connection && !m_process->ended() && !parentWatch::ending()) {
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

Measurement LayoutSession::measure(const QByteArray &nativePath, const QString &filter, const QString &filterOptions,
                                   std::chrono::milliseconds timeLimit)
{
    Measurement m;
    // A pipe or device would keep the office waiting for data that may never come.
    struct stat status {};
    if (nativePath.isEmpty() || nativePath.contains('\0') || ::stat(nativePath.constData(), &status) != 0) {
        m.error = QStringLiteral("the file does not exist");
        return m;
    }
    if (!S_ISREG(status.st_mode)) {
        m.error = QStringLiteral("it is not a regular file");
        return m;
    }
    if (::access(nativePath.constData(), R_OK) != 0) {
        m.error = QStringLiteral("it cannot be read");
        return m;
    }
    if (measureOnce(nativePath, filter, filterOptions, timeLimit, m) == Outcome::KilledFromOutside
        && !parentWatch::ending()) {
        m = Measurement();
        measureOnce(nativePath, filter, filterOptions, timeLimit, m);
    }
    return m;
}

struct LayoutSession::OfficeRun {
    LayoutCounts counts;
    QString error;
    bool connectionLost = false;
    Watchdog::Verdict verdict = Watchdog::Verdict::None;
};

// The office takes file names as UTF-8 only: one that is not reaches it through a link of a plain name in
// the session's folder (the extension kept). Empty when the link cannot be made.
QByteArray LayoutSession::linkWithUtf8Name(const QByteArray &nativePath)
{
    const QByteArray folder = QFile::encodeName(QDir(m_workDir->path()).filePath(QStringLiteral("links")));
    ::mkdir(folder.constData(), 0700);
    const qsizetype slash = nativePath.lastIndexOf('/');
    const qsizetype dot = nativePath.lastIndexOf('.');
    QByteArray extension = dot > slash ? nativePath.mid(dot) : QByteArray();
    if (!isUtf8(extension))
        extension.clear();
    const QByteArray link = folder + "/document-" + QByteArray::number(++m_linkSerial) + extension;
    return ::symlink(nativePath.constData(), link.constData()) == 0 ? link : QByteArray();
}

LayoutSession::Outcome LayoutSession::measureOnce(const QByteArray &nativePath, const QString &filter,
                                                  const QString &filterOptions, std::chrono::milliseconds timeLimit,
                                                  Measurement &m)
{
    if (m_connection && m_process->ended())
        stopOffice(false); // it died between documents (killed from outside): not this document's fault
    if (!m_connection) {
        stopOffice(false); // an office left without a connection is of no use
        const QString error = startOffice();
        if (!error.isEmpty()) {
            m.error = error;
            return Outcome::Done;
        }
    }
    const QByteArray link = isUtf8(nativePath) ? QByteArray() : linkWithUtf8Name(nativePath);
    if (!isUtf8(nativePath) && link.isEmpty()) {
        m.error = QStringLiteral("its name could not be handed to LibreOffice");
        return Outcome::Done;
    }
    const auto removeLink = qScopeGuard([&] {
        if (!link.isEmpty())
            ::unlink(link.constData());
    });

    Watchdog dog(m_process->pid(), timeLimit, m_options.memoryLimitKiB);
    OfficeRun run;
    try {
        run.counts = m_connection->measure(link.isEmpty() ? nativePath : link,
                                           filter.split(QLatin1Char('\n'), Qt::SkipEmptyParts), filterOptions);
    } catch (const OfficeError &e) {
        run.error = e.reason;
        run.connectionLost = e.connectionLost;
    }
    run.verdict = dog.stop();
    ++m_sinceStart;
    return judge(run, timeLimit, m);
}

// What became of one document's layout: stopped by the watchdog, lost with the office, refused by it, or
// measured; the office is restarted where it can no longer be trusted or has laid out its share.
LayoutSession::Outcome LayoutSession::judge(const OfficeRun &run, std::chrono::milliseconds timeLimit, Measurement &m)
{
    if (run.verdict != Watchdog::Verdict::None) {
        stopOffice(false);
        m.timedOut = run.verdict == Watchdog::Verdict::TimeLimit;
        m.error = m.timedOut
                      ? QStringLiteral("it took longer than %1; LibreOffice was stopped").arg(duration(timeLimit))
                      : QStringLiteral("LibreOffice needed more than %1 MiB for it and was stopped")
                            .arg(m_options.memoryLimitKiB / 1024);
        return Outcome::Done;
    }
    if (run.connectionLost || m_process->ended()) {
        // A crash on the document stays this document's failure; an office killed by someone else is
        // not, and the caller tries once more in a new one.
        m_process->waitForExit(std::chrono::seconds(2));
        const bool fromOutside = m_process->killedFromOutside();
        stopOffice(false);
        m.error = run.error.isEmpty() ? QStringLiteral("LibreOffice ended unexpectedly") : run.error;
        return fromOutside ? Outcome::KilledFromOutside : Outcome::Done;
    }
    if (m_sinceStart >= m_options.restartEvery)
        stopOffice(true);
    if (!run.error.isEmpty()) {
        m.error = run.error;
        return Outcome::Done;
    }
    m.pages = run.counts.pages;
    m.lines = run.counts.lines;
    m.officeWords = run.counts.text.words;
    m.officeCharacters = run.counts.text.characters;
    m.officeCharactersWithSpaces = run.counts.text.charactersWithSpaces;
    m.officeParagraphs = run.counts.text.paragraphs;
    return Outcome::Done;
}

pid_t LayoutSession::officeProcessId() const { return m_process ? m_process->pid() : 0; }

bool LayoutSession::officeIsolated() const { return m_process && m_process->isolated(); }

std::int64_t LayoutSession::peakOfficeMemoryKiB() const
{
    return m_process ? std::max(m_peakKiB, peakResidentKiB(m_process->pid())) : m_peakKiB;
}

} // namespace office::helper
