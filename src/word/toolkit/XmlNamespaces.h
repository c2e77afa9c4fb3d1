// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace word {

// The bytes of `word` that are zero: 0x80 in each, nothing elsewhere (exact, unlike the shorter form
// whose borrows mark bytes above a zero one).
constexpr std::uint64_t zeroBytesOf(std::uint64_t word)
{
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// An element or attribute name with its namespace, as UTF-8 pointing into the parser's own buffers
// (valid during the callback only). `ns` is empty for a name in no namespace.
struct XmlName {
    std::string_view ns;
    std::string_view local;
    bool is(std::string_view n, std::string_view l) const { return local == l && ns == n; }
};

// An attribute with its name resolved against the namespaces in scope; its value is measured when it
// is asked for (most are never looked at).
struct XmlAttribute {
    XmlName name;
    const char *value;
};

// The namespace bindings in scope while a part is parsed, as the XML namespaces recommendation makes
// them: declared by xmlns attributes, in force to the end of the declaring element, "xml" always bound.
// Errors are expat's codes, so that a part breaking these rules reads as malformed in its own words.
class XmlNamespaceScope {
public:
    // More bindings in scope than the limit: not a rule of XML, a bound of this reader.
    static constexpr int kTooManyBindings = -1;

    XmlNamespaceScope();
    // Back to the bindings of a part not yet begun ("xml" alone), keeping the room the last one took, so
    // that a scope reused from part to part allocates nothing.
    void reset();
    // Whether an attribute is a namespace declaration rather than a value of the element.
    static bool isDeclaration(const char *attribute)
    {
        std::string_view prefix;
        return declaredPrefix(attribute, prefix);
    }
    // A namespace declaration's prefix: "" for xmlns="…", "p" for xmlns:p="…"; false for other attributes.
    static bool declaredPrefix(const char *attribute, std::string_view &prefix)
    {
        // Compared byte by byte: nearly every attribute differs at the first one.
        if (attribute[0] != 'x' || attribute[1] != 'm' || attribute[2] != 'l' || attribute[3] != 'n'
            || attribute[4] != 's')
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
    // Makes the declarations among the attributes of the element at `depth`; XML_ERROR_NONE (0) or why
    // they are refused.
    int enter(const char **attributes, int depth);
    // Drops the bindings of the element at `depth`, which ends.
    void leave(int depth);
    // Splits a qualified name into its prefix and local name and resolves the prefix; XML_ERROR_NONE (0)
    // or why the name is refused (an unbound prefix, a malformed name). The namespace stays valid as long
    // as the binding that gives it is in scope.
    // Inline: every element and attribute name of a part comes through here.
    int resolve(const char *qname, bool isAttribute, XmlName &out)
    {
        // The colon: prefixes are a few letters, looked through byte by byte; a longer name (one without
        // a prefix, most often) is searched with the library's vectorised call, as is the local name,
        // which runs to twenty letters and more in office parts.
        const char *colon = qname;
        for (int i = 0; i < 8 && *colon && *colon != ':'; ++i)
            ++colon;
        if (*colon && *colon != ':')
            colon = strchrnul(colon, ':');
        if (!*colon) {
            out.local = std::string_view(qname, static_cast<std::size_t>(colon - qname));
            // An attribute without a prefix is in no namespace; an element is in the default one.
            const std::string *uri =
                isAttribute ? nullptr : lookup(std::string_view(qname, 0)); // the default namespace
            out.ns = uri ? std::string_view(*uri) : std::string_view();
            return 0;
        }
        const char *end = strchrnul(colon + 1, ':');
        // A qualified name has one colon between a prefix and a local name, both non-empty.
        if (colon == qname || colon + 1 == end || *end)
            return kInvalidToken;
        const std::string *uri = lookup(std::string_view(qname, static_cast<std::size_t>(colon - qname)));
        if (!uri)
            return kUnboundPrefix;
        out.ns = *uri;
        out.local = std::string_view(colon + 1, static_cast<std::size_t>(end - colon - 1));
        return 0;
    }
    // As resolve(), for a name after whose start any eight bytes up to its terminating zero and the seven
    // after it may be read (a part read whole as a tree is copied with that many zero bytes after it).
    // The names of a part repeat thousands of times ("w:r", "w:t", "w:val"...): a name of up to fifteen
    // bytes is looked up whole, by its bytes, among those resolved under the bindings now in scope.
    int resolveFollowed(const char *qname, bool isAttribute, XmlName &out)
    {
        if constexpr (std::endian::native != std::endian::little)
            return resolve(qname, isAttribute, out); // the key below takes a word's first byte as its lowest
        std::uint64_t head;
        std::uint64_t tail = 0;
        std::memcpy(&head, qname, 8);
        if (const std::uint64_t zeros = zeroBytesOf(head)) {
            head &= (zeros & (~zeros + 1)) - 1; // the bytes before the terminating zero
        } else {
            std::memcpy(&tail, qname + 8, 8);
            const std::uint64_t tailZeros = zeroBytesOf(tail);
            if (!tailZeros)
                return resolve(qname, isAttribute, out);
            tail &= (tailZeros & (~tailZeros + 1)) - 1;
        }
        // The top byte of `tail` is zero here (the name ends before it, or `tail` is unread).
        tail |= static_cast<std::uint64_t>(isAttribute) << 63;
        constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15ull;
        CachedName &slot = m_names[static_cast<std::size_t>(((head ^ (tail * kMix)) * kMix) >> (64 - kCachedNameBits))];
        if (slot.generation == m_generation && slot.head == head && slot.tail == tail) {
            out.ns = slot.ns;
            out.local = std::string_view(qname + slot.localOffset, slot.localLength);
            return 0;
        }
        const int error = resolve(qname, isAttribute, out);
        if (error == 0)
            slot = {head,
                    tail,
                    m_generation,
                    static_cast<std::uint32_t>(out.local.data() - qname),
                    static_cast<std::uint32_t>(out.local.size()),
                    out.ns};
        return error;
    }
    // Whether two prefixes in scope may be bound to one namespace; only then can two attributes written
    // differently have one expanded name. False is certain, true may be a false alarm.
    bool mayAlias() const { return m_aliasing > 0; }

private:
    static const int kInvalidToken;  // expat's XML_ERROR_INVALID_TOKEN
    static const int kUnboundPrefix; // expat's XML_ERROR_UNBOUND_PREFIX

    struct Binding {
        std::string prefix;
        std::string uri;
        int depth;
        bool aliases = false; // counted in m_aliasing
    };
    static constexpr std::size_t kCachedPrefixBytes = 15;
    static constexpr std::size_t kCachedLookups = 32;
    // The URI bound to `prefix` (empty for the default namespace), or nullptr when none is.
    const std::string *lookup(std::string_view prefix)
    {
        const CachedLookup &slot = m_lookups[lookupSlot(prefix)];
        if (slot.generation == m_generation && slot.length == prefix.size()) {
            // Prefixes are a few letters: compared inline rather than through a library call.
            std::size_t i = 0;
            while (i < prefix.size() && slot.prefix[i] == prefix[i])
                ++i;
            if (i == prefix.size())
                return slot.uri;
        }
        return lookupAndRemember(prefix);
    }
    const std::string *lookupAndRemember(std::string_view prefix);
    // A direct-mapped slot for a prefix: its length and its first and last characters tell the common
    // prefixes apart.
    static std::size_t lookupSlot(std::string_view prefix)
    {
        if (prefix.empty())
            return 0;
        const auto first = static_cast<unsigned char>(prefix.front());
        const auto last = static_cast<unsigned char>(prefix.back());
        return (prefix.size() * 31 + first * 7 + last) % kCachedLookups;
    }

    // Innermost last; a deque, so that a namespace resolved for an open element stays where it is while
    // deeper bindings come and go. The first m_inScope are in force; those after them are kept for their
    // strings' room, and written over by the next bindings made.
    std::deque<Binding> m_bindings;
    std::size_t m_inScope = 0;
    bool m_holdsLongNames = false; // a binding made since the last reset has a long prefix or namespace
    int m_aliasing = 0;            // bindings that may share their namespace with another prefix in scope
    int m_innermostDepth = 0;      // the depth of the innermost binding: most elements declare nothing
    // Recent prefix lookups: most parts use a handful of prefixes declared on the root element, so a
    // name's prefix is nearly always found here instead of by a walk over every binding in scope.
    struct CachedLookup {
        char prefix[kCachedPrefixBytes];
        unsigned char length = 0;
        const std::string *uri = nullptr;
        unsigned generation = 0;
    };
    std::array<CachedLookup, kCachedLookups> m_lookups{};
    unsigned m_generation = 1; // changes with every binding made or dropped
    // Names resolved under the bindings of the current generation, by their bytes (and whether they name
    // an attribute, in the top bit of `tail`).
    struct CachedName {
        std::uint64_t head = 0;
        std::uint64_t tail = 0;
        unsigned generation = 0;
        std::uint32_t localOffset = 0;
        std::uint32_t localLength = 0;
        std::string_view ns;
    };
    static constexpr unsigned kCachedNameBits = 8;
    std::array<CachedName, std::size_t{1} << kCachedNameBits> m_names{};
};

// Whether two of these attributes have one expanded name (the same local name in the same namespace
// under two prefixes); `scratch` is working space reused between calls.
bool hasDuplicateExpandedName(const XmlAttribute *attributes, int count, std::vector<XmlAttribute> &scratch);

} // namespace word
