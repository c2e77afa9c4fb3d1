// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/odf/OdfListNumbering.h"
#include "word/toolkit/Limits.h"

namespace word {

namespace {

QString utf8Text(const std::string &utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

} // namespace

OdfListNumbering::StyleLevels &OdfListNumbering::styleLevels(std::string_view styleName)
{
    const auto at = m_styles.lower_bound(styleName);
    if (at != m_styles.end() && at->first == styleName)
        return at->second;
    return m_styles.emplace_hint(at, std::string(styleName), StyleLevels{})->second;
}

OdfListNumbering::Level &OdfListNumbering::styleLevel(StyleLevels &levels, int level)
{
    Level *&slot = levels[size_t(qBound(0, level, kLevels - 1))];
    if (!slot) {
        constexpr int kBlock = 64;
        if (m_levelsLeft == 0) {
            m_levelBlocks.push_back(std::make_unique<Level[]>(kBlock));
            m_levelsLeft = kBlock;
        }
        slot = &m_levelBlocks.back()[size_t(kBlock - m_levelsLeft--)];
    }
    return *slot;
}

void OdfListNumbering::openList(std::string_view styleName, bool continues)
{
    if (m_open.size() >= size_t(limits::kMaxXmlDepth))
        return;
    if (m_open.empty() && !continues) {
        // A new list numbers from its start again.
        m_used.fill(false);
    }
    m_open.push_back(
        {styleName.empty() && !m_open.empty() ? m_open.back().style : std::string(styleName), true, std::nullopt});
}

void OdfListNumbering::closeList()
{
    if (!m_open.empty())
        m_open.pop_back();
}

void OdfListNumbering::openItem(std::optional<qint64> startValue)
{
    if (m_open.empty())
        return;
    m_open.back().itemLabelled = false;
    m_open.back().startValue = startValue;
}

QString OdfListNumbering::paragraphLabel()
{
    if (m_open.empty() || m_open.back().itemLabelled)
        return QString();
    OpenList &list = m_open.back();
    list.itemLabelled = true;
    const int level = qMin(int(m_open.size()) - 1, kLevels - 1);
    const auto style = m_styles.find(list.style);
    static const Level kNoLevel;
    const auto levelOf = [&](int i) -> const Level & {
        return style != m_styles.end() && style->second[size_t(i)] ? *style->second[size_t(i)] : kNoLevel;
    };
    const Level &here = levelOf(level);
    m_value[size_t(level)] = list.startValue         ? *list.startValue
                             : m_used[size_t(level)] ? m_value[size_t(level)] + 1
                                                     : here.start;
    m_used[size_t(level)] = true;
    for (int i = level + 1; i < kLevels; ++i)
        m_used[size_t(i)] = false;
    if (here.format == ListNumberFormat::Bullet)
        return utf8Text(here.prefix + here.bullet + here.suffix);
    if (here.format == ListNumberFormat::None)
        return utf8Text(here.prefix + here.suffix);
    QString number;
    const int shown = qBound(1, here.displayLevels, level + 1);
    for (int i = level - shown + 1; i <= level; ++i) {
        const Level &l = levelOf(i);
        if (!number.isEmpty())
            number += QLatin1Char('.');
        number += listNumberText(m_used[size_t(i)] ? m_value[size_t(i)] : l.start,
                                 l.format == ListNumberFormat::Bullet || l.format == ListNumberFormat::None
                                     ? ListNumberFormat::Decimal
                                     : l.format);
    }
    return utf8Text(here.prefix) + number + utf8Text(here.suffix);
}

} // namespace word
