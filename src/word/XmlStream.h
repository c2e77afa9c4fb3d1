#pragma once
#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <functional>

namespace word {

// Streams a whole XML part token by token to `onToken`, with the same refusals as the property parts:
// no DTD (and so no entity expansion), nesting within the depth limit, well-formed to the end. Throws
// DamagedContent naming `partName`. `onToken` sees the reader positioned on each token.
void streamXml(const QByteArray &xml, const QString &partName,
               const std::function<void(const QXmlStreamReader &)> &onToken);

// Streams a whole XML part like streamXml to a scanner's start(reader), end(reader) and text(reader),
// called at each element's start and end and at each run of text.
template <class Scanner>
void scanXml(const QByteArray &xml, const QString &partName, Scanner &scanner)
{
    streamXml(xml, partName, [&](const QXmlStreamReader &r) {
        switch (r.tokenType()) {
        case QXmlStreamReader::StartElement:
            return scanner.start(r);
        case QXmlStreamReader::EndElement:
            return scanner.end(r);
        case QXmlStreamReader::Characters:
            return scanner.text(r);
        default:
            return;
        }
    });
}

// Skips the subtrees of chosen elements while streaming: enter() at each start element and leave() at
// each end element tell whether the token lies inside a skipped subtree.
class SkippedSubtree {
public:
    // `skip` says whether the element starting now begins a skipped subtree.
    bool enter(bool skip)
    {
        ++m_depth;
        if (m_skipFrom == 0 && skip)
            m_skipFrom = m_depth;
        return m_skipFrom != 0;
    }
    bool leave()
    {
        const bool inside = m_skipFrom != 0;
        if (m_skipFrom == m_depth)
            m_skipFrom = 0;
        --m_depth;
        return inside;
    }
    bool inside() const { return m_skipFrom != 0; }

private:
    int m_depth = 0;
    int m_skipFrom = 0; // depth of the skipped element, 0 when none is open
};

} // namespace word
