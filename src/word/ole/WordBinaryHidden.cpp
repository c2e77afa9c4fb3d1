// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Word 97-2003 hidden text: the style sheet, the character property pages and (only when a paragraph style
// hides text) the paragraph property pages, read only as far as they say which text Word hides.
#include "word/ole/WordBinaryHidden.h"
#include "word/Errors.h"
#include "word/MainText.h"
#include "word/ole/WordBinaryProperties.h"
#include <algorithm>

namespace word {

namespace {

constexpr quint16 kSprmCFVanish = 0x083C; // hidden text: a toggle
constexpr quint16 kSprmCIstd = 0x4A30;    // the run's character style
constexpr quint8 kNoVanish = 0xFF;

// A character toggle's value given the style's (-1: the style says nothing, taken as off): 0 off, 1 on,
// 0x80 as the style has it, 0x81 the style's turned round. Word writes no other values; one that is
// another leaves the style's.
qint8 applyToggle(quint8 operand, qint8 style)
{
    switch (operand) {
    case 0:
    case 1:
        return qint8(operand);
    case 0x81:
        return style == 1 ? 0 : 1;
    default:
        return style;
    }
}

} // namespace

WordBinaryHiddenText::WordBinaryHiddenText(const RandomAccessStream &wordDocument, const RandomAccessStream &table,
                                           const Places &places)
{
    readStyles(table, places);
    readCharacterRuns(wordDocument, table, places);
    if (m_paragraphStyleHides)
        readParagraphRuns(wordDocument, table, places);
}

// Each style's own sprmCFVanish (in a paragraph style's character group, or a character style's only
// group), then the value it ends up with along its base styles.
void WordBinaryHiddenText::readStyles(const RandomAccessStream &table, const Places &places)
{
    const ByteReader stsh = wordbinary::tableBytes(table, places.fcStshf, places.lcbStshf, "styles");
    struct Style {
        int kind = 0;
        int base = -1;
        quint8 vanish = kNoVanish;
    };
    std::vector<Style> sheet;
    bool anyVanish = false;
    const int styles = wordbinary::forEachStyle(stsh, [&](int istd, const wordbinary::StyleEntry &style) {
        const int group = style.kind == 1 ? 1 : style.kind == 2 ? 0 : -1;
        if (group < 0 || style.groups <= group)
            return;
        quint8 vanish = kNoVanish;
        if (wordbinary::mayHoldOpcode(style.group[group], kSprmCFVanish))
            wordbinary::forEachSprm(style.group[group], [&](quint16 opcode, const ByteReader &operand) {
                if (opcode == kSprmCFVanish)
                    vanish = operand.u8(0);
            });
        if (sheet.size() <= size_t(istd))
            sheet.resize(size_t(istd) + 1);
        sheet[size_t(istd)] = {style.kind, style.base, vanish};
        anyVanish = anyVanish || vanish != kNoVanish;
    });
    if (!anyVanish)
        return; // no style hides or shows text: only runs' own settings count
    sheet.resize(size_t(styles));
    m_styleHides.assign(sheet.size(), -1);
    // From each style down to the one it is based on, as far as there are styles (a cycle ends there too),
    // then the settings applied from the farthest base back up.
    std::vector<int> chain;
    for (size_t istd = 0; istd < sheet.size(); ++istd) {
        chain.clear();
        for (int id = int(istd); id >= 0 && chain.size() < sheet.size(); id = sheet[size_t(id)].base)
            chain.push_back(id);
        qint8 value = -1;
        for (auto id = chain.rbegin(); id != chain.rend(); ++id)
            if (sheet[size_t(*id)].vanish != kNoVanish)
                value = applyToggle(sheet[size_t(*id)].vanish, value);
        m_styleHides[istd] = value;
        if (sheet[istd].kind == 1 && value == 1)
            m_paragraphStyleHides = true;
    }
    m_defaultHidden = !m_styleHides.empty() && m_styleHides[0] == 1;
}

// The character property pages: runs of the stream, each with a size and its modifiers (or none).
void WordBinaryHiddenText::readCharacterRuns(const RandomAccessStream &wordDocument, const RandomAccessStream &table,
                                             const Places &places)
{
    if (places.lcbPlcfBteChpx <= 0)
        return;
    constexpr qint64 kPage = wordbinary::kPropertyPageBytes;
    for (const qint64 offset : wordbinary::propertyPages(wordDocument, table, places.fcPlcfBteChpx,
                                                         places.lcbPlcfBteChpx, "character properties")) {
        const ByteReader page = wordDocument.view(offset, kPage);
        const qint64 runs = page.u8(kPage - 1);
        // The runs' offsets (one more than runs), then one byte for each run, within the page.
        if ((runs + 1) * 4 + runs > kPage - 1)
            wordbinary::throwDamagedPage("character properties");
        for (qint64 k = 0; k < runs; ++k) {
            // The properties: a size in bytes, then the modifiers.
            const qint64 at = 2 * qint64(page.u8((runs + 1) * 4 + k));
            if (at == 0 || at >= kPage - 1 || !page.has(at + 1, page.u8(at)))
                continue;
            CharacterRun run;
            int style = -1;
            // A run's style matters only where a style hides or shows text.
            const ByteReader modifiers = page.sub(at + 1, page.u8(at));
            if (wordbinary::mayHoldOpcode(modifiers, kSprmCFVanish)
                || (!m_styleHides.empty() && wordbinary::mayHoldOpcode(modifiers, kSprmCIstd)))
                wordbinary::forEachSprm(modifiers, [&](quint16 opcode, const ByteReader &operand) {
                    if (opcode == kSprmCFVanish)
                        run.vanish = operand.u8(0);
                    else if (opcode == kSprmCIstd)
                        style = operand.u16(0);
                });
            if (style >= 0 && size_t(style) < m_styleHides.size())
                run.styleHides = m_styleHides[size_t(style)];
            if (run.vanish == kNoVanish && run.styleHides < 0)
                continue;
            run.fcStart = page.u32(k * 4);
            run.fcEnd = page.u32(k * 4 + 4);
            if (run.fcEnd > run.fcStart && (m_characterRuns.empty() || run.fcStart >= m_characterRuns.back().fcEnd))
                m_characterRuns.push_back(run);
        }
    }
}

// The paragraph property pages: which paragraphs have a style whose text is hidden otherwise than the
// default style's.
void WordBinaryHiddenText::readParagraphRuns(const RandomAccessStream &wordDocument, const RandomAccessStream &table,
                                             const Places &places)
{
    if (places.lcbPlcfBtePapx <= 0)
        return;
    for (const qint64 offset : wordbinary::propertyPages(wordDocument, table, places.fcPlcfBtePapx,
                                                         places.lcbPlcfBtePapx, "paragraph properties")) {
        wordbinary::forEachParagraphRun(wordDocument.view(offset, wordbinary::kPropertyPageBytes),
                                        [&](quint32 fcStart, quint32 fcEnd, const ByteReader &properties) {
                                            const size_t istd = properties.size() >= 2 ? properties.u16(0) : 0;
                                            const bool hidden = istd < m_styleHides.size() && m_styleHides[istd] == 1;
                                            if (hidden == m_defaultHidden || fcEnd <= fcStart)
                                                return;
                                            if (m_paragraphRuns.empty() || fcStart >= m_paragraphRuns.back().fcEnd)
                                                m_paragraphRuns.push_back({fcStart, fcEnd, hidden});
                                        });
    }
}

// The stretch around `fc` in which neither the paragraph run nor the character run changes.
void WordBinaryHiddenText::locate(qint64 fc)
{
    m_segmentStart = 0;
    m_segmentEnd = std::numeric_limits<qint64>::max();
    const auto within = [&](const auto &runs) -> decltype(&runs[0]) {
        const auto after = std::upper_bound(runs.begin(), runs.end(), fc,
                                            [](qint64 v, const auto &r) { return v < qint64(r.fcStart); });
        if (after != runs.end())
            m_segmentEnd = qMin<qint64>(m_segmentEnd, after->fcStart);
        if (after == runs.begin())
            return nullptr;
        const auto &run = *(after - 1);
        if (fc >= qint64(run.fcEnd)) {
            m_segmentStart = qMax<qint64>(m_segmentStart, run.fcEnd);
            return nullptr;
        }
        m_segmentStart = qMax<qint64>(m_segmentStart, run.fcStart);
        m_segmentEnd = qMin<qint64>(m_segmentEnd, run.fcEnd);
        return &run;
    };
    const ParagraphRun *paragraph = within(m_paragraphRuns);
    const CharacterRun *characters = within(m_characterRuns);
    qint8 style = (paragraph ? paragraph->hidden : m_defaultHidden) ? 1 : 0;
    if (characters && characters->styleHides >= 0)
        style = characters->styleHides;
    m_segmentHidden =
        (characters && characters->vanish != kNoVanish ? applyToggle(characters->vanish, style) : style) == 1;
}

} // namespace word
