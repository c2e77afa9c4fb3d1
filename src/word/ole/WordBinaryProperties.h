// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/toolkit/ByteReader.h"
#include <QByteArray>
#include <functional>
#include <vector>

namespace word {

class RandomAccessStream;

// Word 97-2003 formatting as the table and WordDocument streams keep it: the style sheet, the 512-byte
// pages of paragraph and character properties, and the property modifiers (sprms) they hold. Shared by
// the readers of list labels and of hidden text; every size comes from the file and is checked against
// the block it points into.
namespace wordbinary {

inline constexpr qint64 kPropertyPageBytes = 512;

// Where the formatting tables lie in the table stream, as the FIB states them (offset and length).
struct Tables {
    qint64 fcStshf = 0, lcbStshf = 0;             // the style sheet
    qint64 fcPlcfBteChpx = 0, lcbPlcfBteChpx = 0; // the character property pages
    qint64 fcPlcfBtePapx = 0, lcbPlcfBtePapx = 0; // the paragraph property pages
    qint64 fcPlfLst = 0, lcbPlfLst = 0;           // the list definitions
    qint64 fcPlfLfo = 0, lcbPlfLfo = 0;           // the list overrides
    // A document defines lists only when it has both list tables; most have none and cost nothing.
    bool hasLists() const { return lcbPlfLst > 2 && lcbPlfLfo > 4; }
};

// Bytes of a table in `s`, lent until the next read of `s`; throws DamagedContent (naming `what`) when
// they are larger than definitions may be or lie outside the stream.
ByteReader tableBytes(const RandomAccessStream &s, qint64 offset, qint64 length, const char *what);

// The size of the operand of a modifier whose operand states its own length (the opcode's top three bits
// are 6); -1 when the operand runs past the end of `r`.
qint64 variableOperandSize(const ByteReader &r, qint64 at, quint16 opcode);

// The size of the operand of the modifier whose operand begins at `at` (its opcode's top three bits say
// how it is stored); -1 when the operand runs past the end of `r`. Kept inline: every modifier of every
// property page asks, and nearly all have a fixed size.
inline qint64 sprmOperandSize(const ByteReader &r, qint64 at, quint16 opcode)
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
        return variableOperandSize(r, at, opcode);
    }
}

// Whether the modifiers in `r` may hold one with this opcode: its two bytes (little-endian) follow one
// another somewhere in them. Most groups hold none of the few modifiers a reader looks for, and looking
// for the bytes is cheaper than walking the modifiers one by one; where they are found, the walk decides.
bool mayHoldOpcode(const ByteReader &r, quint16 opcode);

// Calls `f(opcode, operand)` for each modifier of a group, in order; a modifier cut short ends the group
// (the ones before it still count).
template <typename F> void forEachSprm(const ByteReader &r, F &&f)
{
    for (qint64 at = 0; r.has(at, 2);) {
        const quint16 opcode = r.u16(at);
        const qint64 size = sprmOperandSize(r, at + 2, opcode);
        if (size < 0 || !r.has(at + 2, size))
            return;
        f(opcode, r.sub(at + 2, size));
        at += 2 + size;
    }
}

// A style of the style sheet: its kind (1 paragraph, 2 character, others), the style it is based on (-1:
// none) and its property groups. A paragraph style has its paragraph properties (its own index, then
// modifiers) and then its character modifiers; a character style has its character modifiers only.
struct StyleEntry {
    int kind = 0;
    int base = -1;
    int groups = 0;
    ByteReader group[2]{ByteReader(nullptr, 0), ByteReader(nullptr, 0)};
};

// Throws DamagedContent: a page of `what` (paragraph or character properties) is damaged.
[[noreturn]] void throwDamagedPage(const char *what);

// Calls `f(istd, style)` for each style of the style sheet `stsh` that can be read; returns how many
// styles the sheet states (at most 4095, as a style's index has twelve bits). A style cut short is
// passed over.
int forEachStyle(const ByteReader &stsh, const std::function<void(int, const StyleEntry &)> &f);

// The offsets in the WordDocument stream of the pages of properties that the bin table at `fc`/`lcb` of
// `table` lists, in the order it lists them. Throws DamagedContent (naming `what`) when the table or a
// page lies outside its stream or it lists more pages than a stream of that size holds.
std::vector<qint64> propertyPages(const RandomAccessStream &wordDocument, const RandomAccessStream &table, qint64 fc,
                                  qint64 lcb, const char *what);

// The runs of a page of paragraph properties: calls `f(fcStart, fcEnd, properties)` for each, where
// `properties` is its style's index (two bytes) and its modifiers, or empty when the run has none.
// Throws DamagedContent when the page's run count cannot fit it.
template <typename F> void forEachParagraphRun(const ByteReader &p, F &&f)
{
    const qint64 runs = p.u8(kPropertyPageBytes - 1);
    // The runs' offsets (one more than runs), then 13 bytes for each run, within the page.
    if ((runs + 1) * 4 + runs * 13 > kPropertyPageBytes - 1)
        throwDamagedPage("paragraph properties");
    for (qint64 k = 0; k < runs; ++k) {
        ByteReader properties(nullptr, 0);
        const qint64 at = 2 * qint64(p.u8((runs + 1) * 4 + k * 13));
        if (at > 0 && at < kPropertyPageBytes - 1) {
            // The properties: a size in words (a zero byte says the next byte holds it), the style, the
            // modifiers.
            qint64 size = 2 * qint64(p.u8(at)) - 1;
            qint64 from = at + 1;
            if (size < 0) {
                size = 2 * qint64(p.u8(at + 1));
                from = at + 2;
            }
            if (size >= 2 && p.has(from, size))
                properties = p.sub(from, size);
        }
        f(p.u32(k * 4), p.u32(k * 4 + 4), properties);
    }
}

} // namespace wordbinary
} // namespace word
