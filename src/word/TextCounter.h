// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringView>
#include <QtGlobal>
#include <array>
#include <string_view>
#include <vector>

namespace word {

// The statistics a word processor shows for a document's text.
struct TextStatistics {
    qint64 words = 0;
    qint64 characters = 0;           // without white space
    qint64 charactersWithSpaces = 0; // with white space, without paragraph marks
    qint64 paragraphs = 0;           // paragraphs holding at least one character that is not white space

    friend TextStatistics operator+(TextStatistics a, const TextStatistics &b)
    {
        return {a.words + b.words, a.characters + b.characters, a.charactersWithSpaces + b.charactersWithSpaces,
                a.paragraphs + b.paragraphs};
    }
    friend TextStatistics operator-(TextStatistics a, const TextStatistics &b)
    {
        return {a.words - b.words, a.characters - b.characters, a.charactersWithSpaces - b.charactersWithSpaces,
                a.paragraphs - b.paragraphs};
    }
};

// A single-byte code page as the counter reads it: the character each byte value stands for, and whether
// that character is simply counted as part of a word (letters, digits and punctuation without a word of
// their own), found once for the code page rather than for every byte of its text.
struct SingleByteCodePage {
    std::array<char16_t, 256> characters{};
    std::array<bool, 256> wordCharacter{};
    explicit SingleByteCodePage(const std::array<char16_t, 256> &characters);
};

// How the program that last saved a document counts its text: the counts it stores follow its own rules,
// and a recount is compared with them. Word's rules are the default; the office suites that write ODF
// (and OOXML now and then) differ in the points below.
struct CountingRules {
    // Word: an optional hyphen ends a word and counts among the characters with spaces only. The office
    // suites count it as a character inside its word.
    bool softHyphenSeparatesWords = true;
    // Word: a picture, chart, shape or embedded object in the text counts as one character (but not as a
    // word). The office suites do not count it; for both, a paragraph holding one is counted.
    bool objectIsCharacter = true;
    // Word and the office suites count a paragraph that holds only such an object; WPS Office does not.
    bool objectMakesParagraph = true;
    // The office suites count every story of the document: headers, footers, footnotes and endnotes as
    // well as the body. Word counts the body (with its text boxes) only.
    bool countsAllStories = false;
    // The office suites count a paragraph that holds anything at all: blanks and tabs only, or just the
    // anchor of a comment. Word counts only paragraphs with something visible in them.
    bool countsBlankParagraphs = false;

    static CountingRules word() { return {}; }
    static CountingRules officeSuite() { return {false, false, true, true, true}; }
    static CountingRules wps() { return {true, false, false, false, false}; }
    // The rules of the program a document names as its writer (OOXML's Application, ODF's generator):
    // the office suites' own rules for theirs, Word's for everything else.
    static CountingRules ofWriter(QStringView application);
};

// Counts text fed to it character by character, the way the word processor counts: a word is a run of
// characters between white space, except that each East Asian ideograph or kana is a word of its own
// (those scripts write no spaces between words); control and formatting characters (soft hyphens,
// joiners, field marks) are not counted at all; a paragraph counts when it holds anything but white space.
class TextCounter {
public:
    void add(QStringView text);
    void add(char16_t c);
    // The text up to its first control character (below U+0020) or surrogate code unit, which the caller
    // reads as marks of its own (a binary document's); returns how many code units it counted.
    qsizetype addUntilControl(QStringView text);
    // The same for text in a single-byte code page.
    qsizetype addUntilControl(const unsigned char *bytes, qsizetype size, const SingleByteCodePage &codePage);
    // A list number or bullet that the word processor generates in front of a paragraph ("1.", "a)",
    // "•"): counted as text of its own word; the tab or blank that follows it is not counted.
    void label(QStringView text);
    // A picture, chart, shape or embedded object anchored in the text.
    void object();
    // An optional (soft) hyphen, counted as the rules say.
    void softHyphen();
    // A field (its result may be empty, as a phonetic guide's or a form field's is): the paragraph holding
    // it counts, for Word and the office suites alike.
    void field() { m_paragraphHasText = true; }
    // The anchor of something kept outside the text (a comment): no character, but the office suites
    // count the paragraph that holds it.
    void anchor();
    // Text in UTF-8, as the XML parser gives it: one pass over its bytes, with the same counts as the
    // same text given as UTF-16.
    void addUtf8(std::string_view text);
    // The same for the text of an XML document whose white space collapses as it is read: each run of
    // blanks, tabs and line ends counts as one blank. Returns whether the text ends in such white space.
    bool addUtf8CollapsingSpace(std::string_view text);
    // A character that separates words and counts as a space (tab, line break, page break).
    void space() { add(u' '); }
    // `n` such characters at once.
    void spaces(qint64 n)
    {
        if (n <= 0)
            return;
        m_stats.charactersWithSpaces += n;
        m_inWord = false;
    }
    // The end of a paragraph in text that has no nesting (binary documents, RTF, plain text).
    void paragraphMark();
    // Paragraphs that may nest (a text box's paragraphs inside the paragraph that anchors it): the
    // enclosing paragraph's text is set aside while the inner one is counted.
    void openParagraph();
    void closeParagraph();

    // Sets the counts back to `kept`: for a reader that learns only at its end that a paragraph it fed
    // is hidden as a whole (the counts of the paragraph leave out, those of notes inside it stay).
    void restoreStatistics(const TextStatistics &kept) { m_stats = kept; }

    void setRules(const CountingRules &rules) { m_rules = rules; }
    const CountingRules &rules() const { return m_rules; }

    const TextStatistics &statistics() const { return m_stats; }

private:
    template <bool kStopAtControl, typename Unit, typename Decode>
    qsizetype addRun(const Unit *begin, const Unit *end, Decode decode);
    template <bool kCollapseSpace> bool addUtf8Run(std::string_view text);
    void finishRun(qint64 characters, qint64 spaces, qint64 words, bool inWord, bool hasText);

    CountingRules m_rules;
    TextStatistics m_stats;
    bool m_inWord = false;
    bool m_paragraphHasText = false;
    std::vector<bool> m_outer; // the open enclosing paragraphs: whether each already holds text
};

} // namespace word
