// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the hostile documents that bench_hostile.sh runs through quillmere-extract, one folder per
// family: bench_hostile_cases FOLDER. They are built the way the engine's tests build theirs, at the
// sizes that cost the most while staying small files.
#include "WordTestSupport.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

QString g_root;

void write(const QString &family, const QString &name, const QByteArray &data)
{
    QDir().mkpath(g_root + QLatin1Char('/') + family);
    QFile f(g_root + QLatin1Char('/') + family + QLatin1Char('/') + name);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
        fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
        exit(1);
    }
}

QByteArray le32(uint32_t v)
{
    QByteArray b(4, '\0');
    wt::putU32(b, 0, v);
    return b;
}

QByteArray sharedValue(int chars, int records)
{
    QList<QPair<uint32_t, uint32_t>> entries{{2, 0}};
    for (uint32_t k = 0; k < 8190; ++k)
        entries.append({1000 + k, 0});
    const QByteArray text(chars, 'T');
    const QByteArray area = le32(30) + le32(static_cast<uint32_t>(text.size() + 1)) + text + QByteArray(4, '\0');
    const QByteArray stream = wt::propertySetPointingInto(1252, entries, area, records);
    return wt::makeWordBinary(stream, stream);
}

QByteArray overlappingValues(int entriesCount, int tail)
{
    QByteArray area;
    QList<QPair<uint32_t, uint32_t>> entries;
    for (uint32_t k = 0; k < static_cast<uint32_t>(entriesCount); ++k) {
        entries.append({2 + k, k * 8});
        area += QByteArray("\x1E\0AAAAAA", 8);
    }
    area += QByteArray(tail, 'A');
    return wt::makeWordBinary(wt::propertySetPointingInto(1200, entries, area, 16), {});
}

// ---- zip packages
const char *kRels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                    "<Relationship Id=\"a\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                    "Target=\"word/document.xml\"/>"
                    "<Relationship Id=\"b\" "
                    "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" "
                    "Target=\"docProps/core.xml\"/>"
                    "<Relationship Id=\"c\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties\" "
                    "Target=\"docProps/app.xml\"/></Relationships>";

QByteArray docxWithCore(const QByteArray &core)
{
    wt::DocxParts parts;
    parts.core = core;
    return wt::makeDocx(parts);
}

QByteArray manyAttributes(int count)
{
    QByteArray attributes;
    for (int k = 0; k < count; ++k)
        attributes += " a" + QByteArray::number(k) + "=\"\"";
    return docxWithCore(
        wt::coreXml({{"dc:title", QStringLiteral("T")}}).replace("<dc:title>", "<dc:title" + attributes + ">"));
}

// An app.xml of about `bytes`, deflated by hand (it compresses about a thousandfold): one value of
// blanks, or as many short elements as fit.
// A core part of about 8 MiB made of elements with as many attributes as are allowed each.
// Prefixed attributes are checked for duplicates once their prefixes are bound, sorted when there are many.
QByteArray manyElementsWithAttributes(bool prefixed)
{
    QByteArray element = prefixed ? "<x xmlns:p=\"u\"" : "<x";
    for (int k = 0; k < 63; ++k)
        element += (prefixed ? " p:a" : " a") + QByteArray::number(k) + "=\"\"";
    element += "/>";
    const QByteArray core = wt::coreXml({{"dc:title", QStringLiteral("T")}});
    return docxWithCore(
        QByteArray(core).replace("<dc:title>", element.repeated(8000000 / element.size()) + "<dc:title>"));
}

QByteArray bigApp(qint64 bytes, bool oneValue)
{
    QByteArray app = "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">";
    if (oneValue)
        app += "<Company>" + QByteArray(bytes - app.size() - 40, ' ') + "</Company>";
    else
        app += QByteArray("<Company>x</Company>").repeated((bytes - app.size() - 20) / 20);
    app += "</Properties>";
    const QByteArray rels(kRels);
    return wt::makeRawZip(
        {{"_rels/.rels", wt::rawDeflate(rels), 8, wt::crc32Of(rels), static_cast<uint64_t>(rels.size())},
         {"word/document.xml", "<w:document/>", 0, wt::crc32Of("<w:document/>"), 13},
         {"docProps/app.xml", wt::rawDeflate(app), 8, wt::crc32Of(app), static_cast<uint64_t>(app.size())}});
}

QByteArray odtMeta(const QByteArray &inner)
{
    return wt::makeOdt("<office:document-meta xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                       "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\" "
                       "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><office:meta>"
                       + inner + "</office:meta></office:document-meta>");
}

QByteArray zipBomb(uint64_t stated)
{
    uint32_t crc = 0;
    const QByteArray bomb = wt::deflatedZeros(1ull << 30, crc);
    const QByteArray rels(kRels);
    return wt::makeRawZip(
        {{"_rels/.rels", wt::rawDeflate(rels), 8, wt::crc32Of(rels), static_cast<uint64_t>(rels.size())},
         {"word/document.xml", "<w:document/>", 0, wt::crc32Of("<w:document/>"), 13},
         {"docProps/core.xml", bomb, 8, crc, stated}});
}

QByteArray entityExpansion()
{
    QByteArray core = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    core += "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">";
    for (int i = 2; i < 10; ++i)
        core += "<!ENTITY lol" + QByteArray::number(i) + " \""
                + QByteArray("&lol" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    core += "]><cp:coreProperties xmlns:cp=\"x\" "
            "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>&lol9;</dc:title></cp:coreProperties>";
    return docxWithCore(core);
}

QByteArray wordXml(const QByteArray &properties, const QByteArray &body = {})
{
    return "<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?><w:wordDocument "
           "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
           "xmlns:o=\"urn:schemas-microsoft-com:office:office\">"
           "<o:DocumentProperties>"
           + properties + "</o:DocumentProperties><w:body>" + body + "</w:body></w:wordDocument>";
}

QByteArray oleWithCreated(uint64_t ticks)
{
    wt::PropertySection s(wt::fmtidSummary(), 1252);
    s.fileTime(12, ticks).fileTime(13, ticks);
    return wt::makeWordBinary(wt::propertySetStream({s}), {});
}

// A sparse file of `bytes` holding `head` at its start: lists that never end a line or never stop
// separating nothing, without the disk space.
void writeSparse(const QString &family, const QString &name, const QByteArray &head, qint64 bytes)
{
    write(family, name, head);
    if (!QFile::resize(g_root + QLatin1Char('/') + family + QLatin1Char('/') + name, bytes))
        exit(1);
}

// A Word 97 document whose main text is `pieces` one-character pieces, each with its own descriptor.
QByteArray wordBinaryOfPieces(int pieces)
{
    QByteArray wd(1024, '\0');
    auto put16 = [](QByteArray &b, qint64 at, quint16 v) {
        b[at] = static_cast<char>(v & 0xFF);
        b[at + 1] = static_cast<char>(v >> 8);
    };
    put16(wd, 0, 0xA5EC);
    put16(wd, 2, 0x00C1);
    put16(wd, 0x0A, 0x0200 | 0x0004);
    put16(wd, 32, 14);
    put16(wd, 62, 22);
    wt::putU32(wd, 76, static_cast<uint32_t>(pieces));
    put16(wd, 152, 93);
    QByteArray cps, pcds;
    for (int k = 0; k < pieces; ++k) {
        cps += le32(static_cast<uint32_t>(k));
        QByteArray d(8, '\0');
        wt::putU32(d, 2, static_cast<uint32_t>((1024 + k) * 2) | 0x40000000u);
        pcds += d;
    }
    for (int k = 0; k < pieces; ++k)
        wd += (k % 6 == 5) ? ' ' : 'w';
    const QByteArray plc = cps + le32(static_cast<uint32_t>(pieces)) + pcds;
    const QByteArray table = "\x02" + le32(static_cast<uint32_t>(plc.size())) + plc;
    wt::putU32(wd, 154 + 33 * 8, 0);
    wt::putU32(wd, 154 + 33 * 8 + 4, static_cast<uint32_t>(table.size()));
    return wt::makeOle({{QStringLiteral("WordDocument"), wd}, {QStringLiteral("1Table"), table}});
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: bench_hostile_cases FOLDER\n");
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);

    // The compound-file directory: degenerate chains, deep nesting, wide storages.
    using S = wt::DirectoryShape;
    const QString ole = QStringLiteral("ole-directory");
    write(ole, QStringLiteral("sibling-chain-34000.doc"), wt::wordBinaryWithDirectory(S::SiblingChain, 34000));
    write(ole, QStringLiteral("sibling-chain-32000.doc"), wt::wordBinaryWithDirectory(S::SiblingChain, 32000));
    write(ole, QStringLiteral("sibling-chain-2000.doc"), wt::wordBinaryWithDirectory(S::SiblingChain, 2000));
    write(ole, QStringLiteral("nested-storages-30000.doc"), wt::wordBinaryWithDirectory(S::NestedStorages, 30000));
    write(ole, QStringLiteral("nested-storages-2000.doc"), wt::wordBinaryWithDirectory(S::NestedStorages, 2000));
    write(ole, QStringLiteral("one-storage-4000.doc"), wt::wordBinaryWithDirectory(S::BalancedSiblings, 4000));
    write(ole, QStringLiteral("one-storage-16000.doc"), wt::wordBinaryWithDirectory(S::BalancedSiblings, 16000));
    write(ole, QStringLiteral("one-storage-48000.doc"), wt::wordBinaryWithDirectory(S::BalancedSiblings, 48000));
    write(ole, QStringLiteral("storages-16000.doc"), wt::wordBinaryWithDirectory(S::StoragesOf4000, 16000));
    write(ole, QStringLiteral("storages-48000.doc"), wt::wordBinaryWithDirectory(S::StoragesOf4000, 48000));

    // Sector chains that loop, a directory sector pointing at itself, a stream stating 4 GiB.
    const QString chains = QStringLiteral("ole-chains");
    {
        wt::RawCfbLayout layout;
        wt::PropertySection s(wt::fmtidSummary(), 1252);
        s.string(2, QStringLiteral("Title")).string(4, QStringLiteral("Author")).int32(14, 2);
        QByteArray file = wt::makeRawCfb({{QStringLiteral("WordDocument"), {}},
                                          {QStringLiteral("\x05SummaryInformation"), wt::propertySetStream({s})}},
                                         &layout);
        const QByteArray whole = file;
        wt::putU32(file, wt::cfbFatEntryOffset(layout, layout.streamFirstSector[1] + 2),
                   static_cast<uint32_t>(layout.streamFirstSector[1]));
        write(chains, QStringLiteral("cyclic-chain.doc"), file);
        file = whole;
        wt::putU32(file, wt::cfbFatEntryOffset(layout, layout.directorySector),
                   static_cast<uint32_t>(layout.directorySector));
        write(chains, QStringLiteral("directory-pointing-at-itself.doc"), file);
        file = whole;
        wt::putU32(file, wt::cfbDirectoryEntryOffset(layout, 2) + 120, 0xFFFFFFF0);
        write(chains, QStringLiteral("stream-stating-4GiB.doc"), file);
    }

    // Property sets: one value named by every entry, overlapping values.
    write(QStringLiteral("property-sets"), QStringLiteral("shared-value-40k.doc"), sharedValue(40000, 16));
    write(QStringLiteral("property-sets"), QStringLiteral("shared-value-250k.doc"), sharedValue(250000, 16));
    write(QStringLiteral("property-sets"), QStringLiteral("overlapping-8190.doc"), overlappingValues(8190, 0));
    write(QStringLiteral("property-sets"), QStringLiteral("overlapping-2048-long.doc"),
          overlappingValues(2048, 400 * 1024));

    // XML: many attributes, oversized property parts, entity expansion, nesting.
    write(QStringLiteral("xml"), QStringLiteral("attributes-40000.docx"), manyAttributes(40000));
    write(QStringLiteral("xml"), QStringLiteral("attributes-400000.docx"), manyAttributes(400000));
    write(QStringLiteral("xml"), QStringLiteral("attributes-63-in-every-element.docx"),
          manyElementsWithAttributes(false));
    write(QStringLiteral("xml"), QStringLiteral("attributes-63-prefixed-in-every-element.docx"),
          manyElementsWithAttributes(true));
    QByteArray declarations;
    for (int k = 0; k < 100000; ++k)
        declarations += " xmlns:n" + QByteArray::number(k) + "=\"u" + QByteArray::number(k) + "\"";
    write(QStringLiteral("xml"), QStringLiteral("namespaces-100000.docx"),
          docxWithCore("<cp:coreProperties xmlns:cp=\"x\"" + declarations + "/>"));
    write(QStringLiteral("xml"), QStringLiteral("app-63MiB.docx"), bigApp(63ll * 1024 * 1024, true));
    write(QStringLiteral("xml"), QStringLiteral("app-8MiB.docx"), bigApp(8ll * 1024 * 1024 - 1024, false));
    write(QStringLiteral("xml"), QStringLiteral("entity-expansion.docx"), entityExpansion());
    write(QStringLiteral("xml"), QStringLiteral("nesting-100000.docx"),
          docxWithCore("<cp:coreProperties xmlns:cp=\"x\">" + QByteArray("<a>").repeated(100000)));
    QByteArray bodyAttributes;
    for (int k = 0; k < 100000; ++k)
        bodyAttributes += " b" + QByteArray::number(k) + "=\"\"";
    write(QStringLiteral("xml"), QStringLiteral("word-xml-attributes.xml"),
          wordXml("<o:Title>T</o:Title>", "<w:p" + bodyAttributes + "/>"));

    // Values: long texts and keyword lists.
    QByteArray keywords;
    for (int k = 0; k < 2000000 / 20; ++k)
        keywords += "<meta:keyword>k</meta:keyword>";
    write(QStringLiteral("values"), QStringLiteral("odt-keywords-100000.odt"), odtMeta(keywords));
    write(QStringLiteral("values"), QStringLiteral("docx-title-250k.docx"),
          docxWithCore(wt::coreXml({{"dc:title", QString(250000, QLatin1Char('x'))}})));
    write(QStringLiteral("values"), QStringLiteral("docx-title-3M.docx"),
          docxWithCore(wt::coreXml({{"dc:title", QString(3000000, QLatin1Char('x'))}})));
    {
        wt::PropertySection s(wt::fmtidSummary(), 1252);
        for (uint32_t pid : {2u, 3u, 4u, 5u, 6u, 7u, 8u})
            s.string(pid, QString(250000, QLatin1Char('x')));
        write(QStringLiteral("values"), QStringLiteral("doc-seven-250k.doc"),
              wt::makeWordBinary(wt::propertySetStream({s}), {}));
    }
    write(QStringLiteral("values"), QStringLiteral("rtf-title-4M.rtf"),
          "{\\rtf1{\\info{\\title " + QByteArray(4000000, 'x') + "}}}");

    // Dates a document cannot mean, and NULs inside values.
    write(QStringLiteral("dates-nul"), QStringLiteral("doc-year-60056.doc"), oleWithCreated(0xFFFFFFFFFFFFFFF0ull));
    write(QStringLiteral("dates-nul"), QStringLiteral("rtf-year-99999.rtf"),
          "{\\rtf1{\\info{\\creatim\\yr99999\\mo1\\dy2}{\\title a\\'00b}}}");
    write(QStringLiteral("dates-nul"), QStringLiteral("docx-nul.docx"),
          docxWithCore(wt::coreXml({{"dc:title", QStringLiteral("abNULcd")}}).replace("NUL", "&#0;")));
    write(QStringLiteral("dates-nul"), QStringLiteral("word-xml-nul.xml"), wordXml("<o:Title>a&#0;b</o:Title>"));

    // Main texts counted where the document stores no counts: attributes beyond the bound, main parts packing
    // tens of megabytes into kilobytes, a Word 2003 XML file whose body lies beyond its first 8 MiB.
    const QString counted = QStringLiteral("counted-text");
    QByteArray attributes40k;
    for (int k = 0; k < 40000; ++k)
        attributes40k += " a" + QByteArray::number(k) + "=\"\"";
    wt::DocxParts docx;
    docx.core = wt::coreXml({{"dc:title", QStringLiteral("T")}});
    docx.document = wt::wordDocumentXml("<w:p" + attributes40k + "/>");
    write(counted, QStringLiteral("document-attributes-40000.docx"), wt::makeDocx(docx));
    write(counted, QStringLiteral("content-attributes-40000.odt"),
          wt::makeOdt({}, QStringLiteral("application/vnd.oasis.opendocument.text"),
                      wt::odtContentXml("<text:p" + attributes40k + "/>")));
    const qint64 packed = 63ll * 1024 * 1024;
    docx.document = wt::wordDocumentXml(QByteArray("<w:p/>").repeated(packed / 6));
    write(counted, QStringLiteral("paragraphs-63MiB.docx"), wt::makeDocx(docx));
    docx.document =
        wt::wordDocumentXml("<mc:AlternateContent><mc:Choice Requires=\"x\"/><mc:Fallback>"
                            + QByteArray("<w:p/>").repeated(packed / 6) + "</mc:Fallback></mc:AlternateContent>");
    write(counted, QStringLiteral("fallback-63MiB.docx"), wt::makeDocx(docx));
    docx.document = wt::wordDocumentXml("<w:p>" + QByteArray("<w:r><w:t>a</w:t></w:r>").repeated(2900000) + "</w:p>");
    write(counted, QStringLiteral("runs-2.9M.docx"), wt::makeDocx(docx));
    docx.document.clear();
    write(counted, QStringLiteral("odt-paragraphs-63MiB.odt"),
          wt::makeOdt({}, QStringLiteral("application/vnd.oasis.opendocument.text"),
                      wt::odtContentXml(QByteArray("<text:p/>").repeated(packed / 9))));
    // List styles by the hundred thousand, each with one level, and a list that uses the last of them.
    QByteArray listStyles;
    for (int k = 0; k < 150000; ++k)
        listStyles += "<text:list-style style:name=\"L" + QByteArray::number(k)
                      + "\"><text:list-level-style-number text:level=\"1\" style:num-format=\"1\"/>"
                        "</text:list-style>";
    write(
        counted, QStringLiteral("odt-list-styles-150000.odt"),
        wt::makeOdt({}, QStringLiteral("application/vnd.oasis.opendocument.text"),
                    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
                    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:automatic-styles>"
                        + listStyles
                        + "</office:automatic-styles><office:body><office:text><text:list text:style-name=\"L149999\">"
                          "<text:list-item><text:p>listed</text:p></text:list-item></text:list>"
                          "</office:text></office:body></office:document-content>"));
    write(counted, QStringLiteral("word-xml-body-40MiB.xml"),
          wordXml("<o:Title>T</o:Title>",
                  QByteArray("<w:p><w:r><w:t>some words</w:t></w:r></w:p>").repeated(40 * 1024 * 1024 / 40)));
    write(counted, QStringLiteral("word-xml-body-70MiB.xml"),
          wordXml("<o:Title>T</o:Title>",
                  QByteArray("<w:p><w:r><w:t>some words</w:t></w:r></w:p>").repeated(70 * 1024 * 1024 / 40)));

    // Zip bombs and RTF nesting, refused before these changes already.
    write(QStringLiteral("zip-rtf"), QStringLiteral("bomb-stated.docx"), zipBomb(1ull << 30));
    write(QStringLiteral("zip-rtf"), QStringLiteral("bomb-stating-less.docx"), zipBomb(2000));
    write(QStringLiteral("zip-rtf"), QStringLiteral("rtf-nesting.rtf"), "{\\rtf1{\\info" + QByteArray(200000, '{'));

    // Counting the text: streams as long as the file, bodies at the size bound, pieces at theirs.
    const QString counting = QStringLiteral("counting");
    QDir().mkpath(g_root + QLatin1Char('/') + counting);
    wt::writeSparseWordBinary(g_root + QLatin1Char('/') + counting
                                  + QStringLiteral("/sparse-1GiB-three-streams-one-chain.doc"),
                              1024ll * 1024 * 1024, "Sparse text\r");
    write(counting, QStringLiteral("pieces-1Mi.doc"), wordBinaryOfPieces(1024 * 1024));
    const qint64 body = 64ll * 1024 * 1024 - 4096;
    QByteArray utf8;
    utf8.reserve(body + 1);
    while (utf8.size() < body - 64)
        utf8 += "Gr\xC3\xBC\xC3\x9F"
                "e aus K\xC3\xB6ln, \xE6\x97\xA5\xE6\x9C\xAC\r\n";
    write(counting, QStringLiteral("text-64MiB-utf8.txt"), utf8);
    write(counting, QStringLiteral("text-64MiB-invalid-byte-at-end.txt"), utf8 + "\xFF");
    QByteArray fonts = "{\\rtf1{\\fonttbl{\\f1\\fcharset204 A;}{\\f2\\fcharset161 B;}}";
    fonts.reserve(body + 16);
    while (fonts.size() < body)
        fonts += "\\f1 a\\f2 b";
    write(counting, QStringLiteral("rtf-64MiB-font-switches.rtf"), fonts + "}");
    QByteArray groups = "{\\rtf1";
    while (groups.size() < body)
        groups += "{\\b x}";
    write(counting, QStringLiteral("rtf-64MiB-groups.rtf"), groups + "}");

    // Lists read with -@ (.list) or -0 -@ (.list0): a line without an end, separators without entries.
    const QString lists = QStringLiteral("lists");
    writeSparse(lists, QStringLiteral("line-2GiB.list"), "/", 2048ll * 1024 * 1024);
    writeSparse(lists, QStringLiteral("nuls-2GiB.list0"), {}, 2048ll * 1024 * 1024);
    return 0;
}
