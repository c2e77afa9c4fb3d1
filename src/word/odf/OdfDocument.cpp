// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// OpenDocument text (.odt .ott): the properties in meta.xml, its statistics element included.
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

const DateElementNames kOdfDates{"creation-date", "date", "print-date"};

// A count written as an attribute value; the value is decoded only to report one that does not read.
void setCount(DocumentData &d, Builtin id, const XmlField &f, std::string_view value)
{
    const std::optional<qint64> count = parseWholeNumber(value);
    d.setIntegerText(id, count ? QString() : f.decode(value), count);
}

// Also hands back meta:generator, the program that wrote the document.
void readOdfMeta(const QByteArray &xml, DocumentData &d, QString &generator)
{
    QStringList keywords;
    qint64 keywordChars = 0;
    walkXmlFields(xml, QStringLiteral("meta.xml"), 3, [&](const XmlField &f) {
        if (f.parentLocalName != "meta")
            return true;
        if (setCoreProperty(d, f, kOdfDates, XmlText::AsWritten))
            return true;
        const std::string_view n = f.localName;
        if (n == "generator")
            generator = f.text();
        else if (n == "initial-creator")
            d.setText(Builtin::Author, f.text());
        else if (n == "creator")
            d.setText(Builtin::LastAuthor, f.text());
        else if (n == "keyword") {
            // Each keyword ends at a NUL like any other text; the joined list has a bound of its own.
            QString keyword = f.text();
            if (const qsizetype nul = keyword.indexOf(QChar(0)); nul >= 0)
                keyword.truncate(nul);
            keywordChars += keyword.size() + 2;
            if (keywordChars > limits::kMaxJoinedListChars)
                throw DamagedContent(QStringLiteral("its part meta.xml holds a keyword list that is too long"));
            keywords << keyword;
        } else if (n == "editing-cycles")
            d.setText(Builtin::RevisionNumber, f.text().trimmed());
        else if (n == "editing-duration") {
            d.setIntegerText(Builtin::TotalEditingTime, f.text(), parseIsoDurationMinutes(f.text()));
        } else if (n == "template") {
            constexpr std::string_view xlink = "http://www.w3.org/1999/xlink";
            const QString href = f.decode(f.attributes.value(xlink, "href"));
            const QString title = f.decode(f.attributes.value(xlink, "title"));
            if (!href.isEmpty())
                d.setText(Builtin::Template, QUrl::fromPercentEncoding(href.toUtf8()));
            else if (!title.isEmpty())
                d.setText(Builtin::Template, title);
        } else if (n == "document-statistic") {
            for (const XmlFieldAttribute &a : f.attributes) {
                const std::string_view an = a.name;
                if (an == "page-count")
                    setCount(d, Builtin::NumberOfPages, f, a.value);
                else if (an == "paragraph-count")
                    setCount(d, Builtin::NumberOfParagraphs, f, a.value);
                else if (an == "word-count")
                    setCount(d, Builtin::NumberOfWords, f, a.value);
                else if (an == "character-count")
                    setCount(d, Builtin::NumberOfCharactersWithSpaces, f, a.value);
                else if (an == "non-whitespace-character-count")
                    setCount(d, Builtin::NumberOfCharacters, f, a.value);
            }
        }
        return true;
    });
    if (!keywords.isEmpty())
        d.setText(Builtin::Keywords, keywords.join(QStringLiteral(", ")));
}

} // namespace

DocumentData readOdf(const FileContent &content, const ZipArchive &zip, const QString &mimeType)
{
    const QString path = content.file.path();
    const QString mt = mimeType.trimmed();
    if (mt != QLatin1String("application/vnd.oasis.opendocument.text")
        && mt != QLatin1String("application/vnd.oasis.opendocument.text-template")) {
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
    QString generator;
    try {
        if (!meta.isEmpty())
            readOdfMeta(meta, d, generator);
    } catch (const DamagedContent &) {
        // An encrypted document keeps its parts unreadable until the password is given.
        const QByteArray manifest = readPart(zip, QStringLiteral("META-INF/manifest.xml"));
        if (manifest.contains("encryption-data"))
            throwEncrypted(path, QStringLiteral("ODT-ENCRYPTED"));
        throw;
    }
    computeMissingStatistics(d, content, [&](TextCounter &c) {
        // ODF is the office suites' own format: their way of counting, unless Word wrote the file.
        c.setRules(generator.contains(QLatin1String("Microsoft"), Qt::CaseInsensitive) ? CountingRules::word()
                                                                                       : CountingRules::officeSuite());
        countOdfText(zip, c);
    });
    return d;
}

} // namespace word
