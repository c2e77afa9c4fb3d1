// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds folder trees for the walk tests inside a temporary folder.
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

struct TestTree {
    QTemporaryDir dir;

    QString path(const QString &relative) const { return dir.path() + QLatin1Char('/') + relative; }

    // Creates a file (and its folders) with a little content; read-only files lose their write bits.
    QString file(const QString &relative, bool readOnly = false) const
    {
        const QString p = path(relative);
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(p));
        f.write("x");
        f.close();
        if (readOnly)
            ::chmod(QFile::encodeName(p).constData(), 0444);
        return p;
    }
    QString folder(const QString &relative) const
    {
        const QString p = path(relative);
        QDir().mkpath(p);
        return p;
    }
};

// Permission bits deny nothing to the superuser.
inline bool permissionsDeny() { return ::geteuid() != 0; }
