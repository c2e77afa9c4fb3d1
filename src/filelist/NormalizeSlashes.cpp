// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filelist/NormalizeSlashes.h"

namespace {

constexpr QChar Separator = u'/';

// Replaces each non-overlapping pair of adjacent separators, scanning from the left, by one.
void appendCollapsingPairs(QString &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == Separator && i + 1 < text.size() && text[i + 1] == Separator)
            ++i; // the second of the pair is dropped
    }
}

} // namespace

QString NormalizeSlashes(const QString &path)
{
    // Most paths hold no doubled separator at all: hand them back without copying.
    if (!path.contains(QLatin1String("//")))
        return path;

    qsizetype lead = 0;
    while (lead < path.size() && path[lead] == Separator)
        ++lead;

    QString out;
    out.reserve(path.size());
    if (lead >= 2)
        out += QLatin1String("//"); // a network-style path keeps its two leading separators
    else if (lead == 1)
        out += Separator; // the root of an ordinary absolute path stays single
    appendCollapsingPairs(out, QStringView(path).mid(lead));
    return out;
}
