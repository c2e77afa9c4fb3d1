// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace word {

// An element or attribute name with its namespace, as UTF-8 pointing into the parser's own buffers
// (valid during the callback only). `ns` is empty for a name in no namespace.
struct XmlName {
    std::string_view ns;
    std::string_view local;
    bool is(std::string_view n, std::string_view l) const { return local == l && ns == n; }
};

// An attribute with its name resolved against the namespaces in scope.
struct XmlAttribute {
    XmlName name;
    std::string_view value;
};

// The namespace bindings in scope while a part is parsed, as the XML namespaces recommendation makes
// them: declared by xmlns attributes, in force to the end of the declaring element, "xml" always bound.
// Errors are expat's codes, so that a part breaking these rules reads as malformed in its own words.
class XmlNamespaceScope {
public:
    // More bindings in scope than the limit: not a rule of XML, a bound of this reader.
    static constexpr int kTooManyBindings = -1;

    XmlNamespaceScope();
    // Whether an attribute is a namespace declaration rather than a value of the element.
    static bool isDeclaration(const char *attribute);
    // Makes the declarations among the attributes of the element at `depth`; XML_ERROR_NONE (0) or why
    // they are refused.
    int enter(const char **attributes, int depth);
    // Drops the bindings of the element at `depth`, which ends.
    void leave(int depth);
    // Splits a qualified name into its prefix and local name and resolves the prefix; XML_ERROR_NONE (0)
    // or why the name is refused (an unbound prefix, a malformed name). The namespace stays valid as long
    // as the binding that gives it is in scope.
    int resolve(const char *qname, bool isAttribute, XmlName &out);
    // Whether two prefixes in scope may be bound to one namespace; only then can two attributes written
    // differently have one expanded name. False is certain, true may be a false alarm.
    bool mayAlias() const { return m_aliasing > 0; }

private:
    struct Binding {
        std::string prefix;
        std::string uri;
        int depth;
        bool aliases = false; // counted in m_aliasing
    };
    static constexpr std::size_t kCachedPrefixBytes = 15;
    // The URI bound to `prefix` (empty for the default namespace), or nullptr when none is.
    const std::string *lookup(std::string_view prefix);
    const std::string *lookupInScope(std::string_view prefix) const;

    // Innermost last; a deque, so that a namespace resolved for an open element stays where it is while
    // deeper bindings come and go.
    std::deque<Binding> m_bindings;
    int m_aliasing = 0; // bindings that may share their namespace with another prefix in scope
    // Recent prefix lookups: most parts use a handful of prefixes declared on the root element, so a
    // name's prefix is nearly always found here instead of by a walk over every binding in scope.
    struct CachedLookup {
        char prefix[kCachedPrefixBytes];
        unsigned char length = 0;
        const std::string *uri = nullptr;
        unsigned generation = 0;
    };
    std::array<CachedLookup, 32> m_lookups{};
    unsigned m_generation = 1; // changes with every binding made or dropped
};

// Whether two of these attributes have one expanded name (the same local name in the same namespace
// under two prefixes); `scratch` is working space reused between calls.
bool hasDuplicateExpandedName(const std::vector<XmlAttribute> &attributes, std::vector<XmlAttribute> &scratch);

} // namespace word
