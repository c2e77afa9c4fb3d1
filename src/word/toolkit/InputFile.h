// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdio>

namespace word {

// A document file opened read-only for the engine. Refuses folders, devices and pipes (which could block)
// with a readable error naming the file. Reads by position; never writes.
class InputFile {
public:
    explicit InputFile(const QString &path); // throws Error
    // Opens the file by the exact bytes of its name (which need not be valid text in the locale's
    // encoding); `path` is only used to name it in messages.
    InputFile(const QString &path, const QByteArray &nativePath);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    const QString &path() const { return m_path; }
    qint64 size() const { return m_size; }
    // The file system's modification time (UTC).
    const QDateTime &modified() const { return m_modified; }

    // Up to `length` bytes from `offset` (fewer at the end of the file as it was opened). Throws Error on
    // an I/O error, and when the file turns out shorter than it was when opened.
    QByteArray read(qint64 offset, qint64 length) const;
    // Whether the file's size or modification time differ from what they were when it was opened: a read
    // that went through a library's own stream (or between our reads) may have seen two different files.
    bool changedSinceOpened() const;
    // A stdio stream on its own descriptor for libraries that read through one; the caller owns it.
    FILE *openStream() const;

private:
    QString m_path;
    int m_fd = -1;
    qint64 m_size = 0;
    QDateTime m_modified;
    qint64 m_modifiedSeconds = 0;
    long m_modifiedNanoseconds = 0;
};

} // namespace word
