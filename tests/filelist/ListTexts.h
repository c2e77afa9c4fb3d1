// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "filelist/InputFileList.h"
#include <QStringList>

// Every entry's path text, in list order.
inline QStringList texts(const InputFileList &list)
{
    QStringList t;
    for (int i = 1; i <= list.count(); ++i)
        t << list.text(i);
    return t;
}
