// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/helper/PrivateProfile.h"
#include <QDir>
#include <QSaveFile>

namespace office::helper {

namespace {

struct Setting {
    const char *path;
    const char *name;
    const char *value;
};

// The office's configuration keys and the values that shut remote content out.
constexpr Setting kSettings[] = {
    // Images and objects linked from a document that does not lie in a trusted folder are not loaded.
    {"/org.openoffice.Office.Common/Security/Scripting", "BlockUntrustedRefererLinks", "true"},
    // Macros: the highest level, and off altogether.
    {"/org.openoffice.Office.Common/Security/Scripting", "MacroSecurityLevel", "3"},
    {"/org.openoffice.Office.Common/Security/Scripting", "DisableMacrosExecution", "true"},
    // Links in text documents are never updated on loading (0: never).
    {"/org.openoffice.Office.Writer/Content/Update", "Link", "0"},
    // Anything that still asks for a web address goes to a proxy on this machine's discard port, where
    // no one answers.
    {"/org.openoffice.Inet/Settings", "ooInetProxyType", "2"},
    {"/org.openoffice.Inet/Settings", "ooInetHTTPProxyName", "127.0.0.1"},
    {"/org.openoffice.Inet/Settings", "ooInetHTTPProxyPort", "9"},
    {"/org.openoffice.Inet/Settings", "ooInetHTTPSProxyName", "127.0.0.1"},
    {"/org.openoffice.Inet/Settings", "ooInetHTTPSProxyPort", "9"},
    {"/org.openoffice.Inet/Settings", "ooInetFTPProxyName", "127.0.0.1"},
    {"/org.openoffice.Inet/Settings", "ooInetFTPProxyPort", "9"},
    {"/org.openoffice.Inet/Settings", "ooInetNoProxy", ""},
};

} // namespace

bool writePrivateProfileSettings(const QString &profileFolder, QString &error)
{
    const QDir user(QDir(profileFolder).filePath(QStringLiteral("user")));
    if (!user.mkpath(QStringLiteral("."))) {
        error = QStringLiteral("its settings folder %1 could not be made").arg(user.path());
        return false;
    }
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\""
                     " xmlns:xs=\"http://www.w3.org/2001/XMLSchema\""
                     " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n";
    for (const Setting &s : kSettings)
        xml += QByteArray("<item oor:path=\"") + s.path + "\"><prop oor:name=\"" + s.name + "\" oor:op=\"fuse\">"
               + "<value>" + s.value + "</value></prop></item>\n";
    xml += "</oor:items>\n";
    QSaveFile file(user.filePath(QStringLiteral("registrymodifications.xcu")));
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        error = QStringLiteral("its settings could not be written: %1").arg(file.errorString());
        return false;
    }
    return true;
}

} // namespace office::helper
