// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "extract/FileNameFromPath.h"

QString FileNameFromPath(const QString &path)
{
    const qsizetype last = path.lastIndexOf(QLatin1Char('/'));
    return last < 0 ? path : path.mid(last + 1);
}
