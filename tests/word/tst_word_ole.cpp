// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Word 97-2003 (and Word 6/95) binary documents: the two property-set streams of a compound file, with
// their code pages, dates, durations and the user-defined section, made by the test itself.
#include "ReadValues.h"
#include "WordTestMain.h"
#include "WordTestSupport.h"
#include "word/Engine.h"
#include "word/Errors.h"

using word::Builtin;
using word::PropertyValue;
using wt::number;
using wt::text;
using wt::utc;
using wt::when;

namespace {

// Summary information with every property the program reads.
wt::PropertySection fullSummary(int codePage = 1252)
{
    wt::PropertySection s(wt::fmtidSummary(), codePage);
    s.string(2, QStringLiteral("The title"))
        .string(3, QStringLiteral("The subject"))
        .string(4, QStringLiteral("Author Name"))
        .string(5, QStringLiteral("key, words"))
        .string(6, QStringLiteral("Some comments"))
        .string(7, QStringLiteral("Normal.dotm"))
        .string(8, QStringLiteral("Last Saver"))
        .string(9, QStringLiteral("23"))
        .fileTime(10, 23160ull * 10000000ull) // 6 h 26 min of editing, as a duration
        .fileTime(11, wt::fileTimeOf(utc(2011, 6, 20, 13, 49)))
        .fileTime(12, wt::fileTimeOf(utc(2011, 11, 25, 11, 19)))
        .fileTime(13, wt::fileTimeOf(utc(2012, 9, 28, 12, 52, 30)))
        .int32(14, 3)
        .int32(15, 203)
        .int32(16, 1163);
    return s;
}

wt::PropertySection fullDocSummary(int codePage = 1252)
{
    wt::PropertySection s(wt::fmtidDocSummary(), codePage);
    s.string(2, QStringLiteral("The category"))
        .int32(4, 99999) // the stored byte count, which is not the file's size
        .int32(5, 9)
        .int32(6, 2)
        .string(14, QStringLiteral("The manager"))
        .string(15, QStringLiteral("The company"))
        .int32(17, 1364);
    return s;
}

} // namespace

class TstWordOle : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_counter = 0;

    word::DocumentProperties read(const QByteArray &file)
    {
        return word::readDocumentProperties(wt::writeFile(m_dir, QStringLiteral("doc%1.doc").arg(++m_counter), file));
    }
    word::Error openError(const QByteArray &file)
    {
        try {
            read(file);
        } catch (const word::Error &e) {
            return e;
        }
        return word::Error(word::Fault::NoValue, QStringLiteral("opened")) /* never an open failure */;
    }

private slots:
    void everyProperty()
    {
        const QString path = wt::writeFile(
            m_dir, QStringLiteral("full.doc"),
            wt::makeWordBinary(wt::propertySetStream({fullSummary()}), wt::propertySetStream({fullDocSummary()})));
        const auto p = word::readDocumentProperties(path);
        QCOMPARE(p.format(), QStringLiteral("OLE"));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("The title"));
        QCOMPARE(text(p, Builtin::Subject), QStringLiteral("The subject"));
        QCOMPARE(text(p, Builtin::Author), QStringLiteral("Author Name"));
        QCOMPARE(text(p, Builtin::Keywords), QStringLiteral("key, words"));
        QCOMPARE(text(p, Builtin::Comments), QStringLiteral("Some comments"));
        QCOMPARE(text(p, Builtin::Template), QStringLiteral("Normal.dotm"));
        QCOMPARE(text(p, Builtin::LastAuthor), QStringLiteral("Last Saver"));
        QCOMPARE(*p.get(Builtin::RevisionNumber), PropertyValue::text(QStringLiteral("23")));
        QCOMPARE(*p.get(Builtin::TotalEditingTime), PropertyValue::integer(386));
        QCOMPARE(when(p, Builtin::LastPrintDate), utc(2011, 6, 20, 13, 49));
        QCOMPARE(when(p, Builtin::CreationDate), utc(2011, 11, 25, 11, 19));
        QCOMPARE(when(p, Builtin::LastSaveTime), utc(2012, 9, 28, 12, 52, 30));
        QCOMPARE(number(p, Builtin::NumberOfPages), 3);
        QCOMPARE(number(p, Builtin::NumberOfWords), 203);
        QCOMPARE(number(p, Builtin::NumberOfCharacters), 1163);
        QCOMPARE(text(p, Builtin::Category), QStringLiteral("The category"));
        QCOMPARE(number(p, Builtin::NumberOfLines), 9);
        QCOMPARE(number(p, Builtin::NumberOfParagraphs), 2);
        QCOMPARE(text(p, Builtin::Manager), QStringLiteral("The manager"));
        QCOMPARE(text(p, Builtin::Company), QStringLiteral("The company"));
        QCOMPARE(number(p, Builtin::NumberOfCharactersWithSpaces), 1364);
        QCOMPARE(number(p, Builtin::NumberOfBytes), QFileInfo(path).size()); // the file, not the stored count
        QCOMPARE(text(p, Builtin::HyperlinkBase), QString());
    }

    void datesAreShownInLocalTime()
    {
        // The stored moments are UTC; in a zone east of UTC the local display moves forward.
        const auto p = read(wt::makeWordBinary(wt::propertySetStream({fullSummary()}), {}));
        const QDateTime shown = p.get(Builtin::LastSaveTime)->asDateTime();
        QCOMPARE(shown.toUTC(), utc(2012, 9, 28, 12, 52, 30));
        QCOMPARE(shown.offsetFromUtc(), 0); // the tests run in UTC
    }

    void neverPrintedAndAbsentValuesAreNotSet()
    {
        wt::PropertySection s(wt::fmtidSummary(), 1252);
        s.string(2, QStringLiteral("T"))
            .fileTime(11, 0)
            .fileTime(12, 21600)
            .fileTime(13, wt::fileTimeOf(utc(2001, 1, 1)));
        const auto p = read(wt::makeWordBinary(wt::propertySetStream({s}), {}));
        QVERIFY(!p.get(Builtin::LastPrintDate)); // zero: never printed
        QVERIFY(!p.get(Builtin::CreationDate));  // a FILETIME of a few milliseconds: never
        QVERIFY(p.get(Builtin::LastSaveTime));
        for (Builtin id : {Builtin::TotalEditingTime, Builtin::NumberOfPages, Builtin::NumberOfLines,
                           Builtin::NumberOfParagraphs, Builtin::NumberOfCharactersWithSpaces})
            QVERIFY(!p.get(id));
        QCOMPARE(text(p, Builtin::Company), QString()); // no document summary: texts are empty
        QVERIFY(p.get(Builtin::NumberOfBytes));
    }

    void codePages_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1252") << 1252 << QByteArray("Caf\xE9 \x80 \x93quoted\x94")
                              << QStringLiteral(u"Café € “quoted”");
        QTest::newRow("1251") << 1251 << QByteArray("\xCC\xC3\xC2\xD0\xCA") << QStringLiteral(u"МГВРК");
        QTest::newRow("1250") << 1250 << QByteArray("\x8A\x9A \xE8") << QStringLiteral(u"Šš č");
        QTest::newRow("10000 Mac Roman") << 10000 << QByteArray("Mod\x8Fles") << QStringLiteral(u"Modèles");
        QTest::newRow("932 Shift-JIS") << 932 << QByteArray("\x91\xE6\x31\x8F\xCD") << QStringLiteral(u"第1章");
        QTest::newRow("936 GBK") << 936 << QByteArray("\xD6\xD0\xCE\xC4") << QStringLiteral(u"中文");
        QTest::newRow("950 Big5") << 950 << QByteArray("\xB0\xD1\xA6\xD2") << QStringLiteral(u"參考");
        QTest::newRow("1255 Hebrew, final letter kept")
            << 1255 << QByteArray("\xEC\xE9\xE9\xF9\xE5\xED") << QStringLiteral(u"ליישום");
        QTest::newRow("65001 stored as -535")
            << 65001 << QStringLiteral(u"雅虎網站").toUtf8() << QStringLiteral(u"雅虎網站");
        QTest::newRow("no code page") << -1 << QByteArray("Caf\xE9") << QStringLiteral(u"Café");
        QTest::newRow("unknown code page") << 1220 << QByteArray("Michael") << QStringLiteral(u"Michael");
    }

    void codePages()
    {
        QFETCH(int, codePage);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        wt::PropertySection s(wt::fmtidSummary(), codePage);
        s.rawString(2, bytes + '\0', static_cast<uint32_t>(bytes.size() + 1));
        const auto p = read(wt::makeWordBinary(wt::propertySetStream({s}), {}));
        QCOMPARE(text(p, Builtin::Title), expected);
    }

    void utf16Strings()
    {
        wt::PropertySection s(wt::fmtidSummary(), 1200);
        s.string(2, QStringLiteral(u"Ünïcode title")).wideString(4, QStringLiteral(u"段 author"));
        const auto p = read(wt::makeWordBinary(wt::propertySetStream({s}), {}));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral(u"Ünïcode title"));
        QCOMPARE(text(p, Builtin::Author), QStringLiteral(u"段 author"));
    }

    void codePageListedAfterTheStrings()
    {
        // The code page applies to the whole section, also to strings listed before it.
        wt::PropertySection s(wt::fmtidSummary(), -1);
        s.rawString(2, QByteArray("\xCC\xE5\xF2\xEE\xE4\xE8\xEA\xE0") + '\0', 9).int16(1, 1251);
        const auto p = read(wt::makeWordBinary(wt::propertySetStream({s}), {}));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral(u"Методика"));
    }

    void statedSizeShorterThanTheText()
    {
        // A writer that stated 4 bytes for a longer, NUL-terminated text: the text runs to its NUL.
        wt::PropertySection s(wt::fmtidSummary(), 1252);
        s.rawString(2, QByteArray("Truncated no more") + '\0', 4);
        const auto p = read(wt::makeWordBinary(wt::propertySetStream({s}), {}));
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("Truncated no more"));
    }

    void hyperlinkBaseInTheUserDefinedSection()
    {
        QByteArray link;
        for (const QChar c : QStringLiteral("http://www.blackball.us/"))
            link.append(static_cast<char>(c.unicode() & 0xFF)).append('\0');
        link.append("\0\0", 2);
        wt::PropertySection user(wt::fmtidUserDefined(), 1252);
        user.dictionary({{2, QStringLiteral("Other")}, {3, QStringLiteral("_PID_LINKBASE")}})
            .string(2, QStringLiteral("not this"))
            .blob(3, link);
        const auto p = read(wt::makeWordBinary(wt::propertySetStream({fullSummary()}),
                                               wt::propertySetStream({fullDocSummary(), user})));
        QCOMPARE(text(p, Builtin::HyperlinkBase), QStringLiteral("http://www.blackball.us/"));
        QCOMPARE(text(p, Builtin::Company), QStringLiteral("The company"));
    }

    void hyperlinkBaseWithUnicodeDictionary()
    {
        QByteArray link;
        for (const QChar c : QStringLiteral(u"file:///Ünï/"))
            link.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
        link.append("\0\0", 2);
        wt::PropertySection user(wt::fmtidUserDefined(), 1200);
        user.dictionary({{5, QStringLiteral("_pid_linkbase")}}).blob(5, link);
        const auto p = read(wt::makeWordBinary({}, wt::propertySetStream({fullDocSummary(), user})));
        QCOMPARE(text(p, Builtin::HyperlinkBase), QStringLiteral(u"file:///Ünï/"));
    }

    void namedPropertyInTheDocumentSummaryIsNotBuiltIn()
    {
        // A writer put a custom property with id 2 and a name in the built-in section: not the category.
        wt::PropertySection s(wt::fmtidDocSummary(), 65001);
        s.dictionary({{2, QStringLiteral("My field")}})
            .string(2, QStringLiteral("user field value"))
            .string(15, QStringLiteral("ACME"));
        const auto p = read(wt::makeWordBinary({}, wt::propertySetStream({s})));
        QCOMPARE(text(p, Builtin::Category), QString());
        QCOMPARE(text(p, Builtin::Company), QStringLiteral("ACME"));
    }

    void streamNamesAreCaseInsensitive_data()
    {
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("docSummary");
        QTest::addColumn<QString>("wordDocument");
        QTest::newRow("upper") << QStringLiteral("\x05SUMMARYINFORMATION")
                               << QStringLiteral("\x05"
                                                 "DOCUMENTSUMMARYINFORMATION")
                               << QStringLiteral("WORDDOCUMENT");
        QTest::newRow("lower") << QStringLiteral("\x05summaryinformation")
                               << QStringLiteral("\x05"
                                                 "documentsummaryinformation")
                               << QStringLiteral("worddocument");
    }

    void streamNamesAreCaseInsensitive()
    {
        QFETCH(QString, summary);
        QFETCH(QString, docSummary);
        QFETCH(QString, wordDocument);
        const QByteArray file = wt::makeOle({{wordDocument, QByteArray(600, '\0')},
                                             {summary, wt::propertySetStream({fullSummary()})},
                                             {docSummary, wt::propertySetStream({fullDocSummary()})}});
        const auto p = read(file);
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("The title"));
        QCOMPARE(text(p, Builtin::Company), QStringLiteral("The company"));
    }

    void embeddedObjectsKeepTheirOwnProperties()
    {
        wt::PropertySection embedded(wt::fmtidSummary(), 1252);
        embedded.string(2, QStringLiteral("Embedded sheet title"));
        const QByteArray file =
            wt::makeOle({{QStringLiteral("WordDocument"), QByteArray(600, '\0')},
                         {QStringLiteral("ObjectPool/_1234/\x05SummaryInformation"), wt::propertySetStream({embedded})},
                         {QStringLiteral("\x05SummaryInformation"), wt::propertySetStream({fullSummary()})}});
        QCOMPARE(text(read(file), Builtin::Title), QStringLiteral("The title"));
    }

    void largeDocumentsAreReadInPlace()
    {
        // Over the whole-file threshold the compound file is read through a stream, not at once.
        const QByteArray file =
            wt::makeOle({{QStringLiteral("WordDocument"), QByteArray(3 * 1024 * 1024, 'x')},
                         {QStringLiteral("\x05SummaryInformation"), wt::propertySetStream({fullSummary()})},
                         {QStringLiteral("\x05"
                                         "DocumentSummaryInformation"),
                          wt::propertySetStream({fullDocSummary()})}});
        const auto p = read(file);
        QCOMPARE(text(p, Builtin::Title), QStringLiteral("The title"));
        QCOMPARE(number(p, Builtin::NumberOfCharactersWithSpaces), 1364);
    }

    void byteBuiltCompoundFile()
    {
        // The same properties in a compound file laid out by hand (no mini stream): the reader does not
        // depend on one writer's layout.
        const QByteArray file =
            wt::makeRawCfb({{QStringLiteral("WordDocument"), QByteArray(4096, '\0')},
                            {QStringLiteral("\x05SummaryInformation"), wt::propertySetStream({fullSummary()})}});
        QCOMPARE(text(read(file), Builtin::Author), QStringLiteral("Author Name"));
    }

    void passwordProtectedOoxmlIsRefused()
    {
        const QByteArray file = wt::makeOle({{QStringLiteral("EncryptionInfo"), QByteArray(200, '\x04')},
                                             {QStringLiteral("EncryptedPackage"), QByteArray(5000, '\x17')},
                                             {QStringLiteral("\x06"
                                                             "DataSpaces/Version"),
                                              QByteArray(60, '\0')}});
        const word::Error e = openError(file);
        QCOMPARE(e.fault(), word::Fault::Encrypted);
        QCOMPARE(e.format(), QStringLiteral("OOXML-ENCRYPTED"));
        QVERIFY(e.description().contains(QStringLiteral("password")));
        QVERIFY(e.description().contains(QStringLiteral("doc%1.doc").arg(m_counter)));
    }

    void encryptedWordBinaryKeepsItsProperties()
    {
        // Word 97-2003 encryption leaves the property sets readable.
        const QByteArray file =
            wt::makeOle({{QStringLiteral("WordDocument"), QByteArray(600, '\x13')},
                         {QStringLiteral("1Table"), QByteArray(600, '\x99')},
                         {QStringLiteral("\x05SummaryInformation"), wt::propertySetStream({fullSummary()})}});
        QCOMPARE(text(read(file), Builtin::Author), QStringLiteral("Author Name"));
    }

    void otherCompoundFilesAreNamed_data()
    {
        QTest::addColumn<QString>("stream");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("what");
        QTest::newRow("Excel") << QStringLiteral("Workbook") << QStringLiteral("XLS")
                               << QStringLiteral("Excel workbook");
        QTest::newRow("Excel 5") << QStringLiteral("Book") << QStringLiteral("XLS") << QStringLiteral("Excel workbook");
        QTest::newRow("PowerPoint") << QStringLiteral("PowerPoint Document") << QStringLiteral("PPT")
                                    << QStringLiteral("PowerPoint");
        QTest::newRow("Outlook") << QStringLiteral("__substg1.0_0037001F") << QStringLiteral("MSG")
                                 << QStringLiteral("Outlook message");
        QTest::newRow("unknown") << QStringLiteral("Contents") << QStringLiteral("OLE")
                                 << QStringLiteral("\"contents\"");
    }

    void otherCompoundFilesAreNamed()
    {
        QFETCH(QString, stream);
        QFETCH(QString, format);
        QFETCH(QString, what);
        const word::Error e = openError(
            wt::makeOle({{stream, QByteArray(100, 'a')},
                         {QStringLiteral("\x05SummaryInformation"), wt::propertySetStream({fullSummary()})}}));
        QCOMPARE(e.fault(), word::Fault::UnknownFormat);
        QCOMPARE(e.format(), format);
        QVERIFY2(e.description().contains(what), qPrintable(e.description()));
    }

    void brokenPropertySetsLeaveTheDocumentReadable()
    {
        // A summary stream that is not a property set (bad byte order) gives no values; the document opens.
        QByteArray bad = wt::propertySetStream({fullSummary()});
        bad[0] = 0;
        bad[1] = 0;
        const auto p = read(wt::makeWordBinary(bad, wt::propertySetStream({fullDocSummary()})));
        QCOMPARE(text(p, Builtin::Title), QString());
        QCOMPARE(text(p, Builtin::Company), QStringLiteral("The company"));
    }

    void damagedContainerNamesThePart()
    {
        const QByteArray good = wt::makeWordBinary(wt::propertySetStream({fullSummary()}), {});
        const word::Error e = openError(good.left(700));
        QCOMPARE(e.fault(), word::Fault::Damaged);
        QCOMPARE(e.format(), QStringLiteral("OLE"));
        QVERIFY2(e.description().contains(QStringLiteral("compound-file")), qPrintable(e.description()));
    }
};

QV_WORD_TEST_MAIN(TstWordOle)
#include "tst_word_ole.moc"
