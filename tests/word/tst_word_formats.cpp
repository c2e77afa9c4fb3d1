// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The formats other than the Word binaries: Office Open XML (transitional and strict, documents,
// templates, macro-enabled), OpenDocument text, RTF, Word 2003 XML and plain text; and what the engine
// says about files it cannot read.
#include "ReadValues.h"
#include "WordTestMain.h"
#include "WordTestSupport.h"
#include "word/Engine.h"
#include "word/Errors.h"
#include "word/ZipDocument.h"
#include <sys/stat.h>
#include <unistd.h>

using word::Builtin;
using word::PropertyValue;
using wt::number;
using wt::text;
using wt::utc;
using wt::when;

namespace {

const QList<QPair<QString, QString>> kCore{{"dc:title", "The document title"},
                                           {"dc:subject", "the subject"},
                                           {"dc:creator", "Author: Jeff"},
                                           {"cp:keywords", "keyword 1, keyword 2"},
                                           {"dc:description", "here are my comments"},
                                           {"cp:lastModifiedBy", "Jeff"},
                                           {"cp:revision", "3"},
                                           {"cp:category", "category goes here"},
                                           {"cp:lastPrinted", "2009-10-24T01:40:00Z"},
                                           {"dcterms:created", "2009-10-24T01:41:00Z"},
                                           {"dcterms:modified", "2009-10-24T01:48:00Z"}};
const QList<QPair<QString, QString>> kApp{{"Template", "Normal"},
                                          {"TotalTime", "7"},
                                          {"Pages", "1"},
                                          {"Words", "7"},
                                          {"Characters", "42"},
                                          {"Application", "Microsoft Office Word"},
                                          {"Lines", "7"},
                                          {"Paragraphs", "4"},
                                          {"Company", "Company - ExifTool"},
                                          {"Manager", "Manager: Self"},
                                          {"HyperlinkBase", "the hyperlink base goes here!"},
                                          {"CharactersWithSpaces", "45"}};
} // namespace

class TstWordFormats : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_counter = 0;

    QString store(const QByteArray &file, const QString &suffix = QStringLiteral(".docx"))
    {
        return wt::writeFile(m_dir, QStringLiteral("f%1%2").arg(++m_counter).arg(suffix), file);
    }
    word::DocumentProperties read(const QByteArray &file, const QString &suffix = QStringLiteral(".docx"))
    {
        return word::readDocumentProperties(store(file, suffix));
    }
    word::Error openError(const QString &path)
    {
        try {
            word::readDocumentProperties(path);
        } catch (const word::Error &e) {
            return e;
        }
        return word::Error(word::Fault::NoValue, QStringLiteral("opened")) /* never an open failure */;
    }
    word::Error openError(const QByteArray &file, const QString &suffix = QStringLiteral(".docx"))
    {
        return openError(store(file, suffix));
    }

private slots:
    // ---------------------------------------------------------------- OOXML
    void ooxmlEveryProperty()
    {
        wt::DocxParts parts;
        parts.core = wt::coreXml(kCore);
        parts.app = wt::appXml(kApp);
        const auto p = read(wt::makeDocx(parts));
        QCOMPARE(p.format(), QStringLiteral("OOXML"));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("The document title"));
        QCOMPARE(text(p, Builtin::Subject), QStringLiteral("the subject"));
        QCOMPARE(text(p, Builtin::Author), QStringLiteral("Author: Jeff"));
        QCOMPARE(text(p, Builtin::Keywords), QStringLiteral("keyword 1, keyword 2"));
        QCOMPARE(text(p, Builtin::Comments), QStringLiteral("here are my comments"));
        QCOMPARE(text(p, Builtin::LastAuthor), QStringLiteral("Jeff"));
        QCOMPARE(*p.get(Builtin::RevisionNumber), PropertyValue::text(QStringLiteral("3")));
        QCOMPARE(text(p, Builtin::Category), QStringLiteral("category goes here"));
        QCOMPARE(when(p, Builtin::LastPrintDate), utc(2009, 10, 24, 1, 40));
        QCOMPARE(when(p, Builtin::CreationDate), utc(2009, 10, 24, 1, 41));
        QCOMPARE(when(p, Builtin::LastSaveTime), utc(2009, 10, 24, 1, 48));
        QCOMPARE(text(p, Builtin::Template), QStringLiteral("Normal"));
        QCOMPARE(*p.get(Builtin::TotalEditingTime), PropertyValue::integer(7));
        QCOMPARE(number(p, Builtin::NumberOfPages), 1);
        QCOMPARE(number(p, Builtin::NumberOfWords), 7);
        QCOMPARE(number(p, Builtin::NumberOfCharacters), 42);
        QCOMPARE(number(p, Builtin::NumberOfLines), 7);
        QCOMPARE(number(p, Builtin::NumberOfParagraphs), 4);
        QCOMPARE(number(p, Builtin::NumberOfCharactersWithSpaces), 45);
        QCOMPARE(text(p, Builtin::Company), QStringLiteral("Company - ExifTool"));
        QCOMPARE(text(p, Builtin::Manager), QStringLiteral("Manager: Self"));
        QCOMPARE(text(p, Builtin::HyperlinkBase), QStringLiteral("the hyperlink base goes here!"));
    }

    void ooxmlTimeZones_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("Z") << QStringLiteral("2007-10-02T07:22:00Z") << utc(2007, 10, 2, 7, 22);
        QTest::newRow("+03:00") << QStringLiteral("2007-10-02T07:22:00+03:00") << utc(2007, 10, 2, 4, 22);
        QTest::newRow("-05:30") << QStringLiteral("2007-10-02T22:00:00-05:30") << utc(2007, 10, 3, 3, 30);
        QTest::newRow("+0100 without colon") << QStringLiteral("2007-10-02T07:22:00+0100") << utc(2007, 10, 2, 6, 22);
        QTest::newRow("fraction") << QStringLiteral("2007-10-02T07:22:00.987Z") << utc(2007, 10, 2, 7, 22);
        QTest::newRow("minutes only") << QStringLiteral("2007-10-02T07:22Z") << utc(2007, 10, 2, 7, 22);
        QTest::newRow("date only, taken as local") << QStringLiteral("2007-10-02") << utc(2007, 10, 2);
        QTest::newRow("no zone, taken as local") << QStringLiteral("2007-10-02T07:22:00") << utc(2007, 10, 2, 7, 22);
    }

    void ooxmlTimeZones()
    {
        QFETCH(QString, stored);
        QFETCH(QDateTime, expected);
        wt::DocxParts parts;
        parts.core = wt::coreXml({{"dcterms:created", stored}});
        QCOMPARE(when(read(wt::makeDocx(parts)), Builtin::CreationDate), expected);
    }

    void ooxmlUnusableDates()
    {
        wt::DocxParts parts;
        parts.core = wt::coreXml(
            {{"dcterms:created", "not a date"}, {"dcterms:modified", "1601-01-01T00:00:00Z"}, {"cp:lastPrinted", ""}});
        const auto p = read(wt::makeDocx(parts));
        QVERIFY(!p.get(Builtin::CreationDate));
        QVERIFY(!p.get(Builtin::LastSaveTime));
        QVERIFY(!p.get(Builtin::LastPrintDate));
    }

    void ooxmlDefaultNamespaceCore()
    {
        wt::DocxParts parts;
        parts.core = "<?xml version=\"1.0\"?><coreProperties "
                     "xmlns=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\">"
                     "<title xmlns=\"http://purl.org/dc/elements/1.1/\">Plain title</title>"
                     "<creator xmlns=\"http://purl.org/dc/elements/1.1/\">Someone</creator>"
                     "<lastModifiedBy>Other</lastModifiedBy>"
                     "<created xmlns=\"http://purl.org/dc/terms/\">2011-04-04T10:49:26Z</created></coreProperties>";
        const auto p = read(wt::makeDocx(parts));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("Plain title"));
        QCOMPARE(text(p, Builtin::Author), QStringLiteral("Someone"));
        QCOMPARE(text(p, Builtin::LastAuthor), QStringLiteral("Other"));
        QCOMPARE(when(p, Builtin::CreationDate), utc(2011, 4, 4, 10, 49, 26));
    }

    // A property part may be written in any encoding its declaration names, single-byte or not.
    void ooxmlCoreInOtherEncodings_data()
    {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QString>("title");
        QTest::newRow("windows-1252") << QByteArray("windows-1252") << QStringLiteral("Caf\u00e9 \u20ac5");
        QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS") << QStringLiteral("\u65e5\u672c\u8a9e \\ x");
        QTest::newRow("UTF-16") << QByteArray("UTF-16") << QStringLiteral("\u65e5 \u00e9");
    }

    void ooxmlCoreInOtherEncodings()
    {
        QFETCH(QByteArray, encoding);
        QFETCH(QString, title);
        QStringEncoder encoder(encoding.constData(), QStringEncoder::Flag::WriteBom);
        wt::DocxParts parts;
        parts.core = encoder(
            QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?><cp:coreProperties "
                           "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
                           "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>%2</dc:title></cp:coreProperties>")
                .arg(QString::fromLatin1(encoding), title));
        QCOMPARE(text(read(wt::makeDocx(parts)), Builtin::Title), title);
    }

    void ooxmlRelationshipTypes_data()
    {
        QTest::addColumn<QString>("officeDocument");
        QTest::addColumn<QString>("core");
        QTest::addColumn<QString>("app");
        QTest::newRow("transitional")
            << "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"
            << "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"
            << "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
        QTest::newRow("older core type (LibreOffice 7)")
            << "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"
            << "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/core-properties"
            << "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
        QTest::newRow("strict")
            << "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument"
            << "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"
            << "http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties";
    }

    void ooxmlRelationshipTypes()
    {
        QFETCH(QString, officeDocument);
        QFETCH(QString, core);
        QFETCH(QString, app);
        wt::DocxParts parts;
        parts.officeDocRelType = officeDocument;
        parts.coreRelType = core;
        parts.appRelType = app;
        parts.core = wt::coreXml({{"dc:title", "Found"}});
        parts.app =
            "<Properties "
            "xmlns=\"http://purl.oclc.org/ooxml/officeDocument/extendedProperties\"><Pages>5</Pages></Properties>";
        const auto p = read(wt::makeDocx(parts));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("Found"));
        QCOMPARE(number(p, Builtin::NumberOfPages), 5);
    }

    void ooxmlKinds_data()
    {
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("docx") << "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"
                              << ".docx";
        QTest::newRow("docm") << "application/vnd.ms-word.document.macroEnabled.main+xml"
                              << ".docm";
        QTest::newRow("dotx") << "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"
                              << ".dotx";
        QTest::newRow("dotm") << "application/vnd.ms-word.template.macroEnabledTemplate.main+xml"
                              << ".dotm";
        QTest::newRow("docx named .doc")
            << "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"
            << ".doc";
    }

    void ooxmlKinds()
    {
        QFETCH(QString, contentType);
        QFETCH(QString, suffix);
        wt::DocxParts parts;
        parts.mainContentType = contentType;
        parts.mainPart = QStringLiteral("content/main.xml"); // outside word/: the content type decides
        parts.core = wt::coreXml({{"dc:title", suffix}});
        QCOMPARE(text(read(wt::makeDocx(parts), suffix), Builtin::Title), suffix);
    }

    void ooxmlTargetsAreResolved()
    {
        wt::DocxParts parts;
        parts.corePath = QStringLiteral("props/my%20core.xml");
        parts.core = wt::coreXml({{"dc:title", "Escaped name"}});
        // makeDocx stores the part under the target as written; store it under its real name instead.
        const QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                "<Relationship Id=\"a\" "
                                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                                "officeDocument\" Target=\"/word/./document.xml\"/>"
                                "<Relationship Id=\"b\" "
                                "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
                                "core-properties\" Target=\"props/../props/my%20core.xml\"/>"
                                "<Relationship Id=\"c\" "
                                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                                "hyperlink\" Target=\"http://example.com/\" TargetMode=\"External\"/>"
                                "</Relationships>";
        const auto p =
            read(wt::makeZip({{QStringLiteral("[Content_Types].xml"),
                               "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
                              {QStringLiteral("_rels/.rels"), rels},
                              {QStringLiteral("word/document.xml"), "<w:document/>"},
                              {QStringLiteral("props/my core.xml"), parts.core}}));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("Escaped name"));
    }

    void ooxmlWithoutProperties()
    {
        const auto p = read(wt::makeDocx({}));
        QCOMPARE(text(p, Builtin::Title), QString());
        QCOMPARE(text(p, Builtin::Template), QString());
        QVERIFY(!p.get(Builtin::CreationDate));
        QVERIFY(!p.get(Builtin::NumberOfPages));
        QVERIFY(!p.get(Builtin::TotalEditingTime));
    }

    void ooxmlOddNumbers()
    {
        wt::DocxParts parts;
        parts.app = wt::appXml({{"TotalTime", "4294967295"}, {"Pages", " 12 "}, {"Words", "-1"}, {"Lines", "many"}});
        const auto p = read(wt::makeDocx(parts));
        QCOMPARE(number(p, Builtin::TotalEditingTime), 4294967295ll);
        QCOMPARE(number(p, Builtin::NumberOfPages), 12);
        QCOMPARE(number(p, Builtin::NumberOfWords), -1);
        QVERIFY(!p.get(Builtin::NumberOfLines));
    }

    void ooxmlTextIsKeptAsWritten()
    {
        wt::DocxParts parts;
        parts.core =
            wt::coreXml({{"dc:title", "  "}, {"dc:subject", "a & b < c"}, {"dc:description", "line 1\nline 2"}});
        const auto p = read(wt::makeDocx(parts));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("  "));
        QCOMPARE(text(p, Builtin::Subject), QStringLiteral("a & b < c"));
        QCOMPARE(text(p, Builtin::Comments), QStringLiteral("line 1\nline 2"));
    }

    void ooxmlEscapesAreDecoded_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("carriage return") << "General_x000d_\nDate: 2024"
                                         << "General\r\nDate: 2024";
        QTest::newRow("tab, capital hex") << "a_x0009_b_x000D_"
                                          << "a\tb\r";
        QTest::newRow("escaped underscore") << "_x005F_x000d_"
                                            << "_x000d_";
        QTest::newRow("not hex") << "_x00zz_"
                                 << "_x00zz_";
        QTest::newRow("unterminated") << "end_x000d"
                                      << "end_x000d";
        QTest::newRow("plain underscores") << "snake_case_x_"
                                           << "snake_case_x_";
    }
    void ooxmlEscapesAreDecoded()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);
        wt::DocxParts parts;
        parts.core = wt::coreXml({{"dc:title", written}, {"dc:description", written}, {"cp:lastModifiedBy", written}});
        parts.app =
            wt::appXml({{"Company", written}, {"Manager", written}, {"HyperlinkBase", written}, {"Template", written}});
        const auto p = this->read(wt::makeDocx(parts));
        for (Builtin b : {Builtin::Title, Builtin::Comments, Builtin::LastAuthor, Builtin::Company, Builtin::Manager,
                          Builtin::HyperlinkBase, Builtin::Template})
            QCOMPARE(text(p, b), read);
    }

    void ooxmlOtherPackagesAreNamed_data()
    {
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<QString>("mainPart");
        QTest::addColumn<QString>("format");
        QTest::newRow("xlsx") << "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"
                              << "xl/workbook.xml"
                              << "XLSX";
        QTest::newRow("pptx") << "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml"
                              << "ppt/presentation.xml"
                              << "PPTX";
    }

    void ooxmlOtherPackagesAreNamed()
    {
        QFETCH(QString, contentType);
        QFETCH(QString, mainPart);
        QFETCH(QString, format);
        wt::DocxParts parts;
        parts.mainContentType = contentType;
        parts.mainPart = mainPart;
        const word::Error e = openError(wt::makeDocx(parts));
        QCOMPARE(e.fault(), word::Fault::UnknownFormat);
        QCOMPARE(e.format(), format);
    }

    // The part a relationship's target names, whether written plainly or with steps to resolve.
    void partNamesFromTargets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("part");
        const QList<std::pair<const char *, const char *>> rows{
            {"word/document.xml", "word/document.xml"},
            {"/docProps/core.xml", "docProps/core.xml"},
            {"//word//document.xml", "word/document.xml"},
            {"./word/./document.xml", "word/document.xml"},
            {"word/../docProps/app.xml", "docProps/app.xml"},
            {"word\\document.xml", "word/document.xml"},
            {"word/my%20document.xml", "word/my document.xml"},
            {"word/", "word"},
            {"..", ""},
        };
        for (const auto &[target, part] : rows)
            QTest::newRow(target) << QString::fromUtf8(target) << QString::fromUtf8(part);
    }

    void partNamesFromTargets()
    {
        QFETCH(QString, target);
        QFETCH(QString, part);
        QCOMPARE(word::partNameFromTarget(target), part);
    }

    void ooxmlDamage_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("detail");
        wt::DocxParts parts;
        parts.core = wt::coreXml(kCore);
        parts.app = wt::appXml(kApp);
        const QByteArray good = wt::makeDocx(parts);
        QTest::newRow("cut short") << good.left(good.size() / 2) << QStringLiteral("zip archive has no directory");
        wt::DocxParts broken = parts;
        broken.core = "<cp:coreProperties><dc:title>unclosed";
        QTest::newRow("malformed core.xml")
            << wt::makeDocx(broken) << QStringLiteral("docProps/core.xml is not well-formed");
        QByteArray noMain = wt::makeZip(
            {{QStringLiteral("_rels/.rels"),
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
              "Id=\"r\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
              "Target=\"word/document.xml\"/></Relationships>"}});
        QTest::newRow("main part missing")
            << noMain << QStringLiteral("main document part word/document.xml is missing");
        const QByteArray core = wt::coreXml(kCore);
        const QByteArray rels = wt::packageRels(true, false);
        const QByteArray badCrc = wt::makeRawZip(
            {{"_rels/.rels", wt::rawDeflate(rels), 8, wt::crc32Of(rels), static_cast<uint64_t>(rels.size())},
             {"word/document.xml", "<w:document/>", 0, wt::crc32Of("<w:document/>"), 13},
             {"docProps/core.xml", wt::rawDeflate(core), 8, wt::crc32Of(core) ^ 0x1234u,
              static_cast<uint64_t>(core.size())}});
        QTest::newRow("checksum") << badCrc << QStringLiteral("docProps/core.xml fails its checksum");
        // A stated size that is wrong either way: the part is refused, never cut to it or padded.
        for (const int wrongBy : {-10, 10}) {
            const QByteArray misstated = wt::makeRawZip(
                {{"_rels/.rels", wt::rawDeflate(rels), 8, wt::crc32Of(rels), static_cast<uint64_t>(rels.size())},
                 {"word/document.xml", "<w:document/>", 0, wt::crc32Of("<w:document/>"), 13},
                 {"docProps/core.xml", wt::rawDeflate(core), 8, wt::crc32Of(core),
                  static_cast<uint64_t>(core.size() + wrongBy)}});
            QTest::newRow(wrongBy < 0 ? "stated size too small" : "stated size too large")
                << misstated
                << (wrongBy < 0 ? QStringLiteral("docProps/core.xml unpacks to more than its stated size")
                                : QStringLiteral("docProps/core.xml is cut short"));
        }
    }

    void ooxmlDamage()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, detail);
        const word::Error e = openError(file);
        QCOMPARE(e.fault(), word::Fault::Damaged);
        QCOMPARE(e.format(), QStringLiteral("OOXML"));
        QVERIFY2(e.description().contains(detail), qPrintable(e.description()));
        QVERIFY(e.description().contains(QStringLiteral("f%1.docx").arg(m_counter)));
    }

    void zipWithoutDocument()
    {
        const word::Error e =
            openError(wt::makeZip({{QStringLiteral("photo.jpg"), "\xFF\xD8\xFF"}, {QStringLiteral("notes.txt"), "x"}}));
        QCOMPARE(e.fault(), word::Fault::UnknownFormat);
        QCOMPARE(e.format(), QStringLiteral("ZIP"));
        QVERIFY2(e.description().contains(QStringLiteral("zip archive without a document")),
                 qPrintable(e.description()));
        QVERIFY(e.description().contains(QStringLiteral("\"photo.jpg\"")));
    }

    // ---------------------------------------------------------------- ODF
    void odtEveryProperty()
    {
        const QByteArray meta =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-meta "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:xlink=\"http://www.w3.org/1999/xlink\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
            "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\">"
            "<office:meta><meta:initial-creator>Bart "
            "Hanssens</meta:initial-creator><meta:creation-date>2009-10-05T19:04:01</meta:creation-date>"
            "<meta:editing-cycles>2</meta:editing-cycles><meta:editing-duration>PT02H03M24S</meta:editing-duration>"
            "<dc:description>A rather complex "
            "document</dc:description><meta:keyword>Apache</meta:keyword><meta:keyword>Lucene</meta:keyword>"
            "<meta:keyword>Tika</meta:keyword><dc:subject>Test document</dc:subject><dc:title>Apache "
            "Tika</dc:title><dc:date>2009-10-05T21:22:38.123</dc:date>"
            "<dc:creator>Last Editor</dc:creator><meta:print-date>2009-10-06T08:00:00Z</meta:print-date>"
            "<meta:template xlink:type=\"simple\" xlink:href=\"../Templates/My%20Letter.ott\" xlink:title=\"My "
            "Letter\"/>"
            "<meta:document-statistic meta:table-count=\"0\" meta:page-count=\"2\" meta:paragraph-count=\"13\" "
            "meta:word-count=\"54\" "
            "meta:character-count=\"351\" meta:non-whitespace-character-count=\"300\" meta:row-count=\"17\"/>"
            "<meta:user-defined meta:name=\"Editor\">Bart</meta:user-defined></office:meta></office:document-meta>";
        const auto p = read(wt::makeOdt(meta), QStringLiteral(".odt"));
        QCOMPARE(p.format(), QStringLiteral("ODT"));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("Apache Tika"));
        QCOMPARE(text(p, Builtin::Subject), QStringLiteral("Test document"));
        QCOMPARE(text(p, Builtin::Author), QStringLiteral("Bart Hanssens"));
        QCOMPARE(text(p, Builtin::LastAuthor), QStringLiteral("Last Editor"));
        QCOMPARE(text(p, Builtin::Comments), QStringLiteral("A rather complex document"));
        QCOMPARE(text(p, Builtin::Keywords), QStringLiteral("Apache, Lucene, Tika"));
        QCOMPARE(*p.get(Builtin::RevisionNumber), PropertyValue::text(QStringLiteral("2")));
        QCOMPARE(*p.get(Builtin::TotalEditingTime), PropertyValue::integer(123));
        QCOMPARE(when(p, Builtin::CreationDate), utc(2009, 10, 5, 19, 4, 1)); // no zone: local (UTC here)
        QCOMPARE(when(p, Builtin::LastSaveTime), utc(2009, 10, 5, 21, 22, 38));
        QCOMPARE(when(p, Builtin::LastPrintDate), utc(2009, 10, 6, 8));
        QCOMPARE(text(p, Builtin::Template), QStringLiteral("../Templates/My Letter.ott"));
        QCOMPARE(number(p, Builtin::NumberOfPages), 2);
        QCOMPARE(number(p, Builtin::NumberOfParagraphs), 13);
        QCOMPARE(number(p, Builtin::NumberOfWords), 54);
        QCOMPARE(number(p, Builtin::NumberOfCharactersWithSpaces), 351);
        QCOMPARE(number(p, Builtin::NumberOfCharacters), 300);
        QVERIFY(!p.get(Builtin::NumberOfLines));
        QCOMPARE(text(p, Builtin::Company), QString());
    }

    void odtTemplateTitleWhenNoLink()
    {
        const QByteArray meta =
            "<office:document-meta xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
            "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\"><office:meta>"
            "<meta:template xlink:type=\"simple\" xlink:title=\"Normal.dotm\" xlink:href=\"\"/>"
            "<meta:editing-duration>PT120S</meta:editing-duration></office:meta></office:document-meta>";
        const auto p = read(wt::makeOdt(meta), QStringLiteral(".odt"));
        QCOMPARE(text(p, Builtin::Template), QStringLiteral("Normal.dotm"));
        QCOMPARE(number(p, Builtin::TotalEditingTime), 2);
    }

    void odtWithoutMeta()
    {
        const auto p = read(wt::makeOdt({}), QStringLiteral(".odt"));
        QCOMPARE(p.format(), QStringLiteral("ODT"));
        QCOMPARE(text(p, Builtin::Title), QString());
        QVERIFY(!p.get(Builtin::NumberOfPages));
    }

    void odtEncrypted()
    {
        QList<wt::ZipEntry> entries{
            {QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text", true},
            {QStringLiteral("meta.xml"), QByteArray("\x45\xDE\x9D\xF2\xDB\x18\x39\x03\x7D\x0D", 10)},
            {QStringLiteral("META-INF/manifest.xml"),
             "<manifest:manifest><manifest:file-entry "
             "manifest:full-path=\"meta.xml\"><manifest:encryption-data/></manifest:file-entry></manifest:manifest>"}};
        const word::Error e = openError(wt::makeZip(entries), QStringLiteral(".odt"));
        QCOMPARE(e.fault(), word::Fault::Encrypted);
    }

    void odfOtherKinds()
    {
        const word::Error e = openError(
            wt::makeOdt({}, QStringLiteral("application/vnd.oasis.opendocument.spreadsheet")), QStringLiteral(".odt"));
        QCOMPARE(e.fault(), word::Fault::UnknownFormat);
        QVERIFY2(e.description().contains(QStringLiteral("OpenDocument spreadsheet")), qPrintable(e.description()));
    }

    // ---------------------------------------------------------------- RTF
    void rtfInfoGroup()
    {
        const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\cocoartf949\n{\\fonttbl\\f0\\fswiss\\fcharset0 "
                               "Helvetica;}\n{\\colortbl;\\red255\\green255\\blue255;}\n"
                               "{\\info\n{\\title ExifTool RTF test (with sp\\'e9c\\'ee\\'e5l "
                               "\\'e7hars)}\n{\\revtim\\yr2010\\mo6\\dy19\\hr20}\n"
                               "{\\subject a \\ldblquote subject\\rdblquote  in funny quotes}\n"
                               "{\\doccomm \\uc0\\u12473 \\u12488 \\u12525 \\u12508 \t\\u12501 "
                               "\\uc4\\u12489j\\'fcnk(end)\\\nanother line}\n"
                               "{\\author\nan author \\{with braces\\}}\n{\\*\\company\n a company \\\\with "
                               "backslashes and leading space\\\\}\n"
                               "{\\*\\copyright \\'a9 2010 Phil Harvey}\n{\\keywords\nkeyword1, keyword2}\n"
                               "{\\operator Nick}{\\manager {\\b Boss}}{\\category Cat{\\*\\bkmkstart x} "
                               "egory}{\\hlinkbase http://example.com/}"
                               "{\\creatim\\yr2006\\mo6\\dy13\\hr13\\min51}{\\printim\\yr0\\mo0\\dy0}{\\version2}{"
                               "\\edmins61}{\\nofpages10}"
                               "{\\nofwords4564}{\\nofchars26020}{\\nofcharsws30523}{\\vern8247}}"
                               "{\\*\\userprops {{\\propname CustomString}\\proptype30{\\staticval "
                               "ABCDEF}}}\\margl1440\n\\pard\\f0\\fs24 \\cf0 This is some text}";
        const auto p = read(rtf, QStringLiteral(".rtf"));
        QCOMPARE(p.format(), QStringLiteral("RTF"));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral(u"ExifTool RTF test (with spécîål çhars)"));
        QCOMPARE(text(p, Builtin::Subject), QStringLiteral(u"a “subject” in funny quotes"));
        QCOMPARE(text(p, Builtin::Comments), QStringLiteral(u"ストロボ\tフド(end)\nanother line"));
        QCOMPARE(text(p, Builtin::Author), QStringLiteral("an author {with braces}"));
        QCOMPARE(text(p, Builtin::Company), QStringLiteral(" a company \\with backslashes and leading space\\"));
        QCOMPARE(text(p, Builtin::Keywords), QStringLiteral("keyword1, keyword2"));
        QCOMPARE(text(p, Builtin::LastAuthor), QStringLiteral("Nick"));
        QCOMPARE(text(p, Builtin::Manager), QStringLiteral("Boss"));
        QCOMPARE(text(p, Builtin::Category), QStringLiteral("Cat egory"));
        QCOMPARE(text(p, Builtin::HyperlinkBase), QStringLiteral("http://example.com/"));
        QCOMPARE(when(p, Builtin::LastSaveTime), utc(2010, 6, 19, 20)); // zone-less: local, UTC here
        QCOMPARE(when(p, Builtin::CreationDate), utc(2006, 6, 13, 13, 51));
        QVERIFY(!p.get(Builtin::LastPrintDate)); // year 0
        QCOMPARE(*p.get(Builtin::RevisionNumber), PropertyValue::text(QStringLiteral("2")));
        QCOMPARE(number(p, Builtin::TotalEditingTime), 61);
        QCOMPARE(number(p, Builtin::NumberOfPages), 10);
        QCOMPARE(number(p, Builtin::NumberOfWords), 4564);
        QCOMPARE(number(p, Builtin::NumberOfCharacters), 26020);
        QCOMPARE(number(p, Builtin::NumberOfCharactersWithSpaces), 30523);
        QVERIFY(!p.get(Builtin::NumberOfLines));
        // RTF stores no paragraph count: that one is counted from the body; the stored counts win.
        QCOMPARE(number(p, Builtin::NumberOfParagraphs), 1);
        QCOMPARE(p.computed(), QList<Builtin>{Builtin::NumberOfParagraphs});
        QCOMPARE(text(p, Builtin::Template), QString());
    }

    void rtfCodePages()
    {
        const auto cyrillic =
            read("{\\rtf1\\ansi\\ansicpg1251{\\info{\\title \\'cc\\'e5\\'f2\\'ee\\'e4\\'e8\\'ea\\'e0}}}",
                 QStringLiteral(".rtf"));
        QCOMPARE(text(cyrillic, Builtin::Title), QStringLiteral(u"Методика"));
        const auto japanese =
            read("{\\rtf1\\ansi\\ansicpg932\\uc2{\\info{\\title \\'83\\'5e\\'83\\'43\\'83\\'67\\'83\\'8b}"
                 "{\\author \\u12479\\'83\\'5e X}}}",
                 QStringLiteral(".rtf"));
        QCOMPARE(text(japanese, Builtin::Title), QStringLiteral(u"タイトル"));
        QCOMPARE(text(japanese, Builtin::Author), QStringLiteral(u"タ X")); // \uc2 skips the two fallback bytes
        const auto mac = read("{\\rtf1\\mac{\\info{\\title Mod\\'8fles}}}", QStringLiteral(".rtf"));
        QCOMPARE(text(mac, Builtin::Title), QStringLiteral(u"Modèles"));
        const auto surrogate = read("{\\rtf1\\ansi{\\info{\\title \\u-10179?\\u-8704?}}}", QStringLiteral(".rtf"));
        QCOMPARE(text(surrogate, Builtin::Title), QStringLiteral(u"😀"));
    }

    void rtfBinaryDataIsSkipped()
    {
        QByteArray rtf = "{\\rtf1\\ansi{\\*\\blob\\bin12 ";
        rtf.append("}}{\\info{{}}", 12);
        rtf.append("}{\\info{\\title After binary}}\\pard text}");
        QCOMPARE(text(read(rtf, QStringLiteral(".rtf")), Builtin::Title), QStringLiteral("After binary"));
    }

    void rtfWithoutInfo()
    {
        const auto p = read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Hello\\par}", QStringLiteral(".rtf"));
        QCOMPARE(p.format(), QStringLiteral("RTF"));
        QCOMPARE(text(p, Builtin::Title), QString());
        QVERIFY(!p.get(Builtin::CreationDate));
    }

    // ---------------------------------------------------------------- Word 2003 XML, text
    void wordXml()
    {
        const QByteArray xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?mso-application progid=\"Word.Document\"?>\n"
            "<w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
            "xmlns:o=\"urn:schemas-microsoft-com:office:office\">"
            "<o:DocumentProperties><o:Title>Word "
            "XML</o:Title><o:Author>Derek</o:Author><o:LastAuthor>Nevin</o:LastAuthor>"
            "<o:Revision>6</o:Revision><o:TotalTime>2</o:TotalTime><o:LastPrinted>2005-05-26T12:00:00Z</o:LastPrinted>"
            "<o:Created>2005-05-26T12:57:00Z</o:Created><o:LastSaved>2005-09-20T17:25:00Z</o:LastSaved><o:Pages>1</"
            "o:Pages>"
            "<o:Words>9</o:Words><o:Characters>44</o:Characters><o:Company>Fox</o:Company><o:Lines>1</o:Lines>"
            "<o:Paragraphs>1</o:Paragraphs><o:CharactersWithSpaces>52</o:CharactersWithSpaces><o:Version>11.6360</"
            "o:Version>"
            "</o:DocumentProperties><w:body><w:p><w:r><w:t>The quick brown "
            "fox</w:t></w:r></w:p></w:body></w:wordDocument>";
        const auto p = read(xml, QStringLiteral(".xml"));
        QCOMPARE(p.format(), QStringLiteral("WORDML"));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("Word XML"));
        QCOMPARE(text(p, Builtin::Author), QStringLiteral("Derek"));
        QCOMPARE(text(p, Builtin::LastAuthor), QStringLiteral("Nevin"));
        QCOMPARE(text(p, Builtin::RevisionNumber), QStringLiteral("6"));
        QCOMPARE(text(p, Builtin::Company), QStringLiteral("Fox"));
        QCOMPARE(number(p, Builtin::TotalEditingTime), 2);
        QCOMPARE(when(p, Builtin::CreationDate), utc(2005, 5, 26, 12, 57));
        QCOMPARE(when(p, Builtin::LastSaveTime), utc(2005, 9, 20, 17, 25));
        QCOMPARE(when(p, Builtin::LastPrintDate), utc(2005, 5, 26, 12));
        QCOMPARE(number(p, Builtin::NumberOfCharactersWithSpaces), 52);
        QCOMPARE(number(p, Builtin::NumberOfLines), 1);
    }

    void plainText_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("ascii") << QByteArray("// a graphviz file\ndigraph { a -> b }\n");
        QTest::newRow("json") << QByteArray("[\n  {\"Content-Type\": \"text/plain\"}\n]\n");
        QTest::newRow("latin-1") << QByteArray("Caf\xE9 cr\xE8me\r\n");
        QTest::newRow("utf-16 with BOM") << QByteArray("\xFF\xFEh\0i\0\n\0", 8);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a zip after all") << QByteArray("This is not a zip file!\n");
    }

    void plainText()
    {
        QFETCH(QByteArray, content);
        const auto p = read(content, QStringLiteral(".doc"));
        QCOMPARE(p.format(), QStringLiteral("TEXT"));
        QCOMPARE(text(p, Builtin::Title), QString());
        QVERIFY(!p.get(Builtin::NumberOfPages));
        QVERIFY(!p.get(Builtin::CreationDate));
        QCOMPARE(number(p, Builtin::NumberOfBytes), content.size());
    }

    // ---------------------------------------------------------------- what cannot be opened
    void unknownFormats_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("what");
        QTest::newRow("pdf") << QByteArray("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj") << "PDF"
                             << "it is a PDF document";
        QTest::newRow("word 2") << QByteArray("\xDB\xA5-\0\x31\x40\x09\x04\0\0\0\0", 12) << "WORD2"
                                << "Word 2 document";
        QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << "PNG"
                             << "PNG image";
        QTest::newRow("wordperfect 4.2") << QByteArray("\xCB\x0A\x01\xF6\x01\xCB\xC0\x0A\x4A\x09\0\0", 12) << "UNKNOWN"
                                         << "it begins with the bytes CB 0A 01 F6 01 CB C0 0A";
        QTest::newRow("exe") << QByteArray("MZ\x90\0\x03\0\0\0", 8) << "EXE"
                             << "Windows program";
    }

    void unknownFormats()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, format);
        QFETCH(QString, what);
        const word::Error e = openError(content, QStringLiteral(".doc"));
        QCOMPARE(e.fault(), word::Fault::UnknownFormat);
        QCOMPARE(e.format(), format);
        QVERIFY2(e.description().contains(what), qPrintable(e.description()));
        QVERIFY(e.description().contains(QStringLiteral("f%1.doc").arg(m_counter)));
    }

    void textStartingLikeAProgramIsText()
    {
        QCOMPARE(read("MZ is the signature of DOS programs.\n", QStringLiteral(".txt")).format(),
                 QStringLiteral("TEXT"));
    }

    void missingFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("no such folder/missing.docx"));
        const word::Error e = openError(path);
        QCOMPARE(e.fault(), word::Fault::NotFound);
        QVERIFY(e.description().contains(path));
        QVERIFY(e.format().isEmpty());
    }

    void folderIsNotADocument()
    {
        const word::Error e = openError(m_dir.path());
        QCOMPARE(e.fault(), word::Fault::NotAFile);
        QVERIFY2(e.description().contains(QStringLiteral("folder")), qPrintable(e.description()));
    }

    void pipeDoesNotBlock()
    {
        const QString fifo = m_dir.filePath(QStringLiteral("pipe.doc"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const word::Error e = openError(fifo);
        QCOMPARE(e.fault(), word::Fault::NotAFile);
        QVERIFY2(e.description().contains(QStringLiteral("not a regular file")), qPrintable(e.description()));
    }

    void unreadableFile()
    {
        if (geteuid() == 0)
            QSKIP("running as root: permissions do not stop reading");
        const QString path = store("{\\rtf1}", QStringLiteral(".rtf"));
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        const word::Error e = openError(path);
        QCOMPARE(e.fault(), word::Fault::PermissionDenied);
        QVERIFY(e.description().contains(path));
        QVERIFY(e.description().contains(QStringLiteral("permission denied")));
    }
};

QV_WORD_TEST_MAIN(TstWordFormats)
#include "tst_word_formats.moc"
