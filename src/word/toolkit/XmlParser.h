// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlNamespaces.h"
#include <QByteArray>
#include <QString>
#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

struct XML_ParserStruct;

namespace word {

// The attributes of the element starting now, namespace declarations left out (valid during the
// callback only).
class XmlAttributes {
public:
    XmlAttributes(const XmlAttribute *items, int count) : m_items(items), m_count(count) {}
    // The value of the attribute with this namespace and local name; an empty view with `found` false
    // when it is absent.
    std::string_view value(std::string_view ns, std::string_view local, bool *found = nullptr) const;
    int count() const { return m_count; }
    const XmlName &nameAt(int i) const { return m_items[i].name; }
    std::string_view valueAt(int i) const { return m_items[i].value; }

private:
    const XmlAttribute *m_items;
    int m_count;
};

// What a format's reader does with the elements and text of a part, as they are parsed. A callback may
// throw (DamagedContent): the parse stops and the exception reaches the caller of feed() or finish().
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void startElement(const XmlName &name, const XmlAttributes &attributes) = 0;
    virtual void endElement(const XmlName &name) = 0;
    // Text in UTF-8, in pieces of any size: an element's text may come in several calls.
    virtual void characters(std::string_view text) = 0;
};

// A streaming XML parser (libexpat) held to the bounds every document part gets: no document type
// declaration (and so no entity of the document's own), nesting within the depth limit, no element with
// more attributes than the limit, a bounded number of elements and namespace declarations, no single
// markup token larger than the limit (its attributes would all be held at once), well-formed to the end.
// Names are reported with their namespaces, as the XML namespaces recommendation binds them; a prefix
// that is not declared is an error, as it is for a namespace-aware parser.
// Every refusal is DamagedContent naming `partName`.
class XmlParser {
public:
    XmlParser(QString partName, XmlHandler &handler);
    ~XmlParser();
    XmlParser(const XmlParser &) = delete;
    XmlParser &operator=(const XmlParser &) = delete;

    // Parses the next piece of the part.
    void feed(const char *data, qsizetype size);
    // The part has ended: it must be complete.
    void finish();
    // Parses a whole part held in memory.
    // Plain parts are read whole as a tree (XmlTree), far cheaper than expat; the events, the checks and
    // the verdict are the same either way.
    void parse(const QByteArray &xml);
    // Called by a handler: the rest of the part is not wanted. feed() and finish() then do nothing.
    void stop();
    bool stopped() const { return m_stopped; }
    // The namespace bound to `prefix` where the parse is now (for a handler: at the element it is told of),
    // or nothing when none is. Some attribute values are qualified names whose prefix matters.
    std::optional<std::string_view> namespaceOfPrefix(std::string_view prefix)
    {
        constexpr size_t kLongestPrefix = 64;
        if (prefix.empty() || prefix.size() > kLongestPrefix || prefix.find('\0') != std::string_view::npos)
            return std::nullopt;
        char qname[kLongestPrefix + 3];
        std::memcpy(qname, prefix.data(), prefix.size());
        std::memcpy(qname + prefix.size(), ":x", 3);
        XmlName name;
        if (m_namespaces.resolve(qname, true, name) != 0)
            return std::nullopt;
        return name.ns;
    }
    const QString &partName() const { return m_partName; }
    // Whether the names and values a handler is told of stay where they are until the parse ends (a part
    // read whole as a tree), rather than only during the call (a part streamed through expat).
    bool namesStayPut() const { return m_treeLine != nullptr; }

private:
    static void onStart(void *self, const char *name, const char **attributes);
    static void onEnd(void *self, const char *name);
    static void onText(void *self, const char *text, int length);
    class TreeEvents;
    void startElement(const char *name, const char **attributes);
    void endElement(const char *name);
    void characters(const char *text, size_t length);
    qint64 currentLine() const;
    static void onDoctype(void *self, const char *, const char *, const char *, int);
    void fail(QString detail);
    void failWith(std::exception_ptr e);
    void failNotWellFormed(int expatError);
    void checkStatus(int status);

    // What a parse works in, kept from part to part on each thread: a parser takes one of the thread's
    // spares and gives it back when it ends, so that the thousands of small parts of a run allocate none.
    struct Workspace;
    static std::vector<std::unique_ptr<Workspace>> &spareWorkspaces();
    static Workspace &takeWorkspace();
    static void giveBack(Workspace &w);

    QString m_partName;
    XmlHandler &m_handler;
    Workspace &m_workspace;
    XML_ParserStruct *expat();
    XML_ParserStruct *m_parser = nullptr;
    int m_depth = 0;
    qint64 m_elements = 0;
    qint64 m_fed = 0;
    bool m_stopped = false;
    std::exception_ptr m_failure;
    qint64 (*m_treeLine)(const void *) = nullptr; // set while a tree is walked: the line of its element
    const void *m_treePosition = nullptr;
    XmlNamespaceScope &m_namespaces;
    XmlAttribute *const m_attributes; // the attributes of the element starting, kMaxXmlAttributesPerElement of room
    std::vector<XmlAttribute> &m_sortedAttributes;
    std::vector<XmlName> &m_openElements; // while a tree is walked, the names of the elements open in it
};

} // namespace word
