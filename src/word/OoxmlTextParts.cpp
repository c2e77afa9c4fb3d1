// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/OoxmlTextParts.h"
#include "word/Errors.h"
#include "word/Limits.h"
#include "word/XmlFields.h"
#include "word/XmlStream.h"
#include "word/ZipArchive.h"
#include "word/ZipDocument.h"
#include <vector>

namespace word {

namespace {

// A whole number attribute (w:val, w:ilvl ...), whatever its namespace prefix; nothing when it is absent
// or not a number that fits the purpose.
std::optional<qint64> numberAttribute(const QXmlStreamReader &r, QLatin1String name)
{
    for (const QXmlStreamAttribute &a : r.attributes())
        if (a.name() == name)
            return parseWholeNumber(a.value());
    return std::nullopt;
}

QString textAttribute(const QXmlStreamReader &r, QLatin1String name)
{
    for (const QXmlStreamAttribute &a : r.attributes())
        if (a.name() == name)
            return a.value().toString();
    return QString();
}

// Ids and levels as the definitions use them: ids are small whole numbers, levels 0 to 8.
std::optional<int> idValue(std::optional<qint64> v)
{
    return v && *v >= 0 && *v <= 0x7FFFFFFF ? std::optional<int>(int(*v)) : std::nullopt;
}

QByteArray readDefinitionPart(const ZipArchive &zip, const QString &name)
{
    if (name.isEmpty())
        return {};
    const auto index = zip.find(name);
    return index ? zip.read(*index, limits::kMaxDefinitionPartBytes) : QByteArray();
}

// w:numbering: w:abstractNum (levels w:lvl) and w:num (which abstract definition, overrides).
void readNumberingPart(const QByteArray &xml, const QString &partName, WordListNumbering &n)
{
    std::vector<QString> path; // local names of the open elements
    int abstractId = -1, numId = -1, level = -1;
    bool inOverride = false;
    WordListNumbering::Level *lvl = nullptr;
    streamXml(xml, partName, [&](const QXmlStreamReader &r) {
        if (r.isEndElement()) {
            const QStringView name = r.name();
            if (name == u"lvl")
                lvl = nullptr;
            else if (name == u"lvlOverride")
                inOverride = false;
            else if (name == u"abstractNum")
                abstractId = -1;
            else if (name == u"num")
                numId = -1;
            if (!path.empty())
                path.pop_back();
            return;
        }
        if (!r.isStartElement())
            return;
        const QString name = r.name().toString();
        const QString parent = path.empty() ? QString() : path.back();
        path.push_back(name);
        if (name == u"abstractNum" && path.size() == 2) {
            abstractId = idValue(numberAttribute(r, QLatin1String("abstractNumId"))).value_or(-1);
        } else if (name == u"num" && path.size() == 2) {
            numId = idValue(numberAttribute(r, QLatin1String("numId"))).value_or(-1);
        } else if (name == u"lvlOverride" && numId >= 0) {
            inOverride = true;
            level = idValue(numberAttribute(r, QLatin1String("ilvl"))).value_or(0);
        } else if (name == u"lvl") {
            const int l = idValue(numberAttribute(r, QLatin1String("ilvl"))).value_or(inOverride ? level : 0);
            if (l >= WordListNumbering::kLevels)
                lvl = nullptr;
            else if (abstractId >= 0 && parent == u"abstractNum")
                lvl = &n.abstractLevel(abstractId, l);
            else if (numId >= 0 && inOverride)
                lvl = &n.levelOverride(numId, l);
        } else if (name == u"abstractNumId" && numId >= 0 && parent == u"num") {
            if (const auto a = idValue(numberAttribute(r, QLatin1String("val"))))
                n.setNumAbstract(numId, *a);
        } else if (name == u"startOverride" && numId >= 0 && inOverride && level < WordListNumbering::kLevels) {
            if (const auto v = numberAttribute(r, QLatin1String("val")))
                n.setStartOverride(numId, level, *v);
        } else if (name == u"numStyleLink" && abstractId >= 0 && parent == u"abstractNum") {
            n.setNumStyleLink(abstractId, textAttribute(r, QLatin1String("val")));
        } else if (lvl && parent == u"lvl") {
            if (name == u"start")
                lvl->start = numberAttribute(r, QLatin1String("val")).value_or(1);
            else if (name == u"numFmt")
                lvl->format = listFormatFromWordName(textAttribute(r, QLatin1String("val")));
            else if (name == u"lvlText")
                lvl->text = decodeOoxmlEscapes(textAttribute(r, QLatin1String("val")));
            else if (name == u"isLgl")
                lvl->legal = textAttribute(r, QLatin1String("val")) != u"0" && textAttribute(r, QLatin1String("val")) != u"false";
            else if (name == u"lvlRestart") {
                // 0: never restarts; n: restarts after a paragraph of level n (counted from 1).
                const qint64 v = numberAttribute(r, QLatin1String("val")).value_or(0);
                lvl->restartAfter = v <= 0 ? -2 : int(qMin<qint64>(v, WordListNumbering::kLevels)) - 1;
            }
            else if (name == u"pStyle")
                lvl->paragraphStyle = textAttribute(r, QLatin1String("val"));
        }
    });
}

// w:styles: paragraph styles, what they base on and the numbering in their paragraph properties.
void readStylesPart(const QByteArray &xml, const QString &partName, WordListNumbering &n)
{
    std::vector<QString> path;
    QString styleId;
    streamXml(xml, partName, [&](const QXmlStreamReader &r) {
        if (r.isEndElement()) {
            if (r.name() == u"style")
                styleId.clear();
            if (!path.empty())
                path.pop_back();
            return;
        }
        if (!r.isStartElement())
            return;
        const QString name = r.name().toString();
        path.push_back(name);
        if (name == u"style" && path.size() == 2) {
            styleId = textAttribute(r, QLatin1String("type")) == u"paragraph" ? textAttribute(r, QLatin1String("styleId"))
                                                                                : QString();
            const QString isDefault = textAttribute(r, QLatin1String("default"));
            if (!styleId.isEmpty() && (isDefault == u"1" || isDefault == u"true" || isDefault == u"on"))
                n.setDefaultParagraphStyle(styleId);
        } else if (styleId.isEmpty()) {
            return;
        } else if (name == u"basedOn" && path.size() == 3) {
            n.setStyleBase(styleId, textAttribute(r, QLatin1String("val")));
        } else if (path.size() == 5 && path[2] == u"pPr" && path[3] == u"numPr") {
            if (name == u"numId")
                n.setStyleNumbering(styleId, idValue(numberAttribute(r, QLatin1String("val"))), std::nullopt);
            else if (name == u"ilvl")
                n.setStyleNumbering(styleId, std::nullopt, idValue(numberAttribute(r, QLatin1String("val"))));
        }
    });
}

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
        if (f.localName != QLatin1String("Relationship") ||
            f.attributes.value(QLatin1String("TargetMode")).compare(QLatin1String("External"), Qt::CaseInsensitive) == 0)
            return true;
        const QStringView type = f.attributes.value(QLatin1String("Type"));
        const QString target = f.attributes.value(QLatin1String("Target")).toString();
        const QString part = partNameFromTarget(target.startsWith(QLatin1Char('/')) ? target : folder + target);
        if (part.isEmpty())
            return true;
        if (type.endsWith(QLatin1String("/numbering")) && parts.numbering.isEmpty())
            parts.numbering = part;
        else if (type.endsWith(QLatin1String("/styles")) && parts.styles.isEmpty())
            parts.styles = part;
        else if ((type.endsWith(QLatin1String("/header")) || type.endsWith(QLatin1String("/footer")) ||
                  type.endsWith(QLatin1String("/footnotes")) || type.endsWith(QLatin1String("/endnotes"))) &&
                 !parts.otherStories.contains(part))
            parts.otherStories << part;
        return true;
    });
    return parts;
}

WordListNumbering readWordListNumbering(const ZipArchive &zip, const OoxmlTextParts &parts, bool directNumbering)
{
    WordListNumbering n;
    if (parts.numbering.isEmpty())
        return n;
    // Most styles parts number nothing; a quick look saves parsing them.
    const QByteArray styles = readDefinitionPart(zip, parts.styles);
    const bool styleNumbering = styles.contains("numPr");
    if (!directNumbering && !styleNumbering)
        return n;
    const QByteArray numbering = readDefinitionPart(zip, parts.numbering);
    if (numbering.isEmpty())
        return n;
    readNumberingPart(numbering, parts.numbering, n);
    if (!n.isEmpty() && styleNumbering)
        readStylesPart(styles, parts.styles, n);
    return n;
}

} // namespace word
