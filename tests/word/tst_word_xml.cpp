// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A part read whole (as a tree) and the same part streamed through expat give the same elements, text
// and verdict, word for word, on office markup and on thousands of damaged variants of it.
#include "WordTestMain.h"
#include "word/Errors.h"
#include "word/toolkit/XmlParser.h"
#include <QDirIterator>
#include <QRandomGenerator>
#include <zip.h>

namespace {

// Everything a handler is told, text pieces joined.
class Recorder : public word::XmlHandler {
public:
    QByteArray log;
    int stopAfter = -1; // elements after which the handler stops the parse, -1 never
    word::XmlParser *parser = nullptr;

    void startElement(const word::XmlName &name, const word::XmlAttributes &attributes) override
    {
        log += "\n<" + ns(name);
        for (int i = 0; i < attributes.count(); ++i)
            log += ' ' + ns(attributes.nameAt(i)) + "=[" + bytes(attributes.valueAt(i)) + ']';
        if (++m_elements == stopAfter)
            parser->stop();
        if (name.local == "fail")
            throw word::DamagedContent(QStringLiteral("handler refused"));
    }
    void endElement(const word::XmlName &name) override { log += "\n</" + ns(name); }
    void characters(std::string_view text) override
    {
        if (!log.endsWith('\x01'))
            log += "\n\x01";
        log.insert(log.size() - 1, bytes(text));
    }

private:
    static QByteArray bytes(std::string_view s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }
    static QByteArray ns(const word::XmlName &n) { return '{' + bytes(n.ns) + '}' + bytes(n.local); }
    int m_elements = 0;
};

QByteArray outcome(const QByteArray &xml, bool whole, int stopAfter)
{
    Recorder recorder;
    recorder.stopAfter = stopAfter;
    word::XmlParser parser(QStringLiteral("part.xml"), recorder);
    recorder.parser = &parser;
    try {
        if (whole) {
            parser.parse(xml);
        } else {
            parser.feed(xml.constData(), xml.size());
            parser.finish();
        }
    } catch (const word::DamagedContent &e) {
        recorder.log += "\n!" + e.detail().toUtf8();
    }
    return recorder.log;
}

const QByteArray kOoxml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"urn:r\"><w:body><w:p w:rsidR=\"00A1\"><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr>"
    "<w:r><w:rPr><w:vanish w:val='0'/></w:rPr><w:t xml:space=\"preserve\"> Caf\xC3\xA9 &amp; &lt;tea&gt;\t</w:t>"
    "</w:r><w:r><w:t>line\r\nend&#9;&#x1F600;&#13;</w:t></w:r><w:hyperlink r:id=\"rId4\" w:tooltip=\"a&#9;b\r\nc\">"
    "<w:r><w:t>link</w:t></w:r></w:hyperlink></w:p><w:p><w:fail/></w:p>\n<w:sectPr/></w:body></w:document>\n";
const QByteArray kOdf =
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
    "<office:body><office:text><text:h text:outline-level=\"1\">Title</text:h><text:p>one<text:s "
    "text:c=\"3\"/>two <text:span xmlns:text=\"urn:other\">x</text:span></text:p><text:p/></office:text>"
    "</office:body></office:document-content>";

// Snippets that pull the two readers apart if either is wrong: what pugixml lets through and expat does
// not, line ends, references, namespace mistakes, multi-byte text.
const char *const kSnippets[] = {"&foo;",
                                 "&",
                                 "<",
                                 ">",
                                 "]]>",
                                 "\x01",
                                 "\xFF",
                                 "\xC3\x97",
                                 "\xEF\xBF\xBE",
                                 "<!-- c -->",
                                 "<?pi x?>",
                                 "<![CDATA[x]]>",
                                 " x=\"1\"",
                                 " x='<'",
                                 "\r",
                                 "\r\n",
                                 "&#0;",
                                 "&#x1;",
                                 "&#9;",
                                 "&lt;",
                                 "xmlns:q=\"\"",
                                 " q:y=\"1\"",
                                 "</a>",
                                 "<b>",
                                 "<b/>",
                                 "'",
                                 "\"",
                                 "text",
                                 "\xE2\x80\x99",
                                 " xmlns=\"urn:d\"",
                                 "<fail/>",
                                 "=",
                                 "/",
                                 " ",
                                 "\t"};

QByteArray mutate(QByteArray xml, QRandomGenerator &random)
{
    const int edits = 1 + random.bounded(2);
    for (int e = 0; e < edits && !xml.isEmpty(); ++e) {
        const qsizetype at = random.bounded(xml.size());
        switch (random.bounded(3)) {
        case 0:
            xml.insert(at, kSnippets[random.bounded(static_cast<int>(std::size(kSnippets)))]);
            break;
        case 1:
            xml.remove(at, 1 + random.bounded(4));
            break;
        default:
            xml[at] = static_cast<char>(random.bounded(256));
        }
    }
    return xml;
}

// Small XML parts of the shared corpus's packages, when it is beside the project.
QList<QByteArray> corpusParts()
{
    QList<QByteArray> parts;
    QDirIterator it(QStringLiteral(QV_SHARED_DIR "/corpus"), {QStringLiteral("*.docx"), QStringLiteral("*.odt")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext() && parts.size() < 24) {
        zip_t *zip = zip_open(QFile::encodeName(it.next()).constData(), ZIP_RDONLY, nullptr);
        if (!zip)
            continue;
        for (const char *name : {"word/document.xml", "content.xml", "word/styles.xml"}) {
            zip_stat_t st;
            zip_file_t *f = zip_stat(zip, name, 0, &st) == 0 && st.size < 48 * 1024 ? zip_fopen(zip, name, 0) : nullptr;
            if (!f)
                continue;
            QByteArray bytes(static_cast<qsizetype>(st.size), '\0');
            if (zip_fread(f, bytes.data(), st.size) == static_cast<zip_int64_t>(st.size))
                parts << bytes;
            zip_fclose(f);
        }
        zip_close(zip);
    }
    return parts;
}

} // namespace

class TstWordXml : public QObject {
    Q_OBJECT

    static void compareOn(const QList<QByteArray> &seeds, int variants)
    {
        QRandomGenerator random(20261207);
        for (const QByteArray &seed : seeds) {
            for (int v = 0; v <= variants; ++v) {
                const QByteArray xml = v == 0 ? seed : mutate(seed, random);
                const int stopAfter = v % 7 == 3 ? 1 + random.bounded(5) : -1;
                const QByteArray streamed = outcome(xml, false, stopAfter);
                const QByteArray whole = outcome(xml, true, stopAfter);
                if (streamed != whole)
                    QFAIL(qPrintable(QStringLiteral("the readers differ on:\n%1\nstreamed:%2\nwhole:%3")
                                         .arg(QString::fromUtf8(xml.left(600)), QString::fromUtf8(streamed.right(300)),
                                              QString::fromUtf8(whole.right(300)))));
            }
        }
    }

private slots:
    void sameOnOfficeMarkupAndItsDamagedVariants()
    {
        // The seeds themselves are read, up to the element a handler refuses.
        QVERIFY(outcome(kOoxml, true, -1).contains("Caf\xC3\xA9 & <tea>"));
        QVERIFY(outcome(kOoxml, true, -1).endsWith("handler refused"));
        compareOn({kOoxml, kOdf}, 2000);
    }

    void sameOnCorpusParts()
    {
        const QList<QByteArray> parts = corpusParts();
        if (parts.isEmpty())
            QSKIP("the shared document corpus is not beside the project");
        compareOn(parts, 40);
    }
};

QV_WORD_TEST_MAIN(TstWordXml)
#include "tst_word_xml.moc"
