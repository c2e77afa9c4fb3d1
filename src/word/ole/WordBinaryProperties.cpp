// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/ole/WordBinaryProperties.h"
#include "word/Errors.h"
#include "word/MainText.h"
#include "word/toolkit/Limits.h"
#include <cstring>

namespace word::wordbinary {

namespace {

constexpr quint16 kSprmTDefTable = 0xD608; // a table row's cells: a two-byte length
constexpr quint16 kSprmPChgTabs = 0xC615;  // tab stops: a one-byte length, or 255 and two counted lists

} // namespace

ByteReader tableBytes(const RandomAccessStream &s, qint64 offset, qint64 length, const char *what)
{
    if (length > limits::kMaxDefinitionPartBytes)
        throw DamagedContent(QStringLiteral("its %1 are larger than allowed").arg(QLatin1String(what)));
    if (offset < 0 || length < 0 || offset > s.size() || length > s.size() - offset)
        throw DamagedContent(QStringLiteral("its %1 lie outside their stream").arg(QLatin1String(what)));
    return length == 0 ? ByteReader(nullptr, 0) : s.view(offset, length);
}

qint64 variableOperandSize(const ByteReader &r, qint64 at, quint16 opcode)
{
    if (opcode == kSprmTDefTable)
        return r.has(at, 2) ? qint64(r.u16(at)) + 1 : -1;
    if (!r.has(at, 1))
        return -1;
    const qint64 cb = r.u8(at);
    if (opcode != kSprmPChgTabs || cb != 255)
        return 1 + cb;
    // 255: tabs deleted (a count, then four bytes each), then tabs added (a count, then three bytes each).
    if (!r.has(at + 1, 1))
        return -1;
    const qint64 added = at + 2 + 4 * qint64(r.u8(at + 1));
    return r.has(added, 1) ? added + 1 + 3 * qint64(r.u8(added)) - at : -1;
}

bool mayHoldOpcode(const ByteReader &r, quint16 opcode)
{
    if (r.size() < 2)
        return false;
    const auto high = static_cast<unsigned char>(opcode >> 8);
    const char *p = r.at(0);
    const char *last = p + r.size() - 1; // a low byte here or later has no high byte after it
    for (; p < last; ++p) {
        p = static_cast<const char *>(std::memchr(p, opcode & 0xFF, size_t(last - p)));
        if (!p)
            return false;
        if (static_cast<unsigned char>(p[1]) == high)
            return true;
    }
    return false;
}

int forEachStyle(const ByteReader &r, const std::function<void(int, const StyleEntry &)> &f)
{
    if (!r.has(0, 6))
        return 0;
    const qint64 header = r.u16(0);
    const int styles = qMin<int>(r.u16(2), 0x0FFF);
    const qint64 baseSize = r.u16(4);
    qint64 at = 2 + header;
    for (int istd = 0; istd < styles && r.has(at, 2); ++istd) {
        const qint64 size = r.u16(at);
        const qint64 std = at + 2;
        at = std + size;
        if (size == 0 || !r.has(std, size) || baseSize < 10 || baseSize > size)
            continue;
        const ByteReader s = r.sub(std, size);
        StyleEntry entry;
        entry.kind = s.u16(2) & 0x0F;
        const int base = s.u16(2) >> 4;
        entry.base = base < styles ? base : -1;
        // The name (a count, the characters, a terminating zero), then the property groups, each at an even
        // offset: a length, then its bytes.
        if (!s.has(baseSize, 2))
            continue;
        qint64 upx = baseSize + 2 + (qint64(s.u16(baseSize)) + 1) * 2;
        // A paragraph style's first group was read whatever count the style states; the count says whether
        // its character group follows.
        const int stated = qMin(s.u16(4) & 0x0F, 2);
        const int groups = entry.kind == 1 ? qMax(stated, 1) : stated;
        for (int g = 0; g < groups; ++g) {
            upx += upx & 1;
            if (!s.has(upx, 2))
                break;
            const qint64 upxSize = s.u16(upx);
            if (!s.has(upx + 2, upxSize))
                break;
            entry.group[g] = s.sub(upx + 2, upxSize);
            entry.groups = g + 1;
            upx += 2 + upxSize;
        }
        f(istd, entry);
    }
    return styles;
}

std::vector<qint64> propertyPages(const RandomAccessStream &wordDocument, const RandomAccessStream &table, qint64 fc,
                                  qint64 lcb, const char *what)
{
    const QString name = QLatin1String(what);
    const ByteReader index = tableBytes(table, fc, lcb, what);
    if (index.size() < 4 || (index.size() - 4) % 8 != 0)
        throw DamagedContent(QStringLiteral("its %1 have a wrong size").arg(name));
    const qint64 pages = (index.size() - 4) / 8;
    // No page can be listed twice in a real document: more entries than the stream has pages is damage,
    // and the bound keeps the work in proportion to the file.
    if (pages > wordDocument.size() / kPropertyPageBytes)
        throw DamagedContent(QStringLiteral("its %1 list more pages than it has").arg(name));
    // The pages are read whole, like the other definitions and within the same bound: 32,768 pages hold
    // the properties of several hundred thousand paragraphs or runs.
    if (pages > limits::kMaxDefinitionPartBytes / kPropertyPageBytes)
        throw DamagedContent(QStringLiteral("its %1 are larger than allowed").arg(name));
    std::vector<qint64> offsets;
    offsets.reserve(size_t(pages));
    for (qint64 i = 0; i < pages; ++i) {
        const qint64 offset = (index.u32((pages + 1) * 4 + i * 4) & 0x3FFFFF) * kPropertyPageBytes;
        if (offset > wordDocument.size() - kPropertyPageBytes)
            throw DamagedContent(QStringLiteral("its %1 lie outside the WordDocument stream").arg(name));
        offsets.push_back(offset);
    }
    return offsets;
}

void throwDamagedPage(const char *what)
{
    throw DamagedContent(QStringLiteral("its %1 are damaged").arg(QLatin1String(what)));
}

} // namespace word::wordbinary
