// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutputFormat.h"
#include <QHash>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace cli {

namespace {

// Appends `s` as UTF-8, each byte written by `Escape::put` as its format needs (at most
// `Escape::kWidest` bytes for one). Straight into the output's own bytes: records are written by the
// thousand, and a call per run of text cost more than the text. Texts in ASCII (nearly all of them) need
// no conversion; the rest from their first other character on are converted as a whole.
template <class Escape> void appendEscaped(QByteArray &out, const char *p, const char *end)
{
    const qsizetype start = out.size();
    out.resize(start + (end - p) * Escape::kWidest);
    char *to = out.data() + start;
    for (; p < end; ++p)
        to = Escape::put(to, static_cast<unsigned char>(*p));
    out.resize(to - out.constData());
}

template <class Escape> void appendUtf8(QByteArray &out, QStringView s)
{
    const qsizetype start = out.size();
    out.resize(start + s.size() * Escape::kWidest);
    char *to = out.data() + start;
    qsizetype i = 0;
    for (; i < s.size() && s[i].unicode() < 0x80; ++i)
        to = Escape::put(to, static_cast<unsigned char>(s[i].unicode()));
    out.resize(to - out.constData());
    if (i < s.size()) {
        const QByteArray rest = s.mid(i).toUtf8();
        appendEscaped<Escape>(out, rest.constData(), rest.constData() + rest.size());
    }
}

void appendNumber(QByteArray &out, qint64 n)
{
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, n);
    Q_UNUSED(error);
    out.append(digits, end - digits);
}

// JSON strings: quotes, backslashes and control characters escaped, everything else verbatim.
struct JsonEscape {
    static constexpr qsizetype kWidest = 6; // \u001f
    static char *put(char *to, unsigned char c)
    {
        if (c >= 0x20 && c != '"' && c != '\\') {
            *to = static_cast<char>(c);
            return to + 1;
        }
        char short_ = 0;
        switch (c) {
        case '"':
            short_ = '"';
            break;
        case '\\':
            short_ = '\\';
            break;
        case '\n':
            short_ = 'n';
            break;
        case '\r':
            short_ = 'r';
            break;
        case '\t':
            short_ = 't';
            break;
        case '\b':
            short_ = 'b';
            break;
        case '\f':
            short_ = 'f';
            break;
        default: {
            static constexpr char kHex[] = "0123456789abcdef";
            const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
            std::memcpy(to, escape, sizeof escape);
            return to + sizeof escape;
        }
        }
        to[0] = '\\';
        to[1] = short_;
        return to + 2;
    }
};

// CSV fields: quotes doubled, everything else verbatim.
struct CsvEscape {
    static constexpr qsizetype kWidest = 2;
    static char *put(char *to, unsigned char c)
    {
        *to++ = static_cast<char>(c);
        if (c == '"')
            *to++ = '"';
        return to;
    }
};

// A record is written in JSON straight into the output's bytes, room for the most it can take made once:
// calls into the byte array for every string and punctuation mark cost more than the text itself.
qsizetype jsonBound(QStringView s) { return 2 + s.size() * JsonEscape::kWidest; }

qsizetype jsonBound(const Cell &cell)
{
    switch (cell.kind) {
    case Cell::Kind::Null:
        return 4;
    case Cell::Kind::Text:
        return jsonBound(cell.text);
    case Cell::Kind::Number:
        return 20;
    case Cell::Kind::List: {
        qsizetype n = 2;
        for (const QString &item : cell.list)
            n += jsonBound(item) + 1;
        return n;
    }
    }
    return 4;
}

qsizetype jsonBound(const std::vector<Field> &fields)
{
    qsizetype n = 0;
    for (const Field &f : fields)
        n += jsonBound(f.name) + 1 + jsonBound(f.value) + 1;
    return n;
}

char *putRaw(char *to, std::string_view s)
{
    std::memcpy(to, s.data(), s.size());
    return to + s.size();
}

// Whether none of four UTF-16 units needs more than copying into JSON: each is printable ASCII other
// than the quote and the backslash. Tested four at a time, as nearly every character of a record is such.
bool arePlainJson(std::uint64_t units)
{
    constexpr std::uint64_t kOnes = 0x0001000100010001ull;
    constexpr std::uint64_t kBit7 = 0x0080 * kOnes;
    if ((units & (0xFF80 * kOnes)) != 0)
        return false; // one at 0x80 or above
    // Every unit is now below 0x80: an addition to it stays within its own 16 bits, and its bit 7 tells.
    const std::uint64_t printable = units + (0x80 - 0x20) * kOnes;              // bit 7: at least 0x20
    const std::uint64_t notQuote = (units ^ ('"' * kOnes)) + 0x7F * kOnes;      // bit 7: not '"'
    const std::uint64_t notBackslash = (units ^ ('\\' * kOnes)) + 0x7F * kOnes; // bit 7: not '\\'
    return (printable & notQuote & notBackslash & kBit7) == kBit7;
}

char *putJsonString(char *to, QStringView s)
{
    *to++ = '"';
    const char16_t *units = s.utf16();
    const qsizetype size = s.size();
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        std::uint64_t four;
        std::memcpy(&four, units + i, sizeof four);
        if (!arePlainJson(four))
            break;
        to[0] = static_cast<char>(units[i]);
        to[1] = static_cast<char>(units[i + 1]);
        to[2] = static_cast<char>(units[i + 2]);
        to[3] = static_cast<char>(units[i + 3]);
        to += 4;
    }
    for (; i < size && units[i] < 0x80; ++i)
        to = JsonEscape::put(to, static_cast<unsigned char>(units[i]));
    if (i < s.size()) {
        // At most three bytes of UTF-8 for each UTF-16 unit: within the room made for escapes.
        const QByteArray rest = s.mid(i).toUtf8();
        for (const char c : rest)
            to = JsonEscape::put(to, static_cast<unsigned char>(c));
    }
    *to++ = '"';
    return to;
}

char *putJsonValue(char *to, const Cell &cell)
{
    switch (cell.kind) {
    case Cell::Kind::Null:
        return putRaw(to, "null");
    case Cell::Kind::Text:
        return putJsonString(to, cell.text);
    case Cell::Kind::Number:
        return std::to_chars(to, to + 20, cell.number).ptr;
    case Cell::Kind::List:
        *to++ = '[';
        for (qsizetype i = 0; i < cell.list.size(); ++i) {
            if (i > 0)
                *to++ = ',';
            to = putJsonString(to, cell.list[i]);
        }
        *to++ = ']';
        return to;
    }
    return to;
}

char *putJsonMembers(char *to, const std::vector<Field> &fields)
{
    bool first = true;
    for (const Field &f : fields) {
        if (!first)
            *to++ = ',';
        first = false;
        to = putJsonString(to, f.name);
        *to++ = ':';
        to = putJsonValue(to, f.value);
    }
    return to;
}

class JsonLines : public OutputFormat {
public:
    void record(const Record &record, QByteArray &out) const override
    {
        appendJsonObject(out, record);
        out.append('\n');
    }
};

class JsonArray : public OutputFormat {
public:
    QByteArray begin() const override { return "[\n"; }
    void record(const Record &record, QByteArray &out) const override { appendJsonObject(out, record); }
    QByteArray separator() const override { return ",\n"; }
    QByteArray end(bool anyRecords) const override { return anyRecords ? "\n]\n" : "]\n"; }
};

class Csv : public OutputFormat {
public:
    explicit Csv(const QStringList &columns) : m_columns(columns)
    {
        for (qsizetype i = 0; i < columns.size(); ++i)
            m_index.insert(columns[i], i);
    }
    QByteArray begin() const override
    {
        QByteArray out;
        for (qsizetype i = 0; i < m_columns.size(); ++i) {
            if (i > 0)
                out.append(',');
            appendCsvField(out, Cell::of(m_columns[i]));
        }
        return out + "\r\n";
    }
    void record(const Record &record, QByteArray &out) const override
    {
        thread_local std::vector<const Cell *> row;
        row.assign(static_cast<size_t>(m_columns.size()), nullptr);
        auto place = [&](const std::vector<Field> &fields) {
            for (const Field &f : fields)
                if (const auto it = m_index.constFind(f.name); it != m_index.cend())
                    row[static_cast<size_t>(*it)] = &f.value;
        };
        place(record.fields);
        place(record.properties);
        const Cell none;
        for (size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out.append(',');
            appendCsvField(out, row[i] ? *row[i] : none);
        }
        out.append("\r\n");
    }

private:
    QStringList m_columns;
    QHash<QString, qsizetype> m_index;
};

} // namespace

void appendJsonObject(QByteArray &out, const Record &record)
{
    constexpr std::string_view kProperties = ",\"properties\":{";
    const qsizetype most = 2 + jsonBound(record.fields)
                           + (record.failed ? 0 : qsizetype(kProperties.size()) + 1 + jsonBound(record.properties));
    // Written in this thread's scratch room, then copied: output buffers are kept from record to record,
    // and room for the most a record could take would stay with each of them.
    thread_local QByteArray scratch;
    constexpr qsizetype kKeptRoom = 64 * 1024; // a long record's room is not kept for the short ones
    if (scratch.size() < most || (scratch.size() > kKeptRoom && most <= kKeptRoom))
        scratch = QByteArray(most, Qt::Uninitialized);
    char *const begin = scratch.data();
    char *to = begin;
    *to++ = '{';
    to = putJsonMembers(to, record.fields);
    if (!record.failed) {
        to = putRaw(to, kProperties);
        to = putJsonMembers(to, record.properties);
        *to++ = '}';
    }
    *to++ = '}';
    out.append(begin, to - begin);
}

void appendCsvField(QByteArray &out, const Cell &cell)
{
    switch (cell.kind) {
    case Cell::Kind::Null:
        return;
    case Cell::Kind::Number:
        appendNumber(out, cell.number);
        return;
    case Cell::Kind::Text:
    case Cell::Kind::List: {
        out.append('"');
        if (cell.kind == Cell::Kind::Text) {
            appendUtf8<CsvEscape>(out, cell.text);
        } else {
            // A list is one field: its items joined by ";", which no property name holds.
            for (qsizetype i = 0; i < cell.list.size(); ++i) {
                if (i > 0)
                    out.append(';');
                appendUtf8<CsvEscape>(out, cell.list[i]);
            }
        }
        out.append('"');
        return;
    }
    }
}

std::unique_ptr<OutputFormat> makeOutputFormat(OutputFormatKind kind, const QStringList &columns)
{
    switch (kind) {
    case OutputFormatKind::JsonLines:
        return std::make_unique<JsonLines>();
    case OutputFormatKind::JsonArray:
        return std::make_unique<JsonArray>();
    case OutputFormatKind::Csv:
        return std::make_unique<Csv>(columns);
    }
    return std::make_unique<JsonLines>();
}

} // namespace cli
