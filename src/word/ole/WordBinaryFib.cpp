// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/ole/WordBinaryFib.h"
#include "word/Errors.h"
#include "word/toolkit/ByteReader.h"
#include "word/toolkit/Limits.h"

namespace word {

quint32 fibU32(const QByteArray &b, qint64 at)
{
    const ByteReader r(b);
    if (!r.has(at, 4))
        throw DamagedContent(QStringLiteral("its file information block is cut short"));
    return r.u32(at);
}

quint16 fibU16(const QByteArray &b, qint64 at)
{
    const ByteReader r(b);
    if (!r.has(at, 2))
        throw DamagedContent(QStringLiteral("its file information block is cut short"));
    return r.u16(at);
}

QByteArray streamRange(const RandomAccessStream &stream, qint64 offset, qint64 length, const QString &what)
{
    if (offset < 0 || length < 0 || offset > stream.size() || length > stream.size() - offset)
        throw DamagedContent(what);
    return length == 0 ? QByteArray() : stream.read(offset, length);
}

quint32 fibU32(const RandomAccessStream &s, qint64 at)
{
    return fibU32(streamRange(s, at, 4, QStringLiteral("its file information block is cut short")), 0);
}

quint16 fibU16(const RandomAccessStream &s, qint64 at)
{
    return fibU16(streamRange(s, at, 2, QStringLiteral("its file information block is cut short")), 0);
}

namespace {

// The fields of the FIB, read from the stream's first bytes taken at once: a Word 97-2003 FIB is under
// 2 KB. A field beyond them (in a header that states more fields than Word writes), or any field when
// those bytes cannot all be read, is read by itself.
class FibFields {
public:
    explicit FibFields(const RandomAccessStream &wd) : m_wd(wd)
    {
        try {
            m_head = wd.read(0, qMin<qint64>(wd.size(), 4096));
        } catch (const DamagedContent &) {
        }
    }
    quint16 u16(qint64 at) const
    {
        const ByteReader r(m_head);
        return r.has(at, 2) ? r.u16(at) : fibU16(m_wd, at);
    }
    quint32 u32(qint64 at) const
    {
        const ByteReader r(m_head);
        return r.has(at, 4) ? r.u32(at) : fibU32(m_wd, at);
    }

private:
    const RandomAccessStream &m_wd;
    QByteArray m_head;
};

// The text box story, from the lengths of the stories before it (footnotes, headers, macros, comments,
// endnotes) that follow ccpText at `at`; none when a length is impossible.
CpRange textBoxStory(const FibFields &wd, qint64 at)
{
    qint64 from = static_cast<qint32>(wd.u32(at - 4)); // ccpText
    for (int k = 0; k < 5; ++k) {
        const qint64 n = static_cast<qint32>(wd.u32(at + 4 * k));
        if (n < 0 || n > limits::kMaxCountedChars || from < 0 || from > limits::kMaxCountedChars)
            return {};
        from += n;
    }
    const qint64 length = static_cast<qint32>(wd.u32(at + 20));
    if (length <= 0 || length > limits::kMaxCountedChars)
        return {};
    return {from, length};
}

// Word 6 and 95 write their text in the code page of the Windows (or the Mac) they run on; the header
// names only the language of that Word (lid) and whether the text is the Mac's (chse 256). Word 97 and
// later write Unicode or Windows-1252 whatever the language.
int word6CodePage(quint16 lid, quint16 chse)
{
    if (chse == 256)
        return 10000;       // Mac Roman
    switch (lid & 0x03FF) { // the primary language
    case 0x04:              // Chinese: Simplified in China and Singapore, Traditional elsewhere
        return (lid == 0x0804 || lid == 0x1004) ? 936 : 950;
    case 0x11:
        return 932; // Japanese
    case 0x12:
        return 949; // Korean
    case 0x19:
    case 0x22:
    case 0x23:
    case 0x02:
    case 0x2F:
        return 1251; // Russian, Ukrainian, Belarusian, Bulgarian, Macedonian
    case 0x05:
    case 0x15:
    case 0x0E:
    case 0x1B:
    case 0x24:
    case 0x18:
        return 1250; // Czech, Polish, Hungarian, Slovak, Slovenian, Romanian
    case 0x08:
        return 1253; // Greek
    case 0x1F:
        return 1254; // Turkish
    case 0x0D:
        return 1255; // Hebrew
    case 0x01:
        return 1256; // Arabic
    case 0x25:
    case 0x26:
    case 0x27:
        return 1257; // Estonian, Latvian, Lithuanian
    case 0x1E:
        return 874; // Thai
    default:
        return 1252;
    }
}

} // namespace

FibFacts readFib(const RandomAccessStream &stream)
{
    const FibFields wd(stream);
    const quint16 ident = wd.u16(0);
    if (ident != 0xA5EC && ident != 0xA5DC)
        throw DamagedContent(QStringLiteral("its WordDocument stream does not begin with a Word header"));
    const quint16 nFib = wd.u16(2);
    const quint16 flags = wd.u16(0x0A);
    if (flags & 0x0100)
        throw DamagedContent(QStringLiteral("its text is encrypted"));
    FibFacts f;
    f.complex = flags & 0x0004;
    f.table1 = flags & 0x0200;
    f.word97 = nFib >= 193;
    if (f.word97) {
        // FibBase (32 bytes), then three counted arrays: 16-bit, 32-bit, and fc/lcb pairs.
        const qint64 csw = wd.u16(32);
        const qint64 lwAt = 34 + csw * 2;
        const qint64 cslw = wd.u16(lwAt);
        if (cslw < 4)
            throw DamagedContent(QStringLiteral("its file information block has no text length"));
        f.ccpText = static_cast<qint32>(wd.u32(lwAt + 2 + 3 * 4));
        if (cslw >= 10)
            f.textBoxes = textBoxStory(wd, lwAt + 2 + 4 * 4);
        const qint64 pairsAt = lwAt + 2 + cslw * 4;
        const qint64 pairs = wd.u16(pairsAt);
        if (pairs <= 33)
            throw DamagedContent(QStringLiteral("its file information block has no piece table"));
        f.fcClx = wd.u32(pairsAt + 2 + 33 * 8);
        f.lcbClx = wd.u32(pairsAt + 2 + 33 * 8 + 4);
        // The style sheet (pair 1), the character and paragraph property pages (12, 13) and the list tables
        // (73 and 74); a header too short for the list tables comes from a writer that keeps no lists.
        const auto pair = [&](int k, qint64 &fc, qint64 &lcb) {
            if (k < pairs) {
                fc = wd.u32(pairsAt + 2 + k * 8);
                lcb = wd.u32(pairsAt + 2 + k * 8 + 4);
            }
        };
        pair(1, f.tables.fcStshf, f.tables.lcbStshf);
        pair(12, f.tables.fcPlcfBteChpx, f.tables.lcbPlcfBteChpx);
        pair(13, f.tables.fcPlcfBtePapx, f.tables.lcbPlcfBtePapx);
        pair(73, f.tables.fcPlfLst, f.tables.lcbPlfLst);
        pair(74, f.tables.fcPlfLfo, f.tables.lcbPlfLfo);
    } else {
        // Word 6 and 95 (nFib 101 to 105): one fixed block; the fc/lcb pairs begin at 0x58, the CLX is the
        // 34th. Word 2 and older kept no compound file: a lower nFib is another layout, not to be guessed at.
        if (nFib < 101)
            throw DamagedContent(QStringLiteral("its Word header is older than Word 6 (nFib %1)").arg(nFib));
        f.codePage = word6CodePage(wd.u16(6), wd.u16(0x14));
        f.fcMin = wd.u32(0x18);
        f.ccpText = static_cast<qint32>(wd.u32(0x34));
        f.textBoxes = textBoxStory(wd, 0x38);
        f.fcClx = wd.u32(0x160);
        f.lcbClx = wd.u32(0x164);
    }
    if (f.ccpText < 0 || f.ccpText > limits::kMaxCountedChars)
        throw DamagedContent(QStringLiteral("its main text states an impossible length"));
    return f;
}

} // namespace word
