// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/rtf/RtfTokenizer.h"
#include "word/toolkit/InputFile.h"
#include "word/toolkit/Limits.h"
#include <array>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace word {

namespace {

// ASCII letters, by a table: a control word's letters are the bytes an RTF file has most of.
constexpr std::array<bool, 256> kLetters = [] {
    std::array<bool, 256> letters{};
    for (int c = 'a'; c <= 'z'; ++c)
        letters[size_t(c)] = letters[size_t(c - 'a' + 'A')] = true;
    return letters;
}();
bool isLetter(int c) { return c >= 0 && kLetters[size_t(c)]; }
bool isDigit(int c) { return static_cast<unsigned>(c - '0') < 10u; }

bool isMarkup(char c) { return c == '\\' || c == '{' || c == '}'; }

// The bytes that end a run of plain text: the markup, and line breaks, which are not text in RTF.
constexpr std::array<bool, 256> kTextEnds = [] {
    std::array<bool, 256> ends{};
    for (const char c : {'\\', '{', '}', '\r', '\n'})
        ends[static_cast<unsigned char>(c)] = true;
    return ends;
}();

// The first of the three bytes that mark up RTF (a backslash or a brace) from `p` on, or `end`. Groups that
// are stepped over are mostly pictures, fonts and styles: kilobytes of hex digits, and control words a few
// bytes apart. Sixteen bytes are compared at a time where the processor can, which costs the same few
// instructions for a short run between two control words as for a long one of hex digits.
const char *findMarkup(const char *p, const char *end)
{
#if defined(__SSE2__)
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i open = _mm_set1_epi8('{');
    const __m128i close = _mm_set1_epi8('}');
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, backslash), _mm_cmpeq_epi8(v, open)), _mm_cmpeq_epi8(v, close));
        if (const int mask = _mm_movemask_epi8(hits))
            return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    while (p < end && !isMarkup(*p))
        ++p;
    return p;
}

int hexValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<char16_t> rtfTypographicCharacter(std::string_view word)
{
    static constexpr struct {
        std::string_view name;
        char16_t ch;
    } characters[] = {{"emdash", 0x2014},    {"endash", 0x2013},   {"emspace", 0x2003}, {"enspace", 0x2002},
                      {"qmspace", 0x2005},   {"bullet", 0x2022},   {"lquote", 0x2018},  {"rquote", 0x2019},
                      {"ldblquote", 0x201C}, {"rdblquote", 0x201D}};
    for (const auto &c : characters)
        if (word == c.name)
            return c.ch;
    return std::nullopt;
}

RtfTokenizer::RtfTokenizer(const FileContent &content, qint64 limit)
    : m_file(content.file), m_buf(content.head),
      m_fileSize(content.headIsWhole ? content.head.size() : content.file.size()), m_end(qMin(m_fileSize, limit))
{
    if (m_buf.size() > m_end)
        m_buf.truncate(m_end);
}

bool RtfTokenizer::refill()
{
    const qint64 pos = m_base + m_buf.size();
    if (pos >= m_end)
        return false;
    m_base = pos;
    m_buf = m_file.read(pos, qMin<qint64>(limits::kRtfReadChunkBytes, m_end - pos));
    m_i = 0;
    return !m_buf.isEmpty();
}

void RtfTokenizer::skipBytes(qint64 n)
{
    const qint64 target = m_base + m_i + n;
    if (target <= m_base + m_buf.size()) {
        m_i = static_cast<qsizetype>(target - m_base);
        return;
    }
    m_base = qMin(target, m_end);
    m_buf.clear();
    m_i = 0;
}

// The name is not copied into a QByteArray: control words are most of an RTF file, and an allocation for
// each one made them the bulk of counting its text. It is seen where it lies in the loaded buffer, and
// copied into a fixed one only when that buffer may be replaced before the token is used.
void RtfTokenizer::readWord(RtfToken &token)
{
    // The loops below stop at the NUL that a QByteArray keeps after its data (the buffer is always one read
    // from the file, never raw data), which is neither letter nor digit, without comparing each position
    // with the end.
    token.kind = RtfToken::Kind::Word;
    {
        const char *const data = m_buf.constData();
        const char *p = data + m_i;
        const char *const start = p;
        while (isLetter(static_cast<unsigned char>(*p)))
            ++p;
        m_i = p - data;
        token.name = std::string_view(start, size_t(qMin<qsizetype>(p - start, sizeof m_name)));
    }
    if (m_i >= m_buf.size()) {
        // The word may go on in the next chunk.
        keepName(token);
        size_t length = token.name.size();
        for (int c = peek(); isLetter(c); c = peek()) {
            get();
            if (length < sizeof m_name)
                m_name[length++] = static_cast<char>(c);
        }
        token.name = std::string_view(m_name, length);
    }
    bool negative = false;
    if (peekKeeping(token) == '-') {
        get();
        negative = true;
    }
    int digits = 0;
    qint64 param = 0;
    do {
        const char *const data = m_buf.constData();
        const char *p = data + m_i;
        for (; isDigit(static_cast<unsigned char>(*p)); ++p)
            if (digits++ < limits::kMaxRtfParamDigits)
                param = param * 10 + (*p - '0');
        m_i = p - data;
    } while (m_i >= m_buf.size() && isDigit(peekKeeping(token)));
    token.hasParam = digits > 0;
    token.param = negative ? -param : param;
    if (peekKeeping(token) == ' ')
        get();
    if (token.name == "bin" && token.param > 0) // binary data: stepped over, never read as text
        skipBytes(token.param);
}

void RtfTokenizer::keepName(RtfToken &token)
{
    if (token.name.data() == m_name)
        return;
    std::memcpy(m_name, token.name.data(), token.name.size());
    token.name = std::string_view(m_name, token.name.size());
}

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    for (;;) {
        const int c = get();
        switch (c) {
        case -1:
            return token;
        case '\r':
        case '\n':
            continue;
        case '{':
            token.kind = RtfToken::Kind::GroupStart;
            return token;
        case '}':
            token.kind = RtfToken::Kind::GroupEnd;
            return token;
        case '\\':
            break;
        default: {
            // Plain text comes as one run up to the end of what is loaded: a token per byte would make
            // the tokens, not the text, the cost of counting.
            const qsizetype start = m_i - 1;
            const char *data = m_buf.constData();
            const char *const end = data + m_buf.size();
            const char *p = data + m_i;
            while (p < end && !kTextEnds[static_cast<unsigned char>(*p)])
                ++p;
            m_i = p - data;
            token.kind = RtfToken::Kind::Text;
            token.text = std::string_view(m_buf.constData() + start, size_t(m_i - start));
            return token;
        }
        }
        const int n = peek();
        if (n < 0)
            return token; // a backslash at the very end
        if (isLetter(n)) {
            readWord(token);
            return token;
        }
        get();
        if (n != '\'') {
            token.kind = RtfToken::Kind::Symbol;
            token.ch = static_cast<char>(n);
            return token;
        }
        const int high = hexValue(get());
        const int low = hexValue(peek());
        if (high < 0 || low < 0) {
            token.kind = RtfToken::Kind::BadHex;
            return token;
        }
        get();
        token.kind = RtfToken::Kind::HexByte;
        token.ch = static_cast<char>(high * 16 + low);
        return token;
    }
}

void RtfTokenizer::skipGroup()
{
    qint64 level = 1;
    for (;;) {
        // Only the braces and backslashes matter: everything else is passed over in the loaded buffer. A
        // control word's letters, parameter and space hold no markup and are passed over with the rest;
        // only \binN must be read, for the data it steps over may hold any byte.
        const char *const data = m_buf.constData();
        const char *const end = data + m_buf.size();
        const char *p = data + m_i;
        for (p = findMarkup(p, end); end - p >= 2; p = findMarkup(p, end)) {
            if (*p == '\\') {
                if (p[1] == 'b')
                    break; // perhaps \bin: read below
                p += 2;    // the symbol (\{ \} \\ and the others), or a word's first letter
            } else if (*p++ == '{') {
                ++level;
            } else if (--level == 0) {
                m_i = p - data;
                return;
            }
        }
        m_i = p - data;
        // The same, one markup byte at a time, where the next byte may lie in the next chunk or the markup
        // begins a word with b.
        const int c = get();
        if (c < 0)
            return;
        if (c == '\\') {
            const int n = peek();
            if (n == 'b') {
                RtfToken word;
                readWord(word);
            } else if (n >= 0) {
                get();
            }
        } else if (c == '{') {
            ++level;
        } else if (c == '}' && --level == 0) {
            return;
        } // else the first byte of a chunk loaded by get()
    }
}

} // namespace word
