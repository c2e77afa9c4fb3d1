// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the engine read, as the engine's tests compare it: texts, whole numbers, and date-times in UTC.
#include "word/Engine.h"
#include <QDateTime>

namespace wt {

inline QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}
inline QString text(const word::DocumentProperties &p, word::Builtin id) { return p.get(id)->asText(); }
inline qint64 number(const word::DocumentProperties &p, word::Builtin id) { return p.get(id)->asInteger(); }
inline QDateTime when(const word::DocumentProperties &p, word::Builtin id) { return p.get(id)->asDateTime().toUTC(); }

} // namespace wt
