// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filelist/FileAttributes.h"
#include <QFile>
#include <sys/stat.h>

namespace filelist {

QString LastComponent(const QString &path)
{
    qsizetype end = path.size();
    while (end > 1 && path[end - 1] == u'/')
        --end;
    const qsizetype slash = path.lastIndexOf(u'/', end - 1);
    return path.mid(slash + 1, end - slash - 1);
}

int FileAttributes(const QString &path)
{
    if (path.isEmpty())
        return -1;
    const QByteArray native = QFile::encodeName(path);
    struct stat linkStatus {};
    if (::lstat(native.constData(), &linkStatus) != 0)
        return -1;
    int attributes = 0;
    struct stat status = linkStatus;
    if (S_ISLNK(linkStatus.st_mode)) {
        attributes |= attr::Alias;
        // A dangling link still has attributes of its own: only the alias bit then.
        if (::stat(native.constData(), &status) != 0)
            status = linkStatus;
    }
    if (S_ISDIR(status.st_mode))
        attributes |= attr::Directory;
    else if (S_ISREG(status.st_mode))
        attributes |= attr::Archive;
    if (!S_ISLNK(status.st_mode) && (status.st_mode & S_IWUSR) == 0)
        attributes |= attr::ReadOnly;
    if (LastComponent(path).startsWith(u'.'))
        attributes |= attr::Hidden;
    return attributes;
}

bool IsFolder(const QString &path)
{
    const int attributes = FileAttributes(path);
    return attributes != -1 && (attributes & attr::Directory) != 0;
}

bool IsExistingFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

bool HasUnsafeChars(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const char16_t u = c.unicode();
        if (u < 32 || (u >= 127 && u <= 159) || u == u'?' || u == 0xFFFD)
            return true;
        if (c.isHighSurrogate()) {
            if (i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            return true;
        }
        if (c.isLowSurrogate())
            return true;
    }
    return false;
}

} // namespace filelist
