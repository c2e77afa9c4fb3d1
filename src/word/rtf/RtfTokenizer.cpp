// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/rtf/RtfTokenizer.h"
#include "word/toolkit/InputFile.h"
#include "word/toolkit/Limits.h"
#include <cstring>

namespace word {

namespace {

bool isLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

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

// The name is copied into a fixed buffer rather than a QByteArray: control words are most of an RTF
// file, and an allocation for each one made them the bulk of counting its text.
void RtfTokenizer::readWord(RtfToken &token)
{
    // Letters and digits are taken straight from the loaded buffer; peek() loads more only at its end.
    int length = 0;
    do {
        const char *data = m_buf.constData();
        const qsizetype size = m_buf.size();
        qsizetype i = m_i;
        for (; i < size && isLetter(static_cast<unsigned char>(data[i])); ++i)
            if (length < int(sizeof m_name))
                m_name[length++] = data[i];
        m_i = i;
    } while (m_i >= m_buf.size() && isLetter(peek()));
    token.kind = RtfToken::Kind::Word;
    token.name = std::string_view(m_name, size_t(length));
    bool negative = false;
    if (peek() == '-') {
        get();
        negative = true;
    }
    int digits = 0;
    do {
        const char *data = m_buf.constData();
        const qsizetype size = m_buf.size();
        qsizetype i = m_i;
        for (; i < size && isDigit(static_cast<unsigned char>(data[i])); ++i) {
            if (digits++ < limits::kMaxRtfParamDigits)
                token.param = token.param * 10 + (data[i] - '0');
            token.hasParam = true;
        }
        m_i = i;
    } while (m_i >= m_buf.size() && isDigit(peek()));
    if (negative)
        token.param = -token.param;
    if (peek() == ' ')
        get();
    if (token.name == "bin" && token.param > 0) // binary data: stepped over, never read as text
        skipBytes(token.param);
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
            while (m_i < m_buf.size()) {
                const char b = m_buf.constData()[m_i];
                if (b == '\\' || b == '{' || b == '}' || b == '\r' || b == '\n')
                    break;
                ++m_i;
            }
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
        // Skipped groups are mostly pictures and fonts: long runs of hex digits and text that only the
        // three markup bytes can end, passed over in the loaded buffer without a call per byte.
        const char *data = m_buf.constData();
        const char *end = data + m_buf.size();
        const char *p = data + m_i;
        // A picture's hex digits run for kilobytes: the nearest of the three bytes is found by the
        // library's vector search, each search bounded by the nearest found so far.
        for (const char markup : {'\\', '{', '}'})
            if (const void *at = std::memchr(p, markup, static_cast<size_t>(end - p)))
                end = static_cast<const char *>(at);
        m_i = end - data;
        const int c = get();
        if (c < 0)
            return;
        if (c == '\\') {
            if (isLetter(peek())) {
                RtfToken word;
                readWord(word);
            } else if (peek() >= 0) {
                get(); // \{ \} \\ and the other symbols
            }
        } else if (c == '{') {
            ++level;
        } else if (c == '}') {
            if (--level == 0)
                return;
        }
    }
}

} // namespace word
