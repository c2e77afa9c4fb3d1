#include "cli/OutputFormat.h"
#include <QHash>

namespace cli {

namespace {

void appendJsonString(QByteArray &out, const QString &s)
{
    out.append('"');
    const QByteArray utf8 = s.toUtf8();
    const char *p = utf8.constData();
    const char *end = p + utf8.size();
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
        case '"': out.append("\\\""); break;
        case '\\': out.append("\\\\"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        case '\b': out.append("\\b"); break;
        case '\f': out.append("\\f"); break;
        default: {
            char buf[8];
            snprintf(buf, sizeof buf, "\\u%04x", c);
            out.append(buf);
        }
        }
    }
    out.append('"');
}

void appendJsonValue(QByteArray &out, const Cell &cell)
{
    switch (cell.kind) {
    case Cell::Kind::Null: out.append("null"); return;
    case Cell::Kind::Text: appendJsonString(out, cell.text); return;
    case Cell::Kind::Number: out.append(QByteArray::number(cell.number)); return;
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
    QByteArray record(const Record &record) const override { return jsonObject(record) + '\n'; }
};

class JsonArray : public OutputFormat {
public:
    QByteArray begin() const override { return "[\n"; }
    QByteArray record(const Record &record) const override { return jsonObject(record); }
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
    QByteArray record(const Record &record) const override
    {
        std::vector<const Cell *> row(static_cast<size_t>(m_columns.size()), nullptr);
        auto place = [&](const std::vector<Field> &fields) {
            for (const Field &f : fields)
                if (const auto it = m_index.constFind(f.name); it != m_index.cend())
                    row[static_cast<size_t>(*it)] = &f.value;
        };
        place(record.fields);
        place(record.properties);
        QByteArray out;
        out.reserve(1024);
        const Cell none;
        for (size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out.append(',');
            appendCsvField(out, row[i] ? *row[i] : none);
        }
        return out + "\r\n";
    }

private:
    QStringList m_columns;
    QHash<QString, qsizetype> m_index;
};

} // namespace

QByteArray jsonObject(const Record &record)
{
    QByteArray out;
    out.reserve(1024);
    out.append('{');
    appendJsonMembers(out, record.fields);
    if (!record.failed) {
        out.append(",\"properties\":{");
        appendJsonMembers(out, record.properties);
        out.append('}');
    }
    out.append('}');
    return out;
}

void appendCsvField(QByteArray &out, const Cell &cell)
{
    switch (cell.kind) {
    case Cell::Kind::Null:
        return;
    case Cell::Kind::Number:
        out.append(QByteArray::number(cell.number));
        return;
    case Cell::Kind::Text:
    case Cell::Kind::List: {
        // A list is one field: its items joined by ";", which no property name holds.
        out.append('"');
        const QByteArray utf8 = (cell.kind == Cell::Kind::List ? cell.list.join(QLatin1Char(';')) : cell.text).toUtf8();
        for (const char c : utf8) {
            if (c == '"')
                out.append('"');
            out.append(c);
        }
        out.append('"');
        return;
    }
    }
}

std::unique_ptr<OutputFormat> makeOutputFormat(OutputFormatKind kind, const QStringList &columns)
{
    switch (kind) {
    case OutputFormatKind::JsonLines: return std::make_unique<JsonLines>();
    case OutputFormatKind::JsonArray: return std::make_unique<JsonArray>();
    case OutputFormatKind::Csv: return std::make_unique<Csv>(columns);
    }
    return std::make_unique<JsonLines>();
}

} // namespace cli
