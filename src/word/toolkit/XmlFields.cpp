// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/XmlFields.h"
#include "word/Errors.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlParser.h"
#include <QVarLengthArray>
#include <cstring>
#include <string>

namespace word {

namespace {

// U+FDD0 is a noncharacter, reserved for a program's internal use: it stands for a NUL while the XML
// parser, which refuses NUL outright, reads the part.
constexpr char16_t kNulStandIn = 0xFDD0;

// A part in UTF-16 says so by its byte order mark or by the zero byte beside its first '<'; anything else
// is UTF-8 or a single-byte encoding, where a NUL is one zero byte.
bool isUtf16(const QByteArray &b)
{
    const auto at = [&](qsizetype i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0x100; };
    return (at(0) == 0xFF && at(1) == 0xFE) || (at(0) == '<' && at(1) == 0) || (at(0) == 0xFE && at(1) == 0xFF)
           || (at(0) == 0 && at(1) == '<');
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

// Whether the part has a NUL byte or a character reference to NUL: the few that do are copied.
bool holdsNul(const QByteArray &xml)
{
    const char *const begin = xml.constData();
    const char *const end = begin + xml.size();
    if (std::memchr(begin, '\0', static_cast<size_t>(xml.size())))
        return true;
    for (const char *p = begin; (p = static_cast<const char *>(std::memchr(p, '&', static_cast<size_t>(end - p))));
         ++p) {
        qsizetype length = 0;
        if (p + 1 < end && p[1] == '#' && isNulReference(xml, p - begin, length))
            return true;
    }
    return false;
}

// The part with every NUL (a byte, or a character reference to it) replaced by the stand-in.
QByteArray withNulsStoodIn(const QByteArray &xml, bool &changed)
{
    changed = false;
    if (isUtf16(xml) || !holdsNul(xml))
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

// Collects the elements at one depth, their attributes and their text, for walkXmlFields.
class FieldCollector : public XmlHandler {
public:
    FieldCollector(XmlParser *&parser, int depth, bool nulsStoodIn,
                   const std::function<bool(const XmlField &)> &onField)
        : m_parser(parser), m_depth(depth), m_nulsStoodIn(nulsStoodIn), m_onField(onField)
    {
    }

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        ++m_level;
        if (m_level == m_depth - 1)
            m_parentName = m_recentParent(e.local);
        if (m_level != m_depth)
            return;
        m_inField = true;
        m_fieldName = QString::fromUtf8(e.local.data(), static_cast<qsizetype>(e.local.size()));
        m_fieldNamespace = m_recentNamespace(e.ns);
        std::vector<XmlFieldAttribute> &all = m_attributes.all();
        all.clear();
        if (m_recentAttributeNames.size() < static_cast<size_t>(a.count()))
            m_recentAttributeNames.resize(static_cast<size_t>(a.count()));
        for (int i = 0; i < a.count(); ++i) {
            const XmlName n = a.nameAt(i);
            const std::string_view v = a.valueAt(i);
            auto &[recentNs, recentLocal] = m_recentAttributeNames[static_cast<size_t>(i)];
            all.push_back({recentNs(n.ns), recentLocal(n.local),
                           withNuls(QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size())))});
        }
        m_text.clear();
    }

    void endElement(const XmlName &) override
    {
        if (m_level == m_depth && m_inField) {
            m_inField = false;
            const QString text = withNuls(QString::fromUtf8(m_text.data(), static_cast<qsizetype>(m_text.size())));
            if (text.size() > limits::kMaxTextValueChars)
                throw DamagedContent(
                    QStringLiteral("its part %1 holds a value that is too long").arg(m_parser->partName()));
            const XmlField f{m_parentName, m_fieldName, m_fieldNamespace, m_attributes, text};
            if (!m_onField(f))
                m_parser->stop();
        }
        --m_level;
    }

    void characters(std::string_view text) override
    {
        if (!m_inField)
            return;
        // Held as UTF-8 (up to four bytes a character) until the element ends, where its length in
        // characters is checked.
        if (static_cast<qint64>(m_text.size() + text.size()) > 4 * limits::kMaxTextValueChars)
            throw DamagedContent(
                QStringLiteral("its part %1 holds a value that is too long").arg(m_parser->partName()));
        m_text.append(text);
    }

private:
    QString withNuls(QString s) const
    {
        if (m_nulsStoodIn)
            s.replace(QChar(kNulStandIn), QChar(0));
        return s;
    }

    XmlParser *&m_parser;
    const int m_depth;
    const bool m_nulsStoodIn;
    const std::function<bool(const XmlField &)> &m_onField;
    int m_level = 0;
    bool m_inField = false;
    std::string m_text;
    XmlFieldAttributes m_attributes;
    QString m_fieldName;
    QString m_fieldNamespace;
    QString m_parentName;
    RecentText m_recentParent;
    RecentText m_recentNamespace;
    std::vector<std::pair<RecentText, RecentText>> m_recentAttributeNames; // by the attribute's place
};

} // namespace

void walkXmlFields(const QByteArray &source, const QString &partName, int depth,
                   const std::function<bool(const XmlField &)> &onField, bool isPrefix)
{
    bool nulsStoodIn = false;
    const QByteArray xml = withNulsStoodIn(source, nulsStoodIn);
    XmlParser *parser = nullptr;
    FieldCollector collector(parser, depth, nulsStoodIn, onField);
    XmlParser p(partName, collector);
    parser = &p;
    // The start of a larger file ends wherever it was cut: only what was read must be well-formed.
    if (isPrefix)
        p.feed(xml.constData(), xml.size());
    else
        p.parse(xml);
}

std::optional<qint64> parseWholeNumber(QStringView text)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

std::optional<qint64> parseWholeNumber(std::string_view utf8)
{
    // Most values are a few plain digits: read here, without a conversion to UTF-16.
    if (!utf8.empty() && utf8.size() <= 18) {
        qint64 n = 0;
        bool digits = true;
        for (const char c : utf8) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            n = n * 10 + (c - '0');
        }
        if (digits)
            return n;
    }
    return parseWholeNumber(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

QString decodeOoxmlEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    auto isHex = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
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
