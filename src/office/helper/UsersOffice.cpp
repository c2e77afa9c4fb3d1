// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/helper/UsersOffice.h"
#include "office/helper/LayoutSession.h"
#include "office/helper/OfficeConnection.h"
#include "office/helper/ParentWatch.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace office::helper {

namespace {

// One name for every export: a connection left by an earlier one is simply used again.
const QString PipeName = QStringLiteral("quillmere-vantrel-workbook");
constexpr std::chrono::milliseconds Poll{200};

// The launcher script, not soffice.bin: it hands the request to an office that already runs for this
// user, or starts one with the user's profile.
QString launcher() { return QDir(LayoutSession::defaultOfficeProgramDir()).filePath(QStringLiteral("soffice")); }

// Starts the launcher on its own, outliving the helper: the office's output goes nowhere (the helper's
// own output is the protocol), and the helper's UNO setting does not steer the office.
bool startLauncher(const QStringList &arguments)
{
    QProcess launch;
    launch.setProgram(launcher());
    launch.setArguments(arguments);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("URE_BOOTSTRAP"));
    launch.setProcessEnvironment(env);
    launch.setStandardInputFile(QProcess::nullDevice());
    launch.setStandardOutputFile(QProcess::nullDevice());
    launch.setStandardErrorFile(QProcess::nullDevice());
    return launch.startDetached();
}

} // namespace

QString openAsNewInUsersOffice(const QByteArray &nativePath, NewDocumentState &state, std::chrono::milliseconds limit)
{
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
            if (!startLauncher(
                    {QStringLiteral("--nologo"), QStringLiteral("--accept=") + officeAcceptString(PipeName)}))
                return QStringLiteral("LibreOffice could not be started");
            const QDeadlineTimer deadline(limit);
            while (!(connection = tryConnect())) {
                if (deadline.hasExpired())
                    return QStringLiteral("LibreOffice did not answer within %1 seconds")
                        .arg(std::chrono::duration_cast<std::chrono::seconds>(limit).count());
                if (parentWatch::ending())
                    return QStringLiteral("the helper is ending");
                QThread::msleep(Poll.count());
            }
        }
        // The user's office should not keep listening for us, whether the document opened or not; the
        // request is handed over like the first.
        const auto stopListening = [] {
            startLauncher({QStringLiteral("--unaccept=") + officeAcceptString(PipeName)});
        };
        try {
            state = connection->openAsNewDocument(nativePath);
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

} // namespace office::helper
