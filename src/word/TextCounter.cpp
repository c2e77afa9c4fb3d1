// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/TextCounter.h"
#include "word/toolkit/Limits.h"
#include <QChar>
#include <QString>
#include <bit>
#include <cstring>

namespace word {

namespace {

// Scripts written without spaces between words, where the word processor counts every character as a
// word: CJK ideographs, kana, CJK punctuation and full-width forms.
bool isEastAsianWordCharacter(char32_t c)
{
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF)
           || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

enum class Kind : unsigned char { Counted, Space, Ignored };

Kind kindOf(char16_t c)
{
    const QChar ch(c);
    if (ch.isSpace())
        return Kind::Space;
    const QChar::Category category = ch.category();
    if (category == QChar::Other_Control || category == QChar::Other_Format || ch.isSurrogate()
        || category == QChar::Other_NotAssigned)
        return Kind::Ignored;
    return Kind::Counted;
}

// Most text is Latin, Greek, Cyrillic, Hebrew or Arabic (all below U+0800): its kinds are looked up rather
// than asked of the Unicode tables for every character, which made counting the larger part of reading a
// document that stores no counts.
constexpr char16_t kTabledCharacters = 0x800;
struct LatinKinds {
    Kind kinds[kTabledCharacters];
    LatinKinds()
    {
        for (char16_t c = 0; c < kTabledCharacters; ++c)
            kinds[c] = kindOf(c);
    }
};

// Made before main() (the Unicode tables are plain data), so that looking a character up costs no check
// of whether the table exists yet.
const LatinKinds kLatin;

Kind kindOfCharacter(char16_t c) { return c < kTabledCharacters ? kLatin.kinds[c] : kindOf(c); }

// Only characters from U+3000 on can be written without spaces between words.
bool isWordOfItsOwn(char32_t c) { return c >= 0x3000 && isEastAsianWordCharacter(c); }

} // namespace

CountingRules CountingRules::ofWriter(QStringView application)
{
    for (const char *suite : {"LibreOffice", "OpenOffice", "StarOffice", "NeoOffice", "Collabora"})
        if (application.contains(QLatin1String(suite), Qt::CaseInsensitive))
            return officeSuite();
    if (application.startsWith(QLatin1String("WPS"), Qt::CaseInsensitive))
        return wps();
    return word();
}

namespace {

// The counts of a run of text, kept in locals through the loop so that the compiler can keep them in
// registers; the counter takes them over when the run ends.
struct RunCounts {
    qint64 characters = 0;
    qint64 spaces = 0;
    qint64 words = 0;
    bool inWord;
    bool hasText;

    void take(Kind kind, char32_t c, const CountingRules &rules)
    {
        if (kind == Kind::Space) {
            ++spaces;
            inWord = false;
            hasText = hasText || rules.countsBlankParagraphs;
        } else if (kind == Kind::Ignored && c == 0xAD) {
            // An optional hyphen written as a character, counted as the writer counts it.
            if (rules.softHyphenSeparatesWords) {
                ++spaces;
                inWord = false;
            } else {
                ++characters;
                hasText = true;
                if (!inWord) {
                    ++words;
                    inWord = true;
                }
            }
        } else if (kind == Kind::Counted) {
            ++characters;
            hasText = true;
            if (isWordOfItsOwn(c)) {
                ++words;
                inWord = false;
            } else if (!inWord) {
                ++words;
                inWord = true;
            }
        }
    }
};

} // namespace

namespace {

bool isTabledCounted(char16_t c) { return c < kTabledCharacters && kLatin.kinds[c] == Kind::Counted; }

// Code units as the counter reads them: UTF-16 as it is, or the bytes of a single-byte code page through
// the table of the characters they stand for (counted without being turned into UTF-16 first).
struct Utf16Units {
    char16_t operator()(char16_t c) const { return c; }
    // A character counted as part of a word, with no word of its own.
    bool wordCharacter(char16_t c) const { return isTabledCounted(c); }
};

struct CodePageUnits {
    const SingleByteCodePage &codePage;
    char16_t operator()(unsigned char b) const { return codePage.characters[b]; }
    bool wordCharacter(unsigned char b) const { return codePage.wordCharacter[b]; }
};

} // namespace

SingleByteCodePage::SingleByteCodePage(const std::array<char16_t, 256> &table) : characters(table)
{
    for (size_t b = 0; b < 256; ++b)
        wordCharacter[b] = isTabledCounted(characters[b]);
}

template <bool kStopAtControl, typename Unit, typename Decode>
qsizetype TextCounter::addRun(const Unit *begin, const Unit *end, Decode decode)
{
    RunCounts run{0, 0, 0, m_inWord, m_paragraphHasText};
    const Unit *p = begin;
    while (p != end) {
        if (decode.wordCharacter(*p)) {
            // Most text is runs of such characters (a word): one pass to its end, counted at once.
            const Unit *const from = p;
            do
                ++p;
            while (p != end && decode.wordCharacter(*p));
            run.characters += p - from;
            run.hasText = true;
            if (!run.inWord) {
                ++run.words;
                run.inWord = true;
            }
            continue;
        }
        const char16_t c = decode(*p);
        if (c == u' ') { // the blank between two words, the next most common character
            ++run.spaces;
            run.inWord = false;
            run.hasText = run.hasText || m_rules.countsBlankParagraphs;
            ++p;
            continue;
        }
        if (kStopAtControl && (c < 0x20 || QChar::isSurrogate(c))) {
            break;
        } else if (QChar::isHighSurrogate(c) && end - p > 1 && QChar::isLowSurrogate(decode(p[1]))) {
            // One character written as two code units: counted once, by its code point.
            run.take(Kind::Counted, QChar::surrogateToUcs4(c, decode(p[1])), m_rules);
            p += 2;
        } else {
            run.take(kindOfCharacter(c), c, m_rules);
            ++p;
        }
    }
    finishRun(run.characters, run.spaces, run.words, run.inWord, run.hasText);
    return p - begin;
}

void TextCounter::add(QStringView text) { addRun<false>(text.utf16(), text.utf16() + text.size(), Utf16Units()); }

qsizetype TextCounter::addUntilControl(QStringView text)
{
    return addRun<true>(text.utf16(), text.utf16() + text.size(), Utf16Units());
}

qsizetype TextCounter::addUntilControl(const unsigned char *bytes, qsizetype size, const SingleByteCodePage &codePage)
{
    return addRun<true>(bytes, bytes + size, CodePageUnits{codePage});
}

namespace {

// The characters of ASCII text simply counted as part of a word: the printable ones but the blank.
bool isAsciiWordCharacter(unsigned char b) { return b - 0x21u < 0x7Fu - 0x21u; }

bool isXmlSpace(unsigned char b) { return b == ' ' || b == '\t' || b == '\n' || b == '\r'; }

// The first byte from `p` on that is not an ASCII character simply counted as part of a word. Eight
// bytes are looked at together where the processor allows: a byte outside 0x21..0x7E sets its top bit in
// one of the three terms, and a carry or borrow only ever runs from such a byte to those after it, so the
// lowest top bit set is the first such byte.
inline const unsigned char *asciiWordEnd(const unsigned char *p, const unsigned char *end)
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr quint64 kOnes = 0x0101010101010101ull;
        constexpr quint64 kTops = 0x8080808080808080ull;
        while (end - p >= 8) {
            quint64 w;
            std::memcpy(&w, p, sizeof w);
            if (const quint64 outside = (w | (w + kOnes) | (w - 0x21 * kOnes)) & kTops)
                return p + std::countr_zero(outside) / 8;
            p += 8;
        }
    }
    while (p < end && isAsciiWordCharacter(*p))
        ++p;
    return p;
}

// Whether `p` starts a character written in two bytes (accented Latin, Greek, Cyrillic, Hebrew, Arabic)
// that is simply counted as part of a word.
inline bool isTwoByteWordCharacter(const unsigned char *p, const unsigned char *end)
{
    return (*p & 0xE0u) == 0xC0u && end - p >= 2
           && kLatin.kinds[((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu)] == Kind::Counted;
}

} // namespace

template <bool kCollapseSpace> bool TextCounter::addUtf8Run(std::string_view text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *const end = p + text.size();
    RunCounts run{0, 0, 0, m_inWord, m_paragraphHasText};
    bool lastWasSpace = false;
    while (p < end) {
        if (isAsciiWordCharacter(*p) || isTwoByteWordCharacter(p, end)) {
            // Most text is runs of such characters (a word): one pass to its end, counted at once.
            const auto *const from = p;
            qint64 extraBytes = 0; // the second bytes of two-byte characters
            for (;;) {
                p = asciiWordEnd(p, end);
                if (p == end || !isTwoByteWordCharacter(p, end))
                    break;
                p += 2;
                ++extraBytes;
            }
            run.characters += p - from - extraBytes;
            run.hasText = true;
            if (!run.inWord) {
                ++run.words;
                run.inWord = true;
            }
            lastWasSpace = false;
            continue;
        }
        char32_t c = *p;
        if (kCollapseSpace && isXmlSpace(*p)) {
            if (!lastWasSpace)
                run.take(Kind::Space, U' ', m_rules);
            lastWasSpace = true;
            ++p;
            continue;
        }
        lastWasSpace = false;
        Kind kind;
        if (c < 0x80) {
            ++p;
            kind = kLatin.kinds[c];
        } else {
            // The parser hands over valid UTF-8 only; a stray byte is still stepped over, as a character
            // that is not one.
            int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            if (length == 1 || end - p < length) {
                ++p;
                continue;
            }
            c &= 0x3F >> (length - 1);
            for (int k = 1; k < length; ++k)
                c = (c << 6) | (p[k] & 0x3F);
            p += length;
            // A character beyond the 16-bit range is counted whatever its kind, as its surrogate pair is.
            kind = c > 0xFFFF ? Kind::Counted : kindOfCharacter(static_cast<char16_t>(c));
        }
        run.take(kind, c, m_rules);
    }
    finishRun(run.characters, run.spaces, run.words, run.inWord, run.hasText);
    return lastWasSpace;
}

void TextCounter::addUtf8(std::string_view text) { addUtf8Run<false>(text); }

bool TextCounter::addUtf8CollapsingSpace(std::string_view text) { return addUtf8Run<true>(text); }

void TextCounter::finishRun(qint64 characters, qint64 spaces, qint64 words, bool inWord, bool hasText)
{
    m_stats.characters += characters;
    m_stats.charactersWithSpaces += characters + spaces;
    m_stats.words += words;
    m_inWord = inWord;
    m_paragraphHasText = hasText;
}

void TextCounter::add(char16_t c)
{
    const Kind kind = kindOfCharacter(c);
    if (kind == Kind::Space) {
        ++m_stats.charactersWithSpaces;
        m_inWord = false;
        if (m_rules.countsBlankParagraphs)
            m_paragraphHasText = true;
        return;
    }
    if (kind == Kind::Ignored) {
        if (c == u'\u00AD')
            softHyphen(); // written as a character (ODF, RTF's \u173, plain text)
        return;
    }
    ++m_stats.characters;
    ++m_stats.charactersWithSpaces;
    m_paragraphHasText = true;
    if (isWordOfItsOwn(c)) {
        ++m_stats.words;
        m_inWord = false;
    } else if (!m_inWord) {
        ++m_stats.words;
        m_inWord = true;
    }
}

void TextCounter::label(QStringView text)
{
    if (text.isEmpty())
        return;
    m_inWord = false;
    add(text);
    m_inWord = false;
}

void TextCounter::object()
{
    if (m_rules.objectMakesParagraph)
        m_paragraphHasText = true;
    if (m_rules.objectIsCharacter) {
        ++m_stats.characters;
        ++m_stats.charactersWithSpaces;
    }
}

void TextCounter::anchor()
{
    if (m_rules.countsBlankParagraphs)
        m_paragraphHasText = true;
}

void TextCounter::softHyphen()
{
    if (m_rules.softHyphenSeparatesWords) {
        ++m_stats.charactersWithSpaces;
        m_inWord = false;
        return;
    }
    ++m_stats.characters;
    ++m_stats.charactersWithSpaces;
    m_paragraphHasText = true;
    if (!m_inWord) {
        ++m_stats.words;
        m_inWord = true;
    }
}

void TextCounter::paragraphMark()
{
    if (m_paragraphHasText)
        ++m_stats.paragraphs;
    m_paragraphHasText = false;
    m_inWord = false;
}

void TextCounter::openParagraph()
{
    // The nesting of paragraphs follows the document's element nesting, which the readers bound.
    if (m_outer.size() < static_cast<size_t>(limits::kMaxXmlDepth))
        m_outer.push_back(m_paragraphHasText);
    m_paragraphHasText = false;
    m_inWord = false;
}

void TextCounter::closeParagraph()
{
    paragraphMark();
    if (!m_outer.empty()) {
        m_paragraphHasText = m_outer.back();
        m_outer.pop_back();
    }
}

} // namespace word
