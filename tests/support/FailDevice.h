// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QIODevice>

// A write-only device that holds `capacity` bytes and then is full, like a disk that runs out of space:
// a write that no longer fits fails whole and stores nothing, and so does every write after it.
class FailDevice : public QIODevice {
public:
    explicit FailDevice(qint64 capacity) : m_capacity(capacity) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    const QByteArray &written() const { return m_written; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_written.size() + size > m_capacity) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_written.append(data, size);
        return size;
    }

private:
    qint64 m_capacity;
    QByteArray m_written;
};
