// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Where the error report says a trapped error happened: "<tag>.<module>.<procedure>". The tag names the
// code the procedure came from: the program's own, or the folder walker it took over, whose reports
// have always carried their own tag. Users quote these texts to support, so they never change.
namespace errorLocation {
inline const QString ProgramTag = QStringLiteral("Quillmark2021/08/31");
inline const QString FolderWalkerTag = QStringLiteral("Tormandel2021/08/31");

inline QString of(const QString &module, const QString &procedure, const QString &tag = ProgramTag)
{
    return tag + QLatin1Char('.') + module + QLatin1Char('.') + procedure;
}
} // namespace errorLocation
