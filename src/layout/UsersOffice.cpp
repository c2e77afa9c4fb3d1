#include "layout/UsersOffice.h"
#include "layout/LayoutSession.h"
#include "layout/OfficeConnection.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace layout {

namespace {

// One name for every export: a connection left by an earlier one is simply used again.
const QString PipeName = QStringLiteral("quillmere-vantrel-workbook");
constexpr std::chrono::milliseconds Poll{200};

// The launcher script, not soffice.bin: it hands the request to an office that already runs for this
// user, or starts one with the user's profile.
QString launcher() { return QDir(LayoutSession::defaultOfficeProgramDir()).filePath(QStringLiteral("soffice")); }

} // namespace

QString openAsNewInUsersOffice(const QString &path, const std::function<void()> &whileWaiting,
                               std::chrono::milliseconds limit)
{
    if (!OfficeConnection::supported())
        return QStringLiteral("this program was built without LibreOffice support");
    if (!QFileInfo(launcher()).isExecutable())
        return QStringLiteral("LibreOffice is not installed in %1")
            .arg(QDir::toNativeSeparators(LayoutSession::defaultOfficeProgramDir()));
    try {
        OfficeConnection::prepareRuntime(LayoutSession::defaultOfficeProgramDir());
        // An office half-way through starting can fail a connection in other ways than refusing it.
        const auto tryConnect = [] {
            try {
                return OfficeConnection::tryConnect(PipeName);
            } catch (const OfficeError &) {
                return std::unique_ptr<OfficeConnection>();
            }
        };
        std::unique_ptr<OfficeConnection> connection = tryConnect();
        if (!connection) {
            // Detached: the office, with the workbook in it, stays when this program ends.
            if (!QProcess::startDetached(launcher(), {QStringLiteral("--nologo"), QStringLiteral("--accept=") + officeAcceptString(PipeName)}))
                return QStringLiteral("LibreOffice could not be started");
            const QDeadlineTimer deadline(limit);
            while (!(connection = tryConnect())) {
                if (deadline.hasExpired())
                    return QStringLiteral("LibreOffice did not answer within %1 seconds")
                        .arg(std::chrono::duration_cast<std::chrono::seconds>(limit).count());
                if (whileWaiting)
                    whileWaiting();
                QThread::msleep(Poll.count());
            }
        }
        // The user's office should not keep listening for us, whether the document opened or not; the
        // request is handed over like the first.
        const auto stopListening = [] {
            QProcess::startDetached(launcher(), {QStringLiteral("--unaccept=") + officeAcceptString(PipeName)});
        };
        try {
            connection->openAsNewDocument(path);
        } catch (const OfficeError &) {
            connection.reset();
            stopListening();
            throw;
        }
        connection.reset();
        stopListening();
        return {};
    } catch (const OfficeError &e) {
        return e.reason;
    }
}

} // namespace layout
