// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the office tests share: the processes a helper leaves, and the files an office leaves in /tmp.
#pragma once
#include "Processes.h"
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

using testprocesses::childrenOf;
using testprocesses::processExists;

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
