// RTF: the properties are the {\info} group of the header (\title ... \doccomm, \creatim ..., \version,
// \edmins, \nofpages ...). The reader walks the header only: it skips every other group by brace
// counting and stops at the end of {\info} or where the body starts.
#include "word/CodePage.h"
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include <QByteArray>
#include <vector>

namespace word {

namespace {

// A forward reader over the file that loads it in chunks, up to the scan limit.
class ByteCursor {
public:
    explicit ByteCursor(const FileContent &c)
        : m_file(c.file), m_buf(c.head),
          m_end(qMin(c.headIsWhole ? c.head.size() : c.file.size(), limits::kMaxRtfScanBytes))
    {
    }
    int get()
    {
        if (m_i >= m_buf.size() && !refill())
            return -1;
        return static_cast<unsigned char>(m_buf[m_i++]);
    }
    int peek()
    {
        if (m_i >= m_buf.size() && !refill())
            return -1;
        return static_cast<unsigned char>(m_buf[m_i]);
    }
    void skip(qint64 n)
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
    // True when the reader stopped at the scan limit with more of the file behind it.
    bool stoppedAtLimit() const { return m_end < m_file.size() && m_base + m_buf.size() >= m_end; }

private:
    bool refill()
    {
        const qint64 pos = m_base + m_buf.size();
        if (pos >= m_end)
            return false;
        m_base = pos;
        m_buf = m_file.read(pos, qMin<qint64>(limits::kRtfReadChunkBytes, m_end - pos));
        m_i = 0;
        return !m_buf.isEmpty();
    }

    InputFile &m_file;
    QByteArray m_buf;
    qint64 m_base = 0;
    qsizetype m_i = 0;
    qint64 m_end;
};

bool isLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

int clampParam(qint64 v, int max) { return static_cast<int>(v < 0 ? 0 : (v > max ? max : v)); }

int hexValue(int c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct ControlWord {
    QByteArray name;
    bool hasParam = false;
    qint64 param = 0;
};

enum class Dest { Top, Info, Field, Date, Skip };
enum class DateKind { Created, Revised, Printed, Ignored };

struct RtfDate {
    int yr = 0, mo = 0, dy = 0, hr = 0, mi = 0, se = 0;
};

struct Group {
    Dest dest = Dest::Top;
    bool fresh = true;       // no token read yet: the first control word decides the destination
    bool ignorable = false;  // began with \*
    bool ownsField = false;  // the group that started the current field or date
    int uc = 1;              // fallback characters after \uN
};

class RtfInfoReader {
public:
    explicit RtfInfoReader(const FileContent &c) : m_in(c) {}

    DocumentData read()
    {
        m_data.format = QStringLiteral("RTF");
        for (;;) {
            const int c = m_in.get();
            if (c < 0 || m_done)
                break;
            if (c == '{') {
                if (m_stack.size() >= static_cast<size_t>(limits::kMaxRtfDepth))
                    throw DamagedContent(QStringLiteral("its groups are nested too deeply"));
                Group g = m_stack.empty() ? Group{} : m_stack.back();
                g.fresh = true;
                g.ignorable = false;
                g.ownsField = false;
                m_stack.push_back(g);
                m_pendingSkip = 0;
            } else if (c == '}') {
                m_pendingSkip = 0;
                closeGroup();
                if (m_stack.empty())
                    break;
            } else if (c == '\\') {
                controlSequence();
            } else if (c == '\r' || c == '\n') {
                continue;
            } else {
                if (!m_stack.empty() && m_stack.back().fresh && !resolve(nullptr))
                    continue; // the character began a group that was skipped whole
                text(static_cast<char>(c));
            }
        }
        if (!m_done && m_in.stoppedAtLimit())
            noteSkipped(QStringLiteral("its header was looked for in the first %1 MiB only; properties stated after "
                                       "that are not read").arg(limits::kMaxRtfScanBytes / (1024 * 1024)));
        return std::move(m_data);
    }

private:
    // ---- tokens
    ControlWord readWord(int first)
    {
        ControlWord w;
        int c = first;
        while (isLetter(c)) {
            if (w.name.size() < 32)
                w.name.append(static_cast<char>(c));
            m_in.get();
            c = m_in.peek();
        }
        bool negative = false;
        if (c == '-') {
            m_in.get();
            negative = true;
            c = m_in.peek();
        }
        int digitsRead = 0;
        while (isDigit(c)) {
            if (digitsRead < 18)
                w.param = w.param * 10 + (c - '0');
            ++digitsRead;
            m_in.get();
            c = m_in.peek();
        }
        w.hasParam = digitsRead > 0;
        if (negative)
            w.param = -w.param;
        if (c == ' ')
            m_in.get();
        return w;
    }

    void controlSequence()
    {
        const int c = m_in.peek();
        if (c < 0)
            return;
        if (isLetter(c)) {
            const ControlWord w = readWord(c);
            if (w.name == "bin") { // binary data: never parsed
                if (w.param > 0)
                    m_in.skip(w.param);
                consumeFallback();
                return;
            }
            if (!m_stack.empty() && m_stack.back().fresh) {
                resolve(&w);
                return;
            }
            word(w);
            return;
        }
        m_in.get();
        if (c == '*') {
            if (!m_stack.empty() && m_stack.back().fresh)
                m_stack.back().ignorable = true;
            return;
        }
        if (!m_stack.empty() && m_stack.back().fresh && !resolve(nullptr))
            return;
        if (c == '\'') {
            const int h = hexValue(m_in.get());
            const int l = hexValue(m_in.peek());
            if (h < 0 || l < 0)
                return;
            m_in.get();
            if (consumeFallback())
                return;
            byte(static_cast<char>(h * 16 + l));
            return;
        }
        if (consumeFallback())
            return;
        switch (c) {
        case '\\': case '{': case '}':
            byte(static_cast<char>(c));
            break;
        case '~':
            unicode(0x00A0);
            break;
        case '_':
            unicode(0x2011);
            break;
        case '\r': case '\n':
            unicode('\n');
            break;
        case '\t':
            unicode('\t');
            break;
        default: // \- optional hyphen, \| \: and the rest carry no text
            break;
        }
    }

    // The first control word of a group decides what the group is. Returns false when the group was
    // skipped whole (and popped).
    bool resolve(const ControlWord *w)
    {
        Group &g = m_stack.back();
        g.fresh = false;
        const Dest parent = m_stack.size() >= 2 ? m_stack[m_stack.size() - 2].dest : Dest::Top;
        const QByteArray name = w ? w->name : QByteArray();
        if (m_stack.size() == 1) { // the document group itself: {\rtf1 ...
            g.dest = Dest::Top;
            if (w)
                word(*w);
            return true;
        }
        switch (parent) {
        case Dest::Top:
            if (name == "info") {
                g.dest = Dest::Info;
                m_inInfo = true;
                return true;
            }
            skipGroup();
            return false;
        case Dest::Info:
            if (const auto f = fieldOf(name)) {
                g.dest = Dest::Field;
                g.ownsField = true;
                m_field = *f;
                m_fieldText.clear();
                m_bytes.clear();
                return true;
            }
            if (const auto d = dateOf(name)) {
                g.dest = Dest::Date;
                g.ownsField = true;
                m_dateKind = *d;
                m_date = RtfDate{};
                return true;
            }
            if (isInfoNumber(name)) {
                g.dest = Dest::Info;
                word(*w);
                return true;
            }
            skipGroup();
            return false;
        case Dest::Field:
            if (g.ignorable) {
                skipGroup();
                return false;
            }
            g.dest = Dest::Field;
            if (w)
                word(*w);
            return true;
        case Dest::Date:
            g.dest = Dest::Date;
            if (w)
                word(*w);
            return true;
        case Dest::Skip:
            skipGroup();
            return false;
        }
        return true;
    }

    std::optional<Builtin> fieldOf(const QByteArray &n) const
    {
        if (n == "title") return Builtin::Title;
        if (n == "subject") return Builtin::Subject;
        if (n == "author") return Builtin::Author;
        if (n == "manager") return Builtin::Manager;
        if (n == "company") return Builtin::Company;
        if (n == "operator") return Builtin::LastAuthor;
        if (n == "category") return Builtin::Category;
        if (n == "keywords") return Builtin::Keywords;
        if (n == "doccomm") return Builtin::Comments;
        if (n == "hlinkbase") return Builtin::HyperlinkBase;
        return std::nullopt;
    }
    std::optional<DateKind> dateOf(const QByteArray &n) const
    {
        if (n == "creatim") return DateKind::Created;
        if (n == "revtim") return DateKind::Revised;
        if (n == "printim") return DateKind::Printed;
        if (n == "buptim") return DateKind::Ignored;
        return std::nullopt;
    }
    static bool isInfoNumber(const QByteArray &n)
    {
        return n == "version" || n == "edmins" || n == "nofpages" || n == "nofwords" || n == "nofchars" ||
               n == "nofcharsws" || n == "vern" || n == "id";
    }

    // Skips the rest of the current group (already pushed) and pops it.
    void skipGroup()
    {
        long level = 1;
        for (;;) {
            const int c = m_in.get();
            if (c < 0)
                break;
            if (c == '\\') {
                const int n = m_in.peek();
                if (isLetter(n)) {
                    const ControlWord w = readWord(n);
                    if (w.name == "bin" && w.param > 0)
                        m_in.skip(w.param);
                } else if (n >= 0) {
                    m_in.get(); // \{ \} \\ and other symbols
                }
            } else if (c == '{') {
                ++level;
            } else if (c == '}') {
                if (--level == 0)
                    break;
            }
        }
        m_stack.pop_back();
    }

    void closeGroup()
    {
        if (m_stack.empty())
            return;
        const Group g = m_stack.back();
        m_stack.pop_back();
        if (g.ownsField && g.dest == Dest::Field) {
            flushBytes();
            m_data.setText(*m_field, m_fieldText);
            m_field.reset();
        } else if (g.ownsField && g.dest == Dest::Date) {
            storeDate();
        } else if (g.dest == Dest::Info && m_inInfo && (m_stack.empty() || m_stack.back().dest != Dest::Info)) {
            m_done = true; // the whole {\info} group has been read
        }
    }

    // ---- control words in context
    void word(const ControlWord &w)
    {
        if (m_stack.empty())
            return;
        Group &g = m_stack.back();
        if (w.name == "uc") {
            if (w.hasParam && w.param >= 0 && w.param <= 16)
                g.uc = static_cast<int>(w.param);
            return;
        }
        switch (g.dest) {
        case Dest::Top:
            if (w.name == "ansicpg" && w.hasParam && w.param > 0 && w.param < 100000)
                m_codePage = static_cast<int>(w.param);
            else if (w.name == "ansi")
                m_codePage = 1252;
            else if (w.name == "mac")
                m_codePage = 10000;
            else if (w.name == "pc")
                m_codePage = 437;
            else if (w.name == "pca")
                m_codePage = 850;
            else if (m_stack.size() == 1 && (w.name == "pard" || w.name == "sectd"))
                m_done = true; // the body begins: the header, and with it {\info}, is behind us
            return;
        case Dest::Info:
            number(w);
            return;
        case Dest::Date:
            if (!w.hasParam)
                return;
            if (w.name == "yr") m_date.yr = clampParam(w.param, 99999);
            else if (w.name == "mo") m_date.mo = clampParam(w.param, 99);
            else if (w.name == "dy") m_date.dy = clampParam(w.param, 99);
            else if (w.name == "hr") m_date.hr = clampParam(w.param, 99);
            else if (w.name == "min") m_date.mi = clampParam(w.param, 99);
            else if (w.name == "sec") m_date.se = clampParam(w.param, 99);
            return;
        case Dest::Field:
            fieldWord(w);
            return;
        case Dest::Skip:
            return;
        }
    }

    void number(const ControlWord &w)
    {
        if (!w.hasParam)
            return;
        if (w.name == "version")
            m_data.setText(Builtin::RevisionNumber, QString::number(w.param));
        else if (w.name == "edmins")
            m_data.setInteger(Builtin::TotalEditingTime, w.param);
        else if (w.name == "nofpages")
            m_data.setInteger(Builtin::NumberOfPages, w.param);
        else if (w.name == "nofwords")
            m_data.setInteger(Builtin::NumberOfWords, w.param);
        else if (w.name == "nofchars")
            m_data.setInteger(Builtin::NumberOfCharacters, w.param);
        else if (w.name == "nofcharsws")
            m_data.setInteger(Builtin::NumberOfCharactersWithSpaces, w.param);
    }

    void fieldWord(const ControlWord &w)
    {
        if (w.name == "u" && w.hasParam) {
            if (consumeFallback())
                return;
            qint64 v = w.param;
            if (v < 0)
                v += 65536;
            if (v >= 0 && v <= 0xFFFF)
                unicode(static_cast<char16_t>(v));
            m_pendingSkip = m_stack.back().uc;
            return;
        }
        if (consumeFallback())
            return;
        static const struct { const char *name; char16_t ch; } specials[] = {
            {"par", '\n'}, {"line", '\n'}, {"tab", '\t'}, {"emdash", 0x2014}, {"endash", 0x2013},
            {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005}, {"bullet", 0x2022},
            {"lquote", 0x2018}, {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
            {"zwj", 0x200D}, {"zwnj", 0x200C}, {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
        };
        for (const auto &s : specials)
            if (w.name == s.name) {
                unicode(s.ch);
                return;
            }
        // Formatting words (\b, \f1, \lang ...) carry no text.
    }

    // After \uN the next `uc` characters are the fallback for readers without Unicode: skip them.
    bool consumeFallback()
    {
        if (m_pendingSkip <= 0)
            return false;
        --m_pendingSkip;
        return true;
    }

    // ---- text
    void text(char c)
    {
        if (consumeFallback())
            return;
        byte(c);
    }
    void byte(char c)
    {
        if (!m_field || m_stack.empty() || m_stack.back().dest != Dest::Field)
            return;
        if (m_bytes.size() + m_fieldText.size() >= limits::kMaxTextValueChars)
            tooLong();
        m_bytes.append(c);
    }
    void unicode(char16_t ch)
    {
        if (!m_field || m_stack.empty() || m_stack.back().dest != Dest::Field)
            return;
        flushBytes();
        if (m_fieldText.size() >= limits::kMaxTextValueChars)
            tooLong();
        m_fieldText.append(QChar(ch));
    }
    // The same bound on a value as in every other format.
    [[noreturn]] static void tooLong()
    {
        throw DamagedContent(QStringLiteral("its document information holds a value that is too long"));
    }
    void flushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        m_fieldText += decodeCodePage(m_codePage, m_bytes.constData(), m_bytes.size());
        m_bytes.clear();
    }

    void storeDate()
    {
        const DateKind kind = m_dateKind;
        const auto &t = m_date;
        if (kind == DateKind::Ignored || t.yr <= 0)
            return;
        const QDate date(t.yr, t.mo == 0 ? 1 : t.mo, t.dy == 0 ? 1 : t.dy);
        const QTime time(t.hr, t.mi, t.se);
        if (!date.isValid() || !time.isValid())
            return;
        const Builtin id = kind == DateKind::Created   ? Builtin::CreationDate
                           : kind == DateKind::Revised ? Builtin::LastSaveTime
                                                       : Builtin::LastPrintDate;
        m_data.setLocal(id, date, time); // which leaves out, and notes, a year outside those shown
    }

    ByteCursor m_in;
    DocumentData m_data;
    std::vector<Group> m_stack;
    bool m_inInfo = false;
    bool m_done = false;
    int m_codePage = 1252;
    int m_pendingSkip = 0;
    std::optional<Builtin> m_field;
    QString m_fieldText;
    QByteArray m_bytes;
    DateKind m_dateKind = DateKind::Ignored;
    RtfDate m_date;
};

} // namespace

DocumentData readRtfDocument(const FileContent &content)
{
    DocumentData d = RtfInfoReader(content).read();
    computeMissingStatistics(d, content, [&](TextCounter &c) { countRtfText(content, c); });
    return d;
}

} // namespace word
