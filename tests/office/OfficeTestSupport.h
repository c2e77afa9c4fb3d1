// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the office tests share: the processes a helper leaves, and the files an office leaves in /tmp.
#pragma once
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <unistd.h>

namespace officetest {

// The helper built beside the tests, and whether LibreOffice's word processor is there for it.
inline QString helperProgram() { return QStringLiteral(QV_PROGRAM_DIR "/quillmere-office"); }
inline bool officeInstalled()
{
    return QFileInfo(helperProgram()).isExecutable()
           && QFileInfo::exists(QStringLiteral("/usr/lib/libreoffice/program/libswlo.so"));
}

inline bool processExists(pid_t pid)
{
    if (pid <= 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray s = stat.readAll();
    return !s.mid(s.lastIndexOf(')') + 2).startsWith('Z'); // a zombie has ended
}

// Every process whose parent is `parent`.
inline QList<pid_t> childrenOf(pid_t parent)
{
    QList<pid_t> children;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray s = stat.readAll();
        const QList<QByteArray> rest = s.mid(s.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1 && rest[1].toInt() == parent && rest[0] != "Z")
            children << pid_t(entry.toInt());
    }
    return children;
}

// The sockets an office listening on `pipeName` with the profile in `profileFolder` makes in /tmp: its
// connection pipe and its single-instance pipe (named after an MD5 of the profile URL in UTF-16, written
// as hex without leading zeros). Only these are looked at, so other offices on the machine do not count.
inline QStringList officeSockets(const QString &pipeNamePattern, const QString &profileFolder)
{
    const QString url = QUrl::fromLocalFile(profileFolder).toString(QUrl::FullyEncoded);
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray(reinterpret_cast<const char *>(url.utf16()), url.size() * 2), QCryptographicHash::Md5);
    QString hash;
    for (const char byte : digest)
        hash += QString::number(uchar(byte), 16);
    const QString uid = QString::number(::getuid());
    return QDir(QStringLiteral("/tmp"))
        .entryList({QStringLiteral("OSL_PIPE_%1_%2").arg(uid, pipeNamePattern),
                    QStringLiteral("OSL_PIPE_%1_SingleOfficeIPC_%2").arg(uid, hash)},
                   QDir::System | QDir::AllEntries | QDir::Hidden);
}

} // namespace officetest
