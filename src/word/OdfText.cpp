// The main text of an OpenDocument text: the paragraphs and headings of office:text in content.xml.
#include "word/Errors.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/XmlStream.h"
#include "word/ZipArchive.h"
#include <charconv>

namespace word {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kTextNs = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"sv;
constexpr std::string_view kOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"sv;
constexpr std::string_view kSvgNs = "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"sv;

// Not the main story: comments, notes, the deleted text kept for tracked changes, and the titles and
// descriptions of pictures.
bool skipsSubtree(const XmlName &e)
{
    const std::string_view n = e.local;
    if (e.ns == kOfficeNs)
        return n == "annotation"sv;
    if (e.ns == kTextNs)
        return n == "note"sv || n == "tracked-changes"sv;
    if (e.ns == kSvgNs)
        return n == "title"sv || n == "desc"sv;
    return false;
}

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

class OdfHandler : public XmlHandler {
public:
    explicit OdfHandler(TextCounter &counter) : m_counter(counter) {}

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        if (m_skipped.enter(skipsSubtree(e)))
            return;
        const std::string_view n = e.local;
        if (e.is(kOfficeNs, "text"sv))
            m_inText = true;
        if (!m_inText || e.ns != kTextNs)
            return;
        if (n == "p"sv || n == "h"sv) {
            ++m_paragraphDepth;
            m_counter.openParagraph();
            m_lastWasSpace = true;
        } else if (m_paragraphDepth > 0) {
            if (n == "s"sv) {
                // text:s stands for c blanks (one by default); all of them together are bounded so that
                // hostile counts cannot keep the reader spinning.
                const qint64 c = statedBlanks(a);
                m_blanksStated += c;
                if (c > limits::kMaxPartBytes || m_blanksStated > limits::kMaxPartBytes)
                    throw DamagedContent(QStringLiteral("its part content.xml states more blanks than it could hold"));
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
        if (e.is(kOfficeNs, "text"sv))
            m_inText = false;
        else if (m_inText && e.ns == kTextNs && (n == "p"sv || n == "h"sv) && m_paragraphDepth > 0) {
            --m_paragraphDepth;
            m_counter.closeParagraph();
            m_lastWasSpace = true;
        }
    }

    // White space in the XML collapses to one blank, none at a paragraph's start; everything between
    // goes to the counter as it is.
    void characters(std::string_view text) override
    {
        if (!m_inText || m_paragraphDepth == 0 || m_skipped.inside())
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
    TextCounter &m_counter;
    SkippedSubtree m_skipped;
    bool m_inText = false;      // inside office:text
    int m_paragraphDepth = 0;   // open text:p / text:h
    bool m_lastWasSpace = true;
    qint64 m_blanksStated = 0;  // blanks that text:s elements stand for, all together
};

} // namespace

void countOdfText(const ZipArchive &zip, TextCounter &counter)
{
    const QString partName = QStringLiteral("content.xml");
    const auto index = zip.find(partName);
    if (!index)
        throw DamagedContent(QStringLiteral("its part content.xml is missing"));
    OdfHandler handler(counter);
    XmlParser parser(partName, handler);
    streamZipPart(zip, *index, limits::kMaxPartBytes, parser);
}

} // namespace word
