// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/ListNumberFormat.h"
#include <QHash>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace word {

// The list numbers and bullets that the office suites generate in front of the paragraphs of an
// OpenDocument list (text:list), from the list styles (text:list-style) of content.xml and styles.xml.
// The counts they store include these labels. Feed it the styles, then the lists as the text opens and
// closes them, and ask for the label of each list item's first paragraph.
class OdfListNumbering {
public:
    static constexpr int kLevels = 10;

    struct Level {
        ListNumberFormat format = ListNumberFormat::None;
        QString prefix, suffix;
        QString bullet;        // text:bullet-char
        int displayLevels = 1; // how many levels' numbers the label shows
        qint64 start = 1;
    };

    OdfListNumbering() = default;
    // Not copied: it remembers where in its own table the last style looked up stands.
    OdfListNumbering(const OdfListNumbering &) = delete;
    OdfListNumbering &operator=(const OdfListNumbering &) = delete;

    Level &styleLevel(const QString &styleName, int level);

    // text:list opens: its style (empty: the enclosing list's), and whether it continues the numbering
    // of the list before it (text:continue-numbering, text:continue-list).
    void openList(const QString &styleName, bool continues);
    void closeList();
    // A text:list-item opens; `startValue` is its text:start-value, when it has one.
    void openItem(std::optional<qint64> startValue);
    // The label of the first paragraph of the current list item; empty for later paragraphs of the item
    // and outside lists.
    QString paragraphLabel();

private:
    struct OpenList {
        QString style;
        bool itemLabelled = true;
        std::optional<qint64> startValue;
    };

    using Levels = std::array<std::optional<Level>, kLevels>;
    QHash<QString, Levels> m_styles;
    QString m_lastStyle; // the style styleLevel() was last asked for, and its levels
    Levels *m_lastLevels = nullptr;
    std::vector<OpenList> m_open;
    std::array<qint64, kLevels> m_value{};
    std::array<bool, kLevels> m_used{};
};

} // namespace word
