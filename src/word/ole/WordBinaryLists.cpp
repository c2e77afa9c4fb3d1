// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Word 97-2003 list labels: the list tables, the style sheet and the paragraph property pages, read only as
// far as they say which paragraphs are numbered and how. Every size comes from the file and is checked
// against the stream it points into before anything is read.
#include "word/ole/WordBinaryLists.h"
#include "word/Errors.h"
#include "word/MainText.h"
#include "word/ole/WordBinaryProperties.h"
#include "word/toolkit/ByteReader.h"
#include "word/toolkit/Limits.h"
#include <QVarLengthArray>
#include <algorithm>

namespace word {

namespace {

constexpr quint16 kSprmPIlvl = 0x260A;    // the paragraph's list level, one byte
constexpr quint16 kSprmPIlfo = 0x460B;    // the paragraph's list override (1-based), two bytes
constexpr quint16 kSprmCFVanish = 0x083C; // hidden characters: a level whose number Word does not show
constexpr int kLevels = WordListNumbering::kLevels;

using wordbinary::tableBytes;

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
    wordbinary::forEachSprm(r, [&](quint16 opcode, const ByteReader &operand) {
        if (opcode == kSprmPIlfo)
            m.ilfo = static_cast<qint16>(operand.u16(0));
        else if (opcode == kSprmPIlvl)
            m.ilvl = qMin<int>(operand.u8(0), kLevels - 1);
        else if (opcode == kSprmCFVanish)
            m.hidden = (operand.u8(0) & 1) != 0;
    });
    return m;
}

// The list override and level of a paragraph's or paragraph style's modifiers; most name neither.
Modifiers numberingOf(const ByteReader &r)
{
    return wordbinary::mayHoldOpcode(r, kSprmPIlfo) || wordbinary::mayHoldOpcode(r, kSprmPIlvl) ? modifiersOf(r)
                                                                                                : Modifiers();
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
    const ByteReader characterGroup = r.sub(next, characterModifiers);
    const bool hidden = wordbinary::mayHoldOpcode(characterGroup, kSprmCFVanish) && modifiersOf(characterGroup).hidden;
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
    QVarLengthArray<char16_t, 64> text;
    for (qint64 i = 0; i < chars && !hidden; ++i) {
        const char16_t c = r.u16(next + 2 * i);
        if (c < kLevels) {
            text.append(u'%');
            text.append(char16_t(u'1' + c));
        } else {
            text.append(c);
        }
    }
    level.text = QString(reinterpret_cast<const QChar *>(text.constData()), text.size());
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
    // A copy: the levels that follow are read from the same stream while the table is still used.
    const ByteReader lent = tableBytes(table, places.fcPlfLst, places.lcbPlfLst, "list definitions");
    const QByteArray lst(lent.at(0), lent.size());
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
    ByteReader levelBytes = tableBytes(table, levelsAt, window, "list definitions");
    qint64 at = 0;
    m_listIds.reserve(size_t(lists));
    for (qint64 i = 0; i < lists; ++i) {
        const qint64 lstf = 2 + i * 28;
        m_listIds.push_back(static_cast<qint32>(r.u32(lstf)));
        const int count = (r.u8(lstf + 26) & 0x01) ? 1 : kLevels; // fSimpleList
        for (int l = 0; l < count;) {
            if (const auto next = readLevel(levelBytes, at, m_numbering.abstractLevel(int(i), l))) {
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
    const ByteReader r = tableBytes(table, places.fcPlfLfo, places.lcbPlfLfo, "list overrides");
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
    const ByteReader stsh = tableBytes(table, places.fcStshf, places.lcbStshf, "styles");
    struct Style {
        int base = -1;
        Modifiers numbering;
    };
    std::vector<Style> sheet;
    // No style sheet: paragraphs number themselves or not at all.
    const int styles = wordbinary::forEachStyle(stsh, [&](int istd, const wordbinary::StyleEntry &style) {
        if (style.kind != 1) // only paragraph styles number paragraphs
            return;
        if (sheet.size() <= size_t(istd))
            sheet.resize(size_t(istd) + 1);
        sheet[size_t(istd)].base = style.base;
        // The paragraph properties: the style's index again, then the modifiers.
        if (style.groups > 0 && style.group[0].size() >= 2)
            sheet[size_t(istd)].numbering = numberingOf(style.group[0].sub(2, style.group[0].size() - 2));
    });
    sheet.resize(size_t(styles));
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
    for (const qint64 offset : wordbinary::propertyPages(wordDocument, table, places.fcPlcfBtePapx,
                                                         places.lcbPlcfBtePapx, "paragraph properties")) {
        wordbinary::forEachParagraphRun(
            wordDocument.view(offset, wordbinary::kPropertyPageBytes),
            [&](quint32 fcStart, quint32 fcEnd, const ByteReader &properties) {
                Run run;
                run.fcStart = fcStart;
                run.fcEnd = fcEnd;
                if (properties.size() >= 2) {
                    run.istd = properties.u16(0);
                    const Modifiers m = numberingOf(properties.sub(2, properties.size() - 2));
                    run.ilfo = static_cast<qint16>(m.ilfo.value_or(0));
                    run.hasIlfo = m.ilfo.has_value();
                    run.ilvl = static_cast<qint8>(m.ilvl.value_or(0));
                    run.hasIlvl = m.ilvl.has_value();
                }
                if (run.fcEnd > run.fcStart && (m_runs.empty() || run.fcStart >= m_runs.back().fcEnd))
                    m_runs.push_back(run);
            });
    }
}

QString WordBinaryLists::labelOfParagraphEndingAt(qint64 fc)
{
    // The last run that begins at or before `fc`. Paragraphs come in the order of the stream, so it is
    // nearly always the run of the paragraph before or one of the next few; otherwise it is searched for.
    size_t at = m_lastRun;
    constexpr int kSteps = 8;
    int steps = 0;
    if (at < m_runs.size() && m_runs[at].fcStart <= fc) {
        while (steps < kSteps && at + 1 < m_runs.size() && m_runs[at + 1].fcStart <= fc) {
            ++at;
            ++steps;
        }
    } else {
        steps = kSteps;
    }
    if (steps == kSteps) {
        const auto after =
            std::upper_bound(m_runs.cbegin(), m_runs.cend(), fc, [](qint64 v, const Run &r) { return v < r.fcStart; });
        if (after == m_runs.cbegin())
            return QString();
        at = size_t(after - m_runs.cbegin() - 1);
    }
    m_lastRun = at;
    const Run &run = m_runs[at];
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
