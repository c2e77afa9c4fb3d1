// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The body text of an RTF document: everything outside the header's tables ({\fonttbl}, {\colortbl},
// {\stylesheet}, {\info} ...) and outside destinations that are not the main story (headers, footers,
// notes, comments, pictures, field instructions, and every group marked \* that a reader may ignore).
// The list numbers that writers put in \listtext and \pntext count as labels. Hidden text (\v) is left out.
// Bytes written as text or \'hh are decoded in the code page of their font.
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/MainText.h"
#include "word/rtf/RtfReader.h"
#include "word/toolkit/CodePage.h"
#include "word/toolkit/Limits.h"
#include <QHash>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

namespace word {

namespace {

// What a control word is to the body's reader.
enum class BodyWord : unsigned char {
    Formatting, // every word not named below: it carries no text
    FontTable,
    Label,   // \listtext, \pntext
    Skipped, // a destination whose text is not part of the main story
    AnsiCodePage,
    Mac,
    Pc,
    Pca,
    DefaultFont,
    Font,
    Plain,
    Hidden,
    Paragraph,  // \par \sect \cell \nestcell
    WhiteSpace, // \tab \line \page \column
    Typographic // \emdash, \bullet ... (rtfTypographicCharacter)
};

// The words the body's reader knows, found by length and first letter: every control word of the body is
// looked up, and most are formatting that matches nothing, which these two settle at once.
class BodyWords {
public:
    BodyWords()
    {
        static constexpr struct {
            std::string_view name;
            BodyWord kind;
        } known[] = {
            {"fonttbl", BodyWord::FontTable},
            {"listtext", BodyWord::Label},
            {"pntext", BodyWord::Label},
            {"ansicpg", BodyWord::AnsiCodePage},
            {"mac", BodyWord::Mac},
            {"pc", BodyWord::Pc},
            {"pca", BodyWord::Pca},
            {"deff", BodyWord::DefaultFont},
            {"f", BodyWord::Font},
            {"plain", BodyWord::Plain},
            {"v", BodyWord::Hidden},
            {"par", BodyWord::Paragraph},
            {"sect", BodyWord::Paragraph},
            {"cell", BodyWord::Paragraph},
            {"nestcell", BodyWord::Paragraph},
            {"tab", BodyWord::WhiteSpace},
            {"line", BodyWord::WhiteSpace},
            {"page", BodyWord::WhiteSpace},
            {"column", BodyWord::WhiteSpace},
            {"emdash", BodyWord::Typographic},
            {"endash", BodyWord::Typographic},
            {"emspace", BodyWord::Typographic},
            {"enspace", BodyWord::Typographic},
            {"qmspace", BodyWord::Typographic},
            {"bullet", BodyWord::Typographic},
            {"lquote", BodyWord::Typographic},
            {"rquote", BodyWord::Typographic},
            {"ldblquote", BodyWord::Typographic},
            {"rdblquote", BodyWord::Typographic},
        };
        static constexpr std::string_view skipped[] = {
            "colortbl",   "stylesheet", "info",        "listtable",  "listoverridetable",
            "revtbl",     "rsidtbl",    "generator",   "pict",       "objdata",
            "fldinst",    "header",     "headerl",     "headerr",    "headerf",
            "footer",     "footerl",    "footerr",     "footerf",    "footnote",
            "annotation", "atnid",      "atnauthor",   "atnref",     "atndate",
            "xe",         "tc",         "tcn",         "txe",        "pntxta",
            "pntxtb",     "shpinst",    "shprslt",     "nonshppict", "template",
            "filetbl",    "ftnsep",     "ftnsepc",     "aftnsep",    "aftnsepc",
            "ftncn",      "aftncn",     "bkmkstart",   "bkmkend",    "do",
            "sp",         "private",    "comment",     "xmlnstbl",   "pgdsctbl",
            "themedata",  "datastore",  "latentstyles"};
        for (const auto &k : known)
            add(k.name, k.kind);
        for (const std::string_view name : skipped)
            add(name, BodyWord::Skipped);
    }

    BodyWord of(std::string_view name) const
    {
        if (name.empty() || name.size() > kLongest)
            return BodyWord::Formatting;
        for (const Entry &e : m_buckets[bucket(name)])
            if (std::memcmp(e.name.data(), name.data(), name.size()) == 0)
                return e.kind;
        return BodyWord::Formatting;
    }

private:
    struct Entry {
        std::string_view name;
        BodyWord kind;
    };
    static constexpr size_t kLongest = 17; // "listoverridetable"
    // Names of one length that begin with one letter (capitals share their small letter's bucket).
    static size_t bucket(std::string_view name) { return name.size() * 32 + (name.front() & 31); }
    void add(std::string_view name, BodyWord kind) { m_buckets[bucket(name)].push_back({name, kind}); }

    std::array<std::vector<Entry>, (kLongest + 1) * 32> m_buckets;
};

const BodyWords &bodyWords()
{
    static const BodyWords words;
    return words;
}

// The code page of a font's character set (\fcharsetN).
int codePageOfCharset(qint64 charset, int documentCodePage)
{
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return documentCodePage;
    }
}

// The code pages the font table gives its fonts (\fcharsetN, \cpgN): bytes in a font are decoded in its
// code page. Bounded in number, since each is kept for the whole body.
class RtfFontCodePages {
public:
    // A new group: whatever font was being defined is behind it.
    void groupStarted() { m_defining = -1; }

    // A control word inside {\fonttbl}.
    void word(std::string_view name, bool hasParam, qint64 param)
    {
        if (!hasParam)
            return;
        if (name == "f") {
            m_defining = param;
        } else if ((name == "fcharset" || name == "cpg") && m_defining >= 0) {
            if (m_codePages.size() >= limits::kMaxRtfFonts && !m_codePages.contains(m_defining)) {
                if (!m_dropped)
                    noteSkipped(QStringLiteral("its font table sets the character set of more than %1 fonts; text "
                                               "in the others is counted in the document's code page")
                                    .arg(limits::kMaxRtfFonts));
                m_dropped = true;
                return;
            }
            const int cp = name == "cpg" ? static_cast<int>(qBound(qint64(0), param, qint64(99999)))
                                         : codePageOfCharset(param, -1);
            if (cp > 0)
                m_codePages.insert(m_defining, cp);
        }
    }

    int codePageOf(qint64 font, int documentCodePage) const { return m_codePages.value(font, documentCodePage); }

private:
    qint64 m_defining = -1; // the font whose definition is being read
    QHash<qint64, int> m_codePages;
    bool m_dropped = false;
};

struct Group {
    qint64 font = -1; // current font, -1: the default font
    bool fontTable = false;
    bool label = false;  // inside \listtext or \pntext
    bool hidden = false; // under \v: hidden text, which the word processors leave out of their counts
};

// The body's consumer of the RTF state machine: feeds the main story's text to the counter.
class RtfBody : public RtfConsumer {
public:
    RtfBody(const FileContent &content, TextCounter &counter)
        : m_reader(content, limits::kMaxRtfScanBytes), m_counter(counter)
    {
    }

    void run()
    {
        m_reader.run(*this);
        flush();
        m_counter.paragraphMark(); // a last paragraph without \par still counts
    }

private:
    // ---- groups
    void groupStarted() override
    {
        m_stack.push_back(m_stack.empty() ? Group{} : m_stack.back());
        m_fonts.groupStarted();
    }
    void groupEnded() override
    {
        flush();
        const Group &g = m_stack.back();
        if (g.label && (m_stack.size() < 2 || !m_stack[m_stack.size() - 2].label)) {
            if (!g.hidden || !m_label.isEmpty())
                m_counter.label(m_label);
            m_label.clear();
        }
        m_stack.pop_back();
    }
    // A destination that is not main text, stepped over.
    void groupSkipped() override
    {
        flush();
        m_stack.pop_back();
    }
    bool groupBegins(const RtfToken *) override { return true; }  // destinations are known by any word
    void optionalDestination() override { m_reader.skipGroup(); } // not text this reader knows

    // ---- control words and symbols
    void word(const RtfToken &w) override
    {
        if (m_stack.empty())
            return;
        const std::string_view name = w.name;
        const bool hasParam = w.hasParam;
        const qint64 param = w.param;
        Group &g = m_stack.back();
        const BodyWord kind = bodyWords().of(name);
        switch (kind) {
        case BodyWord::FontTable:
            flush();
            g.fontTable = true;
            return;
        case BodyWord::Label:
            // RTF: the list number or bullet of the paragraph, as the writer generated it ("1.\tab"):
            // Word counts the number, not the tab after it.
            flush();
            g.label = true;
            return;
        case BodyWord::Skipped:
            m_reader.skipGroup();
            return;
        default:
            break;
        }
        if (g.fontTable) {
            m_fonts.word(name, hasParam, param);
            return;
        }
        switch (kind) {
        case BodyWord::AnsiCodePage:
            if (hasParam && param > 0 && param < 100000) {
                flush();
                m_codePage = static_cast<int>(param);
            }
            break;
        case BodyWord::Mac:
            m_codePage = 10000;
            break;
        case BodyWord::Pc:
            m_codePage = 437;
            break;
        case BodyWord::Pca:
            m_codePage = 850;
            break;
        case BodyWord::DefaultFont:
            if (hasParam)
                m_defaultFont = param;
            break;
        case BodyWord::Font:
            if (hasParam) {
                flush();
                g.font = param;
            }
            break;
        case BodyWord::Plain:
            flush();
            g.font = -1;
            g.hidden = false; // \plain resets every character property, \v among them
            break;
        case BodyWord::Hidden:
            flush();
            g.hidden = !hasParam || param != 0;
            break;
        case BodyWord::Paragraph:
            paragraph();
            break;
        case BodyWord::WhiteSpace:
            whiteSpace();
            break;
        case BodyWord::Typographic:
            if (const auto c = rtfTypographicCharacter(name))
                character(*c);
            break;
        default: // formatting, which carries no text
            break;
        }
    }

    void symbol(char c) override
    {
        switch (c) {
        case '\r':
        case '\n':
            paragraph();
            break;
        case '-': // optional hyphen
            if (counted()) {
                flush();
                m_counter.softHyphen();
            }
            break;
        default: // \| \: and the rest carry no text
            break;
        }
    }

    // ---- text
    void bytes(std::string_view run) override
    {
        if (!counted())
            return;
        const int cp = currentCodePage();
        if (cp != m_bytesCodePage)
            flush();
        const bool asciiCompatible = isAsciiCompatible(cp);
        for (size_t i = 0; i < run.size();) {
            if (run[i] == '\t') {
                whiteSpace();
                ++i;
                continue;
            }
            // ASCII that begins characters is counted at once, a run at a time: text that switches fonts
            // or groups at every letter would otherwise cost a decoder call per letter.
            if (asciiCompatible && m_bytes.isEmpty() && isAscii(run[i])) {
                size_t end = i + 1;
                while (end < run.size() && isAscii(run[end]) && run[end] != '\t')
                    ++end;
                const std::string_view ascii = run.substr(i, end - i);
                if (inLabel())
                    addToLabel(QString::fromLatin1(ascii.data(), qsizetype(ascii.size())));
                else if (ascii.size() == 1)
                    m_counter.add(static_cast<char16_t>(ascii.front())); // a letter between control words
                else
                    m_counter.addUtf8(ascii); // ASCII reads the same as UTF-8
                i = end;
                continue;
            }
            m_bytesCodePage = cp;
            m_bytes.append(run[i]);
            ++i;
        }
    }
    static bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
    void character(char16_t c) override
    {
        if (!counted())
            return;
        flush();
        if (inLabel())
            addToLabel(QStringView(&c, 1));
        else
            m_counter.add(c);
    }

    // Text of the main story that is shown: outside the font table and not hidden.
    bool counted() const { return !m_stack.empty() && !m_stack.back().fontTable && !m_stack.back().hidden; }
    bool inLabel() const { return !m_stack.empty() && m_stack.back().label; }

    int currentCodePage() const
    {
        const qint64 font = m_stack.empty() || m_stack.back().font < 0 ? m_defaultFont : m_stack.back().font;
        return m_fonts.codePageOf(font, m_codePage);
    }

    void flush()
    {
        if (m_bytes.isEmpty())
            return;
        const QString text = decodeCodePage(m_bytesCodePage, m_bytes.constData(), m_bytes.size());
        if (inLabel())
            addToLabel(text);
        else
            m_counter.add(text);
        m_bytes.clear();
    }

    // A label is a few characters; one that goes on is not a label and the rest of it is not counted.
    void addToLabel(QStringView text)
    {
        if (m_label.size() + text.size() <= kMaxLabelChars)
            m_label += text;
    }

    void whiteSpace()
    {
        if (!inLabel()) // the tab that ends a label is not counted
            character(u' ');
    }
    // A hidden paragraph mark joins its paragraph to the next, as the word processors show it.
    void paragraph()
    {
        if (!counted())
            return;
        flush();
        m_counter.paragraphMark();
    }

    RtfReader m_reader;
    TextCounter &m_counter;
    std::vector<Group> m_stack;
    RtfFontCodePages m_fonts;
    int m_codePage = 1252;
    qint64 m_defaultFont = 0;
    QByteArray m_bytes;
    int m_bytesCodePage = 1252;
    static constexpr qsizetype kMaxLabelChars = 256;
    QString m_label;
};

} // namespace

void countRtfText(const FileContent &content, TextCounter &counter)
{
    const qint64 size = content.headIsWhole ? content.head.size() : content.file.size();
    if (size > limits::kMaxRtfScanBytes)
        throw DamagedContent(QStringLiteral("it is larger than the 64 MiB whose text this program counts"));
    RtfBody(content, counter).run();
}

} // namespace word
