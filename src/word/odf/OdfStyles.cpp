// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/odf/OdfStyles.h"
#include "word/ListNumberFormat.h"
#include "word/odf/OdfNames.h"
#include "word/toolkit/XmlFields.h"

namespace word {

namespace {

using namespace std::string_view_literals;
using namespace odf;

// ODF: whether a style's text shows (text:display in its style:text-properties). "none" hides it; "true"
// and "condition" show it (LibreOffice shows text whose condition is anything but a style's hiding).
std::optional<bool> hidesText(std::string_view display)
{
    if (display == "none"sv)
        return true;
    if (display == "true"sv || display == "condition"sv)
        return false;
    return std::nullopt;
}

// A whole number an attribute gives; nothing when it is absent (as most optional ones are).
std::optional<qint64> wholeNumber(std::string_view value)
{
    if (value.empty())
        return std::nullopt;
    return parseWholeNumber(value);
}

} // namespace

void OdfStyleReader::start(Element e, const XmlAttributes &a)
{
    switch (e) {
    case Element::ListStyle:
        m_listStyle = a.value(kStyleNs, "name"sv);
        m_listLevels = nullptr;
        break;
    case Element::ListLevelBullet:
    case Element::ListLevelNumber:
    case Element::ListLevelOther:
        // A list style without a name has no levels anyone can use.
        if (!m_listStyle.empty())
            readListLevel(e, a);
        break;
    case Element::AutomaticStyles:
        m_inAutomaticStyles = true;
        break;
    case Element::Style:
        readStyle(a);
        break;
    case Element::TextProperties:
        if (m_styleFamily != OdfDisplayStyles::Families)
            m_styleDisplay = hidesText(a.value(kTextNs, "display"sv));
        break;
    default:
        break;
    }
}

void OdfStyleReader::end(Element e)
{
    if (e == Element::ListStyle) {
        m_listStyle.clear();
        m_listLevels = nullptr;
    } else if (e == Element::Style) {
        endStyle();
    } else if (e == Element::AutomaticStyles) {
        m_inAutomaticStyles = false;
    }
}

std::optional<bool> OdfStyleReader::hides(OdfDisplayStyles::Family family, const XmlAttributes &a) const
{
    const OdfDisplayStyles::Map &automatic = m_automatic[family];
    const OdfDisplayStyles::Map &named = m_named.named[family];
    if (automatic.empty() && named.empty())
        return std::nullopt;
    const std::string_view name = a.value(kTextNs, "style-name"sv);
    if (const auto found = automatic.find(name); found != automatic.end())
        return found->second;
    if (const auto found = named.find(name); found != named.end())
        return found->second;
    return std::nullopt;
}

// The styles' text:display. ODF, as LibreOffice counts it: an automatic style hides or shows its text as
// it says, or else as the named style it is based on says; a named style as it says itself. A named
// style does not take it from its own parent (measured: a named paragraph or text style based on a
// hiding one shows its text). The default style's is not applied.
void OdfStyleReader::readStyle(const XmlAttributes &a)
{
    // Its attributes looked through once, backwards, so that the first of a name given twice is the one
    // kept; only the values wanted are measured.
    std::string_view family, name, parent;
    for (int i = a.count() - 1; i >= 0; --i) {
        const XmlName &n = a.nameAt(i);
        if (n.local.size() == 6 && n.local == "family"sv && n.ns == kStyleNs)
            family = a.valueAt(i);
        else if (n.local.size() == 4 && n.local == "name"sv && n.ns == kStyleNs)
            name = a.valueAt(i);
        else if (n.local.size() == 17 && n.local == "parent-style-name"sv && n.ns == kStyleNs)
            parent = a.valueAt(i);
    }
    m_styleFamily = family == "paragraph"sv ? OdfDisplayStyles::Paragraph
                    : family == "text"sv    ? OdfDisplayStyles::Text
                                            : OdfDisplayStyles::Families;
    m_styleDisplay.reset();
    if (m_styleFamily != OdfDisplayStyles::Families) {
        m_styleName = name;
        m_styleParent = parent;
    }
}

void OdfStyleReader::endStyle()
{
    const OdfDisplayStyles::Family family = m_styleFamily;
    m_styleFamily = OdfDisplayStyles::Families;
    if (family == OdfDisplayStyles::Families)
        return;
    if (!m_inAutomaticStyles) {
        if (m_styleDisplay)
            m_named.named[family].insert_or_assign(m_styleName, *m_styleDisplay);
        return;
    }
    std::optional<bool> hides = m_styleDisplay;
    if (!hides) {
        const OdfDisplayStyles::Map &named = m_named.named[family];
        if (const auto parent = named.find(m_styleParent); parent != named.end())
            hides = parent->second;
    }
    if (hides)
        m_automatic[family].insert_or_assign(m_styleName, *hides);
}

void OdfStyleReader::readListLevel(Element kind, const XmlAttributes &a)
{
    // A list style's levels carry a dozen attributes each: looked through once, backwards, so that the
    // first of a name given twice is the one kept; only the values wanted are measured.
    std::string_view level, prefix, suffix, bullet, format, displayLevels, start;
    for (int i = a.count() - 1; i >= 0; --i) {
        const XmlName &n = a.nameAt(i);
        std::string_view *wanted = nullptr;
        switch (n.local.size()) {
        case 5:
            if (n.local == "level"sv && n.ns == kTextNs)
                wanted = &level;
            break;
        case 10:
            if (n.ns == kStyleNs)
                wanted = n.local == "num-prefix"sv   ? &prefix
                         : n.local == "num-suffix"sv ? &suffix
                         : n.local == "num-format"sv ? &format
                                                     : nullptr;
            break;
        case 11:
            if (n.ns == kTextNs)
                wanted = n.local == "bullet-char"sv ? &bullet : n.local == "start-value"sv ? &start : nullptr;
            break;
        case 14:
            if (n.local == "display-levels"sv && n.ns == kTextNs)
                wanted = &displayLevels;
            break;
        default:
            break;
        }
        if (wanted)
            *wanted = a.valueAt(i);
    }
    const qint64 number = wholeNumber(level).value_or(1);
    if (!m_listLevels)
        m_listLevels = &m_lists.styleLevels(m_listStyle);
    OdfListNumbering::Level &l =
        m_lists.styleLevel(*m_listLevels, int(qBound<qint64>(1, number, qint64(OdfListNumbering::kLevels))) - 1);
    l.prefix = prefix;
    l.suffix = suffix;
    if (kind == Element::ListLevelBullet) {
        l.format = ListNumberFormat::Bullet;
        l.bullet = bullet;
    } else if (kind == Element::ListLevelNumber) {
        l.format = listFormatFromOdf(format);
        l.displayLevels =
            int(qBound<qint64>(qint64(1), wholeNumber(displayLevels).value_or(1), qint64(OdfListNumbering::kLevels)));
        l.start = wholeNumber(start).value_or(1);
    } else {
        l.format = ListNumberFormat::None; // a picture as bullet: no text
    }
}

} // namespace word
