// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filelist/Wildcard.h"

namespace filelist {
namespace {

bool sameLetter(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }

// Glob match of '*' and '?' with backtracking to the most recent star; linear in practice.
bool globMatch(QStringView name, QStringView pattern)
{
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool isPlainExtension(QStringView ext)
{
    for (QChar c : ext)
        if (c == u'*' || c == u'?' || c == u'.')
            return false;
    return true;
}

// "*.doc" also finds "report.docx": the extension after the last dot begins with the three characters.
bool longerExtensionMatch(QStringView name, QStringView pattern)
{
    if (pattern.size() != 5 || !pattern.startsWith(u"*."))
        return false;
    const QStringView ext = pattern.mid(2);
    if (!isPlainExtension(ext))
        return false;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView nameExt = name.mid(dot + 1);
    if (nameExt.size() <= 3)
        return false;
    for (qsizetype i = 0; i < 3; ++i)
        if (!sameLetter(nameExt[i], ext[i]))
            return false;
    return true;
}

} // namespace

bool MatchesPattern(QStringView name, QStringView pattern)
{
    if (pattern == u"*.*" || pattern == u"*")
        return true;
    return globMatch(name, pattern) || longerExtensionMatch(name, pattern);
}

} // namespace filelist
