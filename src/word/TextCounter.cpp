#include "word/TextCounter.h"
#include "word/Limits.h"
#include <QChar>
#include <QString>

namespace word {

namespace {

// Scripts written without spaces between words, where the word processor counts every character as a
// word: CJK ideographs, kana, CJK punctuation and full-width forms.
bool isEastAsianWordCharacter(char32_t c)
{
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

enum class Kind : unsigned char { Counted, Space, Ignored };

Kind kindOf(char16_t c)
{
    const QChar ch(c);
    if (ch.isSpace())
        return Kind::Space;
    const QChar::Category category = ch.category();
    if (category == QChar::Other_Control || category == QChar::Other_Format || ch.isSurrogate() ||
        category == QChar::Other_NotAssigned)
        return Kind::Ignored;
    return Kind::Counted;
}

// Most text is Latin: its kinds are looked up rather than asked of the Unicode tables for every
// character, which made counting the larger part of reading a document that stores no counts.
struct LatinKinds {
    Kind kinds[256];
    LatinKinds()
    {
        for (char16_t c = 0; c < 256; ++c)
            kinds[c] = kindOf(c);
    }
};

Kind kindOfCharacter(char16_t c)
{
    static const LatinKinds latin;
    return c < 256 ? latin.kinds[c] : kindOf(c);
}

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

void TextCounter::add(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            // One character written as two code units: counted once, by its code point.
            const char32_t cp = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
            ++m_stats.characters;
            ++m_stats.charactersWithSpaces;
            m_paragraphHasText = true;
            if (isEastAsianWordCharacter(cp)) {
                ++m_stats.words;
                m_inWord = false;
            } else if (!m_inWord) {
                ++m_stats.words;
                m_inWord = true;
            }
            continue;
        }
        add(c.unicode());
    }
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
    if (isEastAsianWordCharacter(c)) {
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
