// The main text of an OpenDocument text: the paragraphs and headings of office:text in content.xml.
#include "word/Errors.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/XmlStream.h"
#include "word/ZipArchive.h"

namespace word {

namespace {

const QLatin1String kTextNs("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QLatin1String kOfficeNs("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QLatin1String kSvgNs("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");

// Not the main story: comments, notes, the deleted text kept for tracked changes, and the titles and
// descriptions of pictures.
bool skipsSubtree(const QXmlStreamReader &r)
{
    const QStringView ns = r.namespaceUri();
    const QStringView n = r.name();
    if (ns == kOfficeNs)
        return n == QLatin1String("annotation");
    if (ns == kTextNs)
        return n == QLatin1String("note") || n == QLatin1String("tracked-changes");
    if (ns == kSvgNs)
        return n == QLatin1String("title") || n == QLatin1String("desc");
    return false;
}

} // namespace

void countOdfText(const ZipArchive &zip, TextCounter &counter)
{
    const QString partName = QStringLiteral("content.xml");
    const auto index = zip.find(partName);
    if (!index)
        throw DamagedContent(QStringLiteral("its part content.xml is missing"));
    const QByteArray xml = zip.read(*index, limits::kMaxPartBytes);

    SkippedSubtree skipped;
    bool inText = false;      // inside office:text
    int paragraphDepth = 0;   // open text:p / text:h
    bool lastWasSpace = true; // white space in the XML collapses to one blank, none at a paragraph's start
    qint64 blanksStated = 0;  // blanks that text:s elements stand for, all together
    streamXml(xml, partName, [&](const QXmlStreamReader &r) {
        switch (r.tokenType()) {
        case QXmlStreamReader::StartElement: {
            if (skipped.enter(skipsSubtree(r)))
                return;
            const QStringView n = r.name();
            if (r.namespaceUri() == kOfficeNs && n == QLatin1String("text"))
                inText = true;
            if (!inText || r.namespaceUri() != kTextNs)
                return;
            if (n == QLatin1String("p") || n == QLatin1String("h")) {
                ++paragraphDepth;
                counter.openParagraph();
                lastWasSpace = true;
            } else if (paragraphDepth > 0) {
                if (n == QLatin1String("s")) {
                    // text:s stands for c blanks (one by default); all of them together are bounded so
                    // that hostile counts cannot keep the reader spinning.
                    bool ok = false;
                    qint64 c = r.attributes().value(kTextNs, QLatin1String("c")).toLongLong(&ok);
                    c = ok ? qMax<qint64>(0, c) : 1;
                    blanksStated += c;
                    if (c > limits::kMaxPartBytes || blanksStated > limits::kMaxPartBytes)
                        throw DamagedContent(QStringLiteral("its part content.xml states more blanks than it could hold"));
                    for (qint64 i = 0; i < c; ++i)
                        counter.space();
                    lastWasSpace = true;
                } else if (n == QLatin1String("tab") || n == QLatin1String("line-break")) {
                    counter.space();
                    lastWasSpace = true;
                }
            }
            return;
        }
        case QXmlStreamReader::EndElement: {
            if (skipped.leave())
                return;
            const QStringView n = r.name();
            if (r.namespaceUri() == kOfficeNs && n == QLatin1String("text"))
                inText = false;
            else if (inText && r.namespaceUri() == kTextNs && (n == QLatin1String("p") || n == QLatin1String("h")) &&
                     paragraphDepth > 0) {
                --paragraphDepth;
                counter.closeParagraph();
                lastWasSpace = true;
            }
            return;
        }
        case QXmlStreamReader::Characters:
            if (!inText || paragraphDepth == 0 || skipped.inside())
                return;
            for (const QChar c : r.text()) {
                if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
                    if (!lastWasSpace)
                        counter.space();
                    lastWasSpace = true;
                } else {
                    counter.add(c.unicode());
                    lastWasSpace = false;
                }
            }
            return;
        default:
            return;
        }
    });
}

} // namespace word
