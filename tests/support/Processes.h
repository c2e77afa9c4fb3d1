// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The processes a test can see in /proc: whether one still runs, and which a parent has started. Tests
// use them to prove that nothing a run started is left behind.
#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <sys/types.h>

namespace testprocesses {

// Whether `pid` runs (a zombie has ended).
inline bool processExists(pid_t pid)
{
    if (pid <= 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray s = stat.readAll();
    return !s.mid(s.lastIndexOf(')') + 2).startsWith('Z');
}

// Every running process whose parent is `parent`.
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

} // namespace testprocesses
