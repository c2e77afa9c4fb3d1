// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The text of an OpenDocument text: the paragraphs and headings of office:text in content.xml, with the
// labels of its lists, and (where the writer counts them) notes and the headers and footers in styles.xml.
#include "word/Errors.h"
#include "word/MainText.h"
#include "word/odf/OdfListNumbering.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlFields.h"
#include "word/toolkit/XmlStream.h"
#include "word/toolkit/ZipArchive.h"
#include <charconv>
#include <vector>

namespace word {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kTextNs = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"sv;
constexpr std::string_view kOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"sv;
constexpr std::string_view kSvgNs = "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"sv;
constexpr std::string_view kDrawNs = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"sv;
constexpr std::string_view kStyleNs = "urn:oasis:names:tc:opendocument:xmlns:style:1.0"sv;

// Not counted: comments, the deleted text kept for tracked changes, the titles and descriptions of
// pictures, a label written out by the writer (it is generated again), and notes where the writer leaves
// them out of its counts.
bool skipsSubtree(const XmlName &e, bool countsNotes)
{
    const std::string_view n = e.local;
    if (e.ns == kOfficeNs)
        return n == "annotation"sv;
    if (e.ns == kTextNs)
        return (n == "note"sv && !countsNotes) || n == "tracked-changes"sv || n == "number"sv;
    if (e.ns == kSvgNs)
        return n == "title"sv || n == "desc"sv;
    return false;
}

bool isHeaderOrFooter(std::string_view n)
{
    return n == "header"sv || n == "footer"sv || n == "header-left"sv || n == "footer-left"sv || n == "header-first"sv
           || n == "footer-first"sv;
}

QString text(std::string_view v) { return QString::fromUtf8(v.data(), qsizetype(v.size())); }

// The blanks a text:s stands for: its c attribute, one when absent or not a number, none when negative.
qint64 statedBlanks(const XmlAttributes &a)
{
    bool found = false;
    std::string_view v = a.value(kTextNs, "c"sv, &found);
    if (!found)
        return 1;
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\n' || v.front() == '\r'))
        v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\n' || v.back() == '\r'))
        v.remove_suffix(1);
    if (!v.empty() && v.front() == '+')
        v.remove_prefix(1);
    qint64 c = 0;
    const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), c);
    if (v.empty() || error != std::errc() || end != v.data() + v.size())
        return 1;
    return qMax<qint64>(0, c);
}

// Reads one part of the package: its list styles, and the text of the stories that are counted in it
// (office:text in content.xml; the headers and footers of the master pages in styles.xml, where the
// office suites count them).
class OdfHandler : public XmlHandler {
public:
    OdfHandler(TextCounter &counter, OdfListNumbering &lists, QString partName)
        : m_counter(counter), m_lists(lists), m_partName(std::move(partName))
    {
    }

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        const bool skip = skipsSubtree(e, m_counter.rules().countsAllStories);
        if (skip && !m_skipped.inside() && m_paragraphDepth > 0 && e.local == "annotation"sv)
            m_counter.anchor(); // the comment is not counted, its place in the paragraph is
        if (m_skipped.enter(skip))
            return;
        const std::string_view n = e.local;
        if (e.is(kTextNs, "list-style"sv))
            m_listStyle = text(a.value(kStyleNs, "name"sv));
        else if (e.ns == kTextNs && !m_listStyle.isEmpty() && n.substr(0, 17) == "list-level-style-"sv)
            readListLevel(n, a);
        if (e.is(kOfficeNs, "text"sv))
            ++m_inText;
        else if (e.ns == kStyleNs && m_counter.rules().countsAllStories && isHeaderOrFooter(n)
                 && a.value(kStyleNs, "display"sv) != "false"sv)
            ++m_inText;
        if (m_inText == 0)
            return;
        if (e.is(kDrawNs, "frame"sv) && m_paragraphDepth > 0) {
            // A picture, chart or text frame set in the line like a character; one anchored to the
            // paragraph or page has no place in the text.
            if (a.value(kTextNs, "anchor-type"sv) == "as-char"sv)
                m_counter.object();
            return;
        }
        if (e.ns != kTextNs)
            return;
        if (n == "list"sv) {
            bool continues = false;
            (void)a.value(kTextNs, "continue-list"sv, &continues);
            m_lists.openList(text(a.value(kTextNs, "style-name"sv)),
                             continues || a.value(kTextNs, "continue-numbering"sv) == "true"sv);
        } else if (n == "list-item"sv) {
            m_lists.openItem(parseWholeNumber(text(a.value(kTextNs, "start-value"sv))));
        } else if (n == "p"sv || n == "h"sv) {
            ++m_paragraphDepth;
            if (m_outerLastWasSpace.size() < size_t(limits::kMaxXmlDepth))
                m_outerLastWasSpace.push_back(m_lastWasSpace);
            m_counter.openParagraph();
            // ODF: the office suites count the label they generate for a list item's first paragraph.
            m_counter.label(m_lists.paragraphLabel());
            m_lastWasSpace = true;
        } else if (m_paragraphDepth > 0) {
            if (n == "s"sv) {
                // text:s stands for c blanks (one by default); all of them together are bounded so that
                // hostile counts cannot keep the reader spinning.
                const qint64 c = statedBlanks(a);
                m_blanksStated += c;
                if (c > limits::kMaxPartBytes || m_blanksStated > limits::kMaxPartBytes)
                    throw DamagedContent(
                        QStringLiteral("its part %1 states more blanks than it could hold").arg(m_partName));
                m_counter.spaces(c);
                m_lastWasSpace = true;
            } else if (n == "tab"sv || n == "line-break"sv) {
                m_counter.space();
                m_lastWasSpace = true;
            }
        }
    }

    void endElement(const XmlName &e) override
    {
        if (m_skipped.leave())
            return;
        const std::string_view n = e.local;
        if (e.is(kTextNs, "list-style"sv))
            m_listStyle.clear();
        if (e.is(kOfficeNs, "text"sv)
            || (e.ns == kStyleNs && m_counter.rules().countsAllStories && isHeaderOrFooter(n))) {
            m_inText = qMax(0, m_inText - 1);
            return;
        }
        if (m_inText == 0 || e.ns != kTextNs)
            return;
        if (n == "list"sv) {
            m_lists.closeList();
        } else if ((n == "p"sv || n == "h"sv) && m_paragraphDepth > 0) {
            --m_paragraphDepth;
            m_counter.closeParagraph();
            // A paragraph inside another (a note's, a text box's) leaves the enclosing one's blanks as they were.
            m_lastWasSpace = m_outerLastWasSpace.empty() || m_outerLastWasSpace.back();
            if (!m_outerLastWasSpace.empty())
                m_outerLastWasSpace.pop_back();
        }
    }

    // White space in the XML collapses to one blank, none at a paragraph's start; everything between
    // goes to the counter as it is.
    void characters(std::string_view text) override
    {
        if (m_inText == 0 || m_paragraphDepth == 0 || m_skipped.inside())
            return;
        const auto isXmlSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
        size_t i = 0;
        while (i < text.size()) {
            if (isXmlSpace(text[i])) {
                if (!m_lastWasSpace)
                    m_counter.space();
                m_lastWasSpace = true;
                ++i;
                continue;
            }
            const size_t from = i;
            while (i < text.size() && !isXmlSpace(text[i]))
                ++i;
            m_counter.addUtf8(text.substr(from, i - from));
            m_lastWasSpace = false;
        }
    }

private:
    void readListLevel(std::string_view kind, const XmlAttributes &a)
    {
        const qint64 level = parseWholeNumber(text(a.value(kTextNs, "level"sv))).value_or(1);
        OdfListNumbering::Level &l =
            m_lists.styleLevel(m_listStyle, int(qBound<qint64>(1, level, qint64(OdfListNumbering::kLevels))) - 1);
        l.prefix = text(a.value(kStyleNs, "num-prefix"sv));
        l.suffix = text(a.value(kStyleNs, "num-suffix"sv));
        if (kind == "list-level-style-bullet"sv) {
            l.format = ListNumberFormat::Bullet;
            l.bullet = text(a.value(kTextNs, "bullet-char"sv));
        } else if (kind == "list-level-style-number"sv) {
            l.format = listFormatFromOdf(text(a.value(kStyleNs, "num-format"sv)));
            l.displayLevels =
                int(qBound<qint64>(qint64(1), parseWholeNumber(text(a.value(kTextNs, "display-levels"sv))).value_or(1),
                                   qint64(OdfListNumbering::kLevels)));
            l.start = parseWholeNumber(text(a.value(kTextNs, "start-value"sv))).value_or(1);
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
    bool m_lastWasSpace = true;
    qint64 m_blanksStated = 0;             // blanks that text:s elements stand for, all together
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
        OdfHandler stylesHandler(counter, lists, stylesName);
        XmlParser stylesParser(stylesName, stylesHandler);
        streamZipPart(zip, *styles, limits::kMaxDefinitionPartBytes, stylesParser);
    }
    OdfHandler handler(counter, lists, partName);
    XmlParser parser(partName, handler);
    streamZipPart(zip, *index, limits::kMaxPartBytes, parser);
}

} // namespace word
