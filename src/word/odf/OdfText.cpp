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
bool skipsSubtree(Element e, bool countsNotes)
{
    return e == Element::Annotation || (e == Element::Note && !countsNotes) || e == Element::TrackedChanges
           || e == Element::Number || e == Element::TitleOrDescription;
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

    void startElement(const XmlName &name, const XmlAttributes &a) override
    {
        if (m_skipped.inside()) {
            m_skipped.enter(false);
            return;
        }
        const Element e = elementOf(name);
        if (e == Element::Other) { // most elements: nothing here acts on them
            m_skipped.enter(false);
            m_openElements.push_back(e);
            return;
        }
        bool skip = skipsSubtree(e, m_counter.rules().countsAllStories);
        if (skip && m_paragraphDepth > 0 && e == Element::Annotation && !m_hidden)
            m_counter.anchor(); // the comment is not counted, its place in the paragraph is
        if (e == Element::HiddenText && m_inText > 0 && m_paragraphDepth > 0)
            skip = hiddenTextField(a);
        if (m_skipped.enter(skip))
            return;
        m_openElements.push_back(e);
        m_styles.start(e, a);
        // A header or footer is counted also when turned off (style:display="false"): LibreOffice keeps and
        // counts its text.
        if (opensStory(e))
            ++m_inText;
        if (m_inText == 0)
            return;
        switch (e) {
        case Element::Frame:
            // A picture, chart or text frame set in the line like a character; one anchored to the
            // paragraph or page has no place in the text.
            if (m_paragraphDepth > 0 && a.value(kTextNs, "anchor-type"sv) == "as-char"sv && !m_hidden) {
                showLabel();
                m_counter.object();
            }
            break;
        case Element::TextBox:
            pushVisibility({}); // a text box's text is counted (or hidden) for itself
            break;
        case Element::Section: {
            // ODF, as LibreOffice counts it: a section is hidden when it says text:display="none", or when its
            // display depends on a condition and the file records it hidden (text:is-hidden) or the condition
            // is none LibreOffice can read; the condition is not evaluated again. Only the innermost section
            // decides: one shown inside a hidden one is counted.
            const std::string_view display = a.value(kTextNs, "display"sv);
            const bool hidden =
                display == "none"sv
                || (display == "condition"sv && (a.value(kTextNs, "is-hidden"sv) == "true"sv || !isOfficeCondition(a)));
            pushVisibility({hidden, current().style});
            break;
        }
        case Element::Span:
        case Element::Link: {
            const Visibility outer = current();
            pushVisibility({outer.section, m_styles.hides(OdfDisplayStyles::Text, a).value_or(outer.style)});
            break;
        }
        case Element::NoteBody:
            // A note's text is counted for itself, whether or not the text that cites it is hidden.
            pushVisibility({});
            break;
        case Element::List: {
            bool continues = false;
            (void)a.value(kTextNs, "continue-list"sv, &continues);
            m_lists.openList(a.value(kTextNs, "style-name"sv),
                             continues || a.value(kTextNs, "continue-numbering"sv) == "true"sv);
            break;
        }
        case Element::ListItem:
            m_lists.openItem(parseWholeNumber(a.value(kTextNs, "start-value"sv)));
            break;
        case Element::Paragraph:
            openParagraph(a);
            break;
        case Element::Blanks:
        case Element::Tab:
        case Element::LineBreak:
        case Element::HiddenParagraph:
            if (m_paragraphDepth > 0)
                paragraphElement(e, a);
            break;
        default:
            break;
        }
    }

    void endElement(const XmlName &name) override
    {
        if (m_skipped.leave())
            return;
        Element e;
        if (!m_openElements.empty()) {
            e = m_openElements.back();
            m_openElements.pop_back();
        } else {
            e = elementOf(name);
        }
        if (e == Element::Other)
            return;
        m_styles.end(e);
        if (opensStory(e)) {
            m_inText = qMax(0, m_inText - 1);
            return;
        }
        if (m_inText == 0)
            return;
        switch (e) {
        case Element::List:
            m_lists.closeList();
            break;
        case Element::TextBox:
        case Element::Section:
        case Element::Span:
        case Element::Link:
        case Element::NoteBody:
            popVisibility();
            break;
        case Element::Paragraph:
            if (m_paragraphDepth > 0) {
                --m_paragraphDepth;
                m_counter.closeParagraph();
                popVisibility();
                closeParagraph();
            }
            break;
        default:
            break;
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
        size_t from = 0;
        if (m_lastWasSpace) {
            while (from < text.size() && isXmlSpace(text[from]))
                ++from;
            if (from == text.size())
                return;
        }
        showLabel();
        m_lastWasSpace = m_counter.addUtf8CollapsingSpace(text.substr(from));
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
    void paragraphElement(Element e, const XmlAttributes &a)
    {
        if (m_hidden) {
            if (e == Element::HiddenParagraph)
                hiddenParagraphField(a);
            else
                m_lastWasSpace = true;
            return;
        }
        if (e == Element::Blanks) {
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
        } else if (e == Element::Tab || e == Element::LineBreak) {
            showLabel();
            m_counter.space();
            m_lastWasSpace = true;
        } else {
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

    // office:text, and a header or footer where the writer counts them.
    bool opensStory(Element e) const
    {
        return e == Element::Text || (e == Element::HeaderOrFooter && m_counter.rules().countsAllStories);
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
    std::vector<Element> m_openElements; // the elements open outside skipped subtrees, as told apart at their start
    int m_inText = 0;                    // inside office:text or a counted header or footer
    int m_paragraphDepth = 0;            // open text:p / text:h
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
