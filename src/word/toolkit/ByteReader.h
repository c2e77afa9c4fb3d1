// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QtGlobal>

namespace word {

// Bounds-checked little-endian reads over a block of bytes that came from an untrusted file. Every
// caller asks has() before reading, so a stated offset or length beyond the block is a refusal, never a
// read past its end. The block is borrowed: it must outlive the reader.
class ByteReader {
public:
    ByteReader(const unsigned char *data, qint64 size) : m_data(data), m_size(size < 0 ? 0 : size) {}
    explicit ByteReader(const QByteArray &bytes)
        : ByteReader(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size())
    {
    }

    qint64 size() const { return m_size; }
    // True when n bytes starting at offset lie wholly inside the block (overflow-safe).
    bool has(qint64 offset, qint64 n) const
    {
        return offset >= 0 && n >= 0 && offset <= m_size && n <= m_size - offset;
    }
    quint8 u8(qint64 o) const { return m_data[o]; }
    quint16 u16(qint64 o) const { return static_cast<quint16>(m_data[o] | (m_data[o + 1] << 8)); }
    quint32 u32(qint64 o) const
    {
        return static_cast<quint32>(m_data[o]) | (static_cast<quint32>(m_data[o + 1]) << 8)
               | (static_cast<quint32>(m_data[o + 2]) << 16) | (static_cast<quint32>(m_data[o + 3]) << 24);
    }
    quint64 u64(qint64 o) const { return static_cast<quint64>(u32(o)) | (static_cast<quint64>(u32(o + 4)) << 32); }
    const char *at(qint64 o) const { return reinterpret_cast<const char *>(m_data + o); }
    // The part [o, o + n) as a reader of its own; the caller has checked has(o, n).
    ByteReader sub(qint64 o, qint64 n) const { return ByteReader(m_data + o, n); }

private:
    const unsigned char *m_data;
    qint64 m_size;
};

} // namespace word
