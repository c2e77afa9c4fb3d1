// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/odf/OdfListNumbering.h"
#include "word/toolkit/Limits.h"

namespace word {

OdfListNumbering::Level &OdfListNumbering::styleLevel(const QString &styleName, int level)
{
    // A style's levels come one after another: its entry is looked up once for them all. Only here are
    // entries added, so the one remembered stays where it is until the next is looked up.
    if (!m_lastLevels || styleName != m_lastStyle) {
        m_lastLevels = &m_styles[styleName];
        m_lastStyle = styleName;
    }
    auto &slot = (*m_lastLevels)[size_t(qBound(0, level, kLevels - 1))];
    if (!slot)
        slot.emplace();
    return *slot;
}

void OdfListNumbering::openList(const QString &styleName, bool continues)
{
    if (m_open.size() >= size_t(limits::kMaxXmlDepth))
        return;
    if (m_open.empty() && !continues) {
        // A new list numbers from its start again.
        m_used.fill(false);
    }
    m_open.push_back({styleName.isEmpty() && !m_open.empty() ? m_open.back().style : styleName, true, std::nullopt});
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
    const auto style = m_styles.constFind(list.style);
    const auto levelOf = [&](int i) {
        return style != m_styles.cend() && (*style)[size_t(i)] ? *(*style)[size_t(i)] : Level{};
    };
    const Level here = levelOf(level);
    m_value[size_t(level)] = list.startValue         ? *list.startValue
                             : m_used[size_t(level)] ? m_value[size_t(level)] + 1
                                                     : here.start;
    m_used[size_t(level)] = true;
    for (int i = level + 1; i < kLevels; ++i)
        m_used[size_t(i)] = false;
    if (here.format == ListNumberFormat::Bullet)
        return here.prefix + here.bullet + here.suffix;
    if (here.format == ListNumberFormat::None)
        return here.prefix + here.suffix;
    QString number;
    const int shown = qBound(1, here.displayLevels, level + 1);
    for (int i = level - shown + 1; i <= level; ++i) {
        const Level l = levelOf(i);
        if (!number.isEmpty())
            number += QLatin1Char('.');
        number += listNumberText(m_used[size_t(i)] ? m_value[size_t(i)] : l.start,
                                 l.format == ListNumberFormat::Bullet || l.format == ListNumberFormat::None
                                     ? ListNumberFormat::Decimal
                                     : l.format);
    }
    return here.prefix + number + here.suffix;
}

} // namespace word
