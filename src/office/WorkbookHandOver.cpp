// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/WorkbookHandOver.h"
#include "office/Protocol.h"
#include <QFile>

namespace office {

namespace {
// The helper waits up to 60 s for the user's office to answer, then opens the workbook.
constexpr std::chrono::seconds kHandOverLimit{120};
} // namespace

HandOver openAsNewInUsersOffice(const QString &path, const WaitForEvents &whileWaiting, const QString &helperProgram)
{
    HandOver result;
    HelperProcess helper(helperProgram);
    QByteArray greeting;
    if (!helper.start(greeting, result.error))
        return result;
    const std::optional<QByteArray> answer =
        helper.ask("open-new " + protocol::encode(QFile::encodeName(path)), kHandOverLimit, whileWaiting, result.error);
    if (!answer)
        return result;
    const QList<QByteArray> words = protocol::words(*answer);
    if (words.value(0) == "ok" && words.size() == 4) {
        result.modified = words[1] == "1";
        result.hasLocation = words[2] == "1";
        result.title = protocol::decodeText(words[3]);
    } else if (words.value(0) == "fail" && words.size() == 3) {
        result.error = protocol::decodeText(words[2]);
    } else {
        result.error = QStringLiteral("the LibreOffice helper gave an answer this program does not understand");
    }
    return result;
}

} // namespace office
