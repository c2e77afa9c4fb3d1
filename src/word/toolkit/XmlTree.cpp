// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/XmlTree.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlNamespaces.h"
#include <QScopeGuard>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

namespace word::xmltree {

namespace {

// pugixml allocates its tree (up to some sixteen times the bytes of a part of nothing but empty elements)
// through these, held to a budget per thread: a part whose tree would outgrow it fails to load and goes
// to expat, which streams it in bounded memory.
constexpr std::size_t kTreeBudgetBytes = 64u * 1024 * 1024;
thread_local std::size_t t_treeBytes = 0;

struct alignas(std::max_align_t) AllocationHeader {
    std::size_t size;
};

void *allocateInBudget(std::size_t size)
{
    if (size > kTreeBudgetBytes - t_treeBytes)
        return nullptr;
    auto *header = static_cast<AllocationHeader *>(std::malloc(sizeof(AllocationHeader) + size));
    if (!header)
        return nullptr;
    header->size = size;
    t_treeBytes += size;
    return header + 1;
}

void releaseInBudget(void *p)
{
    if (!p)
        return;
    auto *header = static_cast<AllocationHeader *>(p) - 1;
    t_treeBytes -= header->size;
    std::free(header);
}

const bool kBudgetInstalled = [] {
    pugi::set_memory_management_functions(&allocateInBudget, &releaseInBudget);
    return true;
}();

// The flattened tree (below) is held to the same budget: an allocation beyond it throws, and the part
// goes to expat.
template <typename T> struct BudgetAllocator {
    using value_type = T;
    BudgetAllocator() = default;
    template <typename U> BudgetAllocator(const BudgetAllocator<U> &) {}
    T *allocate(std::size_t n)
    {
        void *p = n <= kTreeBudgetBytes / sizeof(T) ? allocateInBudget(n * sizeof(T)) : nullptr;
        if (!p)
            throw std::bad_alloc();
        return static_cast<T *>(p);
    }
    void deallocate(T *p, std::size_t) { releaseInBudget(p); }
    friend bool operator==(BudgetAllocator, BudgetAllocator) { return true; }
};

// The zero bytes that follow a part's copy (its terminating one among them), so that the names in it can
// be read a word at a time (see Visitor::start).
constexpr std::size_t kCopyPadding = 8;

// The copy of a part that pugixml parses in place (it writes into what it parses). Its room is kept per
// thread for the next part, up to a bound (a walk begun from within another one copies into room of its
// own), and counted in the budget while it is in use, as pugixml's own copy would be.
class PartCopy {
public:
    explicit PartCopy(std::string_view source)
    {
        if (source.size() + kCopyPadding > kTreeBudgetBytes - t_treeBytes)
            return;
        const bool shared = !t_taken;
        std::string &room = shared ? t_room : m_own;
        try {
            room.reserve(source.size() + kCopyPadding - 1);
            room.assign(source);
            room.append(kCopyPadding - 1, '\0'); // the string's own terminating zero is the last
        } catch (const std::bad_alloc &) {
            return; // as when pugixml cannot make its own copy: the part goes to expat
        }
        m_shared = shared;
        t_taken = t_taken || shared;
        m_data = room.data();
        m_counted = source.size() + kCopyPadding;
        t_treeBytes += m_counted;
    }
    ~PartCopy()
    {
        t_treeBytes -= m_counted;
        if (!m_shared)
            return;
        constexpr std::size_t kKeptBytes = 256 * 1024;
        if (t_room.capacity() > kKeptBytes)
            std::string().swap(t_room);
        t_taken = false;
    }
    PartCopy(const PartCopy &) = delete;
    PartCopy &operator=(const PartCopy &) = delete;
    // Null when the budget has no room for it.
    char *data() const { return m_data; }

private:
    static thread_local std::string t_room;
    static thread_local bool t_taken;
    std::string m_own;
    char *m_data = nullptr;
    std::size_t m_counted = 0;
    bool m_shared = false;
};

thread_local std::string PartCopy::t_room;
thread_local bool PartCopy::t_taken = false;

// The tree in document order, as the checks walk it: pugixml's accessors are calls into the library,
// so the tree is walked once, and the visitor is handed the events from here.
struct FlatTree {
    enum Kind : unsigned char { Start, End, Text };
    struct Step {
        const char *text;    // an element's name, or text (nothing for an element's end)
        std::uint32_t value; // Start: where its attributes begin in `attributes`; Text: its length
        Kind kind;
    };
    std::vector<Step, BudgetAllocator<Step>> steps;
    // For each element, its attributes' names and values in pairs, then nullptr, as expat lists them.
    std::vector<const char *, BudgetAllocator<const char *>> attributes;
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isAllSpace(std::string_view s)
{
    for (const char c : s)
        if (!isSpace(c))
            return false;
    return true;
}

// Whether any byte is a control character other than tab, line feed and carriage return; `nonAscii` tells
// whether any byte is above 0x7F. The whole part passes through here: one pass without an early way out,
// which the compiler turns into vector instructions (nearly every part has no such byte).
bool hasControlCharacter(std::string_view s, bool &nonAscii)
{
    unsigned char all = 0;
    unsigned char control = 0;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        all |= c;
        control |= static_cast<unsigned char>((c < 0x20) & (c != '\t') & (c != '\n') & (c != '\r'));
    }
    nonAscii = (all & 0x80) != 0;
    return control != 0;
}

// The XML declaration in the plain form office programs write: version 1.0, UTF-8 or no encoding,
// standalone yes or no, either quote, spaces between. Returns where it ends, or npos for any other form
// (left to expat to judge).
std::size_t plainDeclarationEnd(std::string_view s)
{
    if (!s.starts_with("<?xml") || s.size() < 6 || !isSpace(s[5]))
        return 0;
    std::size_t at = 5;
    auto pseudoAttribute = [&](std::string_view name, std::initializer_list<std::string_view> values) {
        std::size_t p = at;
        while (p < s.size() && isSpace(s[p]))
            ++p;
        if (p == at || s.substr(p, name.size()) != name)
            return false;
        p += name.size();
        while (p < s.size() && isSpace(s[p]))
            ++p;
        if (p >= s.size() || s[p] != '=')
            return false;
        ++p;
        while (p < s.size() && isSpace(s[p]))
            ++p;
        if (p >= s.size() || (s[p] != '"' && s[p] != '\''))
            return false;
        const char quote = s[p++];
        const std::size_t close = s.find(quote, p);
        if (close == std::string_view::npos)
            return false;
        const std::string_view value = s.substr(p, close - p);
        for (const std::string_view v : values)
            if (value.size() == v.size() && std::equal(value.begin(), value.end(), v.begin(), [](char a, char b) {
                    return (a | 0x20) == (b | 0x20);
                })) {
                at = close + 1;
                return true;
            }
        return false;
    };
    if (!pseudoAttribute("version", {"1.0"}))
        return std::string_view::npos;
    (void)pseudoAttribute("encoding", {"UTF-8"});
    (void)pseudoAttribute("standalone", {"yes", "no"});
    while (at < s.size() && isSpace(s[at]))
        ++at;
    return s.substr(at).starts_with("?>") ? at + 2 : std::string_view::npos;
}

// Whether the reference at the start of `s` (just after '&') is one XML defines and stands for a
// character XML allows.
bool isSoundReference(std::string_view s)
{
    const std::size_t end = s.find(';');
    if (end == std::string_view::npos || end > 12)
        return false;
    const std::string_view body = s.substr(0, end);
    if (body == "lt" || body == "gt" || body == "amp" || body == "apos" || body == "quot")
        return true;
    if (body.size() < 2 || body[0] != '#')
        return false;
    const bool hex = body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty())
        return false;
    char32_t value = 0;
    for (const char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            d = (c | 0x20) - 'a' + 10;
        else
            return false;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
    }
    return value == 0x9 || value == 0xA || value == 0xD || (value >= 0x20 && value <= 0xD7FF)
           || (value >= 0xE000 && value <= 0xFFFD) || (value >= 0x10000 && value <= 0x10FFFF);
}

// The markup from the root's start tag on (`s` begins with its '<'): whether no '<' begins a comment,
// CDATA section, document type or processing instruction or ends the part, and no two follow each other
// further apart than a quarter of the largest markup token expat takes; `tags` counts the '<'.
// One pass without an early way out per stretch, which the compiler turns into vector instructions: a
// search for each '<' would cost a library call for every tag of the part.
bool areTagsPlain(std::string_view s, std::size_t &tags)
{
    constexpr std::size_t kLongestGap = limits::kMaxXmlTokenBytes / 4;
    if (s.back() == '<')
        return false;
    // Every stretch of half the longest gap holding a '<' puts no two consecutive ones further apart than
    // the gap; when one holds none, the gaps are measured one by one.
    constexpr std::size_t kStretch = kLongestGap / 2;
    bool everyStretchHasTag = true;
    tags = 0;
    unsigned char opensOther = 0;
    for (std::size_t begin = 0; begin < s.size(); begin += kStretch) {
        const std::size_t end = std::min(s.size(), begin + kStretch);
        std::uint32_t count = 0;
        // Each byte with the one after it: the part's last byte is not '<' (above). Counted in blocks
        // that a byte holds the count of, which keeps the vector lanes bytes wide.
        const std::size_t pairsEnd = std::min(end, s.size() - 1);
        constexpr std::size_t kBlock = 240;
        for (std::size_t block = begin; block < pairsEnd; block += kBlock) {
            const std::size_t blockEnd = std::min(pairsEnd, block + kBlock);
            unsigned char blockCount = 0;
            for (std::size_t i = block; i < blockEnd; ++i) {
                const unsigned char open = s[i] == '<';
                blockCount += open;
                opensOther |= static_cast<unsigned char>(open & ((s[i + 1] == '!') | (s[i + 1] == '?')));
            }
            count += blockCount;
        }
        everyStretchHasTag = everyStretchHasTag && count > 0;
        tags += count;
    }
    if (opensOther)
        return false;
    if (everyStretchHasTag)
        return true;
    std::size_t previous = 0;
    for (std::size_t at = 0; at != std::string_view::npos; at = s.find('<', at + 1)) {
        if (at - previous > kLongestGap)
            return false;
        previous = at;
    }
    return true;
}

// Whether the bytes can be read by pugixml exactly as expat reads them: the checks of what pugixml does
// not check itself and can be seen in the bytes. `nonAscii` tells whether any byte is above 0x7F, `tags`
// how many '<' stand from the root's start tag on.
bool isPlainMarkup(std::string_view s, bool &nonAscii, std::size_t &tags)
{
    if (s.starts_with("\xEF\xBB\xBF"))
        s.remove_prefix(3);
    const std::size_t declarationEnd = plainDeclarationEnd(s);
    if (declarationEnd == std::string_view::npos)
        return false;
    // Only XML's characters, in well-formed UTF-8 (no surrogates, no U+FFFE or U+FFFF).
    if (hasControlCharacter(s, nonAscii))
        return false;
    if (nonAscii) {
        if (!QByteArrayView(s.data(), static_cast<qsizetype>(s.size())).isValidUtf8())
            return false;
        for (std::size_t at = s.find('\xEF'); at != std::string_view::npos; at = s.find('\xEF', at + 1))
            if (s.substr(at + 1, 2) == "\xBF\xBE" || s.substr(at + 1, 2) == "\xBF\xBF")
                return false;
    }
    // Every reference sound; no comment, CDATA section, document type or processing instruction
    // (where '&' and "]]>" would mean other things); no markup token near the size expat refuses.
    for (std::size_t at = s.find('&'); at != std::string_view::npos; at = s.find('&', at + 1))
        if (!isSoundReference(s.substr(at + 1)))
            return false;
    if (s.find("]]>") != std::string_view::npos)
        return false;
    const std::size_t first = s.find('<', declarationEnd);
    if (first == std::string_view::npos || !isAllSpace(s.substr(declarationEnd, first - declarationEnd)))
        return false;
    return areTagsPlain(s.substr(first), tags);
}

// Whether the part ends with the root's end tag and nothing but white space after it: pugixml passes
// over what follows the root in silence, where it is junk to XML.
bool endsWithEndTagOf(std::string_view s, std::string_view root)
{
    std::string_view tail = s.substr(s.rfind('<'));
    if (!tail.starts_with("</") || tail.substr(2, root.size()) != root)
        return false;
    tail.remove_prefix(2 + root.size());
    const std::size_t close = tail.find('>');
    return close != std::string_view::npos && isAllSpace(tail.substr(0, close)) && isAllSpace(tail.substr(close + 1));
}

// pugixml holds ASCII names to XML's rules itself, but takes any byte above 0x7F as a name character.
// A word at a time to the name's end (the part's copy is followed by zero bytes: see kCopyPadding).
bool hasNonAsciiByte(const char *name)
{
    if constexpr (std::endian::native != std::endian::little) {
        for (; *name; ++name)
            if (static_cast<unsigned char>(*name) > 0x7F)
                return true;
        return false;
    }
    for (std::size_t at = 0;; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, name + at, 8);
        const std::uint64_t zeros = zeroBytesOf(word);
        // The bytes before the terminating zero, all eight when it is not among them.
        const std::uint64_t before = zeros ? (zeros & (~zeros + 1)) - 1 : ~std::uint64_t(0);
        if (word & before & 0x8080808080808080ull)
            return true;
        if (zeros)
            return false;
    }
}

// Whether two names in the part's copy are one, compared a word at a time up to the first one's end (the
// copy is followed by zero bytes: see kCopyPadding): most elements have an attribute or two, and their
// names differ in their first eight bytes or end within them.
bool isSameName(const char *a, const char *b)
{
    if constexpr (std::endian::native != std::endian::little)
        return std::strcmp(a, b) == 0; // the masks below take a word's first byte as its lowest
    for (std::size_t at = 0;; at += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + at, 8);
        std::memcpy(&y, b + at, 8);
        const std::uint64_t zeros = zeroBytesOf(x);
        // The bytes up to and with the first one's terminating zero, all eight when it has none here.
        const std::uint64_t compared = zeros ? ((zeros & (~zeros + 1)) << 1) - 1 : ~std::uint64_t(0);
        if ((x ^ y) & compared)
            return false;
        if (zeros)
            return true;
    }
}

// Walks the tree under `root` in document order, without recursion (nesting has no bound here). `enter`
// is told of every node with its name and answers whether the walk goes on; `leave` of every element as
// it ends, and whether it had children.
// pugixml's accessors are calls into the library, so each is asked once: the walk knows it is back at
// the root by its depth rather than by comparing nodes, and an element by its name (the tree holds
// elements and text only, and text has none: the part holds no processing instruction, and pugixml is not
// asked to keep its declaration).
template <typename Enter, typename Leave> bool traverse(pugi::xml_node root, Enter &&enter, Leave &&leave)
{
    pugi::xml_node n = root;
    std::size_t depth = 0;
    for (;;) {
        const char *name = n.name();
        if (!enter(n, name))
            return false;
        if (*name) {
            if (const pugi::xml_node child = n.first_child()) {
                n = child;
                ++depth;
                continue;
            }
            if (!leave(false))
                return false;
        }
        // Up to the next sibling, ending each element left on the way.
        for (;;) {
            if (depth == 0)
                return true;
            if (const pugi::xml_node next = n.next_sibling()) {
                n = next;
                break;
            }
            n = n.parent();
            --depth;
            if (!leave(true))
                return false;
        }
    }
}

// What pugixml accepted and expat would not, seen in the tree: names outside ASCII (looked for when the
// part has such bytes at all), an attribute given twice, '<' in an attribute value, anything beside one
// root element; and elements with more attributes than the reader's bound, left to expat to refuse.
// `tags`: the '<' in the part from the root's start tag on. The tree is flattened into `flat` on the way.
bool isPlainTree(const pugi::xml_document &document, bool nonAscii, std::size_t tags, FlatTree &flat)
{
    int roots = 0;
    for (pugi::xml_node n = document.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element)
            ++roots;
        else if (n.type() != pugi::node_pcdata || !isAllSpace(n.value()))
            return false;
    }
    if (roots != 1)
        return false;
    // Most parts need about this much: a step for each tag, one more for each empty element and for each
    // text, and an attribute or so for each element.
    flat.steps.reserve(tags + tags / 2);
    flat.attributes.reserve(tags);
    const auto plainNode = [&](pugi::xml_node n, const char *name) {
        if (!*name) {
            if (n.type() != pugi::node_pcdata)
                return false;
            const char *text = n.value();
            flat.steps.push_back({text, static_cast<std::uint32_t>(std::strlen(text)), FlatTree::Text});
            return true;
        }
        if (nonAscii && hasNonAsciiByte(name))
            return false;
        const std::size_t first = flat.attributes.size();
        flat.steps.push_back({name, static_cast<std::uint32_t>(first), FlatTree::Start});
        int count = 0;
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
            // Beyond the bound, expat refuses the element (and checks no pair of them first).
            if (count == limits::kMaxXmlAttributesPerElement)
                return false;
            const char *attributeName = a.name();
            if (nonAscii && hasNonAsciiByte(attributeName))
                return false;
            for (int i = 0; i < count; ++i)
                if (isSameName(attributeName, flat.attributes[first + 2 * static_cast<std::size_t>(i)]))
                    return false;
            ++count;
            flat.attributes.push_back(attributeName);
            flat.attributes.push_back(a.value());
        }
        flat.attributes.push_back(nullptr);
        return true;
    };
    // Each element stands for one '<' (<a/>) or two (<a>…</a>, as any with children is written), and
    // text holds none: when the part has no more than the elements need at the least, no '<' is left for
    // an attribute value, and the values need no look.
    std::size_t leastTags = 0;
    const auto endElement = [&](bool hadChildren) {
        leastTags += hadChildren ? 2 : 1;
        flat.steps.push_back({nullptr, 0, FlatTree::End});
        return true;
    };
    if (!traverse(document.document_element(), plainNode, endElement))
        return false;
    if (tags == leastTags)
        return true;
    // The values stand in the pairs after each name.
    bool isValue = false;
    for (const char *text : flat.attributes) {
        if (!text) {
            isValue = false;
            continue;
        }
        if (isValue && std::strchr(text, '<'))
            return false;
        isValue = !isValue;
    }
    return true;
}

// An element's place: its name stands where pugixml found it in its copy of the part, which it reckons
// offsets from (pugixml's offset_debug); `base` is where that copy begins, null when unknown.
struct LinePosition {
    std::string_view source;
    const char *base;
    const char *name;
};

// The line of an element's start tag: line ends counted as expat counts them (LF, CR LF or a lone CR).
qint64 lineOf(const void *at)
{
    const auto *p = static_cast<const LinePosition *>(at);
    const std::string_view before =
        p->source.substr(0, p->base ? static_cast<std::size_t>(p->name - p->base) : std::string_view::npos);
    qint64 line = 1;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] == '\n' || (before[i] == '\r' && (i + 1 == before.size() || before[i + 1] != '\n')))
            ++line;
    return line;
}

// Hands the tree to the visitor in document order.
void visit(FlatTree &flat, std::string_view source, const char *base, Visitor &visitor)
{
    LinePosition position{source, base, nullptr};
    for (const FlatTree::Step &step : flat.steps) {
        bool going;
        if (step.kind == FlatTree::Start) {
            position.name = step.text;
            going = visitor.start(step.text, flat.attributes.data() + step.value, &lineOf, &position);
        } else if (step.kind == FlatTree::End) {
            going = visitor.end();
        } else {
            going = visitor.text(step.text, step.value);
        }
        if (!going)
            return;
    }
}

} // namespace

bool walk(QByteArrayView xml, Visitor &visitor)
{
    (void)kBudgetInstalled;
    if (xml.size() > kMaxTreeBytes)
        return false;
    const std::string_view source(xml.data(), static_cast<std::size_t>(xml.size()));
    bool nonAscii = false;
    std::size_t tags = 0;
    if (!isPlainMarkup(source, nonAscii, tags))
        return false;
    PartCopy copy(source);
    if (!copy.data())
        return false;
    pugi::xml_document document;
    constexpr unsigned kOptions =
        pugi::parse_escapes | pugi::parse_wconv_attribute | pugi::parse_eol | pugi::parse_ws_pcdata;
    if (!document.load_buffer_inplace(copy.data(), source.size(), kOptions, pugi::encoding_utf8))
        return false;
    // The flattened tree's room is kept per thread for the next part, up to a bound; a walk begun from
    // within another one flattens into a tree of its own.
    thread_local FlatTree t_spare;
    thread_local bool t_spareTaken = false;
    std::optional<FlatTree> own;
    const bool spare = !t_spareTaken;
    FlatTree &flat = spare ? t_spare : own.emplace();
    if (spare) {
        t_spareTaken = true;
        flat.steps.clear();
        flat.attributes.clear();
    }
    const auto giveBack = qScopeGuard([&] {
        if (!spare)
            return;
        constexpr std::size_t kKeptBytes = 64 * 1024;
        if (flat.steps.capacity() * sizeof(FlatTree::Step) > kKeptBytes)
            decltype(flat.steps)().swap(flat.steps);
        if (flat.attributes.capacity() * sizeof(const char *) > kKeptBytes)
            decltype(flat.attributes)().swap(flat.attributes);
        t_spareTaken = false;
    });
    try {
        if (!isPlainTree(document, nonAscii, tags, flat)
            || !endsWithEndTagOf(source, document.document_element().name()))
            return false;
    } catch (const std::bad_alloc &) {
        return false; // beyond the budget: expat streams it
    }
    const pugi::xml_node root = document.document_element();
    const std::ptrdiff_t rootOffset = root.offset_debug();
    visit(flat, source, rootOffset >= 0 ? root.name() - rootOffset : nullptr, visitor);
    return true;
}

} // namespace word::xmltree
