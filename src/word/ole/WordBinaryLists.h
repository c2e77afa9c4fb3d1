// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/WordListNumbering.h"
#include "word/ole/WordBinaryProperties.h"
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace word {

class RandomAccessStream;

// The list numbers and bullets ("1.", "a)", "•") that Word 97 to 2003 generate in front of numbered
// paragraphs. Word stores its counts with these labels included, but a binary document keeps only the
// recipe: the list definitions (PlfLst and the levels after it), the list overrides a paragraph names
// (PlfLfo), the style sheet (a style may number its paragraphs, as headings do) and each paragraph's
// properties (the PAPX pages that PlcfBtePapx lists), which give its list (ilfo) and level (ilvl).
class WordBinaryLists {
public:
    using Places = wordbinary::Tables;

    // Reads the definitions and the paragraphs' properties; throws DamagedContent when a table lies
    // outside its stream or states impossible sizes.
    WordBinaryLists(const RandomAccessStream &wordDocument, const RandomAccessStream &table, const Places &places);

    // The label of the paragraph whose mark lies at byte `fc` of the WordDocument stream (empty when it is
    // not numbered). Paragraphs are asked in document order: this advances the list's counters.
    QString labelOfParagraphEndingAt(qint64 fc);

private:
    // A run of paragraphs that share their properties: [fcStart, fcEnd) of the WordDocument stream. Kept
    // small: a long document has tens of thousands.
    struct Run {
        quint32 fcStart = 0;
        quint32 fcEnd = 0;
        quint16 istd = 0;
        qint16 ilfo = 0; // when hasIlfo; otherwise the paragraph does not say (its style may)
        qint8 ilvl = 0;  // when hasIlvl
        bool hasIlfo = false;
        bool hasIlvl = false;
    };

    void readLists(const RandomAccessStream &table, const Places &places);
    void readOverrides(const RandomAccessStream &table, const Places &places);
    void readStyles(const RandomAccessStream &table, const Places &places);
    void readParagraphs(const RandomAccessStream &wordDocument, const RandomAccessStream &table, const Places &places);

    std::vector<qint32> m_listIds;    // lsid of each list definition, in the order of PlfLst
    std::vector<Run> m_runs;          // in the order of the stream, as the PAPX pages list them
    size_t m_lastRun = 0;             // the run the last paragraph asked for lay in (or began after)
    std::vector<bool> m_styleNumbers; // by istd: whether the style (or one it is based on) numbers
    WordListNumbering m_numbering;    // lists by their index in PlfLst, overrides by their ilfo, styles by istd
};

} // namespace word
