// The main text of Office Open XML (word/document.xml) and Word 2003 XML documents, which share their
// vocabulary: paragraphs w:p, text w:t, tabs and breaks inside runs.
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/OoxmlTextParts.h"
#include "word/XmlFields.h"
#include "word/XmlStream.h"
#include "word/ZipArchive.h"

namespace word {

namespace {

const QLatin1String kDrawingNs("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");

bool isWordNamespace(QStringView ns)
{
    return ns == QLatin1String("http://schemas.openxmlformats.org/wordprocessingml/2006/main") ||
           ns == QLatin1String("http://purl.oclc.org/ooxml/wordprocessingml/main") ||
           ns == QLatin1String("http://schemas.microsoft.com/office/word/2003/wordml");
}

// Subtrees outside the main story or not part of the text: notes and headers written inline (Word 2003
// XML), text moved away in a tracked change, and the fallback copy of content given twice for older
// readers (a text box's text appears in both the choice and the fallback).
// `storyPart`: a header, footer or notes part is being counted, whose own root is one of those.
bool skipsSubtree(const QXmlStreamReader &r, bool storyPart)
{
    const QStringView name = r.name();
    if (r.namespaceUri() == QLatin1String("http://schemas.openxmlformats.org/markup-compatibility/2006"))
        return name == QLatin1String("Fallback");
    if (r.namespaceUri() == QLatin1String("http://schemas.microsoft.com/aml/2001/core") &&
        name == QLatin1String("annotation"))
        return r.attributes().value(QLatin1String("http://schemas.microsoft.com/office/word/2003/wordml"),
                                    QLatin1String("type")) == QLatin1String("Word.Comment");
    if (!isWordNamespace(r.namespaceUri()))
        return false;
    if (name == QLatin1String("moveFrom"))
        return true;
    return !storyPart && (name == QLatin1String("footnote") || name == QLatin1String("endnote") || name == QLatin1String("hdr") ||
           name == QLatin1String("ftr"));
}

// The character a w:sym stands for (a symbol font's code, usually in the private use area).
char16_t symbolCharacter(const QXmlStreamReader &r)
{
    for (const QXmlStreamAttribute &a : r.attributes())
        if (a.name() == QLatin1String("char")) {
            bool ok = false;
            const uint v = a.value().toUInt(&ok, 16);
            if (ok && v > 0x20 && v <= 0xFFFF)
                return static_cast<char16_t>(v);
        }
    return u'\uF000';
}

bool isOn(const QXmlStreamReader &r)
{
    for (const QXmlStreamAttribute &a : r.attributes())
        if (a.name() == QLatin1String("val"))
            return a.value() != QLatin1String("0") && a.value() != QLatin1String("false") && a.value() != QLatin1String("off");
    return true;
}

QString valueOf(const QXmlStreamReader &r)
{
    for (const QXmlStreamAttribute &a : r.attributes())
        if (a.name() == QLatin1String("val"))
            return a.value().toString();
    return QString();
}

// A paragraph being read: what its properties say about its numbering, until its label is counted.
struct OpenParagraph {
    bool labelDue = true;
    QString style;
    std::optional<int> numId;
    std::optional<int> level;
};

// Counts one story (the body, or a header, footer or notes part): the Word rules for what is text.
class WordprocessingScan {
public:
    WordprocessingScan(TextCounter &counter, WordListNumbering *numbering, bool wholePart)
        : m_counter(counter), m_numbering(numbering), m_storyPart(wholePart), m_inBody(wholePart)
    {
    }

    void start(const QXmlStreamReader &r)
    {
        const bool skip = m_skipped.enter(skipsSubtree(r, m_storyPart));
        if (!skip && m_inBody && r.namespaceUri() == kDrawingNs && !m_path.empty() && m_path.back().kind == Kind::Drawing) {
            // A DrawingML picture, chart or shape: Word counts it wherever it is anchored; the office
            // suites only when it sits in the line (wp:inline), as a character would.
            if (r.name() == QLatin1String("inline") ||
                (r.name() == QLatin1String("anchor") && m_counter.rules().objectIsCharacter))
                m_counter.object();
        }
        const bool word = isWordNamespace(r.namespaceUri());
        const QStringView n = r.name();
        const Kind parent = m_path.empty() ? Kind::Other : m_path.back().kind;
        const bool inRun = parent == Kind::Run;
        const bool hiddenRun = !m_path.empty() && m_path.back().hidden;
        m_path.push_back({word ? kindOf(n) : Kind::Other, hiddenRun});
        if (skip || !word)
            return;
        if (n == QLatin1String("body"))
            m_inBody = true;
        if (!m_inBody)
            return;
        if (n == QLatin1String("p")) {
            m_counter.openParagraph();
            m_paragraphs.push_back({});
            return;
        }
        // Word: run properties saying w:vanish hide the run's text, which Word leaves out of its counts.
        if (n == QLatin1String("vanish") && parent == Kind::RunProperties && m_path.size() >= 3 &&
            m_path[m_path.size() - 3].kind == Kind::Run && isOn(r)) {
            m_path[m_path.size() - 3].hidden = true;
            return;
        }
        if (!m_paragraphs.empty() && m_paragraphs.back().labelDue) {
            OpenParagraph &p = m_paragraphs.back();
            if (parent == Kind::ParagraphProperties && n == QLatin1String("pStyle"))
                p.style = valueOf(r);
            else if (parent == Kind::NumberingProperties && n == QLatin1String("numId"))
                p.numId = int(qBound<qint64>(0, parseWholeNumber(valueOf(r)).value_or(0), qint64(0x7FFFFFFF)));
            else if (parent == Kind::NumberingProperties && n == QLatin1String("ilvl"))
                p.level = int(qBound<qint64>(0, parseWholeNumber(valueOf(r)).value_or(0), qint64(8)));
            else if (parent == Kind::Paragraph && n != QLatin1String("pPr"))
                countLabel();
        }
        if (hiddenRun)
            return;
        if (n == QLatin1String("t"))
            m_inText = true;
        else if (n == QLatin1String("fldSimple"))
            m_counter.field();
        else if (inRun) {
            // Tabs and breaks count only inside runs: w:tab also defines tab stops in paragraph properties.
            if (n == QLatin1String("tab") || n == QLatin1String("ptab") || n == QLatin1String("br") ||
                n == QLatin1String("cr"))
                m_counter.space();
            else if (n == QLatin1String("noBreakHyphen"))
                m_counter.add(u'\u2011');
            else if (n == QLatin1String("softHyphen"))
                m_counter.softHyphen();
            else if (n == QLatin1String("sym"))
                m_counter.add(symbolCharacter(r));
            else if (n == QLatin1String("pict") || n == QLatin1String("object"))
                m_counter.object(); // a VML picture, shape or embedded object in the text
            else if (n == QLatin1String("commentReference"))
                m_counter.anchor();
            else if (n == QLatin1String("fldChar") && r.attributes().value(r.namespaceUri().toString(), QLatin1String("fldCharType")) == QLatin1String("begin"))
                m_counter.field();
            else if (m_notesCounted && (n == QLatin1String("footnoteReference") || n == QLatin1String("endnoteReference")))
                m_counter.add(QString::number(++m_noteReferences[n == QLatin1String("endnoteReference")]));
            else if (m_notesCounted && (n == QLatin1String("footnoteRef") || n == QLatin1String("endnoteRef")))
                m_counter.add(QString::number(++m_noteMarks[n == QLatin1String("endnoteRef")]));
        }
    }

    void end(const QXmlStreamReader &r)
    {
        const bool wasSkipped = m_skipped.leave();
        if (!m_path.empty())
            m_path.pop_back();
        if (wasSkipped || !isWordNamespace(r.namespaceUri()))
            return;
        const QStringView n = r.name();
        if (n == QLatin1String("t")) {
            m_inText = false;
        } else if (n == QLatin1String("p") && m_inBody) {
            if (!m_paragraphs.empty()) {
                countLabel();
                m_paragraphs.pop_back();
            }
            m_counter.closeParagraph();
        } else if (n == QLatin1String("body")) {
            m_inBody = false;
        }
    }

    void text(const QXmlStreamReader &r)
    {
        if (m_inText && m_inBody && !m_skipped.inside() && !(!m_path.empty() && m_path.back().hidden))
            m_counter.add(r.text());
    }

    // Notes are numbered in the body's references and again in front of each note's text.
    void countNoteNumbers(bool on) { m_notesCounted = on; }

private:
    // The Word elements whose children matter here.
    enum class Kind : unsigned char { Other, Paragraph, ParagraphProperties, NumberingProperties, Run, RunProperties, Drawing };
    static Kind kindOf(QStringView n)
    {
        if (n == QLatin1String("r"))
            return Kind::Run;
        if (n == QLatin1String("p"))
            return Kind::Paragraph;
        if (n == QLatin1String("rPr"))
            return Kind::RunProperties;
        if (n == QLatin1String("pPr"))
            return Kind::ParagraphProperties;
        if (n == QLatin1String("numPr"))
            return Kind::NumberingProperties;
        if (n == QLatin1String("drawing"))
            return Kind::Drawing;
        return Kind::Other;
    }
    struct Element {
        Kind kind = Kind::Other;
        bool hidden = false; // inside a hidden run
    };

    // Word: a numbered paragraph's generated label counts as text of the paragraph.
    void countLabel()
    {
        OpenParagraph &p = m_paragraphs.back();
        if (!p.labelDue)
            return;
        p.labelDue = false;
        if (m_numbering)
            m_counter.label(m_numbering->nextLabel(p.style, p.numId, p.level));
    }

    TextCounter &m_counter;
    WordListNumbering *m_numbering;
    SkippedSubtree m_skipped;
    bool m_storyPart;
    bool m_inBody;
    bool m_inText = false;
    bool m_notesCounted = false;
    qint64 m_noteReferences[2] = {0, 0};
    qint64 m_noteMarks[2] = {0, 0};
    std::vector<Element> m_path;
    std::vector<OpenParagraph> m_paragraphs;
};

} // namespace

void countOoxmlText(const ZipArchive &zip, const QString &mainPart, TextCounter &counter)
{
    const auto index = zip.find(mainPart);
    if (!index)
        throw DamagedContent(QStringLiteral("its main document part %1 is missing").arg(mainPart));
    const QByteArray xml = zip.read(*index, limits::kMaxPartBytes);
    // Only a text that numbers paragraphs, itself or through their styles, needs the definitions.
    const bool direct = xml.contains("numPr");
    const bool mayBeNumbered = direct || xml.contains("pStyle");
    const OoxmlTextParts parts = mayBeNumbered || counter.rules().countsAllStories ? readOoxmlTextParts(zip, mainPart)
                                                                                   : OoxmlTextParts{};
    std::optional<WordListNumbering> numbering;
    try {
        if (mayBeNumbered)
            numbering = readWordListNumbering(zip, parts, direct);
    } catch (const DamagedContent &e) {
        noteSkipped(QStringLiteral("its list numbering cannot be read (%1); list numbers are not counted").arg(e.detail()));
    }
    WordprocessingScan body(counter, numbering ? &*numbering : nullptr, false);
    body.countNoteNumbers(counter.rules().countsAllStories);
    scanXml(xml, mainPart, body);
    if (!counter.rules().countsAllStories)
        return;
    // The office suites count headers, footers and notes as well.
    qint64 budget = limits::kMaxOtherStoryBytes;
    int stories = 0;
    for (const QString &part : parts.otherStories) {
        const auto story = zip.find(part);
        if (!story)
            continue;
        if (++stories > limits::kMaxOtherStories || budget <= 0) {
            noteSkipped(QStringLiteral("it has more headers, footers and notes than are counted; the rest are left out"));
            return;
        }
        const QByteArray storyXml = zip.read(*story, qMin(budget, limits::kMaxPartBytes));
        budget -= storyXml.size();
        WordprocessingScan scan(counter, numbering ? &*numbering : nullptr, true);
        scan.countNoteNumbers(true);
        scanXml(storyXml, part, scan);
    }
}

void countWordXmlText(const QByteArray &xml, TextCounter &counter)
{
    WordprocessingScan scan(counter, nullptr, false);
    scanXml(xml, QStringLiteral("the document"), scan);
}

} // namespace word
