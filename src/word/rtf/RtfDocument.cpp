// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// RTF: the properties are the {\info} group of the header (\title ... \doccomm, \creatim ..., \version,
// \edmins, \nofpages ...). The reader walks the header only: it skips every other group by brace
// counting and stops at the end of {\info} or where the body starts.
#include "word/BuiltinProperty.h"
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/MainText.h"
#include "word/rtf/RtfReader.h"
#include "word/toolkit/CodePage.h"
#include "word/toolkit/Limits.h"
#include <QByteArray>
#include <string_view>
#include <utility>
#include <vector>

namespace word {

namespace {

int clampParam(qint64 v, int max) { return static_cast<int>(v < 0 ? 0 : (v > max ? max : v)); }

// What a group of the header is to this reader.
enum class Dest { Top, Info, Field, Date, Skip };

// The {\info} groups whose text is a property.
constexpr struct {
    std::string_view name;
    Builtin id;
} kInfoTexts[] = {
    {"title", Builtin::Title},       {"subject", Builtin::Subject},
    {"author", Builtin::Author},     {"manager", Builtin::Manager},
    {"company", Builtin::Company},   {"operator", Builtin::LastAuthor},
    {"category", Builtin::Category}, {"keywords", Builtin::Keywords},
    {"doccomm", Builtin::Comments},  {"hlinkbase", Builtin::HyperlinkBase},
};

// The {\info} groups that hold a date in \yr \mo \dy \hr \min \sec; the backup time is read and dropped.
constexpr struct {
    std::string_view name;
    std::optional<Builtin> id;
} kInfoDates[] = {
    {"creatim", Builtin::CreationDate},
    {"revtim", Builtin::LastSaveTime},
    {"printim", Builtin::LastPrintDate},
    {"buptim", std::nullopt},
};

// The {\info} control words whose parameter is a property; \vern and \id are known and not read.
constexpr struct {
    std::string_view name;
    std::optional<Builtin> id;
} kInfoNumbers[] = {
    {"version", Builtin::RevisionNumber},
    {"edmins", Builtin::TotalEditingTime},
    {"nofpages", Builtin::NumberOfPages},
    {"nofwords", Builtin::NumberOfWords},
    {"nofchars", Builtin::NumberOfCharacters},
    {"nofcharsws", Builtin::NumberOfCharactersWithSpaces},
    {"vern", std::nullopt},
    {"id", std::nullopt},
};

template <class Table> auto findIn(const Table &table, std::string_view name) -> decltype(&table[0])
{
    for (const auto &row : table)
        if (row.name == name)
            return &row;
    return nullptr;
}

// The text of one {\info} value: bytes decoded in the document's code page, characters as named,
// within the bound every format keeps on a value.
class InfoText {
public:
    void clear()
    {
        m_text.clear();
        m_bytes.clear();
    }
    void addBytes(std::string_view bytes)
    {
        if (m_bytes.size() + m_text.size() + qsizetype(bytes.size()) > limits::kMaxTextValueChars)
            tooLong();
        m_bytes.append(bytes.data(), qsizetype(bytes.size()));
    }
    void addCharacter(char16_t ch, int codePage)
    {
        flush(codePage);
        if (m_text.size() >= limits::kMaxTextValueChars)
            tooLong();
        m_text.append(QChar(ch));
    }
    QString take(int codePage)
    {
        flush(codePage);
        return std::exchange(m_text, QString());
    }

private:
    void flush(int codePage)
    {
        if (m_bytes.isEmpty())
            return;
        m_text += decodeCodePage(codePage, m_bytes.constData(), m_bytes.size());
        m_bytes.clear();
    }
    [[noreturn]] static void tooLong()
    {
        throw DamagedContent(QStringLiteral("its document information holds a value that is too long"));
    }

    QString m_text;
    QByteArray m_bytes;
};

// One {\info} date: \yr \mo \dy \hr \min \sec, each clamped as it is read.
class InfoDate {
public:
    void start(std::optional<Builtin> id)
    {
        m_id = id;
        m_yr = m_mo = m_dy = m_hr = m_mi = m_se = 0;
    }
    void word(const RtfToken &w)
    {
        if (!w.hasParam)
            return;
        if (w.name == "yr")
            m_yr = clampParam(w.param, 99999);
        else if (w.name == "mo")
            m_mo = clampParam(w.param, 99);
        else if (w.name == "dy")
            m_dy = clampParam(w.param, 99);
        else if (w.name == "hr")
            m_hr = clampParam(w.param, 99);
        else if (w.name == "min")
            m_mi = clampParam(w.param, 99);
        else if (w.name == "sec")
            m_se = clampParam(w.param, 99);
    }
    // A missing month or day is the first; a date without a year is no date.
    void store(DocumentData &data) const
    {
        if (!m_id || m_yr <= 0)
            return;
        const QDate date(m_yr, m_mo == 0 ? 1 : m_mo, m_dy == 0 ? 1 : m_dy);
        const QTime time(m_hr, m_mi, m_se);
        if (!date.isValid() || !time.isValid()) {
            noteSkipped(
                QStringLiteral("its %1 (year %2, month %3, day %4, %5:%6:%7) is no date and is taken as not set")
                    .arg(QLatin1String(builtinInfo(*m_id).name))
                    .arg(m_yr)
                    .arg(m_mo)
                    .arg(m_dy)
                    .arg(m_hr, 2, 10, QLatin1Char('0'))
                    .arg(m_mi, 2, 10, QLatin1Char('0'))
                    .arg(m_se, 2, 10, QLatin1Char('0')));
            return;
        }
        data.setLocal(*m_id, date, time); // which leaves out, and notes, a year outside those shown
    }

private:
    std::optional<Builtin> m_id;
    int m_yr = 0, m_mo = 0, m_dy = 0, m_hr = 0, m_mi = 0, m_se = 0;
};

// The header's consumer of the RTF state machine: the document's code page, and in {\info} the texts,
// dates and numbers. It skips every other group and stops at the end of {\info} or where the body starts.
class RtfInfoReader : public RtfConsumer {
public:
    explicit RtfInfoReader(const FileContent &c) : m_reader(c, limits::kMaxRtfScanBytes) {}

    DocumentData read()
    {
        m_data.format = QStringLiteral("RTF");
        m_reader.run(*this);
        if (!m_done && m_reader.stoppedAtLimit())
            noteSkipped(QStringLiteral("its header was looked for in the first %1 MiB only; properties stated after "
                                       "that are not read")
                            .arg(limits::kMaxRtfScanBytes / (1024 * 1024)));
        return std::move(m_data);
    }

private:
    struct Group {
        Dest dest = Dest::Top;
        bool ownsValue = false; // the group that started the current text or date
    };

    // ---- groups
    void groupStarted() override
    {
        Group g = m_stack.empty() ? Group{} : m_stack.back();
        g.ownsValue = false;
        m_stack.push_back(g);
    }
    void groupSkipped() override { m_stack.pop_back(); }
    void groupEnded() override
    {
        const Group g = m_stack.back();
        m_stack.pop_back();
        if (g.ownsValue && g.dest == Dest::Field) {
            m_data.setText(*m_field, m_text.take(m_codePage));
            m_field.reset();
        } else if (g.ownsValue && g.dest == Dest::Date) {
            m_date.store(m_data);
        } else if (g.dest == Dest::Info && m_inInfo && (m_stack.empty() || m_stack.back().dest != Dest::Info)) {
            finish(); // the whole {\info} group has been read
        }
    }
    void documentEnded() override { m_done = true; }

    // The first control word of a group decides what the group is to this reader.
    bool groupBegins(const RtfToken *w) override
    {
        Group &g = m_stack.back();
        if (m_stack.size() == 1) { // the document group itself: {\rtf1 ...
            g.dest = Dest::Top;
            return true;
        }
        const Dest parent = m_stack[m_stack.size() - 2].dest;
        const std::string_view name = w ? w->name : std::string_view();
        switch (parent) {
        case Dest::Top:
            if (name != "info")
                return false;
            g.dest = Dest::Info;
            m_inInfo = true;
            return true;
        case Dest::Info:
            return infoGroup(g, name);
        case Dest::Field:
            g.dest = Dest::Field;
            return !m_reader.optional();
        case Dest::Date:
            g.dest = Dest::Date;
            return true;
        case Dest::Skip:
            return false;
        }
        return true;
    }
    bool infoGroup(Group &g, std::string_view name)
    {
        if (const auto *text = findIn(kInfoTexts, name)) {
            g.dest = Dest::Field;
            g.ownsValue = true;
            m_field = text->id;
            m_text.clear();
            return true;
        }
        if (const auto *date = findIn(kInfoDates, name)) {
            g.dest = Dest::Date;
            g.ownsValue = true;
            m_date.start(date->id);
            return true;
        }
        if (findIn(kInfoNumbers, name)) {
            g.dest = Dest::Info;
            return true;
        }
        return false;
    }

    // ---- control words and symbols in context
    void word(const RtfToken &w) override
    {
        if (m_stack.empty())
            return;
        switch (m_stack.back().dest) {
        case Dest::Top:
            topWord(w);
            return;
        case Dest::Info:
            number(w);
            return;
        case Dest::Date:
            m_date.word(w);
            return;
        case Dest::Field:
            fieldWord(w);
            return;
        case Dest::Skip:
            return;
        }
    }

    // The header outside {\info}: the document's code page, and where the body begins.
    void topWord(const RtfToken &w)
    {
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
            finish(); // the body begins: the header, and with it {\info}, is behind us
    }

    void number(const RtfToken &w)
    {
        if (!w.hasParam)
            return;
        const auto *row = findIn(kInfoNumbers, w.name);
        if (!row || !row->id)
            return;
        if (*row->id == Builtin::RevisionNumber)
            m_data.setText(Builtin::RevisionNumber, QString::number(w.param));
        else
            m_data.setInteger(*row->id, w.param);
    }

    void fieldWord(const RtfToken &w)
    {
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
                character(l.ch);
                return;
            }
        if (const auto c = rtfTypographicCharacter(w.name))
            character(*c);
        // Formatting words (\b, \f1, \lang ...) carry no text.
    }

    void symbol(char c) override
    {
        if (c == '\r' || c == '\n')
            character('\n');
        else if (c == '\t')
            character('\t');
        // \- optional hyphen, \| \: and the rest carry no text
    }

    // ---- text
    bool inValue() const { return m_field && !m_stack.empty() && m_stack.back().dest == Dest::Field; }
    void bytes(std::string_view bytes) override
    {
        if (inValue())
            m_text.addBytes(bytes);
    }
    void character(char16_t ch) override
    {
        if (inValue())
            m_text.addCharacter(ch, m_codePage);
    }

    void finish()
    {
        m_done = true;
        m_reader.stop();
    }

    RtfReader m_reader;
    DocumentData m_data;
    std::vector<Group> m_stack;
    bool m_inInfo = false;
    bool m_done = false;
    int m_codePage = 1252;
    std::optional<Builtin> m_field;
    InfoText m_text;
    InfoDate m_date;
};

} // namespace

DocumentData readRtfDocument(const FileContent &content)
{
    DocumentData d = RtfInfoReader(content).read();
    computeMissingStatistics(d, content, [&](TextCounter &c) { countRtfText(content, c); });
    return d;
}

} // namespace word
