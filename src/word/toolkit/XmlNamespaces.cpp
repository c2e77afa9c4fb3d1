// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/XmlNamespaces.h"
#include "word/toolkit/Limits.h"
#include <algorithm>
#include <cstring>
#include <expat.h>
#include <tuple>

namespace word {

namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

// A namespace declaration's prefix: "" for xmlns="…", "p" for xmlns:p="…"; false for other attributes.
bool declaredPrefix(const char *attribute, std::string_view &prefix)
{
    // Compared byte by byte: nearly every attribute differs at the first one.
    if (attribute[0] != 'x' || attribute[1] != 'm' || attribute[2] != 'l' || attribute[3] != 'n' || attribute[4] != 's')
        return false;
    if (attribute[5] == '\0') {
        prefix = {};
        return true;
    }
    if (attribute[5] != ':')
        return false;
    // "xmlns:" alone declares nothing; it is then an ordinary attribute name, refused as malformed.
    if (attribute[6] == '\0')
        return false;
    prefix = attribute + 6;
    return true;
}

// Bindings looked through for another prefix of the same namespace; beyond them, aliasing is assumed.
constexpr std::size_t kAliasScanLimit = 64;

} // namespace

XmlNamespaceScope::XmlNamespaceScope() { m_bindings.push_back({std::string("xml"), std::string(kXmlNamespace), 0}); }

bool XmlNamespaceScope::isDeclaration(const char *attribute)
{
    std::string_view prefix;
    return declaredPrefix(attribute, prefix);
}

int XmlNamespaceScope::enter(const char **attributes, int depth)
{
    for (const char **a = attributes; *a; a += 2) {
        std::string_view prefix;
        if (!declaredPrefix(a[0], prefix))
            continue;
        const std::string_view uri(a[1]);
        // The reserved prefixes and names, and undeclaring a prefix, are errors of the namespaces
        // recommendation, which a namespace-aware parser reports as the document being malformed.
        if (prefix == "xmlns" || uri == kXmlnsNamespace)
            return XML_ERROR_RESERVED_PREFIX_XMLNS;
        if ((prefix == "xml") != (uri == kXmlNamespace))
            return XML_ERROR_RESERVED_PREFIX_XML;
        if (!prefix.empty() && uri.empty())
            return XML_ERROR_UNDECLARING_PREFIX;
        if (static_cast<int>(m_bindings.size()) > limits::kMaxXmlNamespaceBindings)
            return kTooManyBindings;
        // The default namespace never applies to attributes, so it aliases nothing that matters there.
        bool aliases = false;
        if (!prefix.empty()) {
            aliases = m_bindings.size() > kAliasScanLimit;
            for (std::size_t i = 0; i < m_bindings.size() && !aliases; ++i)
                aliases = m_bindings[i].uri == uri && !m_bindings[i].prefix.empty() && m_bindings[i].prefix != prefix;
        }
        m_bindings.push_back({std::string(prefix), std::string(uri), depth, aliases});
        m_aliasing += aliases;
        m_innermostDepth = depth;
        ++m_generation;
    }
    return XML_ERROR_NONE;
}

void XmlNamespaceScope::leave(int depth)
{
    if (depth != m_innermostDepth || depth == 0)
        return;
    while (m_bindings.back().depth == depth) {
        m_aliasing -= m_bindings.back().aliases;
        m_bindings.pop_back();
    }
    m_innermostDepth = m_bindings.back().depth;
    ++m_generation;
}

const std::string *XmlNamespaceScope::lookupAndRemember(std::string_view prefix)
{
    const std::string *uri = nullptr;
    for (auto b = m_bindings.rbegin(); b != m_bindings.rend(); ++b)
        if (b->prefix == prefix) {
            uri = &b->uri;
            break;
        }
    CachedLookup &slot = m_lookups[lookupSlot(prefix)];
    if (prefix.size() <= sizeof slot.prefix) { // longer prefixes are rare enough to be looked up each time
        std::memcpy(slot.prefix, prefix.data(), prefix.size());
        slot.length = static_cast<unsigned char>(prefix.size());
        slot.uri = uri;
        slot.generation = m_generation;
    }
    return uri;
}

int XmlNamespaceScope::resolve(const char *qname, bool isAttribute, XmlName &out)
{
    // The colon: prefixes are a few letters, looked through byte by byte; a longer name (one without a
    // prefix, most often) is searched with the library's vectorised call, as is the local name, which runs
    // to twenty letters and more in office parts.
    const char *colon = qname;
    for (int i = 0; i < 8 && *colon && *colon != ':'; ++i)
        ++colon;
    if (*colon && *colon != ':')
        colon = strchrnul(colon, ':');
    if (!*colon) {
        out.local = std::string_view(qname, static_cast<size_t>(colon - qname));
        // An attribute without a prefix is in no namespace; an element is in the default one.
        const std::string *uri = isAttribute ? nullptr : lookup(std::string_view(qname, 0)); // the default namespace
        out.ns = uri ? std::string_view(*uri) : std::string_view();
        return XML_ERROR_NONE;
    }
    const char *end = strchrnul(colon + 1, ':');
    // A qualified name has one colon between a prefix and a local name, both non-empty.
    if (colon == qname || colon + 1 == end || *end)
        return XML_ERROR_INVALID_TOKEN;
    const std::string *uri = lookup(std::string_view(qname, static_cast<size_t>(colon - qname)));
    if (!uri)
        return XML_ERROR_UNBOUND_PREFIX;
    out.ns = *uri;
    out.local = std::string_view(colon + 1, static_cast<size_t>(end - colon - 1));
    return XML_ERROR_NONE;
}

// Two attributes whose names differ only in prefix are one attribute twice once the prefixes are bound
// (expat itself refuses the same name written twice).
bool hasDuplicateExpandedName(const std::vector<XmlAttribute> &attributes, std::vector<XmlAttribute> &scratch)
{
    const auto n = attributes.size();
    const auto sameName = [](const XmlAttribute &x, const XmlAttribute &y) {
        return x.name.local == y.name.local && x.name.ns == y.name.ns;
    };
    if (n <= 8) {
        for (size_t i = 0; i < n; ++i)
            for (size_t j = i + 1; j < n; ++j)
                if (!attributes[i].name.ns.empty() && sameName(attributes[i], attributes[j]))
                    return true;
        return false;
    }
    // Sorted, so that a long attribute list costs n log n comparisons rather than n squared.
    scratch.assign(attributes.begin(), attributes.end());
    std::sort(scratch.begin(), scratch.end(), [](const XmlAttribute &x, const XmlAttribute &y) {
        return std::tie(x.name.local, x.name.ns) < std::tie(y.name.local, y.name.ns);
    });
    return std::adjacent_find(scratch.begin(), scratch.end(), sameName) != scratch.end();
}

} // namespace word
