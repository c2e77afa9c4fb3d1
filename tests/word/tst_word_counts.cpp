// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Words, characters, characters with spaces and paragraphs counted from each format's main text where
// the document stores none: documents made here with known text, what the count leaves out (headers,
// notes, comments, deleted text, field instructions, pictures), stored counts winning over a count unless
// a recount is asked for, and texts that cannot be read leaving the counts unset.
#include "WordTestMain.h"
#include "WordTestSupport.h"
#include "word/Engine.h"
#include <QRegularExpression>
#include <QStringEncoder>
#include <functional>
#include <optional>

using word::Builtin;

namespace {

const QList<Builtin> kCounted{Builtin::NumberOfWords, Builtin::NumberOfCharacters,
                              Builtin::NumberOfCharactersWithSpaces, Builtin::NumberOfParagraphs};

// `parts`: further parts of the package (numbering, styles, headers, notes), related to the main part.
QByteArray docxWithBody(const QByteArray &body, const QByteArray &appXml = {},
                        const QList<QPair<QString, QByteArray>> &parts = {})
{
    const QByteArray rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/>"
        + (appXml.isEmpty() ? QByteArray()
                            : QByteArray("<Relationship Id=\"rId2\" "
                                         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                                         "extended-properties\" Target=\"docProps/app.xml\"/>"))
        + "</Relationships>";
    const QByteArray document =
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        "xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\"><w:body>"
        + body + "</w:body></w:document>";
    QList<wt::ZipEntry> entries{{QStringLiteral("[Content_Types].xml"),
                                 "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
                                {QStringLiteral("_rels/.rels"), rels},
                                {QStringLiteral("word/document.xml"), document}};
    if (!appXml.isEmpty())
        entries.append({QStringLiteral("docProps/app.xml"), appXml});
    QByteArray documentRels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &name = parts[i].first; // word/<type><n>.xml
        const QString type =
            name.mid(5).section(QLatin1Char('.'), 0, 0).remove(QRegularExpression(QStringLiteral("[0-9]+$")));
        documentRels += "<Relationship Id=\"rId" + QByteArray::number(i + 1)
                        + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                        + type.toUtf8() + "\" Target=\"" + name.mid(5).toUtf8() + "\"/>";
        entries.append({name, parts[i].second});
    }
    entries.append({QStringLiteral("word/_rels/document.xml.rels"), documentRels + "</Relationships>"});
    return wt::makeZip(entries);
}

// A part of a word-processing package with the usual namespace declarations.
QByteArray wordPart(const QByteArray &root, const QByteArray &content)
{
    return "<w:" + root + " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">" + content
           + "</w:" + root + ">";
}

QByteArray odtWithText(const QByteArray &text, const QByteArray &automaticStyles = {}, const QByteArray &stylesXml = {},
                       const QByteArray &metaXml = {})
{
    const QByteArray content =
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
        "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
        "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\">"
        "<office:automatic-styles>"
        + automaticStyles + "</office:automatic-styles><office:body><office:text>" + text
        + "</office:text></office:body></office:document-content>";
    QList<wt::ZipEntry> entries{{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text", true},
                                {QStringLiteral("content.xml"), content}};
    if (!stylesXml.isEmpty())
        entries.append({QStringLiteral("styles.xml"), stylesXml});
    if (!metaXml.isEmpty())
        entries.append({QStringLiteral("meta.xml"), metaXml});
    return wt::makeZip(entries);
}

void putU16(QByteArray &b, qint64 at, quint16 v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

// A piece of a Word 97-2003 main text: "compressed" Windows-1252 bytes or UTF-16.
struct Piece {
    QString text;
    bool compressed;
};

// A Word 97-2003 document whose text is laid out in `pieces` (listed by a piece table in 1Table, after a
// formatting entry the reader must step over); the main text is its first `ccpText` characters.
QByteArray wordBinaryWithPieces(const QList<Piece> &pieces, qint32 ccpText, quint16 extraFlags = 0,
                                qint64 firstPieceOffset = -1, quint32 statedClxBytes = 0)
{
    QByteArray wd(1024, '\0');
    putU16(wd, 0, 0xA5EC);
    putU16(wd, 2, 0x00C1);
    putU16(wd, 0x0A, 0x0200 | 0x0004 | extraFlags); // 1Table, complex
    putU16(wd, 32, 14);                             // csw
    putU16(wd, 62, 22);                             // cslw
    wt::putU32(wd, 76, static_cast<quint32>(ccpText));
    putU16(wd, 152, 93); // cbRgFcLcb
    QByteArray cps, pcds;
    quint32 cp = 0;
    for (const Piece &p : pieces) {
        const qint64 at = wd.size();
        wd += p.compressed ? p.text.toLatin1()
                           : QByteArray(reinterpret_cast<const char *>(p.text.utf16()), p.text.size() * 2);
        QByteArray c(4, '\0'), d(8, '\0');
        wt::putU32(c, 0, cp);
        cps += c;
        const qint64 offset = (pcds.isEmpty() && firstPieceOffset >= 0) ? firstPieceOffset : at;
        wt::putU32(d, 2, p.compressed ? static_cast<quint32>(offset * 2) | 0x40000000u : static_cast<quint32>(offset));
        pcds += d;
        cp += static_cast<quint32>(p.text.size());
    }
    QByteArray last(4, '\0');
    wt::putU32(last, 0, cp);
    const QByteArray plc = cps + last + pcds;
    QByteArray table = QByteArray::fromHex("0102000000"); // a Prc with two bytes of formatting
    table += '\x02';
    QByteArray lcb(4, '\0');
    wt::putU32(lcb, 0, static_cast<quint32>(plc.size()));
    table += lcb + plc;
    wt::putU32(wd, 154 + 33 * 8, 0);
    wt::putU32(wd, 154 + 33 * 8 + 4, statedClxBytes ? statedClxBytes : static_cast<quint32>(table.size()));
    return wt::makeOle({{QStringLiteral("WordDocument"), wd}, {QStringLiteral("1Table"), table}});
}

// Word 97-2003 paragraphs with their list properties: the list override (ilfo, 0 for none) and level,
// and the style (istd) whose paragraph properties the document's style sheet gives.
struct ListParagraph {
    QString text; // ends with its paragraph mark
    int istd = 0;
    int ilfo = -1; // -1: the paragraph names no list of its own
    int ilvl = -1;
};

QByteArray sprms(int ilfo, int ilvl)
{
    QByteArray b;
    if (ilfo >= 0) {
        b += QByteArray::fromHex("0B46");
        b += char(ilfo & 0xFF);
        b += char(ilfo >> 8);
    }
    if (ilvl >= 0)
        b += QByteArray::fromHex("0A26") + char(ilvl);
    return b;
}

// One list level (LVL): start, number format code, flags, then the number text, in which characters 0 to
// 8 stand for the levels' numbers.
QByteArray listLevel(int nfc, const QString &text, int start = 1)
{
    QByteArray lvl(28, '\0');
    wt::putU32(lvl, 0, quint32(start));
    lvl[4] = char(nfc);
    QByteArray xst(2, '\0');
    putU16(xst, 0, quint16(text.size()));
    xst += QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return lvl + xst;
}

// Consecutive runs of a Word 97-2003 main text from its start, with their character modifiers (none:
// the run has no properties of its own).
struct CharacterRun {
    int length = 0;
    QByteArray sprms;
};

// One style of a style sheet (STD): its kind (1 paragraph, 2 character), the style it is based on (0xFFF:
// none), and its paragraph and character modifiers; a paragraph style states its character group only
// when `characters` is given.
QByteArray styleDefinition(int istd, int kind, int base, const QByteArray &paragraph,
                           const std::optional<QByteArray> &characters)
{
    QByteArray std(10, '\0');
    putU16(std, 2, quint16(kind | (base << 4)));
    putU16(std, 4, quint16(kind == 2 ? 1 : characters ? 2 : 0)); // the count of property groups
    std += QByteArray::fromHex("01004C000000");                  // name "L"
    const auto group = [&](const QByteArray &bytes) {
        QByteArray upx(2, '\0');
        putU16(upx, 0, quint16(bytes.size()));
        std += upx + bytes + QByteArray(bytes.size() % 2, '\0');
    };
    if (kind == 1) {
        QByteArray papx(2, '\0');
        putU16(papx, 0, quint16(istd));
        group(papx + paragraph);
    }
    if (characters)
        group(*characters);
    QByteArray size(2, '\0');
    putU16(size, 0, quint16(std.size()));
    return size + std;
}

// A Word 97-2003 document with numbered paragraphs: two lists (a nine-level one, "1." and "a)", and a
// simple bulleted one), three overrides (the third restarts the first list at 9), a style sheet whose style
// 1 numbers its paragraphs with the first list, one page of paragraph properties, and a text box story
// after the main text. `statedLists` is what the list table says it holds. The style sheet also holds
// styles that hide their text: paragraph style 2, paragraph style 3 based on it, and character style 4;
// `characterRuns` give the main text's character properties (a page of them) when not empty;
// `statedCharacterPage` says where the bin table states that page to be, when elsewhere.
QByteArray wordBinaryWithLists(const QList<ListParagraph> &paragraphs, const QString &textBoxes,
                               quint16 statedLists = 2, const QList<CharacterRun> &characterRuns = {},
                               std::optional<quint32> statedCharacterPage = std::nullopt)
{
    constexpr qint64 kPage = 1024, kText = kPage + 512; // the header, the page, then the text
    QString text;
    for (const ListParagraph &p : paragraphs)
        text += p.text;
    const qint64 mainLength = text.size();
    text += textBoxes;
    QByteArray wd(kPage, '\0');
    putU16(wd, 0, 0xA5EC);
    putU16(wd, 2, 0x00C1);
    putU16(wd, 0x0A, 0x0200 | 0x0004); // 1Table, complex
    putU16(wd, 32, 14);                // csw
    putU16(wd, 62, 22);                // cslw
    wt::putU32(wd, 76, quint32(mainLength));
    wt::putU32(wd, 100, quint32(textBoxes.size())); // ccpTxbx
    putU16(wd, 152, 93);                            // cbRgFcLcb

    // The page of paragraph properties: one run per paragraph (the text box's with none), each with its
    // style and modifiers.
    QByteArray page(512, '\0');
    const qint64 runs = paragraphs.size() + (textBoxes.isEmpty() ? 0 : 1);
    qint64 fc = kText, data = 256;
    for (qint64 k = 0; k <= runs; ++k) {
        wt::putU32(page, k * 4, quint32(fc));
        if (k == runs)
            break;
        fc += k < paragraphs.size() ? paragraphs[k].text.size() : textBoxes.size();
        if (k >= paragraphs.size())
            continue;
        QByteArray props(2, '\0');
        putU16(props, 0, quint16(paragraphs[k].istd));
        props += sprms(paragraphs[k].ilfo, paragraphs[k].ilvl);
        page[(runs + 1) * 4 + k * 13] = char(data / 2);
        const QByteArray papx = props.size() % 2 ? char((props.size() + 1) / 2) + props
                                                 : QByteArray(1, '\0') + char(props.size() / 2) + props;
        page.replace(data, papx.size(), papx);
        data += (papx.size() + 1) & ~1;
    }
    page[511] = char(runs);
    wd += page + text.toLatin1();
    const qint64 characterPage = (wd.size() + 511) / 512 * 512;
    if (!characterRuns.isEmpty()) {
        // One page of character properties: each run's start, then one byte for each run (where its
        // properties lie, in words), then the properties (a size, then the modifiers).
        QByteArray chpx(512, '\0');
        qint64 at = kText, free = 256;
        for (qsizetype k = 0; k <= characterRuns.size(); ++k) {
            wt::putU32(chpx, k * 4, quint32(at));
            if (k == characterRuns.size())
                break;
            at += characterRuns[k].length;
            if (characterRuns[k].sprms.isEmpty())
                continue;
            chpx[(characterRuns.size() + 1) * 4 + k] = char(free / 2);
            const QByteArray properties = char(characterRuns[k].sprms.size()) + characterRuns[k].sprms;
            chpx.replace(free, properties.size(), properties);
            free += (properties.size() + 1) & ~1;
        }
        chpx[511] = char(characterRuns.size());
        wd += QByteArray(characterPage - wd.size(), '\0') + chpx;
    }

    QByteArray table = QByteArray::fromHex("02");
    QByteArray plc(16, '\0');
    wt::putU32(plc, 4, quint32(text.size()));
    wt::putU32(plc, 10, quint32(kText * 2) | 0x40000000u);
    QByteArray lcb(4, '\0');
    wt::putU32(lcb, 0, quint32(plc.size()));
    table += lcb + plc;
    const auto pairAt = [&](int k, const QByteArray &bytes) {
        wt::putU32(wd, 154 + k * 8, quint32(table.size()));
        wt::putU32(wd, 154 + k * 8 + 4, quint32(bytes.size()));
        table += bytes;
    };
    wt::putU32(wd, 154 + 33 * 8, 0);
    wt::putU32(wd, 154 + 33 * 8 + 4, quint32(table.size()));

    QByteArray bte(12, '\0');
    wt::putU32(bte, 0, quint32(kText));
    wt::putU32(bte, 4, quint32(kText + text.size()));
    wt::putU32(bte, 8, quint32(kPage / 512));
    pairAt(13, bte);
    if (!characterRuns.isEmpty()) {
        wt::putU32(bte, 8, statedCharacterPage.value_or(quint32(characterPage / 512)));
        pairAt(12, bte);
    }

    // Style 0 (Normal), style 1 based on it numbering with override 1, and the styles that hide text.
    QByteArray stsh(20, '\0');
    putU16(stsh, 0, 18);
    putU16(stsh, 2, 5);  // cstd
    putU16(stsh, 4, 10); // cbSTDBaseInFile
    const QByteArray vanish = QByteArray::fromHex("3C0801");
    stsh += styleDefinition(0, 1, 0xFFF, {}, std::nullopt) + styleDefinition(1, 1, 0, sprms(1, -1), std::nullopt)
            + styleDefinition(2, 1, 0, {}, vanish) + styleDefinition(3, 1, 2, {}, QByteArray())
            + styleDefinition(4, 2, 0xFFF, {}, vanish);
    pairAt(1, stsh);

    QByteArray lst(2 + 2 * 28, '\0');
    putU16(lst, 0, statedLists);
    wt::putU32(lst, 2, 100);      // lsid
    wt::putU32(lst, 2 + 28, 200); // lsid
    lst[2 + 28 + 26] = 1;         // simple list: one level
    pairAt(73, lst);
    table += listLevel(0, QStringLiteral(u"\u0000.")) + listLevel(4, QStringLiteral(u"\u0001)"));
    for (int level = 2; level < 9; ++level)
        table += listLevel(0, QChar(level) + QStringLiteral("."));
    table += listLevel(23, QStringLiteral(u"\u2022"));

    QByteArray lfo(4 + 3 * 16, '\0');
    wt::putU32(lfo, 0, 3);
    for (int i = 0; i < 3; ++i)
        wt::putU32(lfo, 4 + i * 16, i == 1 ? 200 : 100);
    lfo[4 + 2 * 16 + 12] = 1;               // the third overrides one level
    lfo += QByteArray(8, '\0');             // the first two overrides' data: no levels
    lfo += QByteArray::fromHex("FFFFFFFF"); // the third's: one level, started at 9
    QByteArray level(8, '\0');
    wt::putU32(level, 0, 9);
    wt::putU32(level, 4, 0x10);
    pairAt(74, lfo + level);
    return wt::makeOle({{QStringLiteral("WordDocument"), wd}, {QStringLiteral("1Table"), table}});
}

// A Word 6 document: text in one run from fcMin, no table stream; `lid` is the language of the Word that
// wrote it, whose code page the text is in.
QByteArray word6Binary(const QByteArray &text, qint32 ccpText, quint16 nFib = 101, quint16 lid = 0x0409,
                       quint16 chse = 0)
{
    QByteArray wd(1024, '\0');
    putU16(wd, 0, 0xA5EC);
    putU16(wd, 2, nFib);
    putU16(wd, 6, lid);
    putU16(wd, 0x14, chse); // 256: the Mac's character set
    wt::putU32(wd, 0x18, 1024);
    wt::putU32(wd, 0x34, static_cast<quint32>(ccpText));
    return wt::makeOle({{QStringLiteral("WordDocument"), wd + text}});
}

// The engine's notes while `read` runs, as --verbose would show them.
QStringList engineNotes(const std::function<void()> &read)
{
    static QStringList *sink = nullptr;
    QStringList notes;
    sink = &notes;
    QLoggingCategory::setFilterRules(QStringLiteral("quillmere.engine.info=true"));
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) {
            if (sink)
                *sink << m;
        });
    read();
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    sink = nullptr;
    return notes;
}

} // namespace

class TstWordCounts : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_counter = 0;

    QString store(const QByteArray &file, const QString &suffix)
    {
        return wt::writeFile(m_dir, QStringLiteral("c%1%2").arg(++m_counter).arg(suffix), file);
    }

private slots:
    void countsOfEachFormat_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QList<qint64>>("counts"); // words, characters, with spaces, paragraphs

        QTest::newRow("OOXML") << docxWithBody(
            "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
            "<w:r><w:t>Hello</w:t><w:tab/><w:t xml:space=\"preserve\">big world</w:t></w:r>"
            "<w:del><w:r><w:delText>gone words</w:delText></w:r></w:del></w:p>"
            "<w:p/>"
            "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> PAGE </w:instrText></w:r>"
            "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>7</w:t></w:r><w:r><w:fldChar "
            "w:fldCharType=\"end\"/></w:r>"
            "<w:r><w:br/><w:t>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</w:t></w:r></w:p>"
            "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wps:txbx><w:txbxContent>"
            "<w:p><w:r><w:t>boxed</w:t></w:r></w:p></w:txbxContent></wps:txbx></w:drawing></mc:Choice>"
            "<mc:Fallback><w:pict><w:txbxContent><w:p><w:r><w:t>boxed</w:t></w:r></w:p></w:txbxContent></w:pict></"
            "mc:Fallback>"
            "</mc:AlternateContent></w:r><w:r><w:t>anchor</w:t></w:r></w:p><w:sectPr/>")
                               << ".docx"
                               << "OOXML" << QList<qint64>{9, 28, 31, 4};

        QTest::newRow("ODT") << odtWithText(
            "<text:tracked-changes><text:changed-region><text:deletion><text:p>removed words</text:p></text:deletion>"
            "</text:changed-region></text:tracked-changes>"
            "<text:h text:outline-level=\"1\">Title  \n here</text:h>"
            "<text:p>  one<text:s text:c=\"3\"/>two<text:tab/>three<text:line-break/>four</text:p><text:p/>"
            "<text:p>note<text:note><text:note-citation>1</text:note-citation><text:note-body><text:p>footnote "
            "text</text:p>"
            "</text:note-body></text:note> and <office:annotation><text:p>a "
            "comment</text:p></office:annotation>end</text:p>"
            "<text:p><draw:frame><svg:title>picture title</svg:title><draw:text-box><text:p>boxed</text:p>"
            "</draw:text-box></draw:frame></text:p>")
                             << ".odt"
                             << "ODT" << QList<qint64>{12, 52, 61, 5}; // the office suites count notes
        // Words of accented Latin, Greek and Cyrillic letters, a no-break space between two words, an
        // optional hyphen inside one, ideographs that are words of their own, and a word longer than eight
        // letters.
        QTest::newRow("ODT, letters beyond ASCII")
            << odtWithText(QStringLiteral(u"<text:p>Größenordnung Ελληνικά русский\u00A0mot co\u00ADop l\u2019été "
                                          u"\u65E5\u672C abcdefghijklmnopqrstuvwxyz</text:p>")
                               .toUtf8())
            << ".odt"
            << "ODT" << QList<qint64>{9, 69, 76, 1};

        QTest::newRow("RTF") << QByteArray(
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times;}{\\f1\\fnil\\fcharset128 MS Mincho;}}\n"
            "{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title Not counted}}\n"
            "{\\header \\pard header words\\par}\n"
            "\\pard Caf\\'e9 au{\\footnote \\pard footnote text} lait\\par\n"
            "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}\\tab {\\f1 \\'93\\'fa\\'96\\'7b}\\u8364?\\par\n"
            "\\pard\\par\n"
            "{\\*\\unknown hidden}{\\pict\\pngblip 89504e47}last\n}")
                             << ".rtf"
                             << "RTF" << QList<qint64>{8, 21, 24, 3};

        QTest::newRow("Word 2003 XML") << QByteArray(
            "<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?>"
            "<w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
            "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
            "xmlns:wx=\"http://schemas.microsoft.com/office/word/2003/auxHint\">"
            "<o:DocumentProperties><o:Title>T</o:Title></o:DocumentProperties><w:body><wx:sect>"
            "<w:p><w:r><w:t>Two words</w:t></w:r><w:r><w:footnote><w:p><w:r><w:t>note "
            "text</w:t></w:r></w:p></w:footnote></w:r></w:p>"
            "<w:p><w:r><w:instrText>PAGE</w:instrText><w:t>three</w:t></w:r></w:p>"
            "<w:sectPr><w:hdr w:type=\"odd\"><w:p><w:r><w:t>header</w:t></w:r></w:p></w:hdr></w:sectPr>"
            "</wx:sect></w:body></w:wordDocument>")
                                       << ".xml"
                                       << "WORDML" << QList<qint64>{3, 13, 14, 2};

        const QString plain = QStringLiteral(u"Grüße aus Köln\r\n\r\nzweite\tZeile\n");
        const QList<qint64> plainCounts{5, 23, 26, 2};
        QTest::newRow("text, UTF-8") << plain.toUtf8() << ".txt"
                                     << "TEXT" << plainCounts;
        QTest::newRow("text, UTF-16") << QByteArray("\xFF\xFE") + QStringEncoder(QStringEncoder::Utf16LE)(plain)
                                      << ".txt"
                                      << "TEXT" << plainCounts;
        QTest::newRow("text, Windows-1252") << plain.toLatin1() << ".txt"
                                            << "TEXT" << plainCounts;
        // Larger than one read of 256 KiB: a character's two bytes and a CR LF fall on either side of a
        // boundary. With one byte that is not UTF-8 at its end, the whole file is Windows-1252.
        constexpr qint64 kRead = 256 * 1024;
        const QByteArray large = QByteArray(kRead - 1, 'x') + "\xC3\xA9 " + QByteArray(kRead - 3, 'y') + "\r\nz";
        QTest::newRow("text, UTF-8 over several reads") << large << ".txt"
                                                        << "TEXT" << QList<qint64>{3, 2 * kRead - 2, 2 * kRead - 1, 2};
        QTest::newRow("text, invalid byte after several reads")
            << large + "\xFF"
            << ".txt"
            << "TEXT" << QList<qint64>{3, 2 * kRead, 2 * kRead + 1, 2};

        // Compressed and UTF-16 pieces after a formatting entry, a field whose instruction is left out, and a
        // footnote's text after the main text.
        QTest::newRow("Word 97-2003, pieces")
            << wordBinaryWithPieces({{QStringLiteral(u"Caf\u00e9 au lait\r"), true},
                                     {QStringLiteral(u"Zo\u00eb \u65e5\u672c\tend\r"), false},
                                     {QStringLiteral(u"\u0013 HYPERLINK \"x\" \u0014link text\u0015 done\r"), true},
                                     {QStringLiteral(u"Footnote words here\r"), true}},
                                    13 + 11 + 33) // the first three pieces
            << ".doc"
            << "OLE" << QList<qint64>{10, 30, 36, 3};
        QTest::newRow("Word 6") << word6Binary("Word six text\rsecond\rheader\r", 21) << ".doc"
                                << "OLE" << QList<qint64>{4, 17, 19, 2};
        // A Traditional Chinese Word 95 writes Big5: three ideographs of two bytes each, three words.
        QTest::newRow("Word 95, Big5") << word6Binary("\xA4\xA4\xA4\xE5\xA6\x72 ok\r", 10, 104, 0x0404) << ".doc"
                                       << "OLE" << QList<qint64>{4, 5, 6, 1};
        // Word 6 for the Mac writes Mac Roman, where 0xCA is a no-break space (in Windows-1252 a letter).
        QTest::newRow("Word 6 for the Mac") << word6Binary("Un\xCA"
                                                           "deux\r",
                                                           8, 101, 0x0409, 256)
                                            << ".doc"
                                            << "OLE" << QList<qint64>{2, 6, 7, 1};
    }

    void countsOfEachFormat()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, suffix);
        QFETCH(QString, format);
        QFETCH(QList<qint64>, counts);
        const auto p = word::readDocumentProperties(store(file, suffix));
        QCOMPARE(p.format(), format);
        QList<qint64> actual;
        for (const Builtin id : kCounted)
            actual << (p.get(id) ? p.get(id)->asInteger() : -1);
        QCOMPARE(actual, counts);
        QCOMPARE(p.computed(), kCounted);
        QVERIFY(!p.get(Builtin::NumberOfPages)); // pages and lines need a layout
        QVERIFY(!p.get(Builtin::NumberOfLines));
    }

    // Each writer's own rules: list labels generated from the numbering, hidden text left out, optional
    // hyphens, object-only paragraphs, and the stories the office suites count besides the body.
    void countsFollowTheWritersRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QList<qint64>>("counts"); // words, characters, with spaces, paragraphs

        const QByteArray numbering = wordPart(
            "numbering",
            "<w:abstractNum w:abstractNumId=\"0\">"
            "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/></w:lvl>"
            "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"lowerLetter\"/><w:lvlText "
            "w:val=\"%2)\"/></w:lvl>"
            "</w:abstractNum>"
            "<w:abstractNum w:abstractNumId=\"1\"><w:lvl w:ilvl=\"0\"><w:numFmt w:val=\"bullet\"/><w:lvlText "
            "w:val=\"\xE2\x80\xA2\"/></w:lvl></w:abstractNum>"
            "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>"
            "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"1\"/></w:num>"
            "<w:num w:numId=\"3\"><w:abstractNumId w:val=\"0\"/><w:lvlOverride w:ilvl=\"0\"><w:startOverride "
            "w:val=\"9\"/></w:lvlOverride></w:num>");
        const QByteArray styles =
            wordPart("styles", "<w:style w:type=\"paragraph\" w:styleId=\"ListNumber\"><w:pPr><w:numPr><w:numId "
                               "w:val=\"1\"/></w:numPr></w:pPr></w:style>");
        const auto numbered = [](const char *num, const char *text) {
            return QByteArray("<w:p><w:pPr>") + num + "</w:pPr><w:r><w:t>" + text + "</w:t></w:r></w:p>";
        };
        // 1. a) 2. (by its style) • 9. (a list restarting the definition) 3. and one whose numbering is taken away.
        QTest::newRow("OOXML list labels") << docxWithBody(
            numbered("<w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr>", "First")
                + numbered("<w:numPr><w:ilvl w:val=\"1\"/><w:numId w:val=\"1\"/></w:numPr>", "sub")
                + numbered("<w:pStyle w:val=\"ListNumber\"/>", "Second")
                + numbered("<w:numPr><w:numId w:val=\"2\"/></w:numPr>", "Dot")
                + numbered("<w:numPr><w:numId w:val=\"3\"/></w:numPr>", "Nine")
                + numbered("<w:numPr><w:numId w:val=\"1\"/></w:numPr>", "Third")
                + numbered("<w:pStyle w:val=\"ListNumber\"/><w:numPr><w:numId w:val=\"0\"/></w:numPr>", "Plain"),
            {}, {{QStringLiteral("word/numbering.xml"), numbering}, {QStringLiteral("word/styles.xml"), styles}})
                                           << ".docx" << QList<qint64>{13, 42, 42, 7};

        // Word 2003 XML: the labels as Word wrote them beside each numbered paragraph ("1." and "•").
        QTest::newRow("Word 2003 XML list labels") << QByteArray(
            "<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?>"
            "<w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
            "xmlns:wx=\"http://schemas.microsoft.com/office/word/2003/auxHint\"><w:body>"
            "<w:p><w:pPr><w:listPr><w:ilvl w:val=\"0\"/><w:ilfo w:val=\"1\"/><wx:t wx:val=\"1.\"/></w:listPr></w:pPr>"
            "<w:r><w:t>First item</w:t></w:r></w:p>"
            "<w:p><w:pPr><w:listPr><w:ilfo w:val=\"2\"/><wx:t wx:val=\"\xE2\x80\xA2\"/></w:listPr></w:pPr>"
            "<w:r><w:t>Dot</w:t></w:r></w:p></w:body></w:wordDocument>")
                                                   << ".xml" << QList<qint64>{5, 15, 16, 2};

        // Word: text hidden through a paragraph style (and one based on it) or a character style is left out;
        // a run's own w:vanish off shows it again.
        const QByteArray hidingStyles = wordPart(
            "styles",
            "<w:style w:type=\"paragraph\" w:styleId=\"Hidden\"><w:rPr><w:vanish/></w:rPr></w:style>"
            "<w:style w:type=\"paragraph\" w:styleId=\"Child\"><w:basedOn w:val=\"Hidden\"/></w:style>"
            "<w:style w:type=\"character\" w:styleId=\"Secret\"><w:rPr><w:vanish w:val=\"1\"/></w:rPr></w:style>");
        QTest::newRow("OOXML text hidden by styles")
            << docxWithBody("<w:p><w:pPr><w:pStyle w:val=\"Hidden\"/></w:pPr><w:r><w:t>gone words</w:t></w:r>"
                            "<w:r><w:rPr><w:vanish w:val=\"false\"/></w:rPr><w:t>kept</w:t></w:r></w:p>"
                            "<w:p><w:r><w:rPr><w:rStyle w:val=\"Secret\"/></w:rPr><w:t>secret</w:t></w:r>"
                            "<w:r><w:t>visible text</w:t></w:r></w:p>"
                            "<w:p><w:pPr><w:pStyle w:val=\"Child\"/></w:pPr><w:r><w:t>also gone</w:t></w:r></w:p>",
                            {}, {{QStringLiteral("word/styles.xml"), hidingStyles}})
            << ".docx" << QList<qint64>{3, 15, 16, 2};

        const QByteArray hyphenAndPicture =
            "<w:p><w:r><w:t>optional</w:t><w:softHyphen/><w:t>hyphen</w:t></w:r></w:p>"
            "<w:p><w:r><w:drawing><wp:inline/></w:drawing></w:r></w:p>"
            "<w:p><w:r><w:t>Text</w:t></w:r><w:r><w:footnoteReference w:id=\"2\"/></w:r></w:p>";
        const QList<QPair<QString, QByteArray>> stories{
            {QStringLiteral("word/header1.xml"), wordPart("hdr", "<w:p><w:r><w:t>Head</w:t></w:r></w:p>")},
            {QStringLiteral("word/footnotes.xml"),
             wordPart(
                 "footnotes",
                 "<w:footnote w:type=\"separator\" w:id=\"0\"><w:p><w:r><w:separator/></w:r></w:p></w:footnote>"
                 "<w:footnote w:id=\"2\"><w:p><w:r><w:footnoteRef/></w:r><w:r><w:t xml:space=\"preserve\"> Note</w:t>"
                 "</w:r></w:p></w:footnote>")}};
        // Word: the optional hyphen splits the word and is a character with spaces only; the picture is a
        // character; hidden text, the header and the note are left out.
        QTest::newRow("OOXML written by Word") << docxWithBody(
            "<w:p><w:r><w:t>seen</w:t></w:r><w:r><w:rPr><w:vanish/></w:rPr><w:t>hidden words</w:t></w:r>"
            "<w:r><w:rPr><w:vanish w:val=\"false\"/></w:rPr><w:t xml:space=\"preserve\"> shown</w:t></w:r></w:p>"
                + hyphenAndPicture,
            wt::appXml({{"Application", "Microsoft Office Word"}}), stories)
                                               << ".docx" << QList<qint64>{5, 28, 30, 4};
        // The office suites: the optional hyphen is a character inside its word, the picture is none, and
        // the header, the note and both note numbers are counted.
        QTest::newRow("OOXML written by an office suite") << docxWithBody(
            hyphenAndPicture, wt::appXml({{"Application", "LibreOffice/7.5.5.2$Linux_X86_64"}}), stories)
                                                          << ".docx" << QList<qint64>{5, 29, 30, 5};

        const QByteArray listStyle =
            "<text:list-style style:name=\"L1\"><text:list-level-style-number text:level=\"1\" style:num-suffix=\".\" "
            "style:num-format=\"1\"/>"
            "<text:list-level-style-bullet text:level=\"2\" text:bullet-char=\"\xE2\x80\xA2\"/></text:list-style>";
        const QByteArray masterPages =
            "<office:document-styles xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
            "<office:master-styles><style:master-page style:name=\"Standard\"><style:footer><text:p>Page "
            "footer</text:p></style:footer>"
            "<style:header style:display=\"false\"><text:p>Unused "
            "head</text:p></style:header></style:master-page></office:master-styles>"
            "</office:document-styles>";
        // 1. One (and a second paragraph without a label), 2. Two, • Sub, 3. Three (continued list); the
        // footer, the header turned off, the note and the optional hyphen as LibreOffice counts them.
        QTest::newRow("ODT lists, footer and notes") << odtWithText(
            "<text:list "
            "text:style-name=\"L1\"><text:list-item><text:p>One</text:p><text:p>more</text:p></text:list-item>"
            "<text:list-item><text:p>Two</text:p><text:list><text:list-item><text:p>Sub</text:p></text:list-item></"
            "text:list>"
            "</text:list-item></text:list>"
            "<text:list text:style-name=\"L1\" "
            "text:continue-numbering=\"true\"><text:list-item><text:p>Three</text:p></text:list-item></text:list>"
            "<text:p>opt\xC2\xADion</text:p>"
            "<text:p>Noted<text:note><text:note-citation>1</text:note-citation><text:note-body><text:p>Body</text:p></"
            "text:note-body></text:note></text:p>",
            listStyle, masterPages) << ".odt" << QList<qint64>{16, 62, 64, 10};

        // ODF, as LibreOffice counts hidden text. A hidden-text field it can read (a condition in its formula
        // namespace, a string value) counts its string value where the file records it hidden, else nothing;
        // one it cannot read is plain text. A hidden-paragraph field hides its paragraph and label, not the
        // note in it.
        const QByteArray formulas = " xmlns:ooow=\"http://openoffice.org/2004/writer\"";
        const QByteArray note = "<text:note><text:note-citation>1</text:note-citation><text:note-body><text:p>Note "
                                "kept</text:p></text:note-body></text:note>";
        QTest::newRow("ODT hidden fields") << odtWithText(
            "<text:p" + formulas
                + ">Before <text:hidden-text text:condition=\"ooow:a==1\" text:string-value=\"shown value\" "
                  "text:is-hidden=\"true\">stale</text:hidden-text> after</text:p>"
                  "<text:p"
                + formulas
                + ">Gone <text:hidden-text text:condition=\"ooow:a==1\" text:string-value=\"not shown\" "
                  "text:is-hidden=\"false\">not shown</text:hidden-text> field</text:p>"
                  "<text:p><text:hidden-text text:condition=\"unbound:a\" text:string-value=\"x\">read as "
                  "text</text:hidden-text></text:p>"
                  "<text:list text:style-name=\"L1\"><text:list-item><text:p"
                + formulas + ">Hidden item" + note
                + "<text:hidden-paragraph text:condition=\"ooow:b\" text:is-hidden=\"true\"/></text:p></text:list-item>"
                  "<text:list-item><text:p>Item kept<text:hidden-paragraph text:condition=\"b\" "
                  "text:is-hidden=\"true\"/></text:p></text:list-item></text:list>",
            listStyle) << ".odt" << QList<qint64>{14, 58, 67, 5};
        // ODF sections, as LibreOffice counts them: hidden by text:display="none", or by a condition the file
        // records as hidden (not evaluated again) or that it cannot read; the innermost section decides, and
        // notes still count.
        QTest::newRow("ODT hidden sections") << odtWithText(
            "<text:p>Shown text</text:p><text:section text:name=\"A\" text:display=\"none\"><text:p>gone words" + note
            + "</text:p><text:section text:name=\"B\"><text:p>inner shown</text:p></text:section></text:section>"
              "<text:section text:name=\"C\" text:display=\"condition\" text:condition=\"ooow:x\" "
              "text:is-hidden=\"true\""
            + formulas
            + "><text:p>recorded hidden</text:p></text:section>"
              "<text:section text:name=\"D\" text:display=\"condition\" text:condition=\"ooow:1==1\""
            + formulas
            + "><text:p>not evaluated</text:p></text:section>"
              "<text:section text:name=\"E\" text:display=\"condition\" text:condition=\"unbound:1\"><text:p>not "
              "read</text:p></text:section>") << ".odt"
                                             << QList<qint64>{8, 39, 43, 4};
        // ODF text:display="none" in a style, as LibreOffice counts it: an automatic style's own or its named
        // parent's, a named style's own (not its parent's); a span may show text again, and a list label counts
        // only with some of its paragraph shown. The blanks beside hidden text count.
        const QByteArray namedStyles =
            "<office:document-styles xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:styles>"
            "<style:style style:name=\"Hiding\" style:family=\"paragraph\"><style:text-properties "
            "text:display=\"none\"/></style:style>"
            "<style:style style:name=\"Based\" style:family=\"paragraph\" style:parent-style-name=\"Hiding\"/>"
            "<style:style style:name=\"Secret\" style:family=\"text\"><style:text-properties "
            "text:display=\"none\"/></style:style></office:styles></office:document-styles>";
        QTest::newRow("ODT text hidden by styles") << odtWithText(
            "<text:p>Shown <text:span text:style-name=\"T1\">hidden  words</text:span> end<text:span "
            "text:style-name=\"Secret\">x</text:span></text:p>"
            "<text:list text:style-name=\"L1\"><text:list-item><text:p text:style-name=\"P1\">All "
            "hidden</text:p></text:list-item>"
            "<text:list-item><text:p text:style-name=\"Hiding\">Hidden <text:span "
            "text:style-name=\"T2\">shown</text:span></text:p></text:list-item></text:list>"
            "<text:p text:style-name=\"Based\">Named parent not followed</text:p>",
            listStyle
                + "<style:style style:name=\"T1\" style:family=\"text\"><style:text-properties "
                  "text:display=\"none\"/></style:style>"
                  "<style:style style:name=\"T2\" style:family=\"text\"><style:text-properties "
                  "text:display=\"true\"/></style:style>"
                  "<style:style style:name=\"P1\" style:family=\"paragraph\" style:parent-style-name=\"Hiding\"/>",
            namedStyles) << ".odt" << QList<qint64>{8, 37, 42, 3};

        QTest::newRow("RTF list text and optional hyphen") << QByteArray(
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}{\\listtext 1.\\tab}First\\par{\\listtext\\'95\\tab}Dot\\par"
            "{\\pntext\\f0 a)\\tab}Old\\par opt\\-ion\\par}")
                                                           << ".rtf" << QList<qint64>{8, 22, 23, 4};
        // Hidden text (\v up to \v0, \plain or the group's end) is left out, a hidden paragraph mark too: the
        // visible text is "Shown  text", "Also kept", "Last" and "Plain".
        QTest::newRow("RTF hidden text") << QByteArray(
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}\\pard Shown {\\v secret words} text\\par Also \\v gone\\v0 kept\\par"
            "\\v whole hidden paragraph\\par\\v0 Last\\par\\v shh\\plain Plain\\par}")
                                         << ".rtf" << QList<qint64>{6, 26, 29, 4};

        // A picture inside a paragraph and one alone in its paragraph, an optional hyphen, and a paragraph
        // holding only a field with no result (as a phonetic guide is written).
        QTest::newRow("Word 97-2003 picture, field and optional hyphen") << wordBinaryWithPieces(
            {{QStringLiteral(u"A\u0001 opt\u001Fion\r\u0001\r\u0013 EQ \u0014\u0015\r"), true}}, 21)
                                                                         << ".doc" << QList<qint64>{3, 9, 11, 3};

        // 1. a) 2. (by its style) • 9. (an override restarting the list) and one whose numbering is taken
        // away; the text box's words count with the body.
        QTest::newRow("Word 97-2003 list labels and text box")
            << wordBinaryWithLists({{QStringLiteral("First\r"), 0, 1, 0},
                                    {QStringLiteral("Sub\r"), 0, 1, 1},
                                    {QStringLiteral("Second\r"), 1},
                                    {QStringLiteral("Dot\r"), 0, 2},
                                    {QStringLiteral("Nine\r"), 0, 3},
                                    {QStringLiteral("Plain\r"), 1, 0}},
                                   QStringLiteral("Boxed words\r"))
            << ".doc" << QList<qint64>{13, 45, 46, 7};

        // Word 97-2003 hidden text: by the run's own setting, by its paragraph's style or the style that one is
        // based on, or by its character style; a setting of 0x81 turns the style's value round. A numbered
        // paragraph whose mark is hidden shows no label; a hidden picture still counts as a character.
        const QByteArray on = QByteArray::fromHex("3C0801"), off = QByteArray::fromHex("3C0800"),
                         toggled = QByteArray::fromHex("3C0881"), secret = QByteArray::fromHex("304A0400");
        QTest::newRow("Word 97-2003 hidden text")
            << wordBinaryWithLists({{QStringLiteral("Shown gone text\r"), 0},
                                    {QStringLiteral(u"Hidden by style kept\u0001\r"), 2},
                                    {QStringLiteral("Hidden by base\r"), 3},
                                    {QStringLiteral("secret open toggled end\r"), 0},
                                    {QStringLiteral("Item\r"), 0, 1, 0},
                                    {QStringLiteral("Next\r"), 0, 1, 0}},
                                   {}, 2,
                                   {{6, {}},
                                    {5, on},
                                    {5, {}},
                                    {16, {}},
                                    {4, off},
                                    {1, on},
                                    {1, {}},
                                    {15, {}},
                                    {6, secret},
                                    {1, {}},
                                    {4, secret + toggled},
                                    {1, {}},
                                    {7, toggled},
                                    {5, {}},
                                    {5, on},
                                    {5, {}}})
            << ".doc" << QList<qint64>{7, 27, 31, 4};
    }

    void countsFollowTheWritersRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, suffix);
        QFETCH(QList<qint64>, counts);
        const auto p = word::readDocumentProperties(store(file, suffix), word::ReadOptions{true});
        QList<qint64> actual;
        for (const Builtin id : kCounted)
            actual << (p.get(id) ? p.get(id)->asInteger() : -1);
        QCOMPARE(actual, counts);
    }

    // Damaged list tables cost the labels only, damaged character properties the hiding of hidden text: the
    // text is counted without them, and the log says why.
    void damagedFormattingLeavesTheTextCounted_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<qint64>>("counts"); // words, characters
        QTest::addColumn<QString>("note");
        QTest::newRow("list tables") << wordBinaryWithLists({{QStringLiteral("First\r"), 0, 1, 0}}, {}, 300)
                                     << QList<qint64>{1, 5}
                                     << "its list numbering cannot be read (its list definitions are cut short); "
                                        "list numbers";
        QTest::newRow("character properties")
            << wordBinaryWithLists({{QStringLiteral("Two words\r"), 0}}, {}, 2,
                                   {{4, QByteArray::fromHex("3C0801")}, {6, {}}}, 0x3FFFFF)
            << QList<qint64>{2, 8}
            << "its character properties cannot be read (its character properties lie outside the WordDocument "
               "stream); hidden text is counted";
    }

    void damagedFormattingLeavesTheTextCounted()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<qint64>, counts);
        QFETCH(QString, note);
        const QString path = store(file, ".doc");
        std::optional<word::DocumentProperties> p;
        const QStringList notes = engineNotes([&] { p = word::readDocumentProperties(path); });
        QCOMPARE((QList<qint64>{p->get(Builtin::NumberOfWords)->asInteger(),
                                p->get(Builtin::NumberOfCharacters)->asInteger()}),
                 counts);
        QVERIFY2(notes.join(QLatin1Char('\n')).contains(note), qPrintable(notes.join(QLatin1Char('\n'))));
    }

    void storedCountsWinUnlessRecounted()
    {
        // Edited after the word processor counted it: the stored words are stale, characters with spaces
        // and paragraphs are missing.
        const QByteArray app = wt::appXml({{"Words", "999"}, {"Characters", "5"}});
        const QString edited =
            store(docxWithBody("<w:p><w:r><w:t>one two</w:t></w:r></w:p>", app), QStringLiteral(".docx"));

        const auto stored = word::readDocumentProperties(edited);
        QCOMPARE(stored.get(Builtin::NumberOfWords)->asInteger(), 999);
        QCOMPARE(stored.get(Builtin::NumberOfCharacters)->asInteger(), 5);
        QCOMPARE(stored.get(Builtin::NumberOfCharactersWithSpaces)->asInteger(), 7);
        QCOMPARE(stored.get(Builtin::NumberOfParagraphs)->asInteger(), 1);
        QCOMPARE(stored.computed(),
                 (QList<Builtin>{Builtin::NumberOfCharactersWithSpaces, Builtin::NumberOfParagraphs}));

        const auto recounted = word::readDocumentProperties(edited, word::ReadOptions{true});
        QCOMPARE(recounted.get(Builtin::NumberOfWords)->asInteger(), 2);
        QCOMPARE(recounted.get(Builtin::NumberOfCharacters)->asInteger(), 6);
        QCOMPARE(recounted.computed(), kCounted);

        // Only the counts that will be looked at are counted, recount or not.
        word::ReadOptions paragraphsOnly{true};
        paragraphsOnly.asked = std::vector<Builtin>{Builtin::Title, Builtin::NumberOfParagraphs};
        const auto chosen = word::readDocumentProperties(edited, paragraphsOnly);
        QCOMPARE(chosen.computed(), QList<Builtin>{Builtin::NumberOfParagraphs});
        QCOMPARE(chosen.get(Builtin::NumberOfWords)->asInteger(), 999);
        paragraphsOnly.asked = std::vector<Builtin>{Builtin::Title};
        QVERIFY(word::readDocumentProperties(edited, paragraphsOnly).computed().isEmpty());
    }

    // The document still opens with what it stores; only the counts stay "Not set", and the engine's log
    // (the batch command's --verbose) says why.
    void unreadableTextLeavesCountsUnset_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("reason");
        QTest::newRow("piece outside the stream")
            << wordBinaryWithPieces({{QStringLiteral("text\r"), true}}, 5, 0, 1 << 28) << ".doc"
            << "OLE"
            << "its text lies outside the WordDocument stream";
        QTest::newRow("encrypted Word text")
            << wordBinaryWithPieces({{QStringLiteral("text\r"), true}}, 5, 0x0100) << ".doc"
            << "OLE"
            << "its text is encrypted";
        QTest::newRow("main text longer than allowed")
            << wordBinaryWithPieces({{QStringLiteral("text\r"), true}}, 0x7FFFFFFF) << ".doc"
            << "OLE"
            << "its main text states an impossible length";
        QTest::newRow("fields nested 300 deep")
            << wordBinaryWithPieces({{QString(300, QChar(0x13)) + QStringLiteral("x\r"), true}}, 302) << ".doc"
            << "OLE"
            << "its fields are nested too deeply";
        QTest::newRow("piece table of more pieces than allowed")
            << wordBinaryWithPieces({{QStringLiteral("text\r"), true}}, 5, 0, -1, 0x7FFFFFF0) << ".doc"
            << "OLE"
            << "its piece table lists too many pieces";
        QTest::newRow("Word header older than Word 6") << word6Binary("text\r", 5, 45) << ".doc"
                                                       << "OLE"
                                                       << "its Word header is older than Word 6 (nFib 45)";
        QTest::newRow("RTF nested 5000 deep")
            << "{\\rtf1{\\info{\\title T}}" + QByteArray(5000, '{') + "x" + QByteArray(5000, '}') + "}"
            << ".rtf"
            << "RTF"
            << "its groups are nested too deeply";
        QTest::newRow("broken document.xml") << docxWithBody("<w:p><w:t>cut") << ".docx"
                                             << "OOXML"
                                             << "word/document.xml";
        QTest::newRow("billions of blanks")
            << odtWithText("<text:p>a<text:s text:c=\"4000000000\"/>b</text:p>") << ".odt"
            << "ODT"
            << "blanks";
    }

    void unreadableTextLeavesCountsUnset()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, suffix);
        QFETCH(QString, format);
        QFETCH(QString, reason);
        std::optional<word::DocumentProperties> p;
        const QStringList notes = engineNotes([&] { p = word::readDocumentProperties(store(file, suffix)); });
        QCOMPARE(p->format(), format);
        for (const Builtin id : kCounted)
            QVERIFY2(!p->get(id), word::builtinInfo(id).name);
        QVERIFY(p->computed().isEmpty());
        const QString said = notes.join(QLatin1Char('\n'));
        QVERIFY2(said.contains(QStringLiteral("its text cannot be counted (")) && said.contains(reason)
                     && said.contains(QStringLiteral("Number of Words")),
                 qPrintable(said));
    }
};

QV_WORD_TEST_MAIN(TstWordCounts)
#include "tst_word_counts.moc"
