// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile and broken documents: whatever a file states about its own sizes, counts and chains, the
// engine answers with a value or a readable error, never a crash, a hang or a huge allocation.
#include "WordTestMain.h"
#include "WordTestSupport.h"
#include "word/Engine.h"
#include "word/Errors.h"
#include "word/toolkit/InputFile.h"

using word::Builtin;

namespace {

QByteArray summaryStream()
{
    wt::PropertySection s(wt::fmtidSummary(), 1252);
    s.string(2, QStringLiteral("Title")).string(4, QStringLiteral("Author")).int32(14, 2);
    return wt::propertySetStream({s});
}

QByteArray le32(uint32_t v)
{
    QByteArray b(4, '\0');
    wt::putU32(b, 0, v);
    return b;
}

} // namespace

class TstWordHostile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_counter = 0;
    QStringList m_unnamed; // errors of the current test that did not name their file

    // Opens the file; returns the properties, or nullopt after a readable Error naming the file.
    std::optional<word::DocumentProperties> attempt(const QByteArray &file, QString *error = nullptr)
    {
        const QString name = QStringLiteral("h%1.bin").arg(++m_counter);
        const QString path = wt::writeFile(m_dir, name, file);
        try {
            auto p = word::readDocumentProperties(path);
            for (const word::BuiltinInfo &info : word::builtinProperties())
                (void)p.get(info.id);
            return p;
        } catch (const word::Error &e) {
            if (error)
                *error = e.description();
            if (!e.description().contains(name))
                m_unnamed << e.description();
            return std::nullopt;
        }
    }

    // Every prefix length in a spread over the file (and the first bytes one by one).
    void truncations(const QByteArray &file)
    {
        QList<qsizetype> cuts;
        for (qsizetype n = 0; n < 80 && n < file.size(); ++n)
            cuts << n;
        for (int k = 1; k < 60; ++k)
            cuts << file.size() * k / 60;
        cuts << file.size() - 1;
        for (const qsizetype n : cuts)
            (void)attempt(file.left(n));
    }

private slots:
    // Every refusal names the file it refuses, whichever test provoked it.
    void cleanup()
    {
        const QStringList unnamed = std::exchange(m_unnamed, {});
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
    }

    // ---------------------------------------------------------------- truncated files
    void truncatedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        wt::DocxParts parts;
        parts.core = wt::coreXml({{"dc:title", "T"}, {"dcterms:created", "2020-01-01T00:00:00Z"}});
        parts.app = wt::appXml({{"Pages", "3"}});
        QTest::newRow("docx") << wt::makeDocx(parts);
        QTest::newRow("odt") << wt::makeOdt(
            "<office:document-meta "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\"><office:meta/></office:document-meta>");
        QTest::newRow("doc") << wt::makeWordBinary(summaryStream(), summaryStream());
        QTest::newRow("doc laid out by hand") << wt::makeRawCfb(
            {{QStringLiteral("WordDocument"), {}}, {QStringLiteral("\x05SummaryInformation"), summaryStream()}});
        QTest::newRow("rtf") << QByteArray("{\\rtf1\\ansi\\ansicpg932{\\info{\\title \\'83\\'5e\\u1234 "
                                           "x}{\\creatim\\yr2001\\mo2\\dy3}{\\nofpages4}}\\pard body}");
        QTest::newRow("word xml") << QByteArray(
            "<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?><w:wordDocument "
            "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
            "xmlns:o=\"urn:schemas-microsoft-com:office:office\"><o:DocumentProperties><o:Title>x</o:Title></"
            "o:DocumentProperties></w:wordDocument>");
    }

    void truncatedFiles()
    {
        QFETCH(QByteArray, file);
        truncations(file);
    }

    // ---------------------------------------------------------------- compound files
    void cyclicSectorChain()
    {
        wt::RawCfbLayout layout;
        QByteArray file = wt::makeRawCfb(
            {{QStringLiteral("WordDocument"), {}}, {QStringLiteral("\x05SummaryInformation"), summaryStream()}},
            &layout);
        const int first = layout.streamFirstSector[1];
        // The third sector leads back to the first: the chain loops long before the stream's size is reached.
        wt::putU32(file, wt::cfbFatEntryOffset(layout, first + 2), static_cast<uint32_t>(first));
        QVERIFY(attempt(file)); // still opens, without what the chain held
        // The same loop in the WordDocument stream, the directory's own chain and the FAT's.
        wt::putU32(file, wt::cfbFatEntryOffset(layout, layout.streamFirstSector[0] + 1),
                   static_cast<uint32_t>(layout.streamFirstSector[0]));
        QVERIFY(attempt(file)); // still opens, without what the chain held
    }

    void sectorPointingAtItself()
    {
        wt::RawCfbLayout layout;
        QByteArray file = wt::makeRawCfb(
            {{QStringLiteral("WordDocument"), {}}, {QStringLiteral("\x05SummaryInformation"), summaryStream()}},
            &layout);
        const int first = layout.streamFirstSector[1];
        wt::putU32(file, wt::cfbFatEntryOffset(layout, first), static_cast<uint32_t>(first));
        QVERIFY(attempt(file)); // still opens, without what the chain held
        wt::putU32(file, wt::cfbFatEntryOffset(layout, layout.directorySector),
                   static_cast<uint32_t>(layout.directorySector));
        QVERIFY(!attempt(file));
    }

    void chainLeavingTheFile()
    {
        wt::RawCfbLayout layout;
        QByteArray file = wt::makeRawCfb(
            {{QStringLiteral("WordDocument"), {}}, {QStringLiteral("\x05SummaryInformation"), summaryStream()}},
            &layout);
        wt::putU32(file, wt::cfbFatEntryOffset(layout, layout.streamFirstSector[1]), 0x00FFFFF0);
        QVERIFY(!attempt(file));
        // a directory entry whose stream starts far beyond the end
        wt::putU32(file, wt::cfbDirectoryEntryOffset(layout, 2) + 116, 0x7FFFFF00);
        QVERIFY(!attempt(file));
    }

    void absurdStreamSize()
    {
        wt::RawCfbLayout layout;
        QByteArray file = wt::makeRawCfb(
            {{QStringLiteral("WordDocument"), {}}, {QStringLiteral("\x05SummaryInformation"), summaryStream()}},
            &layout);
        wt::putU32(file, wt::cfbDirectoryEntryOffset(layout, 2) + 120, 0xFFFFFFF0); // size
        QVERIFY(attempt(file)); // opens; the stated size is not believed
    }

    void directoryTreeCycle()
    {
        wt::RawCfbLayout layout;
        const QByteArray good = wt::makeRawCfb(
            {{QStringLiteral("WordDocument"), {}}, {QStringLiteral("\x05SummaryInformation"), summaryStream()}},
            &layout);
        QByteArray loop = good;
        wt::putU32(loop, wt::cfbDirectoryEntryOffset(layout, 2) + 72, 1); // right sibling of 2 is 1 again
        QString error;
        QVERIFY(!attempt(loop, &error));
        QVERIFY2(error.contains(QStringLiteral("reaches entry 1 twice")), qPrintable(error));
        QByteArray shared = good;
        wt::putU32(shared, wt::cfbDirectoryEntryOffset(layout, 1) + 68, 2); // 2 is both 1's left and right
        QVERIFY(!attempt(shared, &error));
        QVERIFY2(error.contains(QStringLiteral("twice")), qPrintable(error));
        // A stream's child link means nothing and is not followed, even to the root.
        QByteArray streamChild = good;
        wt::putU32(streamChild, wt::cfbDirectoryEntryOffset(layout, 1) + 76, 0);
        const auto p = attempt(streamChild);
        QVERIFY(p);
        QCOMPARE(p->get(Builtin::Title)->asText(), QStringLiteral("Title"));
    }

    // The directory's shape is checked before the container library, which recurses once per link,
    // walks it; within the bounds the document reads, beyond them it is refused as damaged.
    void directoryShapes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("refusal"); // empty: the document reads
        using S = wt::DirectoryShape;
        QTest::newRow("sibling chain 34,000 deep")
            << wt::wordBinaryWithDirectory(S::SiblingChain, 34000) << QStringLiteral("more than 2048 links deep");
        QTest::newRow("sibling chain 2,000 deep") << wt::wordBinaryWithDirectory(S::SiblingChain, 2000) << QString();
        QTest::newRow("storages nested 3,000 deep")
            << wt::wordBinaryWithDirectory(S::NestedStorages, 3000) << QStringLiteral("more than 2048 links deep");
        QTest::newRow("storages nested 1,000 deep")
            << wt::wordBinaryWithDirectory(S::NestedStorages, 1000) << QString();
        QTest::newRow("5,000 in one storage")
            << wt::wordBinaryWithDirectory(S::BalancedSiblings, 5000) << QStringLiteral("holds more than 4096 entries");
        QTest::newRow("4,000 in one storage") << wt::wordBinaryWithDirectory(S::BalancedSiblings, 4000) << QString();
        QTest::newRow("20,000 in storages of 4,000")
            << wt::wordBinaryWithDirectory(S::StoragesOf4000, 20000) << QStringLiteral("more than 16384 entries");
        QTest::newRow("16,000 in storages of 4,000")
            << wt::wordBinaryWithDirectory(S::StoragesOf4000, 16000) << QString();
    }

    void directoryShapes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, refusal);
        QString error;
        const auto p = attempt(file, &error);
        if (refusal.isEmpty()) {
            QVERIFY2(p, qPrintable(error));
            QCOMPARE(p->get(Builtin::Title)->asText(), QStringLiteral("Title"));
            QCOMPARE(p->get(Builtin::NumberOfPages)->asInteger(), 2);
        } else {
            QVERIFY(!p);
            QVERIFY2(error.contains(refusal) && error.contains(QStringLiteral("compound-file")), qPrintable(error));
        }
    }

    void absurdHeaderCounts()
    {
        QByteArray file = wt::makeRawCfb(
            {{QStringLiteral("WordDocument"), {}}, {QStringLiteral("\x05SummaryInformation"), summaryStream()}});
        QByteArray fats = file;
        wt::putU32(fats, 0x2C, 0x7FFFFFFF); // FAT sectors
        QVERIFY(!attempt(fats));
        QByteArray difat = file;
        wt::putU32(difat, 0x44, 0); // DIFAT chain starting in the FAT sector
        wt::putU32(difat, 0x48, 0x7FFFFFFF);
        QVERIFY(!attempt(difat));
        QByteArray shift = file;
        shift[0x1E] = 30; // 1 GiB sectors
        QVERIFY(!attempt(shift));
        QByteArray mini = file;
        wt::putU32(mini, 0x3C, 0); // mini FAT in the FAT sector
        wt::putU32(mini, 0x40, 0x7FFFFFFF);
        QVERIFY(!attempt(mini));
    }

    // ---------------------------------------------------------------- property sets
    void absurdPropertySets_data()
    {
        QTest::addColumn<QByteArray>("stream");
        const QByteArray good = summaryStream();
        auto edited = [&](qint64 offset, uint32_t value) {
            QByteArray b = good;
            wt::putU32(b, offset, value);
            return b;
        };
        const qint64 section = 48; // one section: its offset follows the header
        QTest::newRow("section count") << edited(24, 0xFFFFFFFF);
        QTest::newRow("section offset") << edited(44, 0xFFFFFFF0);
        QTest::newRow("section size") << edited(section, 0xFFFFFFFF);
        QTest::newRow("property count") << edited(section + 4, 0x7FFFFFFF);
        QTest::newRow("property offset") << edited(section + 8 + 12, 0xFFFFFFF0);
        wt::PropertySection s(wt::fmtidSummary(), 1252);
        s.raw(2, QByteArray("\x1E\0\0\0", 4) + le32(0xFFFFFFF0) + "abc");    // string size
        s.raw(3, QByteArray("\x1F\0\0\0", 4) + le32(0x7FFFFFFF) + "a\0b\0"); // wide string length
        s.raw(4, QByteArray("\x41\0\0\0", 4) + le32(0xFFFFFFF0));            // blob size
        s.raw(5, QByteArray("\x40\0\0\0", 4));                               // FILETIME cut short
        s.raw(6, QByteArray("\x03\0", 2));                                   // integer cut short
        QTest::newRow("value sizes") << wt::propertySetStream({s});
        wt::PropertySection d(wt::fmtidUserDefined(), 1252);
        d.raw(0, le32(0xFFFFFFFF) + le32(2) + le32(0xFFFFFFF0) + "x"); // dictionary
        QTest::newRow("dictionary") << wt::propertySetStream({wt::PropertySection(wt::fmtidDocSummary(), 1252), d});
        wt::PropertySection cp(wt::fmtidSummary(), -1);
        cp.raw(1, QByteArray("\x02\0\0\0\xFF\xFF\0\0", 8)).string(2, QStringLiteral("odd code page"));
        QTest::newRow("code page 65535") << wt::propertySetStream({cp});
    }

    void absurdPropertySets()
    {
        QFETCH(QByteArray, stream);
        const auto p = attempt(wt::makeWordBinary(stream, stream));
        QVERIFY(p.has_value()); // damaged property sets do not stop the document from opening
    }

    // Thousands of entries (and section records) naming one value decode it once.
    void propertiesSharingOneValue_data()
    {
        QTest::addColumn<int>("records");
        QTest::newRow("one section record") << 1;
        QTest::newRow("sixteen records of one section") << 16;
    }

    void propertiesSharingOneValue()
    {
        QFETCH(int, records);
        const QByteArray title(40000, 'T');
        QList<QPair<uint32_t, uint32_t>> entries{{2, 0}};
        for (uint32_t k = 0; k < 8190; ++k) // with the title and the code page, as many as a section may hold
            entries.append({1000 + k, 0});
        const QByteArray area = le32(30) + le32(static_cast<uint32_t>(title.size() + 1)) + title + QByteArray(4, '\0');
        const auto p = attempt(wt::makeWordBinary(wt::propertySetPointingInto(1252, entries, area, records), {}));
        QVERIFY(p);
        QCOMPARE(p->get(Builtin::Title)->asText(), QString::fromLatin1(title));
    }

    // Entries pointing a few bytes apart into one long run of text each decode a different long value;
    // the document's budget of decoded bytes refuses it.
    void propertiesOverlappingOneValue()
    {
        QByteArray area;
        QList<QPair<uint32_t, uint32_t>> entries;
        for (uint32_t k = 0; k < 2048; ++k) {
            entries.append({2 + k, k * 8});
            area += QByteArray("\x1E\0AAAAAA", 8); // a UTF-16 string whose size runs past the section; no NUL anywhere
        }
        area += QByteArray(160 * 1024, 'A');
        QString error;
        QVERIFY(!attempt(wt::makeWordBinary(wt::propertySetPointingInto(1200, entries, area, 1), {}), &error));
        QVERIFY2(error.contains(QStringLiteral("property sets decode to more than 16 MiB")), qPrintable(error));
    }

    // ---------------------------------------------------------------- zip and XML
    // 1 GiB of zeros deflated to about a megabyte as docProps/core.xml, its size stated honestly or
    // stated small: either way the part is refused before it is unpacked.
    void zipBomb_data()
    {
        QTest::addColumn<quint64>("statedSize");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("stated honestly") << quint64(1ull << 30)
                                         << QStringLiteral("docProps/core.xml would unpack to 1024 MiB");
        QTest::newRow("stating less") << quint64(2000) << QStringLiteral("docProps/core.xml");
    }

    void zipBomb()
    {
        QFETCH(quint64, statedSize);
        QFETCH(QString, refusal);
        uint32_t crc = 0;
        const QByteArray bomb = wt::deflatedZeros(1ull << 30, crc);
        const QByteArray rels = wt::packageRels(true, false);
        const QByteArray file = wt::makeRawZip(
            {{"_rels/.rels", wt::rawDeflate(rels), 8, wt::crc32Of(rels), static_cast<uint64_t>(rels.size())},
             {"word/document.xml", "<w:document/>", 0, wt::crc32Of("<w:document/>"), 13},
             {"docProps/core.xml", bomb, 8, crc, statedSize}});
        QString error;
        QVERIFY(!attempt(file, &error));
        QVERIFY2(error.contains(refusal), qPrintable(error));
    }

    void partStatingAHugeSize()
    {
        const QByteArray rels = wt::packageRels(false, true);
        const QByteArray file =
            wt::makeRawZip({{"_rels/.rels", rels, 0, wt::crc32Of(rels), static_cast<uint64_t>(rels.size())},
                            {"word/document.xml", "<w:document/>", 0, wt::crc32Of("<w:document/>"), 13},
                            {"docProps/app.xml", "<Properties/>", 0, 0, 0x7FFFFFF0u}});
        QString error;
        QVERIFY(!attempt(file, &error));
        QVERIFY2(error.contains(QStringLiteral("docProps/app.xml")), qPrintable(error));
        // All ones in the size field asks for zip64 sizes the entry does not carry.
        const QByteArray zip64 =
            wt::makeRawZip({{"_rels/.rels", rels, 0, wt::crc32Of(rels), static_cast<uint64_t>(rels.size())},
                            {"docProps/app.xml", "<Properties/>", 0, 0, 0xFFFFFFFFu}});
        QVERIFY(!attempt(zip64, &error));
        QVERIFY2(error.contains(QStringLiteral("zip directory is inconsistent")), qPrintable(error));
    }

    void zipDirectoryClaimingManyEntries()
    {
        wt::DocxParts parts;
        QByteArray file = wt::makeDocx(parts);
        const qint64 eocd = file.lastIndexOf(QByteArray("PK\x05\x06", 4));
        QVERIFY(eocd > 0);
        file[eocd + 8] = '\xFF';
        file[eocd + 9] = '\xFF';
        file[eocd + 10] = '\xFF';
        file[eocd + 11] = '\xFF';
        QString error;
        QVERIFY(!attempt(file, &error));
    }

    void deeplyNestedXml()
    {
        wt::DocxParts parts;
        QByteArray core = "<cp:coreProperties xmlns:cp=\"x\">";
        for (int i = 0; i < 100000; ++i)
            core += "<a>";
        parts.core = core;
        QString error;
        QVERIFY(!attempt(wt::makeDocx(parts), &error));
        QVERIFY2(error.contains(QStringLiteral("nests elements too deeply")), qPrintable(error));
    }

    void entityExpansion()
    {
        wt::DocxParts parts;
        QByteArray core = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
        core += "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">";
        for (int i = 2; i < 10; ++i)
            core += "<!ENTITY lol" + QByteArray::number(i) + " \""
                    + QByteArray("&lol" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
        core += "]><cp:coreProperties xmlns:cp=\"x\" "
                "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>&lol9;</dc:title></cp:coreProperties>";
        parts.core = core;
        QString error;
        QVERIFY(!attempt(wt::makeDocx(parts), &error));
        QVERIFY2(error.contains(QStringLiteral("document type declaration")), qPrintable(error));
    }

    void undefinedEntity()
    {
        wt::DocxParts parts;
        parts.core =
            "<cp:coreProperties xmlns:cp=\"x\" xmlns:dc=\"y\"><dc:title>&nothing;</dc:title></cp:coreProperties>";
        QString error;
        QVERIFY(!attempt(wt::makeDocx(parts), &error));
        QVERIFY2(error.contains(QStringLiteral("docProps/core.xml")), qPrintable(error));
    }

    // Namespaces are bound as a namespace-aware parser binds them: what breaks the rules makes the part
    // malformed, while a prefix rebound inside an element is read under its new meaning.
    void namespaceRules_data()
    {
        QTest::addColumn<QByteArray>("core");
        QTest::addColumn<QString>("error"); // empty: read, with the title "T"
        const QByteArray dc = " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";
        QTest::newRow("unbound element prefix")
            << QByteArray("<cp:coreProperties xmlns:cp=\"x\"><zz:title>T</zz:title></cp:coreProperties>")
            << QStringLiteral("unbound prefix");
        QTest::newRow("unbound attribute prefix") << QByteArray(
            "<cp:coreProperties xmlns:cp=\"x\"" + dc + "><dc:title zz:a=\"1\">T</dc:title></cp:coreProperties>")
                                                  << QStringLiteral("unbound prefix");
        QTest::newRow("one attribute under two prefixes")
            << QByteArray("<cp:coreProperties xmlns:cp=\"x\" xmlns:p=\"u\" xmlns:q=\"u\"" + dc
                          + "><dc:title p:a=\"1\" q:a=\"2\">T</dc:title></cp:coreProperties>")
            << QStringLiteral("duplicate attribute");
        QTest::newRow("undeclared prefix") << QByteArray("<cp:coreProperties xmlns:cp=\"x\"" + dc
                                                         + "><dc:title xmlns:dc=\"\">T</dc:title></cp:coreProperties>")
                                           << QStringLiteral("must not undeclare prefix");
        QTest::newRow("prefix rebound to another namespace")
            << QByteArray("<cp:coreProperties xmlns:cp=\"x\" xmlns:dc=\"elsewhere\"><dc:title "
                          "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">T</dc:title></cp:coreProperties>")
            << QString();
    }

    void namespaceRules()
    {
        QFETCH(QByteArray, core);
        QFETCH(QString, error);
        wt::DocxParts parts;
        parts.core = core;
        QString reported;
        const auto p = attempt(wt::makeDocx(parts), &reported);
        if (!error.isEmpty()) {
            QVERIFY(!p);
            QVERIFY2(reported.contains(QStringLiteral("docProps/core.xml is not well-formed XML (") + error),
                     qPrintable(reported));
            return;
        }
        QVERIFY2(p, qPrintable(reported));
        QCOMPARE(p->get(Builtin::Title)->asText(), QStringLiteral("T"));
    }

    // The XML reader checks each attribute against the others of its element; their number is bounded
    // before it sees them.
    void manyAttributes_data()
    {
        QTest::addColumn<QByteArray>("before"); // put in front of the element
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("refused");
        QTest::newRow("40,000") << QByteArray() << 40000 << true;
        QTest::newRow("100 after a comment with a quote") << QByteArray("<!-- \" -->") << 100 << true;
        QTest::newRow("100 after a processing instruction with a quote") << QByteArray("<?x ' ?>") << 100 << true;
        QTest::newRow("60") << QByteArray() << 60 << false;
    }

    void manyAttributes()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, count);
        QFETCH(bool, refused);
        QByteArray attributes;
        for (int k = 0; k < count; ++k)
            attributes += " a" + QByteArray::number(k) + "=\"v>\"";
        wt::DocxParts parts;
        parts.core = wt::coreXml({{"dc:title", QStringLiteral("T")}})
                         .replace("<dc:title>", before + "<dc:title" + attributes + ">");
        QString error;
        const auto p = attempt(wt::makeDocx(parts), &error);
        if (refused) {
            QVERIFY(!p);
            QVERIFY2(error.contains(QStringLiteral("docProps/core.xml has an element with more than 64 attributes")),
                     qPrintable(error));
        } else {
            QVERIFY2(p, qPrintable(error));
            QCOMPARE(p->get(Builtin::Title)->asText(), QStringLiteral("T"));
        }
    }

    void propertyPartTooLarge()
    {
        wt::DocxParts parts;
        parts.core = wt::coreXml({{"dc:title", QStringLiteral("T")}});
        parts.app = wt::appXml({{"Company", QString(9 * 1024 * 1024, QLatin1Char(' '))}});
        QString error;
        QVERIFY(!attempt(wt::makeDocx(parts), &error));
        QVERIFY2(error.contains(QStringLiteral("docProps/app.xml would unpack to")), qPrintable(error));
    }

    // The properties of a large Word 2003 XML file come from its top; its body, however far it reaches
    // beyond that, is counted in pieces as the main parts of packages are.
    void largeWordXmlReadsItsPropertiesAndCountsItsBody()
    {
        const QByteArray file =
            "<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?><w:wordDocument "
            "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
            "xmlns:o=\"urn:schemas-microsoft-com:office:office\"><o:DocumentProperties><o:Title>T</o:Title>"
            "</o:DocumentProperties><w:body>"
            + QByteArray("<w:p><w:r><w:t>some words</w:t></w:r></w:p>").repeated(250000) + "</w:body></w:wordDocument>";
        QVERIFY(file.size() > 9 * 1024 * 1024);
        QString error;
        const auto p = attempt(file, &error);
        QVERIFY2(p, qPrintable(error));
        QCOMPARE(p->get(Builtin::Title)->asText(), QStringLiteral("T"));
        QCOMPARE(p->get(Builtin::NumberOfWords)->asInteger(), 500000);
        QCOMPARE(p->get(Builtin::NumberOfParagraphs)->asInteger(), 250000);
        QVERIFY(p->computed().contains(Builtin::NumberOfWords));
    }

    // A main text beyond the parser's bounds is not counted: the document is read with its properties,
    // its counts stay unset, and the engine's log says why.
    void mainTextBeyondTheBounds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("note");
        QByteArray attributes;
        for (int k = 0; k < 40000; ++k)
            attributes += " a" + QByteArray::number(k) + "=\"\"";
        wt::DocxParts docx;
        docx.core = wt::coreXml({{"dc:title", QStringLiteral("T")}});
        docx.document = wt::wordDocumentXml("<w:p" + attributes + "/>");
        QTest::newRow("40,000 attributes in document.xml")
            << wt::makeDocx(docx) << "word/document.xml has an element with more than 64 attributes";
        QTest::newRow("40,000 attributes in content.xml")
            << wt::makeOdt({}, QStringLiteral("application/vnd.oasis.opendocument.text"),
                           wt::odtContentXml("<text:p" + attributes + "/>"))
            << "content.xml has an element with more than 64 attributes";
        // 63 MiB of empty paragraphs pack into about 100 KB.
        docx.document = wt::wordDocumentXml(QByteArray("<w:p/>").repeated(63 * 1024 * 1024 / 6));
        QTest::newRow("63 MiB of empty paragraphs")
            << wt::makeDocx(docx) << "word/document.xml has more than 4194304 elements";
        docx.document = wt::wordDocumentXml("<w:p w:rsidR=\"" + QByteArray(5 * 1024 * 1024, 'a') + "\"/>");
        QTest::newRow("a start tag of 5 MiB") << wt::makeDocx(docx) << "word/document.xml has a tag longer than 4 MiB";
    }

    void mainTextBeyondTheBounds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, note);
        static QStringList notes;
        notes.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("quillmere.engine.info=true"));
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) { notes << m; });
        QString error;
        const auto p = attempt(file, &error);
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QStringLiteral("quillmere.engine.info=false"));
        QVERIFY2(p, qPrintable(error));
        for (const Builtin id : {Builtin::NumberOfWords, Builtin::NumberOfCharacters, Builtin::NumberOfParagraphs})
            QVERIFY2(!p->get(id), word::builtinInfo(id).name);
        QVERIFY2(notes.join(QLatin1Char('\n')).contains(QStringLiteral("its text cannot be counted (its part ") + note),
                 qPrintable(notes.join(QLatin1Char('\n'))));
    }

    // A value may be far longer than a spreadsheet cell, but not without bound; nor may a joined list.
    void valueLengths_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("refusal"); // empty: reads, with the whole title
        QTest::addColumn<int>("titleChars");
        wt::DocxParts fits;
        fits.core = wt::coreXml({{"dc:title", QString(100000, QLatin1Char('x'))}});
        QTest::newRow("docx title of 100,000") << wt::makeDocx(fits) << QString() << 100000;
        wt::DocxParts tooLong;
        tooLong.core = wt::coreXml({{"dc:title", QString(300000, QLatin1Char('x'))}});
        QTest::newRow("docx title of 300,000")
            << wt::makeDocx(tooLong) << QStringLiteral("value that is too long") << 0;
        wt::PropertySection ole(wt::fmtidSummary(), 1252);
        ole.string(2, QString(300000, QLatin1Char('x')));
        QTest::newRow("doc title of 300,000")
            << wt::makeWordBinary(wt::propertySetStream({ole}), {}) << QStringLiteral("value that is too long") << 0;
        QTest::newRow("rtf title of 300,000") << "{\\rtf1{\\info{\\title " + QByteArray(300000, 'x') + "}}}"
                                              << QStringLiteral("value that is too long") << 0;
        QByteArray keywords;
        for (int k = 0; k < 40000; ++k)
            keywords += "<meta:keyword>kw" + QByteArray::number(k) + "</meta:keyword>";
        QTest::newRow("odt with 40,000 keywords")
            << wt::makeOdt("<office:document-meta xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                           "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\"><office:meta>"
                           + keywords + "</office:meta></office:document-meta>")
            << QStringLiteral("keyword list that is too long") << 0;
    }

    void valueLengths()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, refusal);
        QFETCH(int, titleChars);
        QString error;
        const auto p = attempt(file, &error);
        if (refusal.isEmpty()) {
            QVERIFY2(p, qPrintable(error));
            QCOMPARE(p->get(Builtin::Title)->asText().size(), titleChars);
        } else {
            QVERIFY(!p);
            QVERIFY2(error.contains(refusal), qPrintable(error));
        }
    }

    // A date no document can mean is absent, after 9999 as before 1602; the last day of 9999 is kept.
    void datesBeyond9999_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("present");
        auto doc = [](uint64_t ticks) {
            wt::PropertySection s(wt::fmtidSummary(), 1252);
            s.fileTime(12, ticks);
            return wt::makeWordBinary(wt::propertySetStream({s}), {});
        };
        QTest::newRow("doc, year 60056") << doc(0xFFFFFFFFFFFFFFF0ull) << false;
        QTest::newRow("doc, year 10000") << doc(wt::fileTimeOf(QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC)))
                                         << false;
        QTest::newRow("doc, 9999-12-30") << doc(wt::fileTimeOf(QDateTime(QDate(9999, 12, 30), QTime(12, 0), Qt::UTC)))
                                         << true;
        QTest::newRow("rtf, year 12000") << QByteArray("{\\rtf1{\\info{\\creatim\\yr12000\\mo1\\dy2}}}") << false;
        QTest::newRow("rtf, year 9999") << QByteArray("{\\rtf1{\\info{\\creatim\\yr9999\\mo1\\dy2}}}") << true;
        auto docx = [](const char *created) {
            wt::DocxParts parts;
            parts.core = wt::coreXml({{"dcterms:created", QString::fromLatin1(created)}});
            return wt::makeDocx(parts);
        };
        QTest::newRow("docx, an offset past 9999") << docx("9999-12-31T23:30:00-05:00") << false;
        QTest::newRow("docx, 9999-12-30") << docx("9999-12-30T12:00:00Z") << true;
    }

    void datesBeyond9999()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, present);
        const auto p = attempt(file);
        QVERIFY(p);
        QCOMPARE(p->get(Builtin::CreationDate).has_value(), present);
    }

    // A NUL ends a value in every format, as the binary property sets define it; the rest of the
    // document reads on.
    void nulEndsTheValue_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("rtf, \\'00") << QByteArray("{\\rtf1{\\info{\\title ab\\'00cd}{\\subject S}}}");
        QTest::newRow("rtf, \\u0") << QByteArray("{\\rtf1{\\info{\\title ab\\u0?cd}{\\subject S}}}");
        const QString nul(1, QChar(0));
        wt::DocxParts raw;
        raw.core = wt::coreXml(
            {{"dc:title", QStringLiteral("ab") + nul + QStringLiteral("cd")}, {"dc:subject", QStringLiteral("S")}});
        QTest::newRow("docx, a NUL byte") << wt::makeDocx(raw);
        for (const char *reference : {"&#0;", "&#x00;"}) {
            wt::DocxParts parts;
            parts.core = wt::coreXml({{"dc:title", QStringLiteral("abNULcd")}, {"dc:subject", QStringLiteral("S")}})
                             .replace("NUL", reference);
            QTest::newRow(qPrintable(QStringLiteral("docx, %1").arg(QString::fromLatin1(reference))))
                << wt::makeDocx(parts);
        }
        QTest::newRow("odt, &#x0;") << wt::makeOdt(
            "<office:document-meta xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><office:meta><dc:title>ab&#x0;cd</dc:title>"
            "<dc:subject>S</dc:subject></office:meta></office:document-meta>");
        QTest::newRow("word xml, &#0;") << QByteArray(
            "<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?><w:wordDocument "
            "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
            "xmlns:o=\"urn:schemas-microsoft-com:office:office\">"
            "<o:DocumentProperties><o:Title>ab&#0;cd</o:Title><o:Subject>S</o:Subject></o:DocumentProperties></"
            "w:wordDocument>");
        wt::PropertySection ole(wt::fmtidSummary(), 1252);
        ole.rawString(2, QByteArray("ab\0cd\0", 6), 6).string(3, QStringLiteral("S"));
        QTest::newRow("doc") << wt::makeWordBinary(wt::propertySetStream({ole}), {});
    }

    void nulEndsTheValue()
    {
        QFETCH(QByteArray, file);
        QString error;
        const auto p = attempt(file, &error);
        QVERIFY2(p, qPrintable(error));
        QCOMPARE(p->get(Builtin::Title)->asText(), QStringLiteral("ab"));
        QCOMPARE(p->get(Builtin::Subject)->asText(), QStringLiteral("S"));
    }

    void hugeTextValue()
    {
        wt::DocxParts parts;
        parts.core = wt::coreXml({{"dc:title", QString(3 * 1024 * 1024, QLatin1Char('x'))}});
        QString error;
        QVERIFY(!attempt(wt::makeDocx(parts), &error));
        QVERIFY2(error.contains(QStringLiteral("too long")), qPrintable(error));
    }

    // ---------------------------------------------------------------- counting
    // Three streams that each claim the whole of a sparse file: counting reads only the header, the piece
    // table and the text it points at, and gives the text's counts.
    void textStreamsSharingOneChain()
    {
        const QString path = m_dir.filePath(QStringLiteral("sparse.doc"));
        wt::writeSparseWordBinary(path, 256ll * 1024 * 1024, "Sparse but counted\rtwo\r");
        for (const bool recount : {false, true}) {
            const auto p = word::readDocumentProperties(path, word::ReadOptions{recount});
            QCOMPARE(p.get(Builtin::NumberOfWords)->asInteger(), 4);
            QCOMPARE(p.get(Builtin::NumberOfCharacters)->asInteger(), 19);
            QCOMPARE(p.get(Builtin::NumberOfParagraphs)->asInteger(), 2);
        }
        QFile::remove(path);
    }

    // A file cut or grown after it was opened is reported as changed, never read as another document.
    void fileChangedWhileItIsRead()
    {
        const QString path = wt::writeFile(m_dir, QStringLiteral("changing.txt"), QByteArray(200000, 'a'));
        word::InputFile file(path);
        QVERIFY(!file.changedSinceOpened());
        QVERIFY(QFile::resize(path, 100000));
        QVERIFY(file.changedSinceOpened());
        try {
            (void)file.read(0, 200000);
            QFAIL("a read past the cut gave bytes");
        } catch (const word::Error &e) {
            QVERIFY2(e.description().contains(QStringLiteral("it changed while it was being read")),
                     qPrintable(e.description()));
        }
    }

    // ---------------------------------------------------------------- RTF
    void rtfDeepNesting()
    {
        QByteArray rtf = "{\\rtf1{\\info";
        rtf += QByteArray(200000, '{');
        QString error;
        QVERIFY(!attempt(rtf, &error));
        QVERIFY2(error.contains(QStringLiteral("nested too deeply")), qPrintable(error));
        // Deep nesting inside skipped groups costs nothing and is allowed.
        QByteArray skipped =
            "{\\rtf1{\\fonttbl" + QByteArray(200000, '{') + QByteArray(200000, '}') + "}{\\info{\\title ok}}}";
        const auto p = attempt(skipped);
        QVERIFY(p);
        QCOMPARE(p->get(Builtin::Title)->asText(), QStringLiteral("ok"));
    }

    void rtfAbsurdNumbers()
    {
        const auto p = attempt(
            "{\\rtf1{\\info{\\title a\\u-99999999999999999999 b\\uc999999 \\'zz}{\\nofpages99999999999999999999999}"
            "{\\creatim\\yr99999999\\mo99\\dy99}{\\edmins-5}}\\bin99999999999999 x}");
        QVERIFY(p);
        QVERIFY(!p->get(Builtin::CreationDate));
    }

    void rtfUnterminated()
    {
        const auto p = attempt("{\\rtf1{\\info{\\title never closed");
        QVERIFY(p);
        QCOMPARE(p->get(Builtin::Title)->asText(), QString());
    }

    void rtfLongControlWords()
    {
        QByteArray rtf = "{\\rtf1{\\info{\\title x\\" + QByteArray(100000, 'a') + "1234567890123456789012345 y}}}";
        const auto p = attempt(rtf);
        QVERIFY(p);
        QCOMPARE(p->get(Builtin::Title)->asText(), QStringLiteral("xy"));
    }
};

QV_WORD_TEST_MAIN(TstWordHostile)
#include "tst_word_hostile.moc"
