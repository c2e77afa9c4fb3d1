// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <exception>
#include <string_view>

struct XML_ParserStruct;

namespace word {

// An element or attribute name with its namespace, as UTF-8 pointing into the parser's own buffers
// (valid during the callback only). `ns` is empty for a name in no namespace.
struct XmlName {
    std::string_view ns;
    std::string_view local;
    bool is(std::string_view n, std::string_view l) const { return local == l && ns == n; }
};

// The attributes of the element starting now (valid during the callback only).
class XmlAttributes {
public:
    explicit XmlAttributes(const char **pairs) : m_pairs(pairs) {}
    // The value of the attribute with this namespace and local name; nullopt-like empty view with
    // `found` false when it is absent.
    std::string_view value(std::string_view ns, std::string_view local, bool *found = nullptr) const;
    int count() const;
    XmlName nameAt(int i) const;
    std::string_view valueAt(int i) const { return m_pairs[2 * i + 1]; }

private:
    const char **m_pairs;
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

// A streaming XML parser (libexpat, with namespace processing) held to the bounds every document part
// gets: no document type declaration (and so no entity of the document's own), nesting within the
// depth limit, no element with more attributes than the limit, a bounded number of elements, no single
// markup token larger than the limit (its attributes would all be held at once), well-formed to the end.
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
    void parse(const QByteArray &xml)
    {
        feed(xml.constData(), xml.size());
        finish();
    }
    // Called by a handler: the rest of the part is not wanted. feed() and finish() then do nothing.
    void stop();
    bool stopped() const { return m_stopped; }
    const QString &partName() const { return m_partName; }

private:
    static void onStart(void *self, const char *name, const char **attributes);
    static void onEnd(void *self, const char *name);
    static void onText(void *self, const char *text, int length);
    static void onDoctype(void *self, const char *, const char *, const char *, int);
    void fail(QString detail);
    void failWith(std::exception_ptr e);
    void checkStatus(int status);

    QString m_partName;
    XmlHandler &m_handler;
    XML_ParserStruct *m_parser;
    int m_depth = 0;
    qint64 m_elements = 0;
    qint64 m_fed = 0;
    bool m_stopped = false;
    std::exception_ptr m_failure;
};

} // namespace word
