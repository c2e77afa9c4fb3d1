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

// Bindings looked through for another prefix of the same namespace; beyond them, aliasing is assumed.
constexpr std::size_t kAliasScanLimit = 64;

} // namespace

const int XmlNamespaceScope::kInvalidToken = XML_ERROR_INVALID_TOKEN;
const int XmlNamespaceScope::kUnboundPrefix = XML_ERROR_UNBOUND_PREFIX;

XmlNamespaceScope::XmlNamespaceScope() { m_bindings.push_back({std::string("xml"), std::string(kXmlNamespace), 0}); }

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

// Two attributes whose names differ only in prefix are one attribute twice once the prefixes are bound
// (expat itself refuses the same name written twice).
bool hasDuplicateExpandedName(const XmlAttribute *attributes, int count, std::vector<XmlAttribute> &scratch)
{
    const auto n = static_cast<size_t>(count);
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
    scratch.assign(attributes, attributes + n);
    std::sort(scratch.begin(), scratch.end(), [](const XmlAttribute &x, const XmlAttribute &y) {
        return std::tie(x.name.local, x.name.ns) < std::tie(y.name.local, y.name.ns);
    });
    return std::adjacent_find(scratch.begin(), scratch.end(), sameName) != scratch.end();
}

} // namespace word
