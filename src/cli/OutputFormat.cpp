// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutputFormat.h"
#include <QHash>
#include <charconv>

namespace cli {

namespace {

// Appends `s` as UTF-8 through `escape`, which appends the bytes of one piece of text with whatever
// escapes its format needs. Texts in ASCII (nearly all of them) are copied without an intermediate
// string; the rest from their first other character on are converted as a whole.
template <class Escape> void appendUtf8(QByteArray &out, QStringView s, Escape &&escape)
{
    char ascii[256];
    qsizetype i = 0;
    while (i < s.size()) {
        qsizetype n = 0;
        while (i < s.size() && n < static_cast<qsizetype>(sizeof ascii) && s[i].unicode() < 0x80)
            ascii[n++] = static_cast<char>(s[i++].unicode());
        escape(out, ascii, ascii + n);
        if (i < s.size() && s[i].unicode() >= 0x80) {
            const QByteArray rest = s.mid(i).toUtf8();
            escape(out, rest.constData(), rest.constData() + rest.size());
            return;
        }
    }
}

void appendNumber(QByteArray &out, qint64 n)
{
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, n);
    Q_UNUSED(error);
    out.append(digits, end - digits);
}

void appendJsonEscaped(QByteArray &out, const char *p, const char *end)
{
    while (p < end) {
        // Copy the run of characters that need no escape in one go.
        const char *run = p;
        while (p < end && static_cast<unsigned char>(*p) >= 0x20 && *p != '"' && *p != '\\')
            ++p;
        out.append(run, p - run);
        if (p == end)
            break;
        const auto c = static_cast<unsigned char>(*p++);
        switch (c) {
        case '"':
            out.append("\\\"");
            break;
        case '\\':
            out.append("\\\\");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\r':
            out.append("\\r");
            break;
        case '\t':
            out.append("\\t");
            break;
        case '\b':
            out.append("\\b");
            break;
        case '\f':
            out.append("\\f");
            break;
        default: {
            char buf[8];
            snprintf(buf, sizeof buf, "\\u%04x", c);
            out.append(buf);
        }
        }
    }
}

void appendJsonString(QByteArray &out, QStringView s)
{
    out.append('"');
    appendUtf8(out, s, appendJsonEscaped);
    out.append('"');
}

void appendJsonValue(QByteArray &out, const Cell &cell)
{
    switch (cell.kind) {
    case Cell::Kind::Null:
        out.append("null");
        return;
    case Cell::Kind::Text:
        appendJsonString(out, cell.text);
        return;
    case Cell::Kind::Number:
        appendNumber(out, cell.number);
        return;
    case Cell::Kind::List:
        out.append('[');
        for (qsizetype i = 0; i < cell.list.size(); ++i) {
            if (i > 0)
                out.append(',');
            appendJsonString(out, cell.list[i]);
        }
        out.append(']');
        return;
    }
}

void appendJsonMembers(QByteArray &out, const std::vector<Field> &fields)
{
    bool first = true;
    for (const Field &f : fields) {
        if (!first)
            out.append(',');
        first = false;
        appendJsonString(out, f.name);
        out.append(':');
        appendJsonValue(out, f.value);
    }
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
    out.append('{');
    appendJsonMembers(out, record.fields);
    if (!record.failed) {
        out.append(",\"properties\":{");
        appendJsonMembers(out, record.properties);
        out.append('}');
    }
    out.append('}');
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
        // Quotes doubled, everything else verbatim.
        const auto escape = [](QByteArray &o, const char *p, const char *end) {
            for (const char *run = p; p < end; run = p) {
                while (p < end && *p != '"')
                    ++p;
                o.append(run, p - run);
                if (p < end) {
                    o.append("\"\"");
                    ++p;
                }
            }
        };
        out.append('"');
        if (cell.kind == Cell::Kind::Text) {
            appendUtf8(out, cell.text, escape);
        } else {
            // A list is one field: its items joined by ";", which no property name holds.
            for (qsizetype i = 0; i < cell.list.size(); ++i) {
                if (i > 0)
                    out.append(';');
                appendUtf8(out, cell.list[i], escape);
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
