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

const DateElementNames kOdfDates{QLatin1String("creation-date"), QLatin1String("date"), QLatin1String("print-date")};

void setCount(DocumentData &d, Builtin id, QStringView text) { d.setIntegerText(id, text, parseWholeNumber(text)); }

// Also hands back meta:generator, the program that wrote the document.
void readOdfMeta(const QByteArray &xml, DocumentData &d, QString &generator)
{
    QStringList keywords;
    qint64 keywordChars = 0;
    walkXmlFields(xml, QStringLiteral("meta.xml"), 3, [&](const XmlField &f) {
        if (f.parentLocalName != QLatin1String("meta"))
            return true;
        const QStringView n = f.localName;
        if (setCoreProperty(d, n, f.text, kOdfDates, XmlText::AsWritten))
            return true;
        if (n == QLatin1String("generator"))
            generator = f.text;
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
        } else if (n == QLatin1String("editing-cycles"))
            d.setText(Builtin::RevisionNumber, f.text.trimmed());
        else if (n == QLatin1String("editing-duration")) {
            d.setIntegerText(Builtin::TotalEditingTime, f.text, parseIsoDurationMinutes(f.text));
        } else if (n == QLatin1String("template")) {
            const QLatin1String xlink("http://www.w3.org/1999/xlink");
            const QString href = f.attributes.value(xlink, QLatin1String("href")).toString();
            const QString title = f.attributes.value(xlink, QLatin1String("title")).toString();
            if (!href.isEmpty())
                d.setText(Builtin::Template, QUrl::fromPercentEncoding(href.toUtf8()));
            else if (!title.isEmpty())
                d.setText(Builtin::Template, title);
        } else if (n == QLatin1String("document-statistic")) {
            for (const XmlFieldAttribute &a : f.attributes) {
                const QStringView an = a.name;
                if (an == QLatin1String("page-count"))
                    setCount(d, Builtin::NumberOfPages, a.value);
                else if (an == QLatin1String("paragraph-count"))
                    setCount(d, Builtin::NumberOfParagraphs, a.value);
                else if (an == QLatin1String("word-count"))
                    setCount(d, Builtin::NumberOfWords, a.value);
                else if (an == QLatin1String("character-count"))
                    setCount(d, Builtin::NumberOfCharactersWithSpaces, a.value);
                else if (an == QLatin1String("non-whitespace-character-count"))
                    setCount(d, Builtin::NumberOfCharacters, a.value);
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
