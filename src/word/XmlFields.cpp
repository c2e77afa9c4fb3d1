#include "word/XmlFields.h"
#include "word/Errors.h"
#include "word/Limits.h"
#include <QVarLengthArray>
#include <QXmlStreamReader>
#include <cstring>

namespace word {

namespace {

// U+FDD0 is a noncharacter, reserved for a program's internal use: it stands for a NUL while the XML
// reader, which refuses NUL outright, reads the part.
constexpr char16_t kNulStandIn = 0xFDD0;

// The code units of a part as its byte order mark or first character says: UTF-8 (and single-byte
// encodings), UTF-16LE or UTF-16BE.
class Units {
public:
    explicit Units(const QByteArray &b) : m_b(b)
    {
        const auto at = [&](qsizetype i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0x100; };
        if ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == '<' && at(1) == 0))
            m_width = 2;
        else if ((at(0) == 0xFE && at(1) == 0xFF) || (at(0) == 0 && at(1) == '<')) {
            m_width = 2;
            m_bigEndian = true;
        }
    }
    qsizetype size() const { return m_b.size() / m_width; }
    bool isUtf8() const { return m_width == 1; }
    char16_t operator[](qsizetype i) const
    {
        const auto *p = reinterpret_cast<const unsigned char *>(m_b.constData()) + i * m_width;
        if (m_width == 1)
            return p[0];
        return m_bigEndian ? static_cast<char16_t>((p[0] << 8) | p[1]) : static_cast<char16_t>(p[0] | (p[1] << 8));
    }
    // Index of `what` (ASCII) at or after `from`, or -1.
    qsizetype find(const char *what, qsizetype from) const
    {
        const qsizetype n = static_cast<qsizetype>(strlen(what));
        for (qsizetype i = from; i + n <= size(); ++i) {
            qsizetype k = 0;
            while (k < n && (*this)[i + k] == static_cast<unsigned char>(what[k]))
                ++k;
            if (k == n)
                return i;
        }
        return -1;
    }
    bool at(qsizetype i, const char *what) const
    {
        for (qsizetype k = 0; what[k]; ++k)
            if (i + k >= size() || (*this)[i + k] != static_cast<unsigned char>(what[k]))
                return false;
        return true;
    }

private:
    const QByteArray &m_b;
    int m_width = 1;
    bool m_bigEndian = false;
};

// The XML reader checks each attribute against all earlier ones of its element, so their count must be
// bounded before it sees them. Counts the '=' outside quoted values of every start tag; comments,
// processing instructions, CDATA and declarations are stepped over, so their quotes cannot hide a tag.
void checkAttributeCounts(const QByteArray &xml, const QString &partName)
{
    const Units u(xml);
    const qsizetype n = u.size();
    qsizetype i = 0;
    while (i < n) {
        if (u[i++] != '<')
            continue;
        const auto skipPast = [&](const char *end) {
            const qsizetype at = u.find(end, i);
            i = at < 0 ? n : at + static_cast<qsizetype>(strlen(end));
        };
        if (u.at(i, "!--"))
            skipPast("-->");
        else if (u.at(i, "![CDATA["))
            skipPast("]]>");
        else if (u.at(i, "?"))
            skipPast("?>");
        else if (u.at(i, "!") || u.at(i, "/"))
            skipPast(">");
        else {
            int equals = 0;
            char16_t quote = 0;
            for (; i < n; ++i) {
                const char16_t c = u[i];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=') {
                    if (++equals > limits::kMaxXmlAttributesPerElement)
                        throw DamagedContent(QStringLiteral("its part %1 has an element with more than %2 attributes")
                                                 .arg(partName)
                                                 .arg(limits::kMaxXmlAttributesPerElement));
                } else if (c == '>') {
                    break;
                }
            }
        }
    }
}

// True for "&#0;", "&#x00;" and the like at `i`; sets `length`.
bool isNulReference(const QByteArray &xml, qsizetype i, qsizetype &length)
{
    qsizetype k = i + 2;
    if (k < xml.size() && (xml[k] == 'x' || xml[k] == 'X'))
        ++k;
    const qsizetype digits = k;
    while (k < xml.size() && xml[k] == '0')
        ++k;
    if (k == digits || k >= xml.size() || xml[k] != ';')
        return false;
    length = k + 1 - i;
    return true;
}

// The part with every NUL (a byte, or a character reference to it) replaced by the stand-in.
QByteArray withNulsStoodIn(const QByteArray &xml, bool &changed)
{
    changed = false;
    if (!Units(xml).isUtf8() || (!xml.contains('\0') && !xml.contains("&#")))
        return xml;
    QByteArray out;
    out.reserve(xml.size());
    for (qsizetype i = 0; i < xml.size(); ++i) {
        qsizetype length = 0;
        if (xml[i] == '\0') {
            out += "\xEF\xB7\x90";
            changed = true;
        } else if (xml[i] == '&' && i + 1 < xml.size() && xml[i + 1] == '#' && isNulReference(xml, i, length)) {
            out += "&#xFDD0;";
            i += length - 1;
            changed = true;
        } else {
            out += xml[i];
        }
    }
    return out;
}

QXmlStreamAttributes withNuls(const QXmlStreamAttributes &attributes)
{
    QXmlStreamAttributes out;
    for (const QXmlStreamAttribute &a : attributes)
        out.append(a.namespaceUri().toString(), a.name().toString(),
                   a.value().toString().replace(QChar(kNulStandIn), QChar(0)));
    return out;
}

} // namespace

void walkXmlFields(const QByteArray &source, const QString &partName, int depth,
                   const std::function<bool(const XmlField &)> &onField, bool isPrefix)
{
    checkAttributeCounts(source, partName);
    bool nulsStoodIn = false;
    const QByteArray xml = withNulsStoodIn(source, nulsStoodIn);
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(true);
    int level = 0;
    QString text;
    QXmlStreamAttributes attributes;
    QString fieldName;
    QString fieldNamespace;
    QString parentName;
    bool inField = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            throw DamagedContent(QStringLiteral("its part %1 carries a document type declaration, which no "
                                                "document part may have")
                                     .arg(partName));
        case QXmlStreamReader::StartElement:
            ++level;
            if (level > limits::kMaxXmlDepth)
                throw DamagedContent(QStringLiteral("its part %1 nests elements too deeply").arg(partName));
            if (level == depth - 1)
                parentName = reader.name().toString();
            if (level == depth) {
                inField = true;
                fieldName = reader.name().toString();
                fieldNamespace = reader.namespaceUri().toString();
                attributes = nulsStoodIn ? withNuls(reader.attributes()) : reader.attributes();
                text.clear();
            }
            break;
        case QXmlStreamReader::EndElement:
            if (level == depth && inField) {
                inField = false;
                if (nulsStoodIn)
                    text.replace(QChar(kNulStandIn), QChar(0));
                const XmlField f{parentName, fieldName, fieldNamespace, attributes, text};
                if (!onField(f))
                    return;
            }
            --level;
            break;
        case QXmlStreamReader::Characters:
            if (inField) {
                if (text.size() + reader.text().size() > limits::kMaxTextValueChars)
                    throw DamagedContent(QStringLiteral("its part %1 holds a value that is too long").arg(partName));
                text += reader.text();
            }
            break;
        case QXmlStreamReader::EntityReference:
            // Only the predefined entities exist without a DTD; anything else is an error.
            throw DamagedContent(QStringLiteral("its part %1 refers to an undefined entity").arg(partName));
        default:
            break;
        }
    }
    if (isPrefix && reader.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        return;
    if (reader.hasError())
        throw DamagedContent(QStringLiteral("its part %1 is not well-formed XML (%2, line %3)")
                                 .arg(partName, reader.errorString())
                                 .arg(reader.lineNumber()));
}

std::optional<qint64> parseWholeNumber(QStringView text)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

QString decodeOoxmlEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    auto isHex = [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); };
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // _ x H H H H _ : seven characters in all.
        if (text.at(i) == u'_' && i + 6 < text.size() && text.at(i + 1) == u'x' && text.at(i + 6) == u'_'
            && isHex(text.at(i + 2)) && isHex(text.at(i + 3)) && isHex(text.at(i + 4)) && isHex(text.at(i + 5))) {
            out += QChar(text.mid(i + 2, 4).toUShort(nullptr, 16));
            i += 6;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

} // namespace word
