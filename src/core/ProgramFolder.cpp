// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ProgramFolder.h"
#include <QDir>
#include <QFileInfo>

namespace {

bool holdsCompanion(const QString &folder)
{
    for (const char *name : {"Samples", "HAND-M.CUR", "drag.ico", "x/o.cjs"})
        if (QFileInfo::exists(folder + QLatin1Char('/') + QLatin1String(name)))
            return true;
    return false;
}

} // namespace

QString programFolder(const QString &executableFolder, const QString &dataFolderFromExecutable)
{
    if (holdsCompanion(executableFolder) || dataFolderFromExecutable.isEmpty())
        return executableFolder;
    const QString installed = QDir::cleanPath(executableFolder + QLatin1Char('/') + dataFolderFromExecutable);
    return QFileInfo(installed).isDir() ? installed : executableFolder;
}
