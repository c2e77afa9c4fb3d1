// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/ListNumberFormat.h"
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace word {

// The list numbers and bullets that the office suites generate in front of the paragraphs of an
// OpenDocument list (text:list), from the list styles (text:list-style) of content.xml and styles.xml.
// The counts they store include these labels. Feed it the styles, then the lists as the text opens and
// closes them, and ask for the label of each list item's first paragraph.
class OdfListNumbering {
public:
    static constexpr int kLevels = 10;

    // A level of a list style. Its texts are kept in UTF-8 as the file gives them: most styles are
    // never used, and a label is made into text only when a paragraph shows it.
    struct Level {
        ListNumberFormat format = ListNumberFormat::None;
        int displayLevels = 1; // how many levels' numbers the label shows
        qint64 start = 1;
        std::string prefix, suffix;
        std::string bullet; // text:bullet-char
    };

    // The levels a style defines, each made when it is first defined: a part may hold many thousands of
    // styles that define a level or two.
    using StyleLevels = std::array<Level *, kLevels>;

    OdfListNumbering() = default;
    // Not copied: the style reader holds on to the entry of the style it reads.
    OdfListNumbering(const OdfListNumbering &) = delete;
    OdfListNumbering &operator=(const OdfListNumbering &) = delete;

    // The levels of a list style, made empty when it is first named. The entry stays where it is while
    // more styles are added: a style's levels come one after another, and it is looked up once for them.
    StyleLevels &styleLevels(std::string_view styleName);
    // Level `level` (0-based, held within the levels there are) of a style, made when first asked for.
    Level &styleLevel(StyleLevels &levels, int level);

    // text:list opens: its style (empty: the enclosing list's), and whether it continues the numbering
    // of the list before it (text:continue-numbering, text:continue-list).
    void openList(std::string_view styleName, bool continues);
    void closeList();
    // A text:list-item opens; `startValue` is its text:start-value, when it has one.
    void openItem(std::optional<qint64> startValue);
    // The label of the first paragraph of the current list item; empty for later paragraphs of the item
    // and outside lists.
    QString paragraphLabel();

private:
    struct OpenList {
        std::string style;
        bool itemLabelled = true;
        std::optional<qint64> startValue;
    };

    // Looked up by the UTF-8 names the parser gives, without making strings of them. A tree rather than a
    // hash table: its lookups stay cheap whatever names a file chooses, and an entry stays where it is as
    // others are added.
    std::map<std::string, StyleLevels, std::less<>> m_styles;
    // The levels of all styles, made in blocks rather than one by one: a part may define thousands.
    std::vector<std::unique_ptr<Level[]>> m_levelBlocks;
    int m_levelsLeft = 0; // unused in the last block
    std::vector<OpenList> m_open;
    std::array<qint64, kLevels> m_value{};
    std::array<bool, kLevels> m_used{};
};

} // namespace word
