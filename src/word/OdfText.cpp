// The text of an OpenDocument text: the paragraphs and headings of office:text in content.xml, with the
// labels of its lists, and (where the writer counts them) notes and the headers and footers in styles.xml.
#include "word/Errors.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/OdfListNumbering.h"
#include "word/XmlFields.h"
#include "word/XmlStream.h"
#include "word/ZipArchive.h"
#include <vector>

namespace word {

namespace {

const QLatin1String kTextNs("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QLatin1String kOfficeNs("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QLatin1String kSvgNs("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QLatin1String kDrawNs("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QLatin1String kStyleNs("urn:oasis:names:tc:opendocument:xmlns:style:1.0");

// Reads one part of the package: its list styles, and the text of the stories that are counted in it
// (office:text in content.xml; the headers and footers of the master pages in styles.xml, where the
// office suites count them).
class OdfScan {
public:
    OdfScan(TextCounter &counter, OdfListNumbering &lists, const QString &partName)
        : m_counter(counter), m_lists(lists), m_partName(partName)
    {
    }

    void start(const QXmlStreamReader &r)
    {
        const bool skip = skipsSubtree(r);
        if (skip && !m_skipped.inside() && m_paragraphDepth > 0 && r.name() == QLatin1String("annotation"))
            m_counter.anchor(); // the comment is not counted, its place in the paragraph is
        if (m_skipped.enter(skip))
            return;
        const QStringView ns = r.namespaceUri();
        const QStringView n = r.name();
        if (ns == kTextNs && n == QLatin1String("list-style"))
            m_listStyle = r.attributes().value(kStyleNs, QLatin1String("name")).toString();
        else if (ns == kTextNs && !m_listStyle.isEmpty() && n.startsWith(QLatin1String("list-level-style-")))
            readListLevel(r);
        if (ns == kOfficeNs && n == QLatin1String("text"))
            ++m_inText;
        else if (ns == kStyleNs && m_counter.rules().countsAllStories && isHeaderOrFooter(n) &&
                 r.attributes().value(kStyleNs, QLatin1String("display")) != QLatin1String("false"))
            ++m_inText;
        if (m_inText == 0)
            return;
        if (ns == kDrawNs && n == QLatin1String("frame") && m_paragraphDepth > 0) {
            // A picture, chart or text frame set in the line like a character; one anchored to the
            // paragraph or page has no place in the text.
            if (r.attributes().value(kTextNs, QLatin1String("anchor-type")) == QLatin1String("as-char"))
                m_counter.object();
            return;
        }
        if (ns != kTextNs)
            return;
        if (n == QLatin1String("list")) {
            const QXmlStreamAttributes a = r.attributes();
            m_lists.openList(a.value(kTextNs, QLatin1String("style-name")).toString(),
                             a.value(kTextNs, QLatin1String("continue-numbering")) == QLatin1String("true") ||
                                 a.hasAttribute(kTextNs, QLatin1String("continue-list")));
        } else if (n == QLatin1String("list-item")) {
            m_lists.openItem(parseWholeNumber(r.attributes().value(kTextNs, QLatin1String("start-value"))));
        } else if (n == QLatin1String("p") || n == QLatin1String("h")) {
            ++m_paragraphDepth;
            if (m_outerLastWasSpace.size() < size_t(limits::kMaxXmlDepth))
                m_outerLastWasSpace.push_back(m_lastWasSpace);
            m_counter.openParagraph();
            // ODF: the office suites count the label they generate for a list item's first paragraph.
            m_counter.label(m_lists.paragraphLabel());
            m_lastWasSpace = true;
        } else if (m_paragraphDepth > 0) {
            if (n == QLatin1String("s")) {
                // text:s stands for c blanks (one by default); all of them together are bounded so
                // that hostile counts cannot keep the reader spinning.
                bool ok = false;
                qint64 c = r.attributes().value(kTextNs, QLatin1String("c")).toLongLong(&ok);
                c = ok ? qMax<qint64>(0, c) : 1;
                m_blanksStated += c;
                if (c > limits::kMaxPartBytes || m_blanksStated > limits::kMaxPartBytes)
                    throw DamagedContent(QStringLiteral("its part %1 states more blanks than it could hold").arg(m_partName));
                for (qint64 i = 0; i < c; ++i)
                    m_counter.space();
                m_lastWasSpace = true;
            } else if (n == QLatin1String("tab") || n == QLatin1String("line-break")) {
                m_counter.space();
                m_lastWasSpace = true;
            }
        }
    }

    void end(const QXmlStreamReader &r)
    {
        if (m_skipped.leave())
            return;
        const QStringView ns = r.namespaceUri();
        const QStringView n = r.name();
        if (ns == kTextNs && n == QLatin1String("list-style"))
            m_listStyle.clear();
        if ((ns == kOfficeNs && n == QLatin1String("text")) ||
            (ns == kStyleNs && m_counter.rules().countsAllStories && isHeaderOrFooter(n))) {
            m_inText = qMax(0, m_inText - 1);
            return;
        }
        if (m_inText == 0 || ns != kTextNs)
            return;
        if (n == QLatin1String("list")) {
            m_lists.closeList();
        } else if ((n == QLatin1String("p") || n == QLatin1String("h")) && m_paragraphDepth > 0) {
            --m_paragraphDepth;
            m_counter.closeParagraph();
            // A paragraph inside another (a note's, a text box's) leaves the enclosing one's blanks as they were.
            m_lastWasSpace = m_outerLastWasSpace.empty() || m_outerLastWasSpace.back();
            if (!m_outerLastWasSpace.empty())
                m_outerLastWasSpace.pop_back();
        }
    }

    void text(const QXmlStreamReader &r)
    {
        if (m_inText == 0 || m_paragraphDepth == 0 || m_skipped.inside())
            return;
        for (const QChar c : r.text()) {
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
                if (!m_lastWasSpace)
                    m_counter.space();
                m_lastWasSpace = true;
            } else {
                m_counter.add(c.unicode());
                m_lastWasSpace = false;
            }
        }
    }

private:
    static bool isHeaderOrFooter(QStringView n)
    {
        return n == QLatin1String("header") || n == QLatin1String("footer") || n == QLatin1String("header-left") ||
               n == QLatin1String("footer-left") || n == QLatin1String("header-first") ||
               n == QLatin1String("footer-first");
    }

    // Not counted: comments, the deleted text kept for tracked changes, the titles and descriptions of
    // pictures, a label written out by the writer (it is generated again), and notes where the writer
    // leaves them out of its counts.
    bool skipsSubtree(const QXmlStreamReader &r) const
    {
        const QStringView ns = r.namespaceUri();
        const QStringView n = r.name();
        if (ns == kOfficeNs)
            return n == QLatin1String("annotation");
        if (ns == kTextNs)
            return (n == QLatin1String("note") && !m_counter.rules().countsAllStories) ||
                   n == QLatin1String("tracked-changes") || n == QLatin1String("number");
        if (ns == kSvgNs)
            return n == QLatin1String("title") || n == QLatin1String("desc");
        return false;
    }

    void readListLevel(const QXmlStreamReader &r)
    {
        const QXmlStreamAttributes a = r.attributes();
        const qint64 level = parseWholeNumber(a.value(kTextNs, QLatin1String("level"))).value_or(1);
        OdfListNumbering::Level &l = m_lists.styleLevel(m_listStyle, int(qBound<qint64>(1, level, qint64(OdfListNumbering::kLevels))) - 1);
        l.prefix = a.value(kStyleNs, QLatin1String("num-prefix")).toString();
        l.suffix = a.value(kStyleNs, QLatin1String("num-suffix")).toString();
        if (r.name() == QLatin1String("list-level-style-bullet")) {
            l.format = ListNumberFormat::Bullet;
            l.bullet = a.value(kTextNs, QLatin1String("bullet-char")).toString();
        } else if (r.name() == QLatin1String("list-level-style-number")) {
            l.format = listFormatFromOdf(a.value(kStyleNs, QLatin1String("num-format")));
            l.displayLevels = int(qBound<qint64>(qint64(1), parseWholeNumber(a.value(kTextNs, QLatin1String("display-levels"))).value_or(1),
                                                 qint64(OdfListNumbering::kLevels)));
            l.start = parseWholeNumber(a.value(kTextNs, QLatin1String("start-value"))).value_or(1);
        } else {
            l.format = ListNumberFormat::None; // a picture as bullet: no text
        }
    }

    TextCounter &m_counter;
    OdfListNumbering &m_lists;
    QString m_partName;
    SkippedSubtree m_skipped;
    QString m_listStyle;      // inside this text:list-style
    int m_inText = 0;         // inside office:text or a counted header or footer
    int m_paragraphDepth = 0; // open text:p / text:h
    bool m_lastWasSpace = true; // white space in the XML collapses to one blank, none at a paragraph's start
    qint64 m_blanksStated = 0;  // blanks that text:s elements stand for, all together
    std::vector<bool> m_outerLastWasSpace; // per open paragraph: the enclosing text's state
};

} // namespace

void countOdfText(const ZipArchive &zip, TextCounter &counter)
{
    const QString partName = QStringLiteral("content.xml");
    const auto index = zip.find(partName);
    if (!index)
        throw DamagedContent(QStringLiteral("its part content.xml is missing"));
    OdfListNumbering lists;
    // styles.xml first: the named list styles, and the headers and footers where they are counted.
    const QString stylesName = QStringLiteral("styles.xml");
    if (const auto styles = zip.find(stylesName)) {
        OdfScan scan(counter, lists, stylesName);
        scanXml(zip.read(*styles, limits::kMaxDefinitionPartBytes), stylesName, scan);
    }
    OdfScan scan(counter, lists, partName);
    scanXml(zip.read(*index, limits::kMaxPartBytes), partName, scan);
}

} // namespace word
