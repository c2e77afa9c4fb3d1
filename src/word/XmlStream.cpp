#include "word/XmlStream.h"
#include "word/Errors.h"
#include "word/Limits.h"

namespace word {

void streamXml(const QByteArray &xml, const QString &partName,
               const std::function<void(const QXmlStreamReader &)> &onToken)
{
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(true);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            throw DamagedContent(QStringLiteral("its part %1 carries a document type declaration").arg(partName));
        case QXmlStreamReader::EntityReference:
            throw DamagedContent(QStringLiteral("its part %1 refers to an undefined entity").arg(partName));
        case QXmlStreamReader::StartElement:
            if (++depth > limits::kMaxXmlDepth)
                throw DamagedContent(QStringLiteral("its part %1 nests elements too deeply").arg(partName));
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
        if (!reader.hasError())
            onToken(reader);
    }
    if (reader.hasError())
        throw DamagedContent(QStringLiteral("its part %1 is not well-formed XML (%2, line %3)")
                                 .arg(partName, reader.errorString())
                                 .arg(reader.lineNumber()));
}

} // namespace word
