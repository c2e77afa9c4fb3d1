#pragma once
#include <QStringView>
#include <QtGlobal>
#include <string_view>
#include <vector>

namespace word {

// The statistics a word processor shows for a document's text.
struct TextStatistics {
    qint64 words = 0;
    qint64 characters = 0;           // without white space
    qint64 charactersWithSpaces = 0; // with white space, without paragraph marks
    qint64 paragraphs = 0;           // paragraphs holding at least one character that is not white space
};

// Counts text fed to it character by character, the way the word processor counts: a word is a run of
// characters between white space, except that each East Asian ideograph or kana is a word of its own
// (those scripts write no spaces between words); control and formatting characters (soft hyphens,
// joiners, field marks) are not counted at all; a paragraph counts when it holds anything but white space.
class TextCounter {
public:
    void add(QStringView text);
    void add(char16_t c);
    // Text in UTF-8, as the XML parser gives it: one pass over its bytes, with the same counts as the
    // same text given as UTF-16.
    void addUtf8(std::string_view text);
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

    const TextStatistics &statistics() const { return m_stats; }

private:
    TextStatistics m_stats;
    bool m_inWord = false;
    bool m_paragraphHasText = false;
    std::vector<bool> m_outer; // the open enclosing paragraphs: whether each already holds text
};

} // namespace word
