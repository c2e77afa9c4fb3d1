// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/WordListNumbering.h"
#include "word/toolkit/Limits.h"

namespace word {

WordListNumbering::Level &WordListNumbering::abstractLevel(int abstractId, int level)
{
    auto &slot = m_abstracts[abstractId].levels[size_t(qBound(0, level, kLevels - 1))];
    if (!slot)
        slot.emplace();
    return *slot;
}

void WordListNumbering::setNumStyleLink(int abstractId, const QString &styleId)
{
    m_abstracts[abstractId].numStyleLink = styleId;
}

void WordListNumbering::setNumAbstract(int numId, int abstractId) { m_nums[numId].abstractId = abstractId; }

void WordListNumbering::setStartOverride(int numId, int level, qint64 start)
{
    m_nums[numId].startOverride[size_t(qBound(0, level, kLevels - 1))] = start;
}

WordListNumbering::Level &WordListNumbering::levelOverride(int numId, int level)
{
    auto &slot = m_nums[numId].levels[size_t(qBound(0, level, kLevels - 1))];
    if (!slot)
        slot.emplace();
    return *slot;
}

void WordListNumbering::setStyleBase(const QString &styleId, const QString &basedOn)
{
    m_styles[styleId].basedOn = basedOn;
}

void WordListNumbering::setStyleNumbering(const QString &styleId, std::optional<int> numId, std::optional<int> level)
{
    StyleNumbering &s = m_styles[styleId];
    if (numId)
        s.numId = numId;
    if (level)
        s.level = level;
}

// A numbering style (w:numStyleLink) hands the definition over to the list that the style numbers with.
int WordListNumbering::abstractIdOf(const Num &num) const
{
    int id = num.abstractId;
    for (int hops = 0; hops < 4; ++hops) {
        const auto a = m_abstracts.constFind(id);
        if (a == m_abstracts.cend() || a->numStyleLink.isEmpty())
            break;
        std::optional<int> numId, level;
        styleNumbering(a->numStyleLink, numId, level);
        const auto linked = numId ? m_nums.constFind(*numId) : m_nums.cend();
        if (linked == m_nums.cend() || !m_abstracts.contains(linked->abstractId))
            break;
        id = linked->abstractId;
    }
    return id;
}

WordListNumbering::Level WordListNumbering::levelOf(const Num &num, const Abstract *abstract, int level) const
{
    if (num.levels[size_t(level)])
        return *num.levels[size_t(level)];
    if (abstract && abstract->levels[size_t(level)])
        return *abstract->levels[size_t(level)];
    return Level{1, ListNumberFormat::None, QString(), false, -1, QString()};
}

// The numbering a style gives its paragraphs, inherited along w:basedOn (bounded against cycles).
void WordListNumbering::styleNumbering(const QString &styleId, std::optional<int> &numId,
                                       std::optional<int> &level) const
{
    QString id = styleId;
    for (int hops = 0; hops < limits::kMaxXmlDepth; ++hops) {
        const auto found = m_styles.constFind(id);
        if (found == m_styles.cend())
            break;
        const StyleNumbering &s = *found;
        if (!numId && s.numId)
            numId = s.numId;
        if (!level && s.level)
            level = s.level;
        if (s.basedOn.isEmpty() || s.basedOn == id)
            break;
        id = s.basedOn;
    }
}

QString WordListNumbering::nextLabel(const QString &paragraphStyle, std::optional<int> numId, std::optional<int> level)
{
    if (m_nums.isEmpty())
        return QString();
    const QString style = paragraphStyle.isEmpty() ? m_defaultStyle : paragraphStyle;
    const bool direct = numId.has_value();
    std::optional<int> styleNum, styleLevel;
    styleNumbering(style, styleNum, styleLevel);
    if (!numId)
        numId = styleNum;
    if (!numId || *numId == 0 || !m_nums.contains(*numId))
        return QString(); // numId 0 takes away the numbering a style would give
    const Num &num = *m_nums.constFind(*numId);
    const int abstractId = abstractIdOf(num);
    const auto foundAbstract = m_abstracts.constFind(abstractId);
    const Abstract *abstract = foundAbstract == m_abstracts.cend() ? nullptr : &*foundAbstract;
    if (!level && !direct)
        level = styleLevel;
    if (!level && abstract) {
        // A level linked to the paragraph's style (w:lvl/w:pStyle), as headings are.
        for (int i = 0; i < kLevels && !level; ++i)
            if (abstract->levels[size_t(i)] && !style.isEmpty() && abstract->levels[size_t(i)]->paragraphStyle == style)
                level = i;
    }
    const int lvl = qBound(0, level.value_or(0), kLevels - 1);

    // Lists that share a definition share their numbers; a list that restarts them counts on its own.
    bool restarts = false;
    for (const auto &s : num.startOverride)
        restarts = restarts || s.has_value();
    Counters &c = m_counters[restarts ? kRestartedList + *numId : qint64(abstractId)];
    const auto startOf = [&](int i) { return num.startOverride[size_t(i)].value_or(levelOf(num, abstract, i).start); };
    c.value[size_t(lvl)] = c.used[size_t(lvl)] ? c.value[size_t(lvl)] + 1 : startOf(lvl);
    c.used[size_t(lvl)] = true;
    for (int i = lvl + 1; i < kLevels; ++i) {
        const Level deeper = levelOf(num, abstract, i);
        if (deeper.restartAfter == -2 || (deeper.restartAfter >= 0 && deeper.restartAfter < lvl))
            continue;
        c.used[size_t(i)] = false;
    }

    const Level here = levelOf(num, abstract, lvl);
    if (here.format == ListNumberFormat::Bullet)
        return here.text;
    QString label;
    label.reserve(here.text.size() + 8);
    for (qsizetype i = 0; i < here.text.size(); ++i) {
        const QChar ch = here.text[i];
        if (ch == u'%' && i + 1 < here.text.size() && here.text[i + 1] >= u'1' && here.text[i + 1] <= u'9') {
            const int ref = here.text[++i].unicode() - u'1';
            const Level refLevel = levelOf(num, abstract, ref);
            const qint64 value = c.used[size_t(ref)] ? c.value[size_t(ref)] : startOf(ref);
            const ListNumberFormat f =
                here.legal && refLevel.format != ListNumberFormat::None ? ListNumberFormat::Decimal : refLevel.format;
            label += listNumberText(value, f);
        } else {
            label += ch;
        }
    }
    return label;
}

} // namespace word
