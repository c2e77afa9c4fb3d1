// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Word 97-2003 list labels: the list tables, the style sheet and the paragraph property pages, read only as
// far as they say which paragraphs are numbered and how. Every size comes from the file and is checked
// against the stream it points into before anything is read.
#include "word/ole/WordBinaryLists.h"
#include "word/Errors.h"
#include "word/MainText.h"
#include "word/toolkit/ByteReader.h"
#include "word/toolkit/Limits.h"
#include <algorithm>

namespace word {

namespace {

constexpr quint16 kSprmPIlvl = 0x260A;     // the paragraph's list level, one byte
constexpr quint16 kSprmPIlfo = 0x460B;     // the paragraph's list override (1-based), two bytes
constexpr quint16 kSprmCFVanish = 0x083C;  // hidden characters: a level whose number Word does not show
constexpr quint16 kSprmTDefTable = 0xD608; // a table row's cells: a two-byte length
constexpr quint16 kSprmPChgTabs = 0xC615;  // tab stops: a one-byte length, or 255 and two counted lists
constexpr int kLevels = WordListNumbering::kLevels;
constexpr qint64 kFkpBytes = 512;

QByteArray tableBytes(const RandomAccessStream &s, qint64 offset, qint64 length, const char *what)
{
    if (length > limits::kMaxDefinitionPartBytes)
        throw DamagedContent(QStringLiteral("its %1 are larger than allowed").arg(QLatin1String(what)));
    if (offset < 0 || length < 0 || offset > s.size() || length > s.size() - offset)
        throw DamagedContent(QStringLiteral("its %1 lie outside their stream").arg(QLatin1String(what)));
    return length == 0 ? QByteArray() : s.read(offset, length);
}

// The size of a property modifier's operand (its opcode's top three bits say how it is stored); -1 when
// the operand runs past the end of `r`.
qint64 operandSize(const ByteReader &r, qint64 at, quint16 opcode)
{
    switch (opcode >> 13) {
    case 0:
    case 1:
        return 1;
    case 2:
    case 4:
    case 5:
        return 2;
    case 3:
        return 4;
    case 7:
        return 3;
    default:
        break;
    }
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

// The list override and level that a group of property modifiers sets, and whether it hides the text. A
// modifier cut short ends the group: the ones before it still count.
struct Modifiers {
    std::optional<int> ilfo;
    std::optional<int> ilvl;
    bool hidden = false;
};

Modifiers modifiersOf(const ByteReader &r)
{
    Modifiers m;
    for (qint64 at = 0; r.has(at, 2);) {
        const quint16 opcode = r.u16(at);
        const qint64 size = operandSize(r, at + 2, opcode);
        if (size < 0 || !r.has(at + 2, size))
            break;
        if (opcode == kSprmPIlfo)
            m.ilfo = static_cast<qint16>(r.u16(at + 2));
        else if (opcode == kSprmPIlvl)
            m.ilvl = qMin<int>(r.u8(at + 2), kLevels - 1);
        else if (opcode == kSprmCFVanish)
            m.hidden = (r.u8(at + 2) & 1) != 0;
        at += 2 + size;
    }
    return m;
}

// One level (an LVL: its fixed part, two groups of modifiers, then the number text) at `at`; returns where
// the next one begins, or nothing when the level runs past the end of `r`.
std::optional<qint64> readLevel(const ByteReader &r, qint64 at, WordListNumbering::Level &level)
{
    if (!r.has(at, 28))
        return std::nullopt;
    const quint8 flags = r.u8(at + 5);
    const qint64 paragraphModifiers = r.u8(at + 25);
    const qint64 characterModifiers = r.u8(at + 24);
    qint64 next = at + 28 + paragraphModifiers;
    if (!r.has(next, characterModifiers + 2))
        return std::nullopt;
    const bool hidden = modifiersOf(r.sub(next, characterModifiers)).hidden;
    next += characterModifiers;
    const qint64 chars = r.u16(next);
    next += 2;
    if (!r.has(next, chars * 2))
        return std::nullopt;
    level.start = static_cast<qint32>(r.u32(at));
    level.format = listFormatFromCode(r.u8(at + 4));
    level.legal = (flags & 0x04) != 0;
    level.restartAfter = (flags & 0x08) ? -2 : -1;
    // The number text: characters 0 to 8 stand for the numbers of those levels; the counter writes them as
    // %1 to %9, as OOXML does. A level Word hides shows no label.
    level.text.clear();
    for (qint64 i = 0; i < chars && !hidden; ++i) {
        const char16_t c = r.u16(next + 2 * i);
        if (c < kLevels)
            level.text += QLatin1Char('%') + QChar(u'1' + c);
        else
            level.text += QChar(c);
    }
    if (hidden)
        level.format = ListNumberFormat::None;
    return next + chars * 2;
}

// The override a paragraph or style names: 1 to 2046 index PlfLfo; 0 takes away the numbering a style
// gives, and so do the values Word 97 keeps for numbering converted from Word 6 and 95 (2047, and the
// negative ones), which it no longer shows as a list.
std::optional<int> listOverride(std::optional<int> ilfo)
{
    if (!ilfo)
        return std::nullopt;
    return *ilfo >= 1 && *ilfo < 2047 ? *ilfo : 0;
}

} // namespace

WordBinaryLists::WordBinaryLists(const RandomAccessStream &wordDocument, const RandomAccessStream &table,
                                 const Places &places)
{
    readLists(table, places);
    readOverrides(table, places);
    readStyles(table, places);
    readParagraphs(wordDocument, table, places);
}

// PlfLst: a count, then 28 bytes for each list (its id, and whether it has one level or nine); the levels
// of all lists follow the table, in the same order.
void WordBinaryLists::readLists(const RandomAccessStream &table, const Places &places)
{
    const QByteArray lst = tableBytes(table, places.fcPlfLst, places.lcbPlfLst, "list definitions");
    const ByteReader r(lst);
    const qint64 lists = r.has(0, 2) ? qint64(static_cast<qint16>(r.u16(0))) : 0;
    if (lists < 0 || !r.has(2, lists * 28))
        throw DamagedContent(QStringLiteral("its list definitions are cut short"));
    // The levels are not counted in the table's stated length: they run on after it, to where nothing
    // says. A window that real levels (about a hundred bytes each) fill is read, and doubled while a level
    // runs past it, up to the end of the stream or the bound on definitions.
    const qint64 levelsAt = places.fcPlfLst + places.lcbPlfLst;
    const qint64 available = qBound<qint64>(0, table.size() - levelsAt, limits::kMaxDefinitionPartBytes);
    qint64 window = qMin(available, qMax<qint64>(4096, lists * kLevels * 128));
    QByteArray levelBytes = tableBytes(table, levelsAt, window, "list definitions");
    qint64 at = 0;
    m_listIds.reserve(size_t(lists));
    for (qint64 i = 0; i < lists; ++i) {
        const qint64 lstf = 2 + i * 28;
        m_listIds.push_back(static_cast<qint32>(r.u32(lstf)));
        const int count = (r.u8(lstf + 26) & 0x01) ? 1 : kLevels; // fSimpleList
        for (int l = 0; l < count;) {
            if (const auto next = readLevel(ByteReader(levelBytes), at, m_numbering.abstractLevel(int(i), l))) {
                at = *next;
                ++l;
                continue;
            }
            if (window >= available)
                throw DamagedContent(QStringLiteral("its list definitions are cut short"));
            window = qMin(available, window * 2);
            levelBytes = tableBytes(table, levelsAt, window, "list definitions");
        }
    }
}

// PlfLfo: a count, 16 bytes for each override (the list it applies), then for each its level overrides: a
// new start, a whole new level, or both.
void WordBinaryLists::readOverrides(const RandomAccessStream &table, const Places &places)
{
    const QByteArray lfo = tableBytes(table, places.fcPlfLfo, places.lcbPlfLfo, "list overrides");
    const ByteReader r(lfo);
    const qint64 overrides = r.has(0, 4) ? qint64(static_cast<qint32>(r.u32(0))) : 0;
    if (overrides < 0 || !r.has(4, overrides * 16))
        throw DamagedContent(QStringLiteral("its list overrides are cut short"));
    qint64 at = 4 + overrides * 16;
    // Paragraphs name overrides 1 to 2046 (higher values mean something else): later ones are never used.
    for (qint64 i = 0; i < qMin<qint64>(overrides, 2046); ++i) {
        const qint64 entry = 4 + i * 16;
        const auto list = std::find(m_listIds.begin(), m_listIds.end(), static_cast<qint32>(r.u32(entry)));
        const int ilfo = int(i + 1);
        m_numbering.setNumAbstract(ilfo, list == m_listIds.end() ? -1 : int(list - m_listIds.begin()));
        const int levelOverrides = r.u8(entry + 12);
        // Each override's data: a character position Word no longer uses, then one entry per level.
        at += 4;
        for (int k = 0; k < levelOverrides; ++k) {
            if (!r.has(at, 8))
                throw DamagedContent(QStringLiteral("its list overrides are cut short"));
            const qint32 start = static_cast<qint32>(r.u32(at));
            const quint32 flags = r.u32(at + 4);
            const int level = int(flags & 0x0F) % kLevels;
            at += 8;
            if (flags & 0x20) { // fFormatting: a whole level follows, with its own start
                const auto next = readLevel(r, at, m_numbering.levelOverride(ilfo, level));
                if (!next)
                    throw DamagedContent(QStringLiteral("its list overrides are cut short"));
                at = *next;
            }
            if (flags & 0x10) // fStartAt
                m_numbering.setStartOverride(ilfo, level, start);
        }
    }
}

// The style sheet: a paragraph style may number its paragraphs (headings, list styles), and a style takes
// what its base style says unless it says otherwise. Only the styles that end up numbering are handed to
// the numbering, so that the many paragraphs of the others are passed over at once.
void WordBinaryLists::readStyles(const RandomAccessStream &table, const Places &places)
{
    m_numbering.setDefaultParagraphStyle(QStringLiteral("0")); // Normal
    const QByteArray stsh = tableBytes(table, places.fcStshf, places.lcbStshf, "styles");
    const ByteReader r(stsh);
    if (!r.has(0, 6))
        return; // no style sheet: paragraphs number themselves or not at all
    const qint64 header = r.u16(0);
    const int styles = qMin<int>(r.u16(2), 0x0FFF); // a style's index has twelve bits
    const qint64 baseSize = r.u16(4);
    struct Style {
        int base = -1;
        Modifiers numbering;
    };
    std::vector<Style> sheet(static_cast<size_t>(styles));
    qint64 at = 2 + header;
    for (int istd = 0; istd < styles && r.has(at, 2); ++istd) {
        const qint64 size = r.u16(at);
        const qint64 std = at + 2;
        at = std + size;
        if (size == 0 || !r.has(std, size) || baseSize < 10 || baseSize > size)
            continue;
        const ByteReader s = r.sub(std, size);
        if ((s.u16(2) & 0x0F) != 1) // only paragraph styles number paragraphs
            continue;
        const int base = s.u16(2) >> 4;
        sheet[size_t(istd)].base = base < styles ? base : -1;
        // The name (a count, the characters, a terminating zero), then the paragraph properties at the
        // next even offset: their length, the style's index again, the modifiers.
        if (!s.has(baseSize, 2))
            continue;
        qint64 upx = baseSize + 2 + (qint64(s.u16(baseSize)) + 1) * 2;
        upx += upx & 1;
        if (!s.has(upx, 4))
            continue;
        const qint64 upxSize = s.u16(upx);
        if (upxSize < 2 || !s.has(upx + 2, upxSize))
            continue;
        sheet[size_t(istd)].numbering = modifiersOf(s.sub(upx + 4, upxSize - 2));
    }
    m_styleNumbers.assign(size_t(styles), false);
    for (int istd = 0; istd < styles; ++istd) {
        std::optional<int> ilfo, ilvl;
        // Along the base styles, as far as there are styles (a cycle ends there too).
        for (int id = istd, hops = 0; id >= 0 && hops < styles && (!ilfo || !ilvl);
             id = sheet[size_t(id)].base, ++hops) {
            ilfo = ilfo ? ilfo : sheet[size_t(id)].numbering.ilfo;
            ilvl = ilvl ? ilvl : sheet[size_t(id)].numbering.ilvl;
        }
        if (listOverride(ilfo).value_or(0) > 0) {
            m_styleNumbers[size_t(istd)] = true;
            m_numbering.setStyleNumbering(QString::number(istd), listOverride(ilfo), ilvl);
        }
    }
}

// PlcfBtePapx lists the 512-byte pages of paragraph properties in stream order; each page holds runs of
// paragraphs (their stream offsets) and, for each, the style and the modifiers that apply.
void WordBinaryLists::readParagraphs(const RandomAccessStream &wordDocument, const RandomAccessStream &table,
                                     const Places &places)
{
    const QByteArray plc = tableBytes(table, places.fcPlcfBtePapx, places.lcbPlcfBtePapx, "paragraph properties");
    if (plc.size() < 4 || (plc.size() - 4) % 8 != 0)
        throw DamagedContent(QStringLiteral("its paragraph properties have a wrong size"));
    const qint64 pages = (plc.size() - 4) / 8;
    // No page can be listed twice in a real document: more entries than the stream has pages is damage,
    // and the bound keeps the work in proportion to the file.
    if (pages > wordDocument.size() / kFkpBytes)
        throw DamagedContent(QStringLiteral("its paragraph properties list more pages than it has"));
    // The pages are read whole, like the other definitions and within the same bound: 32,768 pages hold
    // the properties of several hundred thousand paragraphs.
    if (pages > limits::kMaxDefinitionPartBytes / kFkpBytes)
        throw DamagedContent(QStringLiteral("its paragraph properties are larger than allowed"));
    const ByteReader index(plc);
    for (qint64 i = 0; i < pages; ++i) {
        const qint64 pn = index.u32((pages + 1) * 4 + i * 4) & 0x3FFFFF;
        const qint64 offset = pn * kFkpBytes;
        if (offset > wordDocument.size() - kFkpBytes)
            throw DamagedContent(QStringLiteral("its paragraph properties lie outside the WordDocument stream"));
        const QByteArray page = wordDocument.read(offset, kFkpBytes);
        const ByteReader p(page);
        const qint64 runs = p.u8(kFkpBytes - 1);
        // The runs' offsets (one more than runs), then 13 bytes for each run, within the page.
        if ((runs + 1) * 4 + runs * 13 > kFkpBytes - 1)
            throw DamagedContent(QStringLiteral("its paragraph properties are damaged"));
        for (qint64 k = 0; k < runs; ++k) {
            Run run;
            run.fcStart = p.u32(k * 4);
            run.fcEnd = p.u32(k * 4 + 4);
            const qint64 at = 2 * qint64(p.u8((runs + 1) * 4 + k * 13));
            if (at > 0 && at < kFkpBytes - 1) {
                // The properties: a size in words (a zero byte says the next byte holds it), the style, the
                // modifiers.
                qint64 size = 2 * qint64(p.u8(at)) - 1;
                qint64 from = at + 1;
                if (size < 0) {
                    size = 2 * qint64(p.u8(at + 1));
                    from = at + 2;
                }
                if (size >= 2 && p.has(from, size)) {
                    run.istd = p.u16(from);
                    const Modifiers m = modifiersOf(p.sub(from + 2, size - 2));
                    run.ilfo = static_cast<qint16>(m.ilfo.value_or(0));
                    run.hasIlfo = m.ilfo.has_value();
                    run.ilvl = static_cast<qint8>(m.ilvl.value_or(0));
                    run.hasIlvl = m.ilvl.has_value();
                }
            }
            if (run.fcEnd > run.fcStart && (m_runs.empty() || run.fcStart >= m_runs.back().fcEnd))
                m_runs.push_back(run);
        }
    }
}

QString WordBinaryLists::labelOfParagraphEndingAt(qint64 fc)
{
    const auto after =
        std::upper_bound(m_runs.cbegin(), m_runs.cend(), fc, [](qint64 v, const Run &r) { return v < r.fcStart; });
    if (after == m_runs.cbegin())
        return QString();
    const Run &run = *(after - 1);
    if (fc >= run.fcEnd)
        return QString();
    // Most paragraphs are numbered neither by themselves nor by their style.
    const std::optional<int> ilfo = listOverride(run.hasIlfo ? std::optional<int>(run.ilfo) : std::nullopt);
    const bool styleNumbers = run.istd < m_styleNumbers.size() && m_styleNumbers[run.istd];
    if (ilfo ? *ilfo == 0 : !styleNumbers)
        return QString();
    return m_numbering.nextLabel(QString::number(run.istd), ilfo,
                                 run.hasIlvl ? std::optional<int>(run.ilvl) : std::nullopt);
}

} // namespace word
