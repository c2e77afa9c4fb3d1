// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/XmlParser.h"
#include "word/Errors.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlTree.h"
#include <QStringDecoder>
#include <cstring>
#include <expat.h>
#include <memory>

namespace word {

namespace {

// Expat reads UTF-8, UTF-16, ISO-8859-1 and US-ASCII itself; a part declaring another encoding
// (windows-1252, Shift_JIS and the like) is read through Qt's codecs, which expat asks for a table of each
// byte: the character it stands for, or the length of the sequence it begins (which it then converts).
struct ForeignEncoding {
    QByteArray name;
    int lengths[256] = {};
};

// The one character `bytes` stand for in `name`, or -1.
int decodeOne(const QByteArray &name, QByteArrayView bytes)
{
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
    const QString s = decoder(bytes);
    if (decoder.hasError() || s.size() != 1 || s.at(0).isSurrogate() || s.at(0) == QChar::ReplacementCharacter)
        return -1;
    return s.at(0).unicode();
}

int convertSequence(void *data, const char *s)
{
    const auto *e = static_cast<const ForeignEncoding *>(data);
    return decodeOne(e->name, QByteArrayView(s, e->lengths[static_cast<unsigned char>(s[0])]));
}

void releaseEncoding(void *data) { delete static_cast<ForeignEncoding *>(data); }

int onUnknownEncoding(void *, const XML_Char *name, XML_Encoding *info)
{
    if (!QStringDecoder(name).isValid())
        return XML_STATUS_ERROR;
    auto *e = new ForeignEncoding{QByteArray(name)};
    for (int b = 0; b < 256; ++b) {
        const char lead = static_cast<char>(b);
        const int single = decodeOne(e->name, QByteArrayView(&lead, 1));
        if (b < 0x80) {
            // Markup is ASCII: an encoding that gives its printable bytes other meanings cannot carry
            // XML. Some give a few that markup never uses other glyphs (a yen sign for the backslash);
            // control bytes other than line ends and tabs are no characters of XML in any encoding.
            const bool printable = (b >= 0x20 && b < 0x7F) || b == '\t' || b == '\n' || b == '\r';
            if (printable && single != b && (single < 0 || !strchr("$@\\^`{}~", b))) {
                delete e;
                return XML_STATUS_ERROR;
            }
            info->map[b] = printable ? single : -1;
            continue;
        }
        info->map[b] = single;
        if (single >= 0)
            continue;
        // A lead byte: the length of its sequences, found by completing it with common trail bytes.
        for (int length = 2; length <= 4 && info->map[b] < 0; ++length)
            for (const char trail : {'\xA1', '\x40', '\x80'}) {
                const QByteArray sequence = lead + QByteArray(length - 1, trail);
                if (decodeOne(e->name, sequence) >= 0) {
                    info->map[b] = -length;
                    e->lengths[b] = length;
                    break;
                }
            }
    }
    info->data = e;
    info->convert = &convertSequence;
    info->release = &releaseEncoding;
    return XML_STATUS_OK;
}

} // namespace

std::string_view XmlAttributes::value(std::string_view ns, std::string_view local, bool *found) const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_items[i].name.is(ns, local)) {
            if (found)
                *found = true;
            return m_items[i].value;
        }
    }
    if (found)
        *found = false;
    return {};
}

struct XmlParser::Workspace {
    XmlNamespaceScope namespaces;
    std::vector<XmlAttribute> sortedAttributes;
    std::vector<XmlName> openElements;
    // Room for the attributes of one element, left unset until they are written.
    union Attributes {
        Attributes() {}
        XmlAttribute items[limits::kMaxXmlAttributesPerElement];
    } attributes;
};

// The spare workspaces of this thread: as many as parsers have been open at once on it, a few at most.
std::vector<std::unique_ptr<XmlParser::Workspace>> &XmlParser::spareWorkspaces()
{
    thread_local std::vector<std::unique_ptr<Workspace>> spares;
    return spares;
}

XmlParser::Workspace &XmlParser::takeWorkspace()
{
    auto &spares = spareWorkspaces();
    if (spares.empty())
        return *new Workspace;
    Workspace *w = spares.back().release();
    spares.pop_back();
    return *w;
}

void XmlParser::giveBack(Workspace &w)
{
    std::unique_ptr<Workspace> owned(&w);
    owned->namespaces.reset();
    owned->openElements.clear();
    auto &spares = spareWorkspaces();
    // Spares beyond a few (parsers nested deeper than readers ever nest them) are not kept.
    constexpr std::size_t kKeptSpares = 8;
    if (spares.size() < kKeptSpares) {
        try {
            spares.push_back(std::move(owned));
        } catch (const std::bad_alloc &) {
            // Not kept, then: a parser that ends must not throw.
        }
    }
}

XmlParser::XmlParser(QString partName, XmlHandler &handler)
    : m_partName(std::move(partName)), m_handler(handler), m_workspace(takeWorkspace()),
      m_namespaces(m_workspace.namespaces), m_attributes(m_workspace.attributes.items),
      m_sortedAttributes(m_workspace.sortedAttributes), m_openElements(m_workspace.openElements)
{
}

// Expat is set up only for a part it reads: most parts are read whole as a tree.
XML_ParserStruct *XmlParser::expat()
{
    if (m_parser)
        return m_parser;
    m_parser = XML_ParserCreate(nullptr);
    if (!m_parser)
        throw std::bad_alloc();
    // Namespaces are resolved here rather than by expat: its namespace mode copies every URI into every
    // name it reports, which doubles the cost of the attribute-heavy parts that are counted.
    // The salt of expat's name tables, against names chosen to collide: drawn once per process instead
    // of from the system's random source for each of the thousands of parts a run parses.
    static const unsigned long salt = [] {
        unsigned long s = 0;
        arc4random_buf(&s, sizeof s);
        return s;
    }();
    XML_SetHashSalt(m_parser, salt);
    XML_SetUserData(m_parser, this);
    XML_SetElementHandler(m_parser, &XmlParser::onStart, &XmlParser::onEnd);
    XML_SetCharacterDataHandler(m_parser, &XmlParser::onText);
    XML_SetStartDoctypeDeclHandler(m_parser, &XmlParser::onDoctype);
    XML_SetUnknownEncodingHandler(m_parser, &onUnknownEncoding, nullptr);
    // No external entity is ever loaded, parameter entities are never expanded; the DTD is refused anyway.
    XML_SetParamEntityParsing(m_parser, XML_PARAM_ENTITY_PARSING_NEVER);
    return m_parser;
}

XmlParser::~XmlParser()
{
    if (m_parser)
        XML_ParserFree(m_parser);
    giveBack(m_workspace);
}

void XmlParser::onStart(void *self, const char *name, const char **attributes)
{
    static_cast<XmlParser *>(self)->startElement(name, attributes);
}

void XmlParser::startElement(const char *name, const char **attributes)
{
    if (m_failure || m_stopped)
        return; // nothing reaches the handler once the parse has failed or been stopped
    if (++m_depth > limits::kMaxXmlDepth)
        return fail(QStringLiteral("nests elements too deeply"));
    if (++m_elements > limits::kMaxXmlElements)
        return fail(QStringLiteral("has more than %1 elements").arg(limits::kMaxXmlElements));
    // Most elements declare no namespace: their attributes are looked through once, inline.
    bool declares = false;
    for (const char **a = attributes; *a && !declares; a += 2)
        declares = XmlNamespaceScope::isDeclaration(a[0]);
    if (declares) {
        if (const int error = m_namespaces.enter(attributes, m_depth)) {
            if (error == XmlNamespaceScope::kTooManyBindings)
                return fail(QStringLiteral("declares more than %1 namespaces").arg(limits::kMaxXmlNamespaceBindings));
            return failNotWellFormed(error);
        }
    }
    // A tree's names may be read a word at a time.
    const bool followed = m_treeLine != nullptr;
    XmlName element;
    if (const int error =
            followed ? m_namespaces.resolveFollowed(name, false, element) : m_namespaces.resolve(name, false, element))
        return failNotWellFormed(error);
    int count = 0;
    for (const char **a = attributes; *a; a += 2) {
        if (declares && XmlNamespaceScope::isDeclaration(a[0]))
            continue;
        if (count == limits::kMaxXmlAttributesPerElement)
            return fail(
                QStringLiteral("has an element with more than %1 attributes").arg(limits::kMaxXmlAttributesPerElement));
        XmlAttribute &attribute = m_attributes[static_cast<std::size_t>(count)];
        attribute.value = a[1];
        if (const int error = followed ? m_namespaces.resolveFollowed(a[0], true, attribute.name)
                                       : m_namespaces.resolve(a[0], true, attribute.name))
            return failNotWellFormed(error);
        ++count;
    }
    if (m_namespaces.mayAlias() && hasDuplicateExpandedName(m_attributes, count, m_sortedAttributes))
        return failNotWellFormed(XML_ERROR_DUPLICATE_ATTRIBUTE);
    // A tree's names stay where they are until the walk ends: the end tag reuses this resolution.
    if (m_treeLine)
        m_openElements.push_back(element);
    try {
        m_handler.startElement(element, XmlAttributes(m_attributes, count));
    } catch (...) {
        failWith(std::current_exception());
    }
}

void XmlParser::onEnd(void *self, const char *name) { static_cast<XmlParser *>(self)->endElement(name); }

void XmlParser::endElement(const char *name)
{
    if (m_failure || m_stopped)
        return;
    XmlName element;
    if (m_treeLine) {
        element = m_openElements.back();
        m_openElements.pop_back();
    } else {
        // Resolved as it was at the start tag: the element's own declarations are still in scope. (Expat
        // may have moved the name it gave then.)
        (void)m_namespaces.resolve(name, false, element);
    }
    try {
        m_handler.endElement(element);
    } catch (...) {
        failWith(std::current_exception());
    }
    m_namespaces.leave(m_depth);
    --m_depth;
}

void XmlParser::onText(void *self, const char *text, int length)
{
    static_cast<XmlParser *>(self)->characters(text, static_cast<size_t>(length));
}

void XmlParser::characters(const char *text, size_t length)
{
    if (m_failure || m_stopped)
        return;
    try {
        m_handler.characters(std::string_view(text, length));
    } catch (...) {
        failWith(std::current_exception());
    }
}

void XmlParser::onDoctype(void *self, const char *, const char *, const char *, int)
{
    static_cast<XmlParser *>(self)->fail(
        QStringLiteral("carries a document type declaration, which no document part may have"));
}

void XmlParser::failNotWellFormed(int expatError)
{
    failWith(std::make_exception_ptr(
        DamagedContent(QStringLiteral("its part %1 is not well-formed XML (%2, line %3)")
                           .arg(m_partName, QString::fromUtf8(XML_ErrorString(static_cast<XML_Error>(expatError))))
                           .arg(currentLine()))));
}

qint64 XmlParser::currentLine() const
{
    return m_treeLine ? m_treeLine(m_treePosition) : static_cast<qint64>(XML_GetCurrentLineNumber(m_parser));
}

void XmlParser::fail(QString detail)
{
    failWith(std::make_exception_ptr(DamagedContent(QStringLiteral("its part %1 %2").arg(m_partName, detail))));
}

// Exceptions must not cross the C library: the first one is kept, the parse stopped, and it is thrown
// once expat has returned.
void XmlParser::failWith(std::exception_ptr e)
{
    if (!m_failure)
        m_failure = std::move(e);
    if (!m_treeLine && m_parser)
        XML_StopParser(m_parser, XML_FALSE);
}

void XmlParser::stop()
{
    m_stopped = true;
    if (!m_treeLine && m_parser)
        XML_StopParser(m_parser, XML_FALSE);
}

// The events of a part read whole as a tree, into the same checks and handler as expat's.
class XmlParser::TreeEvents : public xmltree::Visitor {
public:
    explicit TreeEvents(XmlParser &parser) : m_parser(parser) {}
    bool start(const char *name, const char **attributes, qint64 (*line)(const void *), const void *at) override
    {
        m_parser.m_treeLine = line;
        m_parser.m_treePosition = at;
        m_parser.startElement(name, attributes);
        return going();
    }
    bool end() override
    {
        m_parser.endElement(nullptr); // a tree's end tag takes the name resolved at its start
        return going();
    }
    bool text(const char *text, size_t length) override
    {
        m_parser.characters(text, length);
        return going();
    }

private:
    bool going() const { return !m_parser.m_stopped && !m_parser.m_failure; }
    XmlParser &m_parser;
};

void XmlParser::parse(const QByteArray &xml)
{
    if (m_fed == 0 && !m_stopped) {
        TreeEvents events(*this);
        const bool read = xmltree::walk(xml, events);
        m_treeLine = nullptr;
        if (read) {
            m_stopped = true; // the part is done: nothing more is fed
            if (m_failure)
                std::rethrow_exception(m_failure);
            return;
        }
    }
    feed(xml.constData(), xml.size());
    finish();
}

void XmlParser::checkStatus(int status)
{
    if (m_failure)
        std::rethrow_exception(m_failure);
    if (status != XML_STATUS_ERROR || m_stopped)
        return;
    const XML_Error code = XML_GetErrorCode(m_parser);
    if (code == XML_ERROR_UNDEFINED_ENTITY)
        throw DamagedContent(QStringLiteral("its part %1 refers to an undefined entity").arg(m_partName));
    if (code == XML_ERROR_NO_MEMORY)
        throw std::bad_alloc();
    throw DamagedContent(QStringLiteral("its part %1 is not well-formed XML (%2, line %3)")
                             .arg(m_partName, QString::fromUtf8(XML_ErrorString(code)))
                             .arg(XML_GetCurrentLineNumber(m_parser)));
}

void XmlParser::feed(const char *data, qsizetype size)
{
    // Pieces of a bounded size, so that the markup expat holds back unfinished between them is checked
    // often: a start tag that never ends would otherwise be held whole, with every attribute it lists.
    constexpr qsizetype kSlice = 256 * 1024;
    for (qsizetype at = 0; at < size && !m_stopped; at += kSlice) {
        const int n = static_cast<int>(qMin(kSlice, size - at));
        checkStatus(XML_Parse(expat(), data + at, n, XML_FALSE));
        m_fed += n;
        if (m_stopped)
            return;
        if (m_fed - XML_GetCurrentByteIndex(m_parser) > limits::kMaxXmlTokenBytes)
            fail(QStringLiteral("has a tag longer than %1 MiB").arg(limits::kMaxXmlTokenBytes / (1024 * 1024)));
        checkStatus(XML_STATUS_OK);
    }
}

void XmlParser::finish()
{
    if (m_stopped)
        return;
    checkStatus(XML_Parse(expat(), nullptr, 0, XML_TRUE));
}

} // namespace word
