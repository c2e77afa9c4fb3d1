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

// The bindings, and the length of a prefix or namespace, that a scope keeps room for from part to part.
constexpr std::size_t kKeptBindings = 64;
constexpr std::size_t kLongestKeptName = 1024;

} // namespace

const int XmlNamespaceScope::kInvalidToken = XML_ERROR_INVALID_TOKEN;
const int XmlNamespaceScope::kUnboundPrefix = XML_ERROR_UNBOUND_PREFIX;

XmlNamespaceScope::XmlNamespaceScope()
{
    m_bindings.push_back({std::string("xml"), std::string(kXmlNamespace), 0});
    m_inScope = 1;
}

void XmlNamespaceScope::reset()
{
    // What a part with many bindings or long names took is not held on to for the next parts.
    if (m_bindings.size() > kKeptBindings)
        m_bindings.resize(kKeptBindings);
    if (m_holdsLongNames) {
        for (std::size_t i = 1; i < m_bindings.size(); ++i) {
            if (m_bindings[i].uri.capacity() > kLongestKeptName)
                std::string().swap(m_bindings[i].uri);
            if (m_bindings[i].prefix.capacity() > kLongestKeptName)
                std::string().swap(m_bindings[i].prefix);
        }
        m_holdsLongNames = false;
    }
    m_inScope = 1;
    m_aliasing = 0;
    m_innermostDepth = 0;
    // Remembered look-ups are told from current ones by the generation; before it could come round to
    // theirs again, they are forgotten.
    if (++m_generation > (1u << 30)) {
        m_lookups = {};
        m_names = {};
        m_generation = 1;
    }
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
        if (static_cast<int>(m_inScope) > limits::kMaxXmlNamespaceBindings)
            return kTooManyBindings;
        // The default namespace never applies to attributes, so it aliases nothing that matters there.
        bool aliases = false;
        if (!prefix.empty()) {
            aliases = m_inScope > kAliasScanLimit;
            for (std::size_t i = 0; i < m_inScope && !aliases; ++i)
                aliases = m_bindings[i].uri == uri && !m_bindings[i].prefix.empty() && m_bindings[i].prefix != prefix;
        }
        if (m_inScope == m_bindings.size())
            m_bindings.emplace_back();
        Binding &b = m_bindings[m_inScope++];
        m_holdsLongNames = m_holdsLongNames || prefix.size() > kLongestKeptName || uri.size() > kLongestKeptName;
        b.prefix.assign(prefix);
        b.uri.assign(uri);
        b.depth = depth;
        b.aliases = aliases;
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
    while (m_bindings[m_inScope - 1].depth == depth) {
        m_aliasing -= m_bindings[m_inScope - 1].aliases;
        --m_inScope;
    }
    m_innermostDepth = m_bindings[m_inScope - 1].depth;
    ++m_generation;
}

const std::string *XmlNamespaceScope::lookupAndRemember(std::string_view prefix)
{
    const std::string *uri = nullptr;
    for (std::size_t i = m_inScope; i-- > 0;)
        if (m_bindings[i].prefix == prefix) {
            uri = &m_bindings[i].uri;
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
