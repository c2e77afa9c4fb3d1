// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// RTF: the properties are the {\info} group of the header (\title ... \doccomm, \creatim ..., \version,
// \edmins, \nofpages ...). The reader walks the header only: it skips every other group by brace
// counting and stops at the end of {\info} or where the body starts.
#include "word/BuiltinProperty.h"
#include "word/CodePage.h"
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/RtfTokenizer.h"
#include <QByteArray>
#include <string_view>
#include <vector>

namespace word {

namespace {

int clampParam(qint64 v, int max) { return static_cast<int>(v < 0 ? 0 : (v > max ? max : v)); }

enum class Dest { Top, Info, Field, Date, Skip };
enum class DateKind { Created, Revised, Printed, Ignored };

struct RtfDate {
    int yr = 0, mo = 0, dy = 0, hr = 0, mi = 0, se = 0;
};

struct Group {
    Dest dest = Dest::Top;
    bool fresh = true;      // no token read yet: the first control word decides the destination
    bool ignorable = false; // began with \*
    bool ownsField = false; // the group that started the current field or date
    int uc = 1;             // fallback characters after \uN
};

class RtfInfoReader {
public:
    explicit RtfInfoReader(const FileContent &c) : m_in(c, limits::kMaxRtfScanBytes) {}

    DocumentData read()
    {
        m_data.format = QStringLiteral("RTF");
        for (RtfToken t = m_in.next(); t.kind != RtfToken::Kind::End && !m_done; t = m_in.next()) {
            switch (t.kind) {
            case RtfToken::Kind::GroupStart: {
                if (m_stack.size() >= static_cast<size_t>(limits::kMaxRtfDepth))
                    throw DamagedContent(QStringLiteral("its groups are nested too deeply"));
                Group g = m_stack.empty() ? Group{} : m_stack.back();
                g.fresh = true;
                g.ignorable = false;
                g.ownsField = false;
                m_stack.push_back(g);
                m_pendingSkip = 0;
                break;
            }
            case RtfToken::Kind::GroupEnd:
                m_pendingSkip = 0;
                closeGroup();
                if (m_stack.empty())
                    m_done = true;
                break;
            case RtfToken::Kind::Word:
                controlWord(t);
                break;
            case RtfToken::Kind::Symbol:
            case RtfToken::Kind::HexByte:
            case RtfToken::Kind::BadHex:
                controlSymbol(t);
                break;
            case RtfToken::Kind::Text:
                if (!m_stack.empty() && m_stack.back().fresh && !resolve(nullptr))
                    break; // the text began a group that was skipped whole
                for (const char c : t.text)
                    text(c);
                break;
            case RtfToken::Kind::End:
                break;
            }
        }
        if (!m_done && m_in.stoppedAtLimit())
            noteSkipped(QStringLiteral("its header was looked for in the first %1 MiB only; properties stated after "
                                       "that are not read")
                            .arg(limits::kMaxRtfScanBytes / (1024 * 1024)));
        return std::move(m_data);
    }

private:
    // ---- tokens
    void controlWord(const RtfToken &w)
    {
        if (w.name == "bin") { // its data was stepped over by the tokenizer
            consumeFallback();
            return;
        }
        if (!m_stack.empty() && m_stack.back().fresh) {
            resolve(&w);
            return;
        }
        word(w);
    }

    void controlSymbol(const RtfToken &t)
    {
        if (t.kind == RtfToken::Kind::Symbol && t.ch == '*') {
            if (!m_stack.empty() && m_stack.back().fresh)
                m_stack.back().ignorable = true;
            return;
        }
        if (!m_stack.empty() && m_stack.back().fresh && !resolve(nullptr))
            return;
        if (t.kind == RtfToken::Kind::BadHex)
            return;
        if (consumeFallback())
            return;
        if (t.kind == RtfToken::Kind::HexByte) {
            byte(t.ch);
            return;
        }
        switch (t.ch) {
        case '\\':
        case '{':
        case '}':
            byte(t.ch);
            break;
        case '~':
            unicode(0x00A0);
            break;
        case '_':
            unicode(0x2011);
            break;
        case '\r':
        case '\n':
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
    bool resolve(const RtfToken *w)
    {
        Group &g = m_stack.back();
        g.fresh = false;
        const Dest parent = m_stack.size() >= 2 ? m_stack[m_stack.size() - 2].dest : Dest::Top;
        const std::string_view name = w ? w->name : std::string_view();
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

    std::optional<Builtin> fieldOf(std::string_view n) const
    {
        if (n == "title")
            return Builtin::Title;
        if (n == "subject")
            return Builtin::Subject;
        if (n == "author")
            return Builtin::Author;
        if (n == "manager")
            return Builtin::Manager;
        if (n == "company")
            return Builtin::Company;
        if (n == "operator")
            return Builtin::LastAuthor;
        if (n == "category")
            return Builtin::Category;
        if (n == "keywords")
            return Builtin::Keywords;
        if (n == "doccomm")
            return Builtin::Comments;
        if (n == "hlinkbase")
            return Builtin::HyperlinkBase;
        return std::nullopt;
    }
    std::optional<DateKind> dateOf(std::string_view n) const
    {
        if (n == "creatim")
            return DateKind::Created;
        if (n == "revtim")
            return DateKind::Revised;
        if (n == "printim")
            return DateKind::Printed;
        if (n == "buptim")
            return DateKind::Ignored;
        return std::nullopt;
    }
    static bool isInfoNumber(std::string_view n)
    {
        return n == "version" || n == "edmins" || n == "nofpages" || n == "nofwords" || n == "nofchars"
               || n == "nofcharsws" || n == "vern" || n == "id";
    }

    // Skips the rest of the current group (already pushed) and pops it.
    void skipGroup()
    {
        m_in.skipGroup();
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
    void word(const RtfToken &w)
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
            if (w.name == "yr")
                m_date.yr = clampParam(w.param, 99999);
            else if (w.name == "mo")
                m_date.mo = clampParam(w.param, 99);
            else if (w.name == "dy")
                m_date.dy = clampParam(w.param, 99);
            else if (w.name == "hr")
                m_date.hr = clampParam(w.param, 99);
            else if (w.name == "min")
                m_date.mi = clampParam(w.param, 99);
            else if (w.name == "sec")
                m_date.se = clampParam(w.param, 99);
            return;
        case Dest::Field:
            fieldWord(w);
            return;
        case Dest::Skip:
            return;
        }
    }

    void number(const RtfToken &w)
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

    void fieldWord(const RtfToken &w)
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
        // A value keeps its line breaks, tabs and the marks that steer bidirectional text.
        static constexpr struct {
            std::string_view name;
            char16_t ch;
        } layout[] = {
            {"par", '\n'},    {"line", '\n'},      {"tab", '\t'},       {"zwj", 0x200D},
            {"zwnj", 0x200C}, {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
        };
        for (const auto &l : layout)
            if (w.name == l.name) {
                unicode(l.ch);
                return;
            }
        if (const auto c = rtfTypographicCharacter(w.name)) {
            unicode(*c);
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
        const Builtin id = kind == DateKind::Created   ? Builtin::CreationDate
                           : kind == DateKind::Revised ? Builtin::LastSaveTime
                                                       : Builtin::LastPrintDate;
        if (!date.isValid() || !time.isValid()) {
            noteSkipped(
                QStringLiteral("its %1 (year %2, month %3, day %4, %5:%6:%7) is no date and is taken as not set")
                    .arg(QLatin1String(builtinInfo(id).name))
                    .arg(t.yr)
                    .arg(t.mo)
                    .arg(t.dy)
                    .arg(t.hr, 2, 10, QLatin1Char('0'))
                    .arg(t.mi, 2, 10, QLatin1Char('0'))
                    .arg(t.se, 2, 10, QLatin1Char('0')));
            return;
        }
        m_data.setLocal(id, date, time); // which leaves out, and notes, a year outside those shown
    }

    RtfTokenizer m_in;
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
