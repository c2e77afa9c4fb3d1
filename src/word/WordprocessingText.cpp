// The main text of Office Open XML (word/document.xml) and Word 2003 XML documents, which share their
// vocabulary: paragraphs w:p, text w:t, tabs and breaks inside runs.
#include "word/Errors.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/XmlStream.h"
#include "word/ZipArchive.h"
#include <charconv>

namespace word {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"sv;
constexpr std::string_view kStrictWordNs = "http://purl.oclc.org/ooxml/wordprocessingml/main"sv;
constexpr std::string_view kWord2003Ns = "http://schemas.microsoft.com/office/word/2003/wordml"sv;
constexpr std::string_view kCompatibilityNs = "http://schemas.openxmlformats.org/markup-compatibility/2006"sv;
constexpr std::string_view kAmlNs = "http://schemas.microsoft.com/aml/2001/core"sv;

bool isWordNamespace(std::string_view ns) { return ns == kWordNs || ns == kStrictWordNs || ns == kWord2003Ns; }

// Subtrees outside the main story or not part of the text: notes and headers written inline (Word 2003
// XML), text moved away in a tracked change, and the fallback copy of content given twice for older
// readers (a text box's text appears in both the choice and the fallback).
bool skipsSubtree(const XmlName &e, const XmlAttributes &a)
{
    const std::string_view name = e.local;
    if (e.ns == kCompatibilityNs)
        return name == "Fallback"sv;
    if (e.is(kAmlNs, "annotation"sv))
        return a.value(kWord2003Ns, "type"sv) == "Word.Comment"sv;
    if (!isWordNamespace(e.ns))
        return false;
    return name == "footnote"sv || name == "endnote"sv || name == "hdr"sv || name == "ftr"sv || name == "moveFrom"sv;
}

// The character a w:sym stands for (a symbol font's code, usually in the private use area).
char16_t symbolCharacter(const XmlAttributes &a)
{
    for (int i = 0; i < a.count(); ++i)
        if (a.nameAt(i).local == "char"sv) {
            std::string_view v = a.valueAt(i);
            // Blanks around the digits are allowed, and so is a 0x in front, as a number in text would be.
            while (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\n' || v.front() == '\r'))
                v.remove_prefix(1);
            while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\n' || v.back() == '\r'))
                v.remove_suffix(1);
            if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X'))
                v.remove_prefix(2);
            unsigned v32 = 0;
            const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), v32, 16);
            if (error == std::errc() && end == v.data() + v.size() && !v.empty() && v32 > 0x20 && v32 <= 0xFFFF)
                return static_cast<char16_t>(v32);
        }
    return u'\uF000';
}

class WordprocessingHandler : public XmlHandler {
public:
    explicit WordprocessingHandler(TextCounter &counter) : m_counter(counter) {}

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        const bool skip = m_skipped.enter(skipsSubtree(e, a));
        const bool inRun = !m_runs.empty() && m_runs.back();
        const bool word = isWordNamespace(e.ns);
        const std::string_view n = e.local;
        m_runs.push_back(word && n == "r"sv);
        if (skip || !word)
            return;
        if (n == "body"sv)
            m_inBody = true;
        if (!m_inBody)
            return;
        if (n == "p"sv)
            m_counter.openParagraph();
        else if (n == "t"sv)
            m_inText = true;
        else if (inRun) {
            // Tabs and breaks count only inside runs: w:tab also defines tab stops in paragraph properties.
            if (n == "tab"sv || n == "ptab"sv || n == "br"sv || n == "cr"sv)
                m_counter.space();
            else if (n == "noBreakHyphen"sv)
                m_counter.add(u'\u2011');
            else if (n == "sym"sv)
                m_counter.add(symbolCharacter(a));
        }
    }

    void endElement(const XmlName &e) override
    {
        const bool wasSkipped = m_skipped.leave();
        if (!m_runs.empty())
            m_runs.pop_back();
        if (wasSkipped || !isWordNamespace(e.ns))
            return;
        const std::string_view n = e.local;
        if (n == "t"sv)
            m_inText = false;
        else if (n == "p"sv && m_inBody)
            m_counter.closeParagraph();
        else if (n == "body"sv)
            m_inBody = false;
    }

    void characters(std::string_view text) override
    {
        if (m_inText && m_inBody && !m_skipped.inside())
            m_counter.addUtf8(text);
    }

private:
    TextCounter &m_counter;
    SkippedSubtree m_skipped;
    bool m_inBody = false;
    bool m_inText = false;    // inside w:t
    std::vector<bool> m_runs; // per open element: whether it is a run (w:r)
};

} // namespace

void countOoxmlText(const ZipArchive &zip, const QString &mainPart, TextCounter &counter)
{
    const auto index = zip.find(mainPart);
    if (!index)
        throw DamagedContent(QStringLiteral("its main document part %1 is missing").arg(mainPart));
    WordprocessingHandler handler(counter);
    XmlParser parser(mainPart, handler);
    streamZipPart(zip, *index, limits::kMaxPartBytes, parser);
}

void countWordXmlText(const FileContent &content, TextCounter &counter)
{
    WordprocessingHandler handler(counter);
    XmlParser parser(QStringLiteral("the document"), handler);
    if (content.headIsWhole)
        parser.parse(content.head);
    else
        streamFile(content.file, limits::kMaxPartBytes, parser);
}

} // namespace word
