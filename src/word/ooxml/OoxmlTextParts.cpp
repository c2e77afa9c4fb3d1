// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/ooxml/OoxmlTextParts.h"
#include "word/Errors.h"
#include "word/ZipDocument.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlFields.h"
#include "word/toolkit/XmlParser.h"
#include "word/toolkit/ZipArchive.h"
#include <algorithm>
#include <functional>
#include <vector>

namespace word {

namespace {

using namespace std::string_view_literals;

QString text(std::string_view v) { return QString::fromUtf8(v.data(), qsizetype(v.size())); }

// An attribute by local name, whatever its namespace prefix (w:val, w:ilvl ...).
std::string_view attribute(const XmlAttributes &a, std::string_view local, bool *found = nullptr)
{
    for (int i = 0; i < a.count(); ++i)
        if (a.nameAt(i).local == local) {
            if (found)
                *found = true;
            return a.valueAt(i);
        }
    if (found)
        *found = false;
    return {};
}

std::optional<qint64> numberAttribute(const XmlAttributes &a, std::string_view local)
{
    bool found = false;
    const std::string_view v = attribute(a, local, &found);
    return found ? parseWholeNumber(v) : std::nullopt;
}

// Ids and levels as the definitions use them: ids are small whole numbers, levels 0 to 8.
std::optional<int> idValue(std::optional<qint64> v)
{
    return v && *v >= 0 && *v <= 0x7FFFFFFF ? std::optional<int>(int(*v)) : std::nullopt;
}

// Whether `word` occurs in `bytes` right after one of the bytes of `before` (any byte when empty). The
// standard Horspool search skips ahead by up to the word's length: several times faster than
// QByteArray::contains on parts of hundreds of kilobytes.
bool occursAfter(const QByteArray &bytes, std::string_view word, std::string_view before = {})
{
    const std::boyer_moore_horspool_searcher searcher(word.begin(), word.end());
    const char *at = bytes.constData();
    const char *const end = at + bytes.size();
    for (;;) {
        const char *found = std::search(at, end, searcher);
        if (found == end)
            return false;
        if (before.empty() || (found > bytes.constData() && before.find(found[-1]) != std::string_view::npos))
            return true;
        at = found + 1;
    }
}

QByteArray readDefinitionPart(const ZipArchive &zip, const QString &name)
{
    if (name.isEmpty())
        return {};
    const auto index = zip.find(name);
    return index ? zip.read(*index, limits::kMaxDefinitionPartBytes) : QByteArray();
}

// w:numbering: w:abstractNum (levels w:lvl) and w:num (which abstract definition, overrides).
class NumberingHandler : public XmlHandler {
public:
    explicit NumberingHandler(WordListNumbering &n) : m_n(n) {}

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        const std::string_view name = e.local;
        const std::string_view parent = m_path.empty() ? std::string_view() : m_path.back();
        m_path.push_back(name == "abstractNum"sv   ? "abstractNum"sv
                         : name == "num"sv         ? "num"sv
                         : name == "lvl"sv         ? "lvl"sv
                         : name == "lvlOverride"sv ? "lvlOverride"sv
                                                   : "other"sv);
        if (name == "abstractNum"sv && m_path.size() == 2) {
            m_abstractId = idValue(numberAttribute(a, "abstractNumId"sv)).value_or(-1);
        } else if (name == "num"sv && m_path.size() == 2) {
            m_numId = idValue(numberAttribute(a, "numId"sv)).value_or(-1);
        } else if (name == "lvlOverride"sv && m_numId >= 0) {
            m_inOverride = true;
            m_level = idValue(numberAttribute(a, "ilvl"sv)).value_or(0);
        } else if (name == "lvl"sv) {
            const int l = idValue(numberAttribute(a, "ilvl"sv)).value_or(m_inOverride ? m_level : 0);
            if (l >= WordListNumbering::kLevels)
                m_lvl = nullptr;
            else if (m_abstractId >= 0 && parent == "abstractNum"sv)
                m_lvl = &m_n.abstractLevel(m_abstractId, l);
            else if (m_numId >= 0 && m_inOverride)
                m_lvl = &m_n.levelOverride(m_numId, l);
        } else if (name == "abstractNumId"sv && m_numId >= 0 && parent == "num"sv) {
            if (const auto id = idValue(numberAttribute(a, "val"sv)))
                m_n.setNumAbstract(m_numId, *id);
        } else if (name == "startOverride"sv && m_numId >= 0 && m_inOverride && m_level < WordListNumbering::kLevels) {
            if (const auto v = numberAttribute(a, "val"sv))
                m_n.setStartOverride(m_numId, m_level, *v);
        } else if (name == "numStyleLink"sv && m_abstractId >= 0 && parent == "abstractNum"sv) {
            m_n.setNumStyleLink(m_abstractId, text(attribute(a, "val"sv)));
        } else if (m_lvl && parent == "lvl"sv) {
            const std::string_view v = attribute(a, "val"sv);
            if (name == "start"sv)
                m_lvl->start = numberAttribute(a, "val"sv).value_or(1);
            else if (name == "numFmt"sv)
                m_lvl->format = listFormatFromWordName(text(v));
            else if (name == "lvlText"sv)
                m_lvl->text = decodeOoxmlEscapes(text(v));
            else if (name == "isLgl"sv)
                m_lvl->legal = v != "0"sv && v != "false"sv;
            else if (name == "lvlRestart"sv) {
                // 0: never restarts; n: restarts after a paragraph of level n (counted from 1).
                const qint64 r = numberAttribute(a, "val"sv).value_or(0);
                m_lvl->restartAfter = r <= 0 ? -2 : int(qMin<qint64>(r, WordListNumbering::kLevels)) - 1;
            } else if (name == "pStyle"sv)
                m_lvl->paragraphStyle = text(v);
        }
    }

    void endElement(const XmlName &e) override
    {
        const std::string_view name = e.local;
        if (name == "lvl"sv)
            m_lvl = nullptr;
        else if (name == "lvlOverride"sv)
            m_inOverride = false;
        else if (name == "abstractNum"sv)
            m_abstractId = -1;
        else if (name == "num"sv)
            m_numId = -1;
        if (!m_path.empty())
            m_path.pop_back();
    }

    void characters(std::string_view) override {}

private:
    WordListNumbering &m_n;
    std::vector<std::string_view> m_path; // the open elements that matter here, by static names
    int m_abstractId = -1, m_numId = -1, m_level = -1;
    bool m_inOverride = false;
    WordListNumbering::Level *m_lvl = nullptr;
};

// What both readers of w:styles keep: the open elements that matter (by static names) and the style
// being read, which ends with its w:style.
class StylePartHandler : public XmlHandler {
public:
    void endElement(const XmlName &e) override
    {
        if (e.local == "style"sv && m_path.size() == 2)
            m_styleId.clear();
        if (!m_path.empty())
            m_path.pop_back();
    }

    void characters(std::string_view) override {}

protected:
    std::vector<std::string_view> m_path;
    QString m_styleId;
};

// w:styles: paragraph styles, what they base on and the numbering in their paragraph properties.
class StylesHandler : public StylePartHandler {
public:
    explicit StylesHandler(WordListNumbering &n) : m_n(n) {}

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        const std::string_view name = e.local;
        m_path.push_back(name == "pPr"sv ? "pPr"sv : name == "numPr"sv ? "numPr"sv : "other"sv);
        if (name == "style"sv && m_path.size() == 2) {
            m_styleId = attribute(a, "type"sv) == "paragraph"sv ? text(attribute(a, "styleId"sv)) : QString();
            const std::string_view isDefault = attribute(a, "default"sv);
            if (!m_styleId.isEmpty() && (isDefault == "1"sv || isDefault == "true"sv || isDefault == "on"sv))
                m_n.setDefaultParagraphStyle(m_styleId);
        } else if (m_styleId.isEmpty()) {
            return;
        } else if (name == "basedOn"sv && m_path.size() == 3) {
            m_n.setStyleBase(m_styleId, text(attribute(a, "val"sv)));
        } else if (m_path.size() == 5 && m_path[2] == "pPr"sv && m_path[3] == "numPr"sv) {
            if (name == "numId"sv)
                m_n.setStyleNumbering(m_styleId, idValue(numberAttribute(a, "val"sv)), std::nullopt);
            else if (name == "ilvl"sv)
                m_n.setStyleNumbering(m_styleId, std::nullopt, idValue(numberAttribute(a, "val"sv)));
        }
    }

private:
    WordListNumbering &m_n;
};

// w:styles, for hidden text: w:vanish in a style's run properties or in the document's default ones.
class StyleVisibilityHandler : public StylePartHandler {
public:
    explicit StyleVisibilityHandler(WordStyleVisibility &v) : m_v(v) {}

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        const std::string_view name = e.local;
        m_path.push_back(name == "rPr"sv ? "rPr"sv : name == "rPrDefault"sv ? "rPrDefault"sv : "other"sv);
        if (name == "style"sv && m_path.size() == 2) {
            const std::string_view type = attribute(a, "type"sv);
            m_styleId = type == "paragraph"sv || type == "character"sv ? text(attribute(a, "styleId"sv)) : QString();
            const std::string_view isDefault = attribute(a, "default"sv);
            if (type == "paragraph"sv && (isDefault == "1"sv || isDefault == "true"sv || isDefault == "on"sv))
                m_v.setDefaultParagraphStyle(m_styleId);
        } else if (name == "vanish"sv && m_path.size() == 5 && m_path[2] == "rPrDefault"sv && m_path[3] == "rPr"sv) {
            m_v.setDefaultHides(isOnValue(a));
        } else if (m_styleId.isEmpty()) {
            return;
        } else if (name == "basedOn"sv && m_path.size() == 3) {
            m_v.setStyleBase(m_styleId, text(attribute(a, "val"sv)));
        } else if (name == "vanish"sv && m_path.size() == 4 && m_path[2] == "rPr"sv) {
            m_v.setStyleHides(m_styleId, isOnValue(a));
        }
    }

private:
    // An on/off property: on unless its value says 0, false or off.
    static bool isOnValue(const XmlAttributes &a)
    {
        bool found = false;
        const std::string_view v = attribute(a, "val"sv, &found);
        return !found || (v != "0"sv && v != "false"sv && v != "off"sv);
    }

    WordStyleVisibility &m_v;
};

} // namespace

OoxmlTextParts readOoxmlTextParts(const ZipArchive &zip, const QString &mainPart)
{
    OoxmlTextParts parts;
    const qsizetype slash = mainPart.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash >= 0 ? mainPart.left(slash + 1) : QString();
    const QString relsName = folder + QStringLiteral("_rels/") + mainPart.mid(slash + 1) + QStringLiteral(".rels");
    const QByteArray rels = readPart(zip, relsName);
    if (rels.isEmpty())
        return parts;
    walkXmlFields(rels, relsName, 2, [&](const XmlField &f) {
        if (f.localName != "Relationship" || equalsIgnoringAsciiCase(f.attributes.value("TargetMode"), "External"))
            return true;
        // The kind is told from the type's last segment, in ASCII: most relationships (images, settings,
        // fonts) are of no kind read here, and their targets are not resolved.
        const std::string_view type = f.attributes.value("Type");
        const bool numbering = type.ends_with("/numbering") && parts.numbering.isEmpty();
        const bool styles = type.ends_with("/styles") && parts.styles.isEmpty();
        const bool story = type.ends_with("/header") || type.ends_with("/footer") || type.ends_with("/footnotes")
                           || type.ends_with("/endnotes");
        if (!numbering && !styles && !story)
            return true;
        const QString target = f.decode(f.attributes.value("Target"));
        const QString part = partNameFromTarget(target.startsWith(QLatin1Char('/')) ? target : folder + target);
        if (part.isEmpty())
            return true;
        if (numbering)
            parts.numbering = part;
        else if (styles)
            parts.styles = part;
        else if (!parts.otherStories.contains(part))
            parts.otherStories << part;
        return true;
    });
    return parts;
}

QByteArray readOoxmlStylesPart(const ZipArchive &zip, const OoxmlTextParts &parts)
{
    return readDefinitionPart(zip, parts.styles);
}

WordListNumbering readWordListNumbering(const ZipArchive &zip, const OoxmlTextParts &parts, const QByteArray &styles,
                                        bool directNumbering)
{
    WordListNumbering n;
    if (parts.numbering.isEmpty())
        return n;
    // Most styles parts number nothing; a quick look saves parsing them.
    const bool styleNumbering = occursAfter(styles, "numPr"sv);
    if (!directNumbering && !styleNumbering)
        return n;
    const QByteArray numbering = readDefinitionPart(zip, parts.numbering);
    if (numbering.isEmpty())
        return n;
    NumberingHandler numberingHandler(n);
    XmlParser(parts.numbering, numberingHandler).parse(numbering);
    if (!n.isEmpty() && styleNumbering) {
        StylesHandler stylesHandler(n);
        XmlParser(parts.styles, stylesHandler).parse(styles);
    }
    return n;
}

std::optional<bool> WordStyleVisibility::styleHides(const QString &styleId) const
{
    QString id = styleId;
    // Along w:basedOn, bounded against cycles.
    for (int hops = 0; hops < limits::kMaxXmlDepth && !id.isEmpty(); ++hops) {
        const auto found = m_styles.constFind(id);
        if (found == m_styles.cend())
            break;
        if (found->hides)
            return found->hides;
        if (found->basedOn == id)
            break;
        id = found->basedOn;
    }
    return std::nullopt;
}

bool WordStyleVisibility::paragraphHides(const QString &paragraphStyle) const
{
    return styleHides(paragraphStyle.isEmpty() ? m_defaultParagraphStyle : paragraphStyle).value_or(m_defaultHides);
}

WordStyleVisibility readWordStyleVisibility(const OoxmlTextParts &parts, const QByteArray &styles)
{
    WordStyleVisibility v;
    // Most documents hide nothing through their styles: without a w:vanish element (with any prefix, or
    // none; w:specVanish is another thing) the part is not parsed.
    if (!occursAfter(styles, "vanish"sv, ":<"sv))
        return v;
    StyleVisibilityHandler handler(v);
    XmlParser(parts.styles, handler).parse(styles);
    return v;
}

} // namespace word
