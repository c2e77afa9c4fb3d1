// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/XmlFields.h"
#include "word/Errors.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlParser.h"
#include <cstring>
#include <memory>
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

// `out` set to the UTF-8 `utf8`, a NUL's stand-in turned back into the NUL when the part had any. Text
// that is all ASCII (nearly every value of a property part) is widened into the buffer `out` already has,
// reused from value to value; the rest goes through Qt's decoder.
void assignUtf8(QString &out, std::string_view utf8, bool nulsStoodIn)
{
    unsigned char high = 0;
    for (const char c : utf8)
        high |= static_cast<unsigned char>(c);
    if (high < 0x80 && !utf8.empty()) {
        const auto n = static_cast<qsizetype>(utf8.size());
        // A buffer shared with a value already handed on, or too small, is replaced rather than copied.
        if (out.isDetached() && out.capacity() >= n)
            out.resize(n);
        else
            out = QString(n, Qt::Uninitialized);
        char16_t *to = reinterpret_cast<char16_t *>(out.data());
        for (qsizetype i = 0; i < n; ++i)
            to[i] = static_cast<unsigned char>(utf8[static_cast<size_t>(i)]);
        return;
    }
    out = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (nulsStoodIn)
        out.replace(QChar(kNulStandIn), QChar(0));
}

// What a walk collects into, kept per thread from part to part so that small parts allocate nothing.
struct FieldBuffers {
    std::string text;       // the text of the element of interest, when it comes in pieces
    std::string store;      // its name and its attributes' names and values
    std::string parentName; // the local name of the element the next fields stand in, when it may move
    XmlFieldAttributes attributes;
    QString value; // the text of the element of interest, when asked for
    bool busy = false;
};

// Collects the elements at one depth, their attributes and their text, for walkXmlFields. Names and
// values are handed on as UTF-8, viewed where a part read whole holds them (a streaming parser's are
// copied: it moves its buffers between calls); text is decoded only for the fields that are asked for it.
class FieldCollector : public XmlHandler {
public:
    FieldCollector(XmlParser *&parser, int depth, bool nulsStoodIn,
                   const std::function<bool(const XmlField &)> &onField)
        : m_parser(parser), m_depth(depth), m_nulsStoodIn(nulsStoodIn), m_onField(onField), m_buffers(takeBuffers())
    {
    }
    ~FieldCollector() override
    {
        if (m_own)
            return;
        // A long value is not held on to for the parts that come after it.
        constexpr std::size_t kLongestKept = 64 * 1024;
        if (m_text.capacity() > kLongestKept)
            std::string().swap(m_text);
        if (m_store.capacity() > kLongestKept)
            std::string().swap(m_store);
        if (m_value.capacity() > static_cast<qsizetype>(kLongestKept))
            m_value = QString();
        m_buffers.busy = false;
    }
    FieldCollector(const FieldCollector &) = delete;
    FieldCollector &operator=(const FieldCollector &) = delete;

    void startElement(const XmlName &e, const XmlAttributes &a) override
    {
        ++m_level;
        if (m_level == m_depth - 1) {
            if (m_parser->namesStayPut()) {
                m_parent = e.local;
            } else {
                m_parentName.assign(e.local);
                m_parent = m_parentName;
            }
        }
        if (m_level != m_depth)
            return;
        m_inField = true;
        const auto count = static_cast<size_t>(a.count());
        m_attributes.resize(count);
        m_fieldNamespace = e.ns; // namespaces stay bound, where the parser keeps them, until the field ends
        if (m_parser->namesStayPut()) {
            m_fieldName = e.local;
            for (size_t i = 0; i < count; ++i) {
                const XmlName &name = a.nameAt(static_cast<int>(i));
                m_attributes.at(i) = {name.ns, name.local, a.valueAt(static_cast<int>(i))};
            }
        } else {
            // Names and values a streaming parser may move are copied, one after another in one buffer,
            // and viewed once it no longer grows.
            m_store.assign(e.local);
            for (size_t i = 0; i < count; ++i) {
                m_store.append(a.nameAt(static_cast<int>(i)).local);
                m_store.append(a.valueAt(static_cast<int>(i)));
            }
            const std::string_view store(m_store);
            m_fieldName = store.substr(0, e.local.size());
            std::size_t at = e.local.size();
            for (size_t i = 0; i < count; ++i) {
                const XmlName &name = a.nameAt(static_cast<int>(i));
                const std::size_t valueSize = a.valueAt(static_cast<int>(i)).size();
                m_attributes.at(i) = {name.ns, store.substr(at, name.local.size()),
                                      store.substr(at + name.local.size(), valueSize)};
                at += name.local.size() + valueSize;
            }
        }
        m_text.clear();
        m_textView = {};
    }

    void endElement(const XmlName &) override
    {
        if (m_level == m_depth && m_inField) {
            m_inField = false;
            const XmlField f(m_parent, m_fieldName, m_fieldNamespace, m_attributes, m_textView, m_value, m_nulsStoodIn);
            // UTF-8 takes at least as many bytes as UTF-16 takes units: only a long text is measured,
            // by decoding it.
            if (static_cast<qint64>(m_textView.size()) > limits::kMaxTextValueChars
                && f.text().size() > limits::kMaxTextValueChars)
                throw DamagedContent(
                    QStringLiteral("its part %1 holds a value that is too long").arg(m_parser->partName()));
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
        if (static_cast<qint64>(m_textView.size() + text.size()) > 4 * limits::kMaxTextValueChars)
            throw DamagedContent(
                QStringLiteral("its part %1 holds a value that is too long").arg(m_parser->partName()));
        // Most texts come in one piece: viewed where a tree holds it, and copied only when a second follows.
        if (m_textView.empty() && m_parser->namesStayPut()) {
            m_textView = text;
            return;
        }
        if (m_textView.data() != m_text.data())
            m_text.assign(m_textView);
        m_text.append(text);
        m_textView = m_text;
    }

private:
    // The thread's buffers, or buffers of its own for a walk begun while another is under way.
    FieldBuffers &takeBuffers()
    {
        thread_local FieldBuffers buffers;
        if (buffers.busy) {
            m_own = std::make_unique<FieldBuffers>();
            return *m_own;
        }
        buffers.busy = true;
        return buffers;
    }

    XmlParser *&m_parser;
    const int m_depth;
    const bool m_nulsStoodIn;
    const std::function<bool(const XmlField &)> &m_onField;
    int m_level = 0;
    bool m_inField = false;
    std::unique_ptr<FieldBuffers> m_own;
    FieldBuffers &m_buffers;
    std::string &m_text = m_buffers.text;
    std::string &m_store = m_buffers.store;
    std::string &m_parentName = m_buffers.parentName;
    XmlFieldAttributes &m_attributes = m_buffers.attributes;
    QString &m_value = m_buffers.value;
    std::string_view m_textView; // the text of the element of interest so far, in m_text or in the tree
    std::string_view m_parent;   // the local name of the element the next fields stand in
    std::string_view m_fieldName;
    std::string_view m_fieldNamespace;
};

} // namespace

void XmlField::decodeInto(QString &out, std::string_view utf8) const { assignUtf8(out, utf8, m_nulsStoodIn); }

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

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
    // Most counts are a few plain digits: read here rather than through Qt's general number parser.
    if (!text.isEmpty() && text.size() <= 18) {
        qint64 n = 0;
        bool digits = true;
        for (const QChar c : text) {
            if (c < u'0' || c > u'9') {
                digits = false;
                break;
            }
            n = n * 10 + (c.unicode() - u'0');
        }
        if (digits)
            return n;
    }
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
    // Nearly every text has no escape: looked for inline, the text is handed back as it is.
    const char16_t *const chars = reinterpret_cast<const char16_t *>(text.constData());
    bool mayHoldEscape = false;
    for (qsizetype i = 0; i + 1 < text.size() && !mayHoldEscape; ++i)
        mayHoldEscape = chars[i] == u'_' && chars[i + 1] == u'x';
    if (!mayHoldEscape)
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
