// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/ole/WordBinaryProperties.h"
#include <QtGlobal>
#include <limits>
#include <vector>

namespace word {

class RandomAccessStream;

// Which characters of a Word 97-2003 main text are hidden, so that the count leaves them out as Word
// leaves hidden text out of its own: hidden by the run's own character properties (sprmCFVanish), by its
// character style (sprmCIstd) or by its paragraph's style, each style along the styles it is based on.
// The run's own setting wins over its character style's, which wins over its paragraph style's; a
// setting of 0x80 or 0x81 takes the style's value as it is or turned round.
class WordBinaryHiddenText {
public:
    using Places = wordbinary::Tables;

    // Reads the style sheet and the character property pages, and the paragraph property pages when a
    // paragraph style hides text; throws DamagedContent when a table lies outside its stream or states
    // impossible sizes.
    WordBinaryHiddenText(const RandomAccessStream &wordDocument, const RandomAccessStream &table, const Places &places);

    // Whether any text can be hidden: most documents hide none, and then no character is looked up.
    bool hidesAny() const { return m_defaultHidden || !m_characterRuns.empty() || !m_paragraphRuns.empty(); }

    // Whether the character at byte `fc` of the WordDocument stream is hidden. Quick for positions asked
    // in order, as the text is read.
    bool isHidden(qint64 fc)
    {
        if (fc < m_segmentStart || fc >= m_segmentEnd)
            locate(fc);
        return m_segmentHidden;
    }
    // Where the stretch of the position asked last ends: the characters before it are hidden or shown
    // alike.
    qint64 sameUntil() const { return m_segmentEnd; }

private:
    // A run of characters that names a character style or sets hidden text itself; the others are left
    // out, as their text is hidden or not by its paragraph's style alone.
    struct CharacterRun {
        quint32 fcStart = 0;
        quint32 fcEnd = 0;
        qint8 styleHides = -1; // its character style's setting: -1 none, 0 shown, 1 hidden
        quint8 vanish = 0xFF;  // its own sprmCFVanish operand; 0xFF: none
    };
    // A run of paragraphs whose style hides their text otherwise than the default paragraph style does.
    struct ParagraphRun {
        quint32 fcStart = 0;
        quint32 fcEnd = 0;
        bool hidden = false;
    };

    void readStyles(const RandomAccessStream &table, const Places &places);
    void readCharacterRuns(const RandomAccessStream &wordDocument, const RandomAccessStream &table,
                           const Places &places);
    void readParagraphRuns(const RandomAccessStream &wordDocument, const RandomAccessStream &table,
                           const Places &places);
    void locate(qint64 fc);

    std::vector<qint8> m_styleHides;    // by istd: -1 says nothing, 0 shows, 1 hides (with its base styles)
    bool m_paragraphStyleHides = false; // some paragraph style hides its text
    bool m_defaultHidden = false;       // the default paragraph style (Normal) hides its text
    std::vector<CharacterRun> m_characterRuns;
    std::vector<ParagraphRun> m_paragraphRuns;
    // The stretch of the stream looked up last, and whether its characters are hidden.
    qint64 m_segmentStart = 0;
    qint64 m_segmentEnd = 0;
    bool m_segmentHidden = false;
};

} // namespace word
