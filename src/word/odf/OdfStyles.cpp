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
    const qint64 level = parseWholeNumber(a.value(kTextNs, "level"sv)).value_or(1);
    OdfListNumbering::Level &l =
        m_lists.styleLevel(m_listStyle, int(qBound<qint64>(1, level, qint64(OdfListNumbering::kLevels))) - 1);
    l.prefix = m_recentPrefix(a.value(kStyleNs, "num-prefix"sv));
    l.suffix = m_recentSuffix(a.value(kStyleNs, "num-suffix"sv));
    if (kind == "list-level-style-bullet"sv) {
        l.format = ListNumberFormat::Bullet;
        l.bullet = m_recentBullet(a.value(kTextNs, "bullet-char"sv));
    } else if (kind == "list-level-style-number"sv) {
        l.format = listFormatFromOdf(m_recentFormat(a.value(kStyleNs, "num-format"sv)));
        l.displayLevels =
            int(qBound<qint64>(qint64(1), parseWholeNumber(a.value(kTextNs, "display-levels"sv)).value_or(1),
                               qint64(OdfListNumbering::kLevels)));
        l.start = parseWholeNumber(a.value(kTextNs, "start-value"sv)).value_or(1);
    } else {
        l.format = ListNumberFormat::None; // a picture as bullet: no text
    }
}

} // namespace word
