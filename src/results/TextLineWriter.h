// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringEncoder>

class QIODevice;

namespace results {

// The encoding of the text file: the locale's character set. A C/POSIX locale counts as UTF-8, as it
// does for Qt itself, so that a path with an accented letter is not refused outright.
QByteArray textFileEncoding();

// A text stream as the text export uses it: every line encoded in the given character set and ended
// with CR LF. Built over a device that may be absent (its file could not be created); then every line
// and the closing fail, each with its own error, as the export reports them one by one.
class TextLineWriter {
public:
    TextLineWriter(QIODevice *device, const QByteArray &encoding);
    // Throws RuntimeError when the line cannot be encoded or written; nothing of a refused line is written.
    void writeLine(const QString &text);
    // Flushes and closes the device; throws RuntimeError when that fails or when there is no device.
    void close();

private:
    QIODevice *m_device;
    QStringEncoder m_encoder;
    QByteArray m_encoding;
    bool m_isUtf8 = true;
};

} // namespace results
