// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main text of Office Open XML (word/document.xml) and Word 2003 XML documents, which share their
// vocabulary: paragraphs w:p, text w:t, tabs and breaks inside runs.
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/MainText.h"
#include "word/ooxml/OoxmlTextParts.h"
#include "word/ooxml/WordprocessingVocabulary.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlFields.h"
#include "word/toolkit/XmlStream.h"
#include "word/toolkit/ZipArchive.h"
#include <charconv>
#include <functional>
#include <optional>

namespace word {

namespace {

using namespace std::string_view_literals;
using namespace wordml;

// A paragraph being read: what its properties say about its numbering, until its label is counted, and
// whether its style hides its runs (looked up at its first run).
struct OpenParagraph {
    bool labelDue = true;
    std::optional<bool> styleHidesRuns;
    QString style;
    std::optional<int> numId;
    std::optional<int> level;
};

// Counts one story (the body, or a header, footer or notes part): the Word rules for what is text.
class WordprocessingHandler : public XmlHandler {
public:
    // `numbering` gives the list definitions when a paragraph first needs them, `styles` which styles hide
    // their text when the first run needs it (null: none).
    WordprocessingHandler(TextCounter &counter, std::function<WordListNumbering *()> numbering,
                          std::function<const WordStyleVisibility *()> styles, bool storyPart)
        : m_counter(counter), m_numbering(std::move(numbering)), m_styles(std::move(styles)), m_storyPart(storyPart),
          m_inBody(storyPart)
    {
    }

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        const bool word = isWordNamespace(e.ns);
        const bool skip = m_skipped.enter(skipsSubtree(e, a, word, m_storyPart));
        if (!skip && m_inBody && e.ns == kDrawingNs && !m_path.empty() && m_path.back().kind == Kind::Drawing)
            countDrawing(e.local);
        const std::string_view n = e.local;
        const Kind parent = m_path.empty() ? Kind::Other : m_path.back().kind;
        const bool hiddenRun = !m_path.empty() && m_path.back().hidden;
        m_path.push_back({word ? kindOf(n) : Kind::Other, hiddenRun, word});
        // Word 2003 XML: Word writes each numbered paragraph's label as it showed it (wx:t in w:listPr), and
        // counts it as text of the paragraph.
        if (!skip && m_inBody && parent == Kind::ListProperties && e.is(kAuxHintNs, "t"sv)) {
            const std::string_view label = a.value(kAuxHintNs, "val"sv);
            m_counter.label(QString::fromUtf8(label.data(), qsizetype(label.size())));
        }
        if (skip || !word)
            return;
        if (n == "body"sv)
            m_inBody = true;
        if (!m_inBody)
            return;
        if (n == "p"sv) {
            m_counter.openParagraph();
            m_paragraphs.push_back({});
            return;
        }
        if (n == "r"sv && m_styles)
            if (const auto hides = runHiddenByStyles())
                m_path.back().hidden = *hides;
        if ((n == "vanish"sv || n == "rStyle"sv) && parent == Kind::RunProperties && m_path.size() >= 3
            && m_path[m_path.size() - 3].kind == Kind::Run) {
            readRunVisibility(n, a, m_path[m_path.size() - 3].hidden);
            return;
        }
        if (!m_paragraphs.empty() && m_paragraphs.back().labelDue)
            readParagraphNumbering(parent, n, a);
        if (hiddenRun)
            return;
        if (n == "t"sv)
            m_inText = true;
        else if (n == "fldSimple"sv)
            m_counter.field();
        else if (parent == Kind::Run)
            countRunElement(e, a);
    }

    void endElement(const XmlName &e) override
    {
        const bool wasSkipped = m_skipped.leave();
        // Every element has its entry, pushed at its start.
        const bool word = !m_path.empty() && m_path.back().word;
        if (!m_path.empty())
            m_path.pop_back();
        if (wasSkipped || !word)
            return;
        const std::string_view n = e.local;
        if (n == "t"sv) {
            m_inText = false;
        } else if (n == "p"sv && m_inBody) {
            if (!m_paragraphs.empty()) {
                countLabel();
                m_paragraphs.pop_back();
            }
            m_counter.closeParagraph();
        } else if (n == "body"sv) {
            m_inBody = false;
        }
    }

    void characters(std::string_view text) override
    {
        if (m_inText && m_inBody && !m_skipped.inside() && !(!m_path.empty() && m_path.back().hidden))
            m_counter.addUtf8(text);
    }

    // Notes are numbered in the body's references and again in front of each note's text.
    void countNoteNumbers(bool on) { m_notesCounted = on; }

private:
    // The Word elements whose children matter here.
    enum class Kind : unsigned char {
        Other,
        Paragraph,
        ParagraphProperties,
        NumberingProperties,
        ListProperties, // Word 2003 XML's w:listPr
        Run,
        RunProperties,
        Drawing
    };
    static Kind kindOf(std::string_view n)
    {
        if (n == "r"sv)
            return Kind::Run;
        if (n == "p"sv)
            return Kind::Paragraph;
        if (n == "rPr"sv)
            return Kind::RunProperties;
        if (n == "pPr"sv)
            return Kind::ParagraphProperties;
        if (n == "numPr"sv)
            return Kind::NumberingProperties;
        if (n == "listPr"sv)
            return Kind::ListProperties;
        if (n == "drawing"sv)
            return Kind::Drawing;
        return Kind::Other;
    }
    struct Element {
        Kind kind = Kind::Other;
        bool hidden = false; // inside a hidden run
        bool word = false;   // in the main vocabulary's namespace
    };

    // Word: a numbered paragraph's generated label counts as text of the paragraph.
    void countLabel()
    {
        OpenParagraph &p = m_paragraphs.back();
        if (!p.labelDue)
            return;
        p.labelDue = false;
        if (!p.numId && p.style.isEmpty())
            return; // neither numbered itself nor by a style
        if (WordListNumbering *numbering = m_numbering ? m_numbering() : nullptr)
            m_counter.label(numbering->nextLabel(p.style, p.numId, p.level));
    }

    // A DrawingML picture, chart or shape: Word counts it wherever it is anchored; the office suites only
    // when it sits in the line (wp:inline), as a character would.
    void countDrawing(std::string_view n)
    {
        if (n == "inline"sv || (n == "anchor"sv && m_counter.rules().objectIsCharacter))
            m_counter.object();
    }

    // Word leaves hidden text out of its counts: a run is hidden by its own w:vanish (on or off), else by
    // its character style (w:rStyle), else by its paragraph's style. This is the paragraph style's part;
    // nullopt when no style hides anything.
    std::optional<bool> runHiddenByStyles()
    {
        const WordStyleVisibility *styles = m_styles();
        if (!styles)
            return std::nullopt;
        if (m_paragraphs.empty())
            return styles->paragraphHides(QString());
        OpenParagraph &p = m_paragraphs.back();
        if (!p.styleHidesRuns)
            p.styleHidesRuns = styles->paragraphHides(p.style);
        return *p.styleHidesRuns;
    }

    // The run's own w:vanish or its character style, in its run properties.
    void readRunVisibility(std::string_view n, const XmlAttributes &a, bool &hidden)
    {
        if (n == "vanish"sv) {
            hidden = isOn(a);
        } else if (const WordStyleVisibility *styles = m_styles ? m_styles() : nullptr) {
            if (const auto hides = styles->styleHides(valueOf(a)))
                hidden = *hides;
        }
    }

    // The style and numbering of a paragraph whose label is still due; its first content counts the label.
    void readParagraphNumbering(Kind parent, std::string_view n, const XmlAttributes &a)
    {
        OpenParagraph &p = m_paragraphs.back();
        if (parent == Kind::ParagraphProperties && n == "pStyle"sv)
            p.style = valueOf(a);
        else if (parent == Kind::NumberingProperties && n == "numId"sv)
            p.numId = int(qBound<qint64>(0, parseWholeNumber(valueOf(a)).value_or(0), qint64(0x7FFFFFFF)));
        else if (parent == Kind::NumberingProperties && n == "ilvl"sv)
            p.level = int(qBound<qint64>(0, parseWholeNumber(valueOf(a)).value_or(0), qint64(8)));
        else if (parent == Kind::Paragraph && n != "pPr"sv)
            countLabel();
    }

    // What a visible run holds besides its text. Tabs and breaks count only here: w:tab also defines tab
    // stops in paragraph properties.
    void countRunElement(const XmlName &e, const XmlAttributes &a)
    {
        const std::string_view n = e.local;
        if (n == "tab"sv || n == "ptab"sv || n == "br"sv || n == "cr"sv)
            m_counter.space();
        else if (n == "noBreakHyphen"sv)
            m_counter.add(u'\u2011');
        else if (n == "softHyphen"sv)
            m_counter.softHyphen();
        else if (n == "sym"sv)
            m_counter.add(symbolCharacter(a));
        else if (n == "pict"sv || n == "object"sv)
            m_counter.object(); // a VML picture, shape or embedded object in the text
        else if (n == "commentReference"sv)
            m_counter.anchor();
        else if (n == "fldChar"sv && a.value(e.ns, "fldCharType"sv) == "begin"sv)
            m_counter.field();
        else if (m_notesCounted && (n == "footnoteReference"sv || n == "endnoteReference"sv))
            m_counter.add(QString::number(++m_noteReferences[n == "endnoteReference"sv]));
        else if (m_notesCounted && (n == "footnoteRef"sv || n == "endnoteRef"sv))
            m_counter.add(QString::number(++m_noteMarks[n == "endnoteRef"sv]));
    }

    TextCounter &m_counter;
    std::function<WordListNumbering *()> m_numbering;
    std::function<const WordStyleVisibility *()> m_styles;
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

namespace {

// The definitions a package's text is counted with, each read once, when the text first needs it: the
// styles part serves both the list numbering and the hidden text. A damaged definition part leaves its
// rule out with a note; the text is counted all the same.
class OoxmlDefinitions {
public:
    OoxmlDefinitions(const ZipArchive &zip, const OoxmlTextParts &parts) : m_zip(zip), m_parts(parts) {}

    WordListNumbering *numbering()
    {
        if (!m_numberingRead) {
            m_numberingRead = true;
            try {
                m_numbering = readWordListNumbering(m_zip, m_parts,
                                                    m_parts.numbering.isEmpty() ? QByteArray() : styleBytes(), true);
            } catch (const DamagedContent &e) {
                noteSkipped(QStringLiteral("its list numbering cannot be read (%1); list numbers are not counted")
                                .arg(e.detail()));
            }
        }
        return m_numbering ? &*m_numbering : nullptr;
    }

    // Null when no style hides anything.
    const WordStyleVisibility *visibility()
    {
        if (!m_visibilityRead) {
            m_visibilityRead = true;
            try {
                m_visibility = readWordStyleVisibility(m_parts, styleBytes());
            } catch (const DamagedContent &e) {
                noteSkipped(
                    QStringLiteral("its styles cannot be read (%1); text they hide is counted").arg(e.detail()));
            }
        }
        return m_visibility && m_visibility->hidesAnything() ? &*m_visibility : nullptr;
    }

    WordprocessingHandler handler(TextCounter &counter, bool storyPart)
    {
        return WordprocessingHandler(
            counter, [this] { return numbering(); }, [this] { return visibility(); }, storyPart);
    }

private:
    const QByteArray &styleBytes()
    {
        if (!m_styles)
            m_styles = readOoxmlStylesPart(m_zip, m_parts);
        return *m_styles;
    }

    const ZipArchive &m_zip;
    const OoxmlTextParts &m_parts;
    std::optional<QByteArray> m_styles;
    std::optional<WordListNumbering> m_numbering;
    bool m_numberingRead = false;
    std::optional<WordStyleVisibility> m_visibility;
    bool m_visibilityRead = false;
};

} // namespace

void countOoxmlText(const ZipArchive &zip, const QString &mainPart, TextCounter &counter)
{
    const auto index = zip.find(mainPart);
    if (!index)
        throw DamagedContent(QStringLiteral("its main document part %1 is missing").arg(mainPart));
    const OoxmlTextParts parts = readOoxmlTextParts(zip, mainPart);
    OoxmlDefinitions definitions(zip, parts);
    WordprocessingHandler body = definitions.handler(counter, false);
    body.countNoteNumbers(counter.rules().countsAllStories);
    XmlParser parser(mainPart, body);
    streamZipPart(zip, *index, limits::kMaxPartBytes, parser);
    if (!counter.rules().countsAllStories)
        return;
    // The office suites count headers, footers and notes as well.
    int stories = 0;
    for (const QString &part : parts.otherStories) {
        const auto story = zip.find(part);
        if (!story)
            continue;
        if (++stories > limits::kMaxOtherStories) {
            noteSkipped(
                QStringLiteral("it has more headers, footers and notes than are counted; the rest are left out"));
            return;
        }
        WordprocessingHandler scan = definitions.handler(counter, true);
        scan.countNoteNumbers(true);
        XmlParser storyParser(part, scan);
        streamZipPart(zip, *story, limits::kMaxPartBytes, storyParser);
    }
}

void countWordXmlText(const FileContent &content, TextCounter &counter)
{
    WordprocessingHandler handler(counter, nullptr, nullptr, false);
    XmlParser parser(QStringLiteral("the document"), handler);
    if (content.headIsWhole)
        parser.parse(content.head);
    else
        streamFile(content.file, limits::kMaxPartBytes, parser);
}

} // namespace word
