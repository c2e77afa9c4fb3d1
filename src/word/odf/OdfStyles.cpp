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

} // namespace

void OdfStyleReader::start(const XmlName &e, const XmlAttributes &a)
{
    const std::string_view n = e.local;
    if (e.is(kTextNs, "list-style"sv))
        m_listStyle = text(a.value(kStyleNs, "name"sv));
    else if (e.ns == kTextNs && !m_listStyle.isEmpty() && n.substr(0, 17) == "list-level-style-"sv)
        readListLevel(n, a);
    else if (e.ns == kStyleNs || e.ns == kOfficeNs)
        readStyle(e, a);
}

void OdfStyleReader::end(const XmlName &e)
{
    if (e.is(kTextNs, "list-style"sv))
        m_listStyle.clear();
    else if (e.is(kStyleNs, "style"sv))
        endStyle();
    else if (e.is(kOfficeNs, "automatic-styles"sv))
        m_inAutomaticStyles = false;
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
void OdfStyleReader::readStyle(const XmlName &e, const XmlAttributes &a)
{
    if (e.is(kOfficeNs, "automatic-styles"sv)) {
        m_inAutomaticStyles = true;
    } else if (e.is(kStyleNs, "style"sv)) {
        const std::string_view family = a.value(kStyleNs, "family"sv);
        m_styleFamily = family == "paragraph"sv ? OdfDisplayStyles::Paragraph
                        : family == "text"sv    ? OdfDisplayStyles::Text
                                                : OdfDisplayStyles::Families;
        m_styleDisplay.reset();
        if (m_styleFamily != OdfDisplayStyles::Families) {
            m_styleName = a.value(kStyleNs, "name"sv);
            m_styleParent = a.value(kStyleNs, "parent-style-name"sv);
        }
    } else if (e.is(kStyleNs, "text-properties"sv) && m_styleFamily != OdfDisplayStyles::Families) {
        m_styleDisplay = hidesText(a.value(kTextNs, "display"sv));
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

void OdfStyleReader::readListLevel(std::string_view kind, const XmlAttributes &a)
{
    // A list style's levels carry a dozen attributes each: looked through once, backwards, so that the
    // first of a name given twice is the one kept.
    std::string_view level, prefix, suffix, bullet, format, displayLevels, start;
    for (int i = a.count() - 1; i >= 0; --i) {
        const XmlName &n = a.nameAt(i);
        const std::string_view v = a.valueAt(i);
        if (n.local == "level"sv && n.ns == kTextNs)
            level = v;
        else if (n.local == "num-prefix"sv && n.ns == kStyleNs)
            prefix = v;
        else if (n.local == "num-suffix"sv && n.ns == kStyleNs)
            suffix = v;
        else if (n.local == "bullet-char"sv && n.ns == kTextNs)
            bullet = v;
        else if (n.local == "num-format"sv && n.ns == kStyleNs)
            format = v;
        else if (n.local == "display-levels"sv && n.ns == kTextNs)
            displayLevels = v;
        else if (n.local == "start-value"sv && n.ns == kTextNs)
            start = v;
    }
    const qint64 number = parseWholeNumber(level).value_or(1);
    OdfListNumbering::Level &l =
        m_lists.styleLevel(m_listStyle, int(qBound<qint64>(1, number, qint64(OdfListNumbering::kLevels))) - 1);
    l.prefix = m_recentPrefix(prefix);
    l.suffix = m_recentSuffix(suffix);
    if (kind == "list-level-style-bullet"sv) {
        l.format = ListNumberFormat::Bullet;
        l.bullet = m_recentBullet(bullet);
    } else if (kind == "list-level-style-number"sv) {
        l.format = listFormatFromOdf(m_recentFormat(format));
        l.displayLevels = int(
            qBound<qint64>(qint64(1), parseWholeNumber(displayLevels).value_or(1), qint64(OdfListNumbering::kLevels)));
        l.start = parseWholeNumber(start).value_or(1);
    } else {
        l.format = ListNumberFormat::None; // a picture as bullet: no text
    }
}

} // namespace word
