// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The body text of an RTF document: everything outside the header's tables ({\fonttbl}, {\colortbl},
// {\stylesheet}, {\info} ...) and outside destinations that are not the main story (headers, footers,
// notes, comments, pictures, field instructions, and every group marked \* that a reader may ignore).
// The list numbers that writers put in \listtext and \pntext count as labels. Bytes written as text or \'hh are decoded
// in the code page of their font.
#include "word/CodePage.h"
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/RtfTokenizer.h"
#include <QHash>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace word {

namespace {

// Destinations whose text is not part of the main story. Looked up once for every control word of the
// body, so by a plain hash of the name as it lies in the tokenizer's buffer.
const std::unordered_set<std::string_view> &skippedDestinations()
{
    static const std::unordered_set<std::string_view> names{
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
    return names;
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

struct Group {
    int uc = 1;       // fallback characters after \uN
    qint64 font = -1; // current font, -1: the default font
    bool fontTable = false;
    bool label = false; // inside \listtext or \pntext
};

class RtfBody {
public:
    RtfBody(const FileContent &content, TextCounter &counter)
        : m_in(content, limits::kMaxRtfScanBytes), m_counter(counter)
    {
    }

    void run()
    {
        for (RtfToken t = m_in.next(); t.kind != RtfToken::Kind::End; t = m_in.next()) {
            switch (t.kind) {
            case RtfToken::Kind::GroupStart:
                if (m_stack.size() >= static_cast<size_t>(limits::kMaxRtfDepth))
                    throw DamagedContent(QStringLiteral("its groups are nested too deeply"));
                m_stack.push_back(m_stack.empty() ? Group{} : m_stack.back());
                m_pendingSkip = 0;
                m_fontDefinition = -1;
                break;
            case RtfToken::Kind::GroupEnd:
                flush();
                m_pendingSkip = 0;
                if (m_stack.empty())
                    return finish();
                if (m_stack.back().label && (m_stack.size() < 2 || !m_stack[m_stack.size() - 2].label)) {
                    m_counter.label(m_label);
                    m_label.clear();
                }
                m_stack.pop_back();
                if (m_stack.empty())
                    return finish(); // the end of the document group
                break;
            case RtfToken::Kind::Word:
                controlWord(t);
                break;
            case RtfToken::Kind::Symbol:
                controlSymbol(t.ch);
                break;
            case RtfToken::Kind::HexByte:
                if (!consumeFallback())
                    byte(t.ch);
                break;
            case RtfToken::Kind::BadHex:
            case RtfToken::Kind::End:
                break;
            case RtfToken::Kind::Text:
                for (const char c : t.text) {
                    if (c == '\t')
                        whiteSpace();
                    else if (!consumeFallback())
                        byte(c);
                }
                break;
            }
        }
        finish();
    }

private:
    void finish()
    {
        flush();
        m_counter.paragraphMark(); // a last paragraph without \par still counts
    }

    bool inBody() const { return !m_stack.empty() && !m_stack.back().fontTable; }

    void controlSymbol(char c)
    {
        if (c == '*') { // an optional destination: not text this reader knows
            skipGroup();
            return;
        }
        if (consumeFallback())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            byte(c);
            break;
        case '~':
            character(u'\u00A0');
            break;
        case '_':
            character(u'\u2011');
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        case '-': // optional hyphen
            if (inBody()) {
                flush();
                m_counter.softHyphen();
            }
            break;
        default: // \| \: and the rest carry no text
            break;
        }
    }

    void controlWord(const RtfToken &w)
    {
        if (w.name == "bin" || m_stack.empty())
            return; // its data was stepped over by the tokenizer
        // Compared where it lies, without a copy; a view compares lengths before bytes, which settles
        // nearly every comparison below at once.
        const std::string_view name = w.name;
        const bool hasParam = w.hasParam;
        const qint64 param = w.param;
        Group &g = m_stack.back();
        if (name == "fonttbl") {
            flush();
            g.fontTable = true;
            return;
        }
        if (name == "listtext" || name == "pntext") {
            // RTF: the list number or bullet of the paragraph, as the writer generated it ("1.\tab"):
            // Word counts the number, not the tab after it.
            flush();
            g.label = true;
            return;
        }
        if (skippedDestinations().contains(name)) {
            skipGroup();
            return;
        }
        if (g.fontTable) {
            fontTableWord(name, hasParam, param);
            return;
        }
        if (name == "uc") {
            if (hasParam && param >= 0 && param <= 16)
                g.uc = static_cast<int>(param);
            return;
        }
        if (name == "u" && hasParam) {
            if (consumeFallback())
                return;
            const qint64 v = param < 0 ? param + 65536 : param;
            if (v >= 0 && v <= 0xFFFF)
                character(static_cast<char16_t>(v));
            m_pendingSkip = g.uc;
            return;
        }
        if (consumeFallback())
            return;
        if (name == "ansicpg" && hasParam && param > 0 && param < 100000) {
            flush();
            m_codePage = static_cast<int>(param);
        } else if (name == "mac") {
            m_codePage = 10000;
        } else if (name == "pc") {
            m_codePage = 437;
        } else if (name == "pca") {
            m_codePage = 850;
        } else if (name == "deff" && hasParam) {
            m_defaultFont = param;
        } else if (name == "f" && hasParam) {
            flush();
            g.font = param;
        } else if (name == "plain") {
            flush();
            g.font = -1;
        } else if (name == "par" || name == "sect" || name == "cell" || name == "nestcell") {
            paragraph();
        } else if (name == "tab" || name == "line" || name == "page" || name == "column") {
            whiteSpace();
        } else {
            if (const auto c = rtfTypographicCharacter(w.name))
                character(*c);
            // Every other word is formatting and carries no text.
        }
    }

    void fontTableWord(std::string_view name, bool hasParam, qint64 param)
    {
        if (!hasParam)
            return;
        if (name == "f") {
            m_fontDefinition = param;
        } else if ((name == "fcharset" || name == "cpg") && m_fontDefinition >= 0) {
            if (m_fontCodePages.size() >= limits::kMaxRtfFonts && !m_fontCodePages.contains(m_fontDefinition)) {
                if (!m_fontsDropped)
                    noteSkipped(QStringLiteral("its font table sets the character set of more than %1 fonts; text "
                                               "in the others is counted in the document's code page")
                                    .arg(limits::kMaxRtfFonts));
                m_fontsDropped = true;
                return;
            }
            const int cp = name == "cpg" ? static_cast<int>(qBound(qint64(0), param, qint64(99999)))
                                         : codePageOfCharset(param, -1);
            if (cp > 0)
                m_fontCodePages.insert(m_fontDefinition, cp);
        }
    }

    // Skips the rest of the current group (a destination that is not main text) and closes it.
    void skipGroup()
    {
        flush();
        m_pendingSkip = 0;
        m_in.skipGroup();
        if (!m_stack.empty())
            m_stack.pop_back();
    }

    // After \uN the next `uc` characters are the fallback for readers without Unicode.
    bool consumeFallback()
    {
        if (m_pendingSkip <= 0)
            return false;
        --m_pendingSkip;
        return true;
    }

    int currentCodePage() const
    {
        const qint64 font = m_stack.empty() || m_stack.back().font < 0 ? m_defaultFont : m_stack.back().font;
        return m_fontCodePages.value(font, m_codePage);
    }

    void byte(char c)
    {
        if (!inBody())
            return;
        const int cp = currentCodePage();
        if (cp != m_bytesCodePage)
            flush();
        // An ASCII byte that begins a character is counted at once: text that switches fonts or groups
        // at every letter would otherwise cost a decoder call per letter.
        if (m_bytes.isEmpty() && static_cast<unsigned char>(c) < 0x80 && isAsciiCompatible(cp)) {
            const char16_t ch = static_cast<char16_t>(c);
            if (inLabel())
                addToLabel(QStringView(&ch, 1));
            else
                m_counter.add(ch);
            return;
        }
        m_bytesCodePage = cp;
        m_bytes.append(c);
    }

    bool inLabel() const { return !m_stack.empty() && m_stack.back().label; }

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

    void character(char16_t c)
    {
        if (!inBody())
            return;
        flush();
        if (inLabel())
            addToLabel(QStringView(&c, 1));
        else
            m_counter.add(c);
    }
    void whiteSpace()
    {
        if (!inLabel()) // the tab that ends a label is not counted
            character(u' ');
    }
    void paragraph()
    {
        if (!inBody())
            return;
        flush();
        m_counter.paragraphMark();
    }

    RtfTokenizer m_in;
    TextCounter &m_counter;
    std::vector<Group> m_stack;
    int m_pendingSkip = 0;
    int m_codePage = 1252;
    qint64 m_defaultFont = 0;
    qint64 m_fontDefinition = -1;
    QHash<qint64, int> m_fontCodePages;
    bool m_fontsDropped = false;
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
