// Zip-based documents: Office Open XML word-processing packages (.docx .docm .dotx .dotm, transitional
// and strict) and OpenDocument text. Only the parts that hold properties are unpacked.
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/Xml.h"
#include "word/ZipArchive.h"
#include <QStringList>
#include <QUrl>

namespace word {

namespace {

void setCount(DocumentData &d, Builtin id, QStringView text)
{
    if (const auto n = parseWholeNumber(text))
        d.setInteger(id, *n);
}

// A relationship target or part name as a zip entry name: percent-decoded, no leading slash, with "."
// and ".." segments resolved against the package root.
QString partNameFromTarget(const QString &target)
{
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

struct PackageRelationships {
    QString mainDocument;
    QString coreProperties;
    QString extendedProperties;
};

PackageRelationships readPackageRelationships(const QByteArray &xml)
{
    PackageRelationships r;
    walkXmlFields(xml, QStringLiteral("_rels/.rels"), 2, [&](const XmlField &f) {
        if (f.localName != QLatin1String("Relationship"))
            return true;
        if (f.attributes.value(QLatin1String("TargetMode")).compare(QLatin1String("External"), Qt::CaseInsensitive) == 0)
            return true;
        const QStringView type = f.attributes.value(QLatin1String("Type"));
        const QString target = partNameFromTarget(f.attributes.value(QLatin1String("Target")).toString());
        if (target.isEmpty())
            return true;
        // Transitional, strict and the older core-properties name all end the same way.
        if (type.endsWith(QLatin1String("/officeDocument")) && r.mainDocument.isEmpty())
            r.mainDocument = target;
        else if (type.endsWith(QLatin1String("/metadata/core-properties")) && r.coreProperties.isEmpty())
            r.coreProperties = target;
        else if ((type.endsWith(QLatin1String("/extended-properties")) ||
                  type.endsWith(QLatin1String("/extendedProperties"))) && r.extendedProperties.isEmpty())
            r.extendedProperties = target;
        return true;
    });
    return r;
}

// The content type of `part` from [Content_Types].xml; empty when the package does not say.
QString contentTypeOf(const QByteArray &xml, const QString &part)
{
    QString byOverride, byDefault;
    const int dot = part.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot >= 0 ? part.mid(dot + 1) : QString();
    walkXmlFields(xml, QStringLiteral("[Content_Types].xml"), 2, [&](const XmlField &f) {
        if (f.localName == QLatin1String("Override")) {
            if (partNameFromTarget(f.attributes.value(QLatin1String("PartName")).toString())
                    .compare(part, Qt::CaseInsensitive) == 0)
                byOverride = f.attributes.value(QLatin1String("ContentType")).toString();
        } else if (f.localName == QLatin1String("Default")) {
            if (f.attributes.value(QLatin1String("Extension")).compare(extension, Qt::CaseInsensitive) == 0)
                byDefault = f.attributes.value(QLatin1String("ContentType")).toString();
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

// A part that holds properties (core, app, meta, the manifest): a few kilobytes in real documents, so one
// stating megabytes is refused before it is unpacked or parsed.
QByteArray readPart(const ZipArchive &zip, const QString &name)
{
    const auto index = zip.find(name);
    if (!index)
        return {};
    return zip.read(*index, limits::kMaxPropertyPartBytes);
}

void readCoreProperties(const QByteArray &xml, const QString &partName, DocumentData &d)
{
    walkXmlFields(xml, partName, 2, [&](const XmlField &f) {
        const QStringView n = f.localName;
        if (n == QLatin1String("title"))
            d.setText(Builtin::Title, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("subject"))
            d.setText(Builtin::Subject, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("creator"))
            d.setText(Builtin::Author, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("keywords"))
            d.setText(Builtin::Keywords, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("description"))
            d.setText(Builtin::Comments, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("lastModifiedBy"))
            d.setText(Builtin::LastAuthor, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("revision"))
            d.setText(Builtin::RevisionNumber, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("category"))
            d.setText(Builtin::Category, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("created"))
            d.setW3cDate(Builtin::CreationDate, f.text);
        else if (n == QLatin1String("modified"))
            d.setW3cDate(Builtin::LastSaveTime, f.text);
        else if (n == QLatin1String("lastPrinted"))
            d.setW3cDate(Builtin::LastPrintDate, f.text);
        return true;
    });
}

void readExtendedProperties(const QByteArray &xml, const QString &partName, DocumentData &d)
{
    walkXmlFields(xml, partName, 2, [&](const XmlField &f) {
        const QStringView n = f.localName;
        if (n == QLatin1String("Template"))
            d.setText(Builtin::Template, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("Company"))
            d.setText(Builtin::Company, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("Manager"))
            d.setText(Builtin::Manager, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("HyperlinkBase"))
            d.setText(Builtin::HyperlinkBase, decodeOoxmlEscapes(f.text));
        else if (n == QLatin1String("TotalTime"))
            setCount(d, Builtin::TotalEditingTime, f.text);
        else if (n == QLatin1String("Pages"))
            setCount(d, Builtin::NumberOfPages, f.text);
        else if (n == QLatin1String("Words"))
            setCount(d, Builtin::NumberOfWords, f.text);
        else if (n == QLatin1String("Characters"))
            setCount(d, Builtin::NumberOfCharacters, f.text);
        else if (n == QLatin1String("CharactersWithSpaces"))
            setCount(d, Builtin::NumberOfCharactersWithSpaces, f.text);
        else if (n == QLatin1String("Lines"))
            setCount(d, Builtin::NumberOfLines, f.text);
        else if (n == QLatin1String("Paragraphs"))
            setCount(d, Builtin::NumberOfParagraphs, f.text);
        return true;
    });
}

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
    if (!r.extendedProperties.isEmpty())
        if (const QByteArray app = readPart(zip, r.extendedProperties); !app.isEmpty())
            readExtendedProperties(app, r.extendedProperties, d);
    computeMissingStatistics(d, content, [&](TextCounter &c) { countOoxmlText(zip, r.mainDocument, c); });
    return d;
}

void readOdfMeta(const QByteArray &xml, DocumentData &d)
{
    QStringList keywords;
    qint64 keywordChars = 0;
    walkXmlFields(xml, QStringLiteral("meta.xml"), 3, [&](const XmlField &f) {
        if (f.parentLocalName != QLatin1String("meta"))
            return true;
        const QStringView n = f.localName;
        if (n == QLatin1String("title"))
            d.setText(Builtin::Title, f.text);
        else if (n == QLatin1String("subject"))
            d.setText(Builtin::Subject, f.text);
        else if (n == QLatin1String("description"))
            d.setText(Builtin::Comments, f.text);
        else if (n == QLatin1String("initial-creator"))
            d.setText(Builtin::Author, f.text);
        else if (n == QLatin1String("creator"))
            d.setText(Builtin::LastAuthor, f.text);
        else if (n == QLatin1String("keyword")) {
            // Each keyword ends at a NUL like any other text; the joined list has a bound of its own.
            QString keyword = f.text;
            if (const qsizetype nul = keyword.indexOf(QChar(0)); nul >= 0)
                keyword.truncate(nul);
            keywordChars += keyword.size() + 2;
            if (keywordChars > limits::kMaxJoinedListChars)
                throw DamagedContent(QStringLiteral("its part meta.xml holds a keyword list that is too long"));
            keywords << keyword;
        }
        else if (n == QLatin1String("creation-date"))
            d.setW3cDate(Builtin::CreationDate, f.text);
        else if (n == QLatin1String("date"))
            d.setW3cDate(Builtin::LastSaveTime, f.text);
        else if (n == QLatin1String("print-date"))
            d.setW3cDate(Builtin::LastPrintDate, f.text);
        else if (n == QLatin1String("editing-cycles"))
            d.setText(Builtin::RevisionNumber, f.text.trimmed());
        else if (n == QLatin1String("editing-duration")) {
            if (const auto minutes = parseIsoDurationMinutes(f.text))
                d.setInteger(Builtin::TotalEditingTime, *minutes);
        } else if (n == QLatin1String("template")) {
            const QLatin1String xlink("http://www.w3.org/1999/xlink");
            const QString href = f.attributes.value(xlink, QLatin1String("href")).toString();
            const QString title = f.attributes.value(xlink, QLatin1String("title")).toString();
            if (!href.isEmpty())
                d.setText(Builtin::Template, QUrl::fromPercentEncoding(href.toUtf8()));
            else if (!title.isEmpty())
                d.setText(Builtin::Template, title);
        } else if (n == QLatin1String("document-statistic")) {
            for (const QXmlStreamAttribute &a : f.attributes) {
                const QStringView an = a.name();
                if (an == QLatin1String("page-count"))
                    setCount(d, Builtin::NumberOfPages, a.value());
                else if (an == QLatin1String("paragraph-count"))
                    setCount(d, Builtin::NumberOfParagraphs, a.value());
                else if (an == QLatin1String("word-count"))
                    setCount(d, Builtin::NumberOfWords, a.value());
                else if (an == QLatin1String("character-count"))
                    setCount(d, Builtin::NumberOfCharactersWithSpaces, a.value());
                else if (an == QLatin1String("non-whitespace-character-count"))
                    setCount(d, Builtin::NumberOfCharacters, a.value());
            }
        }
        return true;
    });
    if (!keywords.isEmpty())
        d.setText(Builtin::Keywords, keywords.join(QStringLiteral(", ")));
}

DocumentData readOdf(const FileContent &content, const ZipArchive &zip, const QString &mimeType)
{
    const QString path = content.file.path();
    const QString mt = mimeType.trimmed();
    if (mt != QLatin1String("application/vnd.oasis.opendocument.text") &&
        mt != QLatin1String("application/vnd.oasis.opendocument.text-template")) {
        if (mt == QLatin1String("application/epub+zip"))
            throwUnknownFormat(path, QStringLiteral("EPUB"), QStringLiteral("it is an EPUB e-book"));
        const QString prefix = QStringLiteral("application/vnd.oasis.opendocument.");
        if (mt.startsWith(prefix)) {
            const QString kind = mt.mid(prefix.size()).section(QLatin1Char('-'), 0, 0);
            throwUnknownFormat(path, QStringLiteral("ODF"),
                               QStringLiteral("it is an OpenDocument %1, not a text document").arg(kind));
        }
        throwUnknownFormat(path, QStringLiteral("ZIP"),
                           QStringLiteral("it is a zip archive of type \"%1\", not a document").arg(mt.left(80)));
    }
    DocumentData d;
    d.format = QStringLiteral("ODT");
    const QByteArray meta = readPart(zip, QStringLiteral("meta.xml"));
    try {
        if (!meta.isEmpty())
            readOdfMeta(meta, d);
    } catch (const DamagedContent &) {
        // An encrypted document keeps its parts unreadable until the password is given.
        const QByteArray manifest = readPart(zip, QStringLiteral("META-INF/manifest.xml"));
        if (manifest.contains("encryption-data"))
            throwEncrypted(path, QStringLiteral("ODT-ENCRYPTED"));
        throw;
    }
    computeMissingStatistics(d, content, [&](TextCounter &c) { countOdfText(zip, c); });
    return d;
}

} // namespace

DocumentData readZipDocument(const FileContent &content)
{
    const ZipArchive zip(content);
    const auto rels = zip.find(QStringLiteral("_rels/.rels"));
    // OpenDocument (and EPUB) name their kind in a first part called mimetype.
    if (const auto mimetype = zip.find(QStringLiteral("mimetype"))) {
        const QString type = QString::fromUtf8(zip.read(*mimetype, 4096));
        if (!rels || type.startsWith(QLatin1String("application/vnd.oasis.opendocument.")))
            return readOdf(content, zip, type);
    }
    if (rels)
        return readOoxml(content, zip, zip.read(*rels, limits::kMaxPropertyPartBytes));
    if (zip.find(QStringLiteral("[Content_Types].xml")))
        throw DamagedContent(QStringLiteral("its package relationships (_rels/.rels) are missing"));
    if (zip.find(QStringLiteral("META-INF/MANIFEST.MF")))
        throwUnknownFormat(content.file.path(), QStringLiteral("JAR"), QStringLiteral("it is a Java archive"));
    QStringList names;
    for (qint64 i = 0; i < zip.entryCount() && names.size() < 5; ++i)
        names << QLatin1Char('"') + zip.nameAt(i) + QLatin1Char('"');
    throwUnknownFormat(content.file.path(), QStringLiteral("ZIP"),
                       names.isEmpty() ? QStringLiteral("it is an empty zip archive")
                                       : QStringLiteral("it is a zip archive without a document (it holds %1%2)")
                                             .arg(names.join(QStringLiteral(", ")),
                                                  zip.entryCount() > 5 ? QStringLiteral(", ...") : QString()));
}

} // namespace word
