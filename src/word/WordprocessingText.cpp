// The main text of Office Open XML (word/document.xml) and Word 2003 XML documents, which share their
// vocabulary: paragraphs w:p, text w:t, tabs and breaks inside runs.
#include "word/Errors.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/XmlStream.h"
#include "word/ZipArchive.h"

namespace word {

namespace {

bool isWordNamespace(QStringView ns)
{
    return ns == QLatin1String("http://schemas.openxmlformats.org/wordprocessingml/2006/main") ||
           ns == QLatin1String("http://purl.oclc.org/ooxml/wordprocessingml/main") ||
           ns == QLatin1String("http://schemas.microsoft.com/office/word/2003/wordml");
}

// Subtrees outside the main story or not part of the text: notes and headers written inline (Word 2003
// XML), text moved away in a tracked change, and the fallback copy of content given twice for older
// readers (a text box's text appears in both the choice and the fallback).
bool skipsSubtree(const QXmlStreamReader &r)
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
    return name == QLatin1String("footnote") || name == QLatin1String("endnote") || name == QLatin1String("hdr") ||
           name == QLatin1String("ftr") || name == QLatin1String("moveFrom");
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

void countWordprocessingXml(const QByteArray &xml, const QString &partName, TextCounter &counter)
{
    SkippedSubtree skipped;
    bool inBody = false;
    bool inText = false;    // inside w:t
    std::vector<bool> runs; // per open element: whether it is a run (w:r)
    streamXml(xml, partName, [&](const QXmlStreamReader &r) {
        switch (r.tokenType()) {
        case QXmlStreamReader::StartElement: {
            const bool skip = skipped.enter(skipsSubtree(r));
            const bool inRun = !runs.empty() && runs.back();
            const bool word = isWordNamespace(r.namespaceUri());
            const QStringView n = r.name();
            runs.push_back(word && n == QLatin1String("r"));
            if (skip || !word)
                return;
            if (n == QLatin1String("body"))
                inBody = true;
            if (!inBody)
                return;
            if (n == QLatin1String("p"))
                counter.openParagraph();
            else if (n == QLatin1String("t"))
                inText = true;
            else if (inRun) {
                // Tabs and breaks count only inside runs: w:tab also defines tab stops in paragraph properties.
                if (n == QLatin1String("tab") || n == QLatin1String("ptab") || n == QLatin1String("br") ||
                    n == QLatin1String("cr"))
                    counter.space();
                else if (n == QLatin1String("noBreakHyphen"))
                    counter.add(u'\u2011');
                else if (n == QLatin1String("sym"))
                    counter.add(symbolCharacter(r));
            }
            return;
        }
        case QXmlStreamReader::EndElement: {
            const bool wasSkipped = skipped.leave();
            if (!runs.empty())
                runs.pop_back();
            if (wasSkipped || !isWordNamespace(r.namespaceUri()))
                return;
            const QStringView n = r.name();
            if (n == QLatin1String("t"))
                inText = false;
            else if (n == QLatin1String("p") && inBody)
                counter.closeParagraph();
            else if (n == QLatin1String("body"))
                inBody = false;
            return;
        }
        case QXmlStreamReader::Characters:
            if (inText && inBody && !skipped.inside())
                counter.add(r.text());
            return;
        default:
            return;
        }
    });
}

} // namespace

void countOoxmlText(const ZipArchive &zip, const QString &mainPart, TextCounter &counter)
{
    const auto index = zip.find(mainPart);
    if (!index)
        throw DamagedContent(QStringLiteral("its main document part %1 is missing").arg(mainPart));
    countWordprocessingXml(zip.read(*index, limits::kMaxPartBytes), mainPart, counter);
}

void countWordXmlText(const QByteArray &xml, TextCounter &counter)
{
    countWordprocessingXml(xml, QStringLiteral("the document"), counter);
}

} // namespace word
