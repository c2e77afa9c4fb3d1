// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/ListNumberFormat.h"
#include <QHash>
#include <QString>
#include <array>
#include <optional>

namespace word {

// The list numbers and bullets that Word generates in front of numbered paragraphs ("1.", "a)", "•"),
// from Word's numbering definitions (w:abstractNum and w:num in Office Open XML and Word 2003 XML, the
// list tables of Word 97-2003 binaries) and the paragraph styles that carry numbering. Word stores its
// counts with these labels included, so a recount has to generate them too. Fill it with the
// definitions, then ask for each numbered paragraph's label in document order.
class WordListNumbering {
public:
    static constexpr int kLevels = 9;

    struct Level {
        qint64 start = 1;
        ListNumberFormat format = ListNumberFormat::Decimal;
        QString text;           // w:lvlText: literal text with %1 ... %9 standing for the levels' numbers
        bool legal = false;     // w:isLgl: the numbers of all levels in decimal
        int restartAfter = -1;  // w:lvlRestart minus one: -1 after any higher level, -2 never
        QString paragraphStyle; // w:pStyle: the style whose paragraphs take this level
    };

    // Definitions, as the numbering part states them. Ids are bounded by the caller's count of elements.
    Level &abstractLevel(int abstractId, int level);
    void setNumStyleLink(int abstractId, const QString &styleId);
    void setNumAbstract(int numId, int abstractId);
    void setStartOverride(int numId, int level, qint64 start);
    Level &levelOverride(int numId, int level);

    // Paragraph styles: what each says about numbering, and which it is based on.
    void setStyleBase(const QString &styleId, const QString &basedOn);
    void setStyleNumbering(const QString &styleId, std::optional<int> numId, std::optional<int> level);
    void setDefaultParagraphStyle(const QString &styleId) { m_defaultStyle = styleId; }

    bool isEmpty() const { return m_nums.isEmpty(); }

    // The label of the next paragraph with this style and direct numbering (w:numPr; either part may be
    // missing); empty when the paragraph is not numbered. Advances the list's counters.
    QString nextLabel(const QString &paragraphStyle, std::optional<int> numId, std::optional<int> level);

private:
    struct Abstract {
        std::array<std::optional<Level>, kLevels> levels;
        QString numStyleLink;
    };
    struct Num {
        int abstractId = -1;
        std::array<std::optional<qint64>, kLevels> startOverride;
        std::array<std::optional<Level>, kLevels> levels;
    };
    struct StyleNumbering {
        QString basedOn;
        std::optional<int> numId;
        std::optional<int> level;
    };
    struct Counters {
        std::array<qint64, kLevels> value{};
        std::array<bool, kLevels> used{};
    };

    int abstractIdOf(const Num &num) const;
    Level levelOf(const Num &num, const Abstract *abstract, int level) const;
    void styleNumbering(const QString &styleId, std::optional<int> &numId, std::optional<int> &level) const;

    QHash<int, Abstract> m_abstracts;
    QHash<int, Num> m_nums;
    QHash<QString, StyleNumbering> m_styles;
    QString m_defaultStyle;
    // Per list: the abstract definition (its id), or a num that restarts it (its id after kRestartedList).
    static constexpr qint64 kRestartedList = qint64(1) << 32;
    QHash<qint64, Counters> m_counters;
};

} // namespace word
