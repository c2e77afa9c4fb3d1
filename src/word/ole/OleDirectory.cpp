// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/ole/OleDirectory.h"
#include "word/Errors.h"
#include "word/toolkit/ByteReader.h"
#include "word/toolkit/Limits.h"
#include <vector>

namespace word {

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr qint64 kHeaderBytes = 512;
constexpr qint64 kEntryBytes = 128;
constexpr int kHeaderDifatEntries = 109;

enum EntryType : unsigned char { Storage = 1, Stream = 2, Root = 5 };

[[noreturn]] void refuse(const QString &why)
{
    throw DamagedContent(QStringLiteral("its compound-file structure cannot be read (%1)").arg(why));
}

// Reads of the header, sectors and directory entries; the callers size what they read, so a read past
// the end would be a structure cut short.
quint32 u32(const QByteArray &b, qint64 o)
{
    const ByteReader r(b);
    if (!r.has(o, 4))
        refuse(QStringLiteral("a structure is cut short"));
    return r.u32(o);
}

quint16 u16(const QByteArray &b, qint64 o)
{
    const ByteReader r(b);
    if (!r.has(o, 2))
        refuse(QStringLiteral("a structure is cut short"));
    return r.u16(o);
}

// Sectors of the file by number, read on demand (the file may be far larger than its directory).
class Sectors {
public:
    explicit Sectors(const FileContent &content) : m_content(content)
    {
        m_fileSize = content.headIsWhole ? content.head.size() : content.file.size();
        const QByteArray header = bytes(0, kHeaderBytes);
        if (header.size() < kHeaderBytes)
            refuse(QStringLiteral("the header is cut short"));
        m_header = header;
        const int shift = u16(header, 0x1E);
        // Version 3 files use 512-byte sectors, version 4 files 4096-byte ones; nothing else exists.
        if (shift != 9 && shift != 12)
            refuse(QStringLiteral("a sector size of 2^%1 bytes").arg(shift));
        m_sectorSize = qint64(1) << shift;
        m_count = (m_fileSize - m_sectorSize + m_sectorSize - 1) / m_sectorSize;
        if (m_count < 0)
            m_count = 0;
    }

    qint64 sectorSize() const { return m_sectorSize; }
    qint64 count() const { return m_count; }
    const QByteArray &header() const { return m_header; }
    bool exists(quint32 sector) const { return static_cast<qint64>(sector) < m_count; }

    // A sector's bytes; the last one may be short in a file cut mid-sector, the rest reads as zeros.
    QByteArray sector(quint32 s) const
    {
        QByteArray b = bytes((static_cast<qint64>(s) + 1) * m_sectorSize, m_sectorSize);
        if (b.size() < m_sectorSize) {
            b.detach(); // a copy of its own to pad
            b.append(QByteArray(m_sectorSize - b.size(), '\0'));
        }
        return b;
    }

private:
    // Bytes of a file held whole are not copied: the directory walk only reads them while `head` lives.
    QByteArray bytes(qint64 offset, qint64 length) const
    {
        if (m_content.headIsWhole) {
            const QByteArray &head = m_content.head;
            if (offset >= head.size())
                return QByteArray();
            return QByteArray::fromRawData(head.constData() + offset, qMin(length, head.size() - offset));
        }
        return m_content.file.read(offset, length);
    }

    const FileContent &m_content;
    qint64 m_fileSize = 0;
    qint64 m_sectorSize = 512;
    qint64 m_count = 0;
    QByteArray m_header;
};

// The sector numbers of the FAT, from the header and the DIFAT chain; no more than the file can hold.
std::vector<quint32> fatSectors(const Sectors &sectors)
{
    const qint64 perSector = sectors.sectorSize() / 4;
    const qint64 needed = sectors.count() / perSector + 1;
    std::vector<quint32> fat;
    for (int i = 0; i < kHeaderDifatEntries && static_cast<qint64>(fat.size()) < needed; ++i)
        fat.push_back(u32(sectors.header(), 0x4C + i * 4));
    quint32 next = u32(sectors.header(), 0x44);
    for (qint64 steps = 0; sectors.exists(next) && static_cast<qint64>(fat.size()) < needed; ++steps) {
        if (steps > sectors.count())
            refuse(QStringLiteral("its sector allocation table loops"));
        const QByteArray difat = sectors.sector(next);
        for (qint64 i = 0; i < perSector - 1 && static_cast<qint64>(fat.size()) < needed; ++i)
            fat.push_back(u32(difat, i * 4));
        next = u32(difat, (perSector - 1) * 4);
    }
    return fat;
}

// The directory stream, sector by sector along its chain, up to what the limits could ever reach.
QByteArray directoryStream(const Sectors &sectors, bool &cut)
{
    const std::vector<quint32> fat = fatSectors(sectors);
    const qint64 perSector = sectors.sectorSize() / 4;
    // Entries reachable from the root may be scattered; allow the stream four times their bound.
    const qint64 maxBytes = 4 * static_cast<qint64>(limits::kMaxOleDirectoryEntries) * kEntryBytes;
    QByteArray stream;
    QByteArray fatSector;
    qint64 fatSectorIndex = -1;
    cut = false;
    quint32 s = u32(sectors.header(), 0x30);
    for (qint64 steps = 0; s != kEndOfChain; ++steps) {
        if (!sectors.exists(s))
            break; // a chain leaving the file: what was read is all the library can read too
        if (steps > sectors.count())
            refuse(QStringLiteral("the directory's sector chain loops"));
        if (stream.size() >= maxBytes) {
            cut = true;
            break;
        }
        stream += sectors.sector(s);
        const qint64 index = s / perSector;
        if (index >= static_cast<qint64>(fat.size()) || !sectors.exists(fat[static_cast<size_t>(index)]))
            break;
        if (index != fatSectorIndex) {
            fatSector = sectors.sector(fat[static_cast<size_t>(index)]);
            fatSectorIndex = index;
        }
        s = u32(fatSector, (s % perSector) * 4);
    }
    return stream;
}

// The name as the container library reads it, which later opens the stream by this name: the stated
// length in bytes (at most 64, else no name), up to the first NUL.
QString entryName(const QByteArray &dir, qint64 at)
{
    const int bytes = u16(dir, at + 64);
    if (bytes <= 0 || bytes > 64)
        return {};
    char16_t name[32];
    int length = 0;
    for (; length < (bytes + 1) / 2; ++length) {
        name[length] = u16(dir, at + length * 2);
        if (name[length] == 0)
            break;
    }
    return QString(reinterpret_cast<const QChar *>(name), length);
}

} // namespace

QStringList checkOleDirectory(const FileContent &content)
{
    const Sectors sectors(content);
    bool cut = false;
    const QByteArray dir = directoryStream(sectors, cut);
    const qint64 entries = dir.size() / kEntryBytes;
    if (entries == 0)
        refuse(QStringLiteral("its directory lies outside the file"));

    struct Pending {
        quint32 index;
        int depth;
        quint32 parent; // the storage this entry belongs to; kNoStream for the root
    };
    std::vector<Pending> pending{{0, 0, kNoStream}};
    std::vector<bool> seen(static_cast<size_t>(entries), false);
    std::vector<int> children(static_cast<size_t>(entries), 0);
    QStringList rootChildren;
    int reached = 0;
    const auto tooMany = [] {
        refuse(QStringLiteral("its directory has more than %1 entries").arg(limits::kMaxOleDirectoryEntries));
    };
    while (!pending.empty()) {
        const Pending p = pending.back();
        pending.pop_back();
        if (p.index == kNoStream)
            continue;
        if (p.index >= entries) {
            if (cut)
                tooMany();
            continue; // beyond the directory: the library cannot read it either
        }
        const qint64 at = static_cast<qint64>(p.index) * kEntryBytes;
        const auto type = static_cast<unsigned char>(dir[at + 66]);
        // The library stops at an entry of no known type, its siblings and children unvisited.
        if (type != Storage && type != Stream && type != Root)
            continue;
        if (seen[p.index])
            refuse(QStringLiteral("its directory reaches entry %1 twice").arg(p.index));
        seen[p.index] = true;
        if (++reached > limits::kMaxOleDirectoryEntries)
            tooMany();
        if (p.depth > limits::kMaxOleDirectoryDepth)
            refuse(QStringLiteral("its directory tree is more than %1 links deep").arg(limits::kMaxOleDirectoryDepth));
        if (p.parent != kNoStream && ++children[p.parent] > limits::kMaxOleStorageChildren)
            refuse(QStringLiteral("a storage in its directory holds more than %1 entries")
                       .arg(limits::kMaxOleStorageChildren));
        if (p.parent == 0)
            rootChildren << entryName(dir, at);
        pending.push_back({u32(dir, at + 68), p.depth + 1, p.parent});
        pending.push_back({u32(dir, at + 72), p.depth + 1, p.parent});
        if (type != Stream)
            pending.push_back({u32(dir, at + 76), p.depth + 1, p.index});
    }
    return rootChildren;
}

} // namespace word
