// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/WordListNumbering.h"
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace word {

class ZipArchive;

// The parts of an Office Open XML document that its main part relates to and that counting its text
// needs: the numbering definitions and styles (for list labels), and the other stories (headers, footers,
// footnotes, endnotes), which some word processors include in their counts.
struct OoxmlTextParts {
    QString numbering;
    QString styles;
    QStringList otherStories; // in the order the relationships list them
};

// Read from the main part's relationships (word/_rels/document.xml.rels for word/document.xml); a missing
// or unreadable relationships part gives none.
OoxmlTextParts readOoxmlTextParts(const ZipArchive &zip, const QString &mainPart);

// The numbering definitions and the numbering of paragraph styles, from the two parts (each may be empty).
// `directNumbering`: the main text numbers paragraphs itself (w:numPr); when neither it nor a style does,
// the definitions are not read at all. Throws DamagedContent when a part is too large or not
// well-formed: its labels would be wrong.
// `styles`: the styles part's bytes (see readOoxmlStylesPart), read once for this and the styles' visibility.
WordListNumbering readWordListNumbering(const ZipArchive &zip, const OoxmlTextParts &parts, const QByteArray &styles,
                                        bool directNumbering);

// The styles part, bounded like the other definitions (empty when there is none).
QByteArray readOoxmlStylesPart(const ZipArchive &zip, const OoxmlTextParts &parts);

// Which styles hide their text: w:vanish in the run properties of a paragraph or character style (or of
// the document's defaults), inherited along w:basedOn. Word leaves hidden text out of its counts wherever
// the property comes from; a run's own w:vanish (on or off) wins over its character style, which wins
// over its paragraph's style.
class WordStyleVisibility {
public:
    void setStyleBase(const QString &styleId, const QString &basedOn) { m_styles[styleId].basedOn = basedOn; }
    void setStyleHides(const QString &styleId, bool hides)
    {
        m_styles[styleId].hides = hides;
        m_anyHides = m_anyHides || hides;
    }
    void setDefaultParagraphStyle(const QString &styleId) { m_defaultParagraphStyle = styleId; }
    void setDefaultHides(bool hides) { m_defaultHides = hides; }
    // False for the many documents whose styles hide nothing: their runs need no look-ups.
    bool hidesAnything() const { return m_anyHides || m_defaultHides; }

    // What the style (or one it is based on) says; unset when none says anything.
    std::optional<bool> styleHides(const QString &styleId) const;
    // Whether the runs of a paragraph with this style (the default one when empty) are hidden unless they
    // say otherwise.
    bool paragraphHides(const QString &paragraphStyle) const;

private:
    struct Style {
        QString basedOn;
        std::optional<bool> hides;
    };
    QHash<QString, Style> m_styles;
    QString m_defaultParagraphStyle;
    bool m_defaultHides = false;
    bool m_anyHides = false;
};

// Read from the styles part's bytes; a part that names no hidden text is not parsed at all. Throws
// DamagedContent when the part is not well-formed.
WordStyleVisibility readWordStyleVisibility(const OoxmlTextParts &parts, const QByteArray &styles);

} // namespace word
