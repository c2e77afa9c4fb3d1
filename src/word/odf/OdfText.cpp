// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The text of an OpenDocument text: the paragraphs and headings of office:text in content.xml, with the
// labels of its lists, and (where the writer counts them) notes and the headers and footers in styles.xml.
// Hidden text is left out where LibreOffice leaves it out of its own count (each rule below was measured
// against its fresh count of documents made for the purpose).
#include "word/Errors.h"
#include "word/MainText.h"
#include "word/odf/OdfListNumbering.h"
#include "word/odf/OdfNames.h"
#include "word/odf/OdfStyles.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlFields.h"
#include "word/toolkit/XmlStream.h"
#include "word/toolkit/ZipArchive.h"
#include <charconv>
#include <optional>
#include <vector>

namespace word {

namespace {

using namespace std::string_view_literals;
using namespace odf;

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

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The namespace of the writer's formulas: LibreOffice reads a field's or section's condition only when
// its prefix is bound to this (its files write "ooow:").
constexpr std::string_view kWriterFormulaNs = "http://openoffice.org/2004/writer"sv;

// The blanks a text:s stands for: its c attribute, one when absent or not a number, none when negative.
qint64 statedBlanks(const XmlAttributes &a)
{
    bool found = false;
    const std::string_view stated = a.value(kTextNs, "c"sv, &found);
    QByteArrayView v = QByteArrayView(stated.data(), qsizetype(stated.size())).trimmed(); // XML blanks only
    if (v.startsWith('+'))
        v = v.sliced(1);
    qint64 c = 0;
    const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), c);
    if (!found || v.isEmpty() || error != std::errc() || end != v.data() + v.size())
        return 1;
    return qMax<qint64>(0, c);
}

// Reads one part of the package: its list styles, and the text of the stories that are counted in it
// (office:text in content.xml; the headers and footers of the master pages in styles.xml, where the
// office suites count them).
class OdfHandler : public XmlHandler {
public:
    OdfHandler(TextCounter &counter, OdfListNumbering &lists, OdfDisplayStyles &styles, QString partName)
        : m_counter(counter), m_lists(lists), m_styles(lists, styles), m_partName(std::move(partName))
    {
    }

    // The parser feeding this handler: conditions are qualified names whose prefix it resolves.
    void setParser(XmlParser &parser) { m_parser = &parser; }

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        bool skip = skipsSubtree(e, m_counter.rules().countsAllStories);
        if (skip && !m_skipped.inside() && m_paragraphDepth > 0 && e.local == "annotation"sv && !m_hidden)
            m_counter.anchor(); // the comment is not counted, its place in the paragraph is
        if (!skip && !m_skipped.inside() && m_inText > 0 && m_paragraphDepth > 0 && e.is(kTextNs, "hidden-text"sv))
            skip = hiddenTextField(a);
        if (m_skipped.enter(skip))
            return;
        const std::string_view n = e.local;
        m_styles.start(e, a);
        if (e.is(kOfficeNs, "text"sv))
            ++m_inText;
        else if (e.ns == kStyleNs && m_counter.rules().countsAllStories && isHeaderOrFooter(n))
            ++m_inText; // also one turned off (style:display="false"): LibreOffice keeps and counts its text
        if (m_inText == 0)
            return;
        if (e.is(kDrawNs, "frame"sv) && m_paragraphDepth > 0) {
            // A picture, chart or text frame set in the line like a character; one anchored to the
            // paragraph or page has no place in the text.
            if (a.value(kTextNs, "anchor-type"sv) == "as-char"sv && !m_hidden) {
                showLabel();
                m_counter.object();
            }
            return;
        }
        if (e.is(kDrawNs, "text-box"sv)) {
            pushVisibility({}); // a text box's text is counted (or hidden) for itself
            return;
        }
        if (e.ns != kTextNs)
            return;
        if (n == "section"sv) {
            // ODF, as LibreOffice counts it: a section is hidden when it says text:display="none", or when its
            // display depends on a condition and the file records it hidden (text:is-hidden) or the condition
            // is none LibreOffice can read; the condition is not evaluated again. Only the innermost section
            // decides: one shown inside a hidden one is counted.
            const std::string_view display = a.value(kTextNs, "display"sv);
            const bool hidden =
                display == "none"sv
                || (display == "condition"sv && (a.value(kTextNs, "is-hidden"sv) == "true"sv || !isOfficeCondition(a)));
            pushVisibility({hidden, current().style});
        } else if (n == "span"sv || n == "a"sv) {
            const Visibility outer = current();
            pushVisibility({outer.section, m_styles.hides(OdfDisplayStyles::Text, a).value_or(outer.style)});
        } else if (n == "note-body"sv) {
            // A note's text is counted for itself, whether or not the text that cites it is hidden.
            pushVisibility({});
        } else if (n == "list"sv) {
            bool continues = false;
            (void)a.value(kTextNs, "continue-list"sv, &continues);
            m_lists.openList(text(a.value(kTextNs, "style-name"sv)),
                             continues || a.value(kTextNs, "continue-numbering"sv) == "true"sv);
        } else if (n == "list-item"sv) {
            m_lists.openItem(parseWholeNumber(a.value(kTextNs, "start-value"sv)));
        } else if (n == "p"sv || n == "h"sv) {
            openParagraph(a);
        } else if (m_paragraphDepth > 0) {
            paragraphElement(n, a);
        }
    }

    void endElement(const XmlName &e) override
    {
        if (m_skipped.leave())
            return;
        const std::string_view n = e.local;
        m_styles.end(e);
        if (e.is(kOfficeNs, "text"sv)
            || (e.ns == kStyleNs && m_counter.rules().countsAllStories && isHeaderOrFooter(n))) {
            m_inText = qMax(0, m_inText - 1);
            return;
        }
        if (m_inText == 0)
            return;
        if (e.is(kDrawNs, "text-box"sv)) {
            popVisibility();
            return;
        }
        if (e.ns != kTextNs)
            return;
        if (n == "list"sv) {
            m_lists.closeList();
        } else if (n == "section"sv || n == "span"sv || n == "a"sv || n == "note-body"sv) {
            popVisibility();
        } else if ((n == "p"sv || n == "h"sv) && m_paragraphDepth > 0) {
            --m_paragraphDepth;
            m_counter.closeParagraph();
            popVisibility();
            closeParagraph();
        }
    }

    // White space in the XML collapses to one blank, none at a paragraph's start; everything between
    // goes to the counter as it is.
    void characters(std::string_view text) override
    {
        if (m_inText == 0 || m_paragraphDepth == 0 || m_skipped.inside() || text.empty())
            return;
        if (m_hidden) {
            // Hidden text is not counted, but its blanks collapse with the shown text's around it as they
            // did when the file was read: the blank after a hidden word still counts.
            m_lastWasSpace = isXmlSpace(text.back());
            return;
        }
        size_t i = 0;
        while (i < text.size()) {
            if (isXmlSpace(text[i])) {
                if (!m_lastWasSpace) {
                    showLabel();
                    m_counter.space();
                }
                m_lastWasSpace = true;
                ++i;
                continue;
            }
            const size_t from = i;
            while (i < text.size() && !isXmlSpace(text[i]))
                ++i;
            showLabel();
            m_counter.addUtf8(text.substr(from, i - from));
            m_lastWasSpace = false;
        }
    }

private:
    // What hides the text here: the innermost section, or the styles of the paragraph and its spans.
    struct Visibility {
        bool section = false;
        bool style = false;
    };

    // An open paragraph (text:p, text:h), with what is needed to leave it out as a whole.
    struct OpenParagraph {
        bool outerLastWasSpace = true; // the enclosing text's blank state
        bool hiddenWhole = false;      // a hidden-paragraph field hides it
        TextStatistics before;         // the counts when it opened
        TextStatistics nested;         // what the paragraphs inside it (a note's, a text box's) added
        QString pendingLabel;          // its list label, until some of its text shows
    };

    // A paragraph or heading: its visibility, its place among the open paragraphs, and its list label.
    void openParagraph(const XmlAttributes &a)
    {
        ++m_paragraphDepth;
        const Visibility outer = current();
        pushVisibility({outer.section, m_styles.hides(OdfDisplayStyles::Paragraph, a).value_or(false)});
        if (m_paragraphs.size() < size_t(limits::kMaxXmlDepth))
            m_paragraphs.push_back({m_lastWasSpace, false, m_counter.statistics(), {}, {}});
        m_counter.openParagraph();
        // ODF: the office suites count the label they generate for a list item's first paragraph. A
        // paragraph whose style hides its text shows the label only if some of its text is shown.
        QString label = m_lists.paragraphLabel();
        m_labelPending = false;
        if (!m_hidden)
            m_counter.label(label);
        else if (!current().section && !label.isEmpty() && !m_paragraphs.empty()) {
            m_paragraphs.back().pendingLabel = std::move(label);
            m_labelPending = true;
        }
        m_lastWasSpace = true;
    }

    // What a paragraph holds besides its characters: blanks, tabs, breaks and hidden-paragraph fields.
    void paragraphElement(std::string_view n, const XmlAttributes &a)
    {
        if (m_hidden) {
            if (n == "s"sv || n == "tab"sv || n == "line-break"sv)
                m_lastWasSpace = true;
            else if (n == "hidden-paragraph"sv)
                hiddenParagraphField(a);
            return;
        }
        if (n == "s"sv) {
            // text:s stands for c blanks (one by default); all of them together are bounded so that
            // hostile counts cannot keep the reader spinning.
            const qint64 c = statedBlanks(a);
            m_blanksStated += c;
            if (c > limits::kMaxPartBytes || m_blanksStated > limits::kMaxPartBytes)
                throw DamagedContent(
                    QStringLiteral("its part %1 states more blanks than it could hold").arg(m_partName));
            showLabel();
            m_counter.spaces(c);
            m_lastWasSpace = true;
        } else if (n == "tab"sv || n == "line-break"sv) {
            showLabel();
            m_counter.space();
            m_lastWasSpace = true;
        } else if (n == "hidden-paragraph"sv) {
            hiddenParagraphField(a);
        }
    }

    // Whether the element's text:condition is a formula LibreOffice reads: its prefix bound to the writer's
    // formula namespace where the element stands.
    bool isOfficeCondition(const XmlAttributes &a) const
    {
        const std::string_view condition = a.value(kTextNs, "condition"sv);
        const size_t colon = condition.find(':');
        if (colon == std::string_view::npos || !m_parser)
            return false;
        const auto ns = m_parser->namespaceOfPrefix(condition.substr(0, colon));
        return ns && *ns == kWriterFormulaNs;
    }

    Visibility current() const { return m_visibility.empty() ? Visibility{} : m_visibility.back(); }

    // Pushed at the start and popped at the end of the same elements; their nesting is bounded by the
    // parser's depth limit.
    void pushVisibility(Visibility v)
    {
        m_visibility.push_back(v);
        m_hidden = v.section || v.style;
    }

    void popVisibility()
    {
        if (!m_visibility.empty())
            m_visibility.pop_back();
        m_hidden = current().section || current().style;
    }

    // The label of a paragraph whose style hides its text, counted before the first of its text shown.
    void showLabel()
    {
        if (!m_labelPending)
            return;
        m_labelPending = false;
        m_counter.label(m_paragraphs.back().pendingLabel);
        m_paragraphs.back().pendingLabel.clear();
    }

    void closeParagraph()
    {
        if (m_paragraphs.empty()) {
            m_lastWasSpace = true;
            return;
        }
        OpenParagraph closed = std::move(m_paragraphs.back());
        m_paragraphs.pop_back();
        if (closed.hiddenWhole)
            m_counter.restoreStatistics(closed.before + closed.nested);
        if (!m_paragraphs.empty())
            m_paragraphs.back().nested = m_paragraphs.back().nested + (m_counter.statistics() - closed.before);
        // A paragraph inside another (a note's, a text box's) leaves the enclosing one's blanks as they were.
        m_lastWasSpace = closed.outerLastWasSpace;
        m_labelPending = !m_paragraphs.empty() && !m_paragraphs.back().pendingLabel.isEmpty();
    }

    // ODF text:hidden-text, as LibreOffice counts it: a field it can read (a condition of its own and a
    // text:string-value) counts its string value where the file records text:is-hidden="true", and
    // nothing else, whatever the condition says; the paragraph holding it counts either way. One it cannot
    // read is plain text: its content counts. Returns whether the field's content is to be passed over.
    bool hiddenTextField(const XmlAttributes &a)
    {
        bool hasString = false;
        const std::string_view value = a.value(kTextNs, "string-value"sv, &hasString);
        if (!hasString || !isOfficeCondition(a))
            return false;
        if (!m_hidden) {
            showLabel();
            m_counter.field();
            if (a.value(kTextNs, "is-hidden"sv) == "true"sv)
                m_counter.addUtf8(value);
        }
        m_lastWasSpace = false; // the field is a character of the text: a blank after it counts
        return true;
    }

    // ODF text:hidden-paragraph, as LibreOffice counts it: a field with a condition of its own that the file
    // records text:is-hidden="true" hides its whole paragraph (list label too); the condition is not
    // evaluated again. The text of notes in the paragraph still counts.
    void hiddenParagraphField(const XmlAttributes &a)
    {
        if (!m_paragraphs.empty() && a.value(kTextNs, "is-hidden"sv) == "true"sv && isOfficeCondition(a))
            m_paragraphs.back().hiddenWhole = true;
    }

    TextCounter &m_counter;
    OdfListNumbering &m_lists;
    OdfStyleReader m_styles;
    QString m_partName;
    SkippedSubtree m_skipped;
    int m_inText = 0;         // inside office:text or a counted header or footer
    int m_paragraphDepth = 0; // open text:p / text:h
    bool m_lastWasSpace = true;
    qint64 m_blanksStated = 0;               // blanks that text:s elements stand for, all together
    std::vector<OpenParagraph> m_paragraphs; // the open paragraphs, innermost last
    std::vector<Visibility> m_visibility;    // per open section, paragraph, span, note body or text box
    bool m_hidden = false;                   // the text here is hidden
    bool m_labelPending = false;             // the innermost paragraph's label waits for its text
    XmlParser *m_parser = nullptr;           // the parser feeding this handler, asked for the prefixes of conditions
};

} // namespace

void countOdfText(const ZipArchive &zip, TextCounter &counter)
{
    const QString partName = QStringLiteral("content.xml");
    const auto index = zip.find(partName);
    if (!index)
        throw DamagedContent(QStringLiteral("its part content.xml is missing"));
    OdfListNumbering lists;
    OdfDisplayStyles displayStyles;
    // styles.xml first: the named list and text styles, and the headers and footers where they are counted.
    const QString stylesName = QStringLiteral("styles.xml");
    if (const auto styles = zip.find(stylesName)) {
        OdfHandler stylesHandler(counter, lists, displayStyles, stylesName);
        XmlParser stylesParser(stylesName, stylesHandler);
        stylesHandler.setParser(stylesParser);
        streamZipPart(zip, *styles, limits::kMaxDefinitionPartBytes, stylesParser);
    }
    OdfHandler handler(counter, lists, displayStyles, partName);
    XmlParser parser(partName, handler);
    handler.setParser(parser);
    streamZipPart(zip, *index, limits::kMaxPartBytes, parser);
}

} // namespace word
