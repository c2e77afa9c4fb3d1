// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/InputFile.h"
#include "word/Errors.h"
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace word {

namespace {
QString systemReason(int e) { return QString::fromLocal8Bit(strerror(e)).toLower(); }
} // namespace

InputFile::InputFile(const QString &path) : InputFile(path, QFile::encodeName(path)) {}

InputFile::InputFile(const QString &path, const QByteArray &native) : m_path(path)
{
    if (native.isEmpty() || native.contains('\0'))
        throwNotFound(path);
    // Non-blocking so that a named pipe cannot hold the open; the flag does not matter for regular files.
    m_fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (m_fd < 0) {
        const int e = errno;
        if (e == ENOENT || e == ENOTDIR)
            throwNotFound(path);
        if (e == EACCES || e == EPERM)
            throwPermissionDenied(path);
        // A socket cannot be opened at all (ENXIO); it is no document, like a pipe or a device.
        struct stat st {};
        if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            throwNotAFile(path, QStringLiteral("it is not a regular file (a device, pipe or socket)"));
        throwFileAccess(path, systemReason(e));
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        const int e = errno;
        ::close(m_fd);
        m_fd = -1;
        throwFileAccess(path, systemReason(e));
    }
    if (!S_ISREG(st.st_mode)) {
        const bool dir = S_ISDIR(st.st_mode);
        ::close(m_fd);
        m_fd = -1;
        throwNotAFile(path, dir ? QStringLiteral("it is a folder, not a file")
                                : QStringLiteral("it is not a regular file (a device, pipe or socket)"));
    }
    m_size = st.st_size;
    m_modifiedSeconds = st.st_mtim.tv_sec;
    m_modifiedNanoseconds = st.st_mtim.tv_nsec;
    m_modified = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec, Qt::UTC).addMSecs(st.st_mtim.tv_nsec / 1000000);
}

InputFile::~InputFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray InputFile::read(qint64 offset, qint64 length) const
{
    if (offset < 0 || length <= 0 || offset >= m_size)
        return {};
    length = qMin(length, m_size - offset);
    QByteArray buf(static_cast<qsizetype>(length), Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(m_fd, buf.data() + done, static_cast<size_t>(length - done), offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            if (e == EACCES || e == EPERM)
                throwPermissionDenied(m_path);
            throwFileAccess(m_path, systemReason(e));
        }
        if (n == 0)
            throwChangedWhileRead(m_path); // it was cut after it was opened
        done += n;
    }
    return buf;
}

bool InputFile::changedSinceOpened() const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        throwFileAccess(m_path, systemReason(errno));
    return st.st_size != m_size || st.st_mtim.tv_sec != m_modifiedSeconds
           || st.st_mtim.tv_nsec != m_modifiedNanoseconds;
}

FILE *InputFile::openStream() const
{
    const int fd = ::dup(m_fd);
    if (fd < 0)
        throwFileAccess(m_path, systemReason(errno));
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    FILE *f = ::fdopen(fd, "rb");
    if (f == nullptr) {
        const int e = errno;
        ::close(fd);
        throwFileAccess(m_path, systemReason(e));
    }
    return f;
}

} // namespace word
