// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Office Open XML word-processing packages (.docx .docm .dotx .dotm, transitional and strict): the main
// part found through the package relationships, the core and extended property parts.
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/MainText.h"
#include "word/SharedProperties.h"
#include "word/ZipDocument.h"
#include "word/toolkit/Dates.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlFields.h"
#include <QStringList>
#include <QUrl>

namespace word {

namespace {

// A target with nothing to decode or resolve: no escapes, no backslashes, no empty, "." or ".." step.
// Looked through once, character by character: targets are a few dozen characters.
bool isPlainPartName(QStringView t)
{
    const char16_t *const end = t.utf16() + t.size();
    const char16_t *stepStart = t.utf16();
    for (const char16_t *p = stepStart;; ++p) {
        const bool atEnd = p == end;
        const char16_t c = atEnd ? u'/' : *p; // the end closes the last step
        if (c == u'%' || c == u'\\')
            return false;
        if (c != u'/')
            continue;
        const auto length = p - stepStart;
        if (length == 0 || (stepStart[0] == u'.' && (length == 1 || (length == 2 && stepStart[1] == u'.'))))
            return false;
        if (atEnd)
            return true;
        stepStart = p + 1;
    }
}

} // namespace

QString partNameFromTarget(const QString &target)
{
    // Nearly every target is plain ("word/document.xml", "/docProps/core.xml"): only its leading slashes go.
    QStringView plain(target);
    while (plain.startsWith(QLatin1Char('/')))
        plain = plain.sliced(1);
    if (isPlainPartName(plain))
        return plain.size() == target.size() ? target : plain.toString();
    QString t = QUrl::fromPercentEncoding(target.toUtf8());
    t.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList out;
    for (const QString &seg : t.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (seg == QLatin1String("."))
            continue;
        if (seg == QLatin1String("..")) {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out << seg;
    }
    return out.join(QLatin1Char('/'));
}

namespace {

const DateElementNames kOoxmlDates{"created", "modified", "lastPrinted"};

struct PackageRelationships {
    QString mainDocument;
    QString coreProperties;
    QString extendedProperties;
};

PackageRelationships readPackageRelationships(const QByteArray &xml)
{
    PackageRelationships r;
    walkXmlFields(xml, QStringLiteral("_rels/.rels"), 2, [&](const XmlField &f) {
        if (f.localName != "Relationship")
            return true;
        if (equalsIgnoringAsciiCase(f.attributes.value("TargetMode"), "External"))
            return true;
        // Transitional, strict and the older core-properties name all end the same way.
        const std::string_view type = f.attributes.value("Type");
        QString *wanted = nullptr;
        if (type.ends_with("/officeDocument"))
            wanted = &r.mainDocument;
        else if (type.ends_with("/metadata/core-properties"))
            wanted = &r.coreProperties;
        else if (type.ends_with("/extended-properties") || type.ends_with("/extendedProperties"))
            wanted = &r.extendedProperties;
        // The first relationship of each kind with a target counts; the others (pictures, custom
        // properties and the like) are passed over without their targets being worked out.
        if (wanted && wanted->isEmpty())
            *wanted = partNameFromTarget(f.decode(f.attributes.value("Target")));
        return true;
    });
    return r;
}

// Whether a part name as the package writes it names `part`. Nearly every name is plain ("/word/document.xml"):
// compared as it is, without the copy that working out an escaped or relative name takes.
bool isPartNamed(QStringView written, const QString &part)
{
    QStringView plain = written;
    while (plain.startsWith(QLatin1Char('/')))
        plain = plain.sliced(1);
    if (isPlainPartName(plain))
        return plain.compare(part, Qt::CaseInsensitive) == 0;
    return partNameFromTarget(written.toString()).compare(part, Qt::CaseInsensitive) == 0;
}

// The content type of `part` from [Content_Types].xml; empty when the package does not say.
QString contentTypeOf(const QByteArray &xml, const QString &part)
{
    QString byOverride, byDefault;
    const int dot = part.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot >= 0 ? part.mid(dot + 1) : QString();
    walkXmlFields(xml, QStringLiteral("[Content_Types].xml"), 2, [&](const XmlField &f) {
        if (f.localName == "Override") {
            if (isPartNamed(f.decode(f.attributes.value("PartName")), part))
                byOverride = f.decode(f.attributes.value("ContentType"));
        } else if (f.localName == "Default") {
            if (f.decode(f.attributes.value("Extension")).compare(extension, Qt::CaseInsensitive) == 0)
                byDefault = f.decode(f.attributes.value("ContentType"));
        }
        return byOverride.isEmpty();
    });
    return byOverride.isEmpty() ? byDefault : byOverride;
}

enum class MainKind { Word, Spreadsheet, Presentation, Drawing, Other };

MainKind classify(const QString &contentType, const QString &mainPart)
{
    const QString ct = contentType.toLower();
    if (!ct.isEmpty()) {
        if (ct.contains(QLatin1String("wordprocessingml")) || ct.startsWith(QLatin1String("application/vnd.ms-word.")))
            return MainKind::Word;
        if (ct.contains(QLatin1String("spreadsheetml")) || ct.contains(QLatin1String("ms-excel")))
            return MainKind::Spreadsheet;
        if (ct.contains(QLatin1String("presentationml")) || ct.contains(QLatin1String("ms-powerpoint")))
            return MainKind::Presentation;
        if (ct.contains(QLatin1String("visio")) || ct.contains(QLatin1String("drawingml")))
            return MainKind::Drawing;
        return MainKind::Other;
    }
    const QString p = mainPart.toLower();
    if (p.startsWith(QLatin1String("word/")))
        return MainKind::Word;
    if (p.startsWith(QLatin1String("xl/")))
        return MainKind::Spreadsheet;
    if (p.startsWith(QLatin1String("ppt/")))
        return MainKind::Presentation;
    if (p.startsWith(QLatin1String("visio/")))
        return MainKind::Drawing;
    return MainKind::Other;
}

void readCoreProperties(const QByteArray &xml, const QString &partName, DocumentData &d)
{
    walkXmlFields(xml, partName, 2, [&](const XmlField &f) {
        if (setCoreProperty(d, f, kOoxmlDates, XmlText::OoxmlEscaped))
            return true;
        const std::string_view n = f.localName;
        if (n == "creator")
            d.setText(Builtin::Author, decodeOoxmlEscapes(f.text()));
        else if (n == "keywords")
            d.setText(Builtin::Keywords, decodeOoxmlEscapes(f.text()));
        else if (n == "lastModifiedBy")
            d.setText(Builtin::LastAuthor, decodeOoxmlEscapes(f.text()));
        else if (n == "revision")
            d.setText(Builtin::RevisionNumber, decodeOoxmlEscapes(f.text()));
        else if (n == "category")
            d.setText(Builtin::Category, decodeOoxmlEscapes(f.text()));
        return true;
    });
}

// Also hands back the name of the program that wrote the document, whose way of counting the stored
// counts follow.
void readExtendedProperties(const QByteArray &xml, const QString &partName, DocumentData &d, QString &application)
{
    walkXmlFields(xml, partName, 2, [&](const XmlField &f) {
        if (f.localName == "Application")
            application = f.text();
        else
            (void)setApplicationProperty(d, f, XmlText::OoxmlEscaped);
        return true;
    });
}

} // namespace

DocumentData readOoxml(const FileContent &content, const ZipArchive &zip, const QByteArray &rels)
{
    const QString path = content.file.path();
    const PackageRelationships r = readPackageRelationships(rels);
    if (r.mainDocument.isEmpty())
        throwUnknownFormat(path, QStringLiteral("OPC"),
                           QStringLiteral("it is an Office Open XML package without a main document"));
    // The word processor's own packages keep the main part in word/; only others need the content types.
    QString contentType;
    if (!r.mainDocument.startsWith(QLatin1String("word/"), Qt::CaseInsensitive)) {
        if (const auto ctIndex = zip.find(QStringLiteral("[Content_Types].xml")))
            contentType = contentTypeOf(zip.read(*ctIndex, limits::kMaxPropertyPartBytes), r.mainDocument);
    }
    switch (classify(contentType, r.mainDocument)) {
    case MainKind::Word:
        break;
    case MainKind::Spreadsheet:
        throwUnknownFormat(path, QStringLiteral("XLSX"), QStringLiteral("it is an Excel workbook"));
    case MainKind::Presentation:
        throwUnknownFormat(path, QStringLiteral("PPTX"), QStringLiteral("it is a PowerPoint presentation"));
    case MainKind::Drawing:
        throwUnknownFormat(path, QStringLiteral("VSDX"), QStringLiteral("it is a Visio drawing"));
    case MainKind::Other:
        throwUnknownFormat(path, QStringLiteral("OPC"),
                           QStringLiteral("it is an Office Open XML package whose main part is not a Word "
                                          "document (%1)")
                               .arg(contentType.isEmpty() ? r.mainDocument : contentType));
    }
    if (!zip.find(r.mainDocument))
        throw DamagedContent(QStringLiteral("its main document part %1 is missing").arg(r.mainDocument));

    DocumentData d;
    d.format = QStringLiteral("OOXML");
    if (!r.coreProperties.isEmpty())
        if (const QByteArray core = readPart(zip, r.coreProperties); !core.isEmpty())
            readCoreProperties(core, r.coreProperties, d);
    QString application;
    if (!r.extendedProperties.isEmpty())
        if (const QByteArray app = readPart(zip, r.extendedProperties); !app.isEmpty())
            readExtendedProperties(app, r.extendedProperties, d, application);
    computeMissingStatistics(d, content, [&](TextCounter &c) {
        c.setRules(CountingRules::ofWriter(application));
        countOoxmlText(zip, r.mainDocument, c);
    });
    return d;
}

} // namespace word
