// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsData.h"
#include "platform/RuntimeError.h"
#include <algorithm>
#include <limits>

void ResultsData::outOfBounds() { throw RuntimeError(IndexOutOfBounds, QStringLiteral("Index out of bounds")); }

QString ResultsData::headerText(int c) const
{
    if (c < 1 || c > columns())
        outOfBounds();
    return m_headers[c - 1];
}

const ResultsData::Row &ResultsData::rowAt(int r) const
{
    if (r < 1 || r > rows())
        outOfBounds();
    return m_rows[size_t(r - 1)];
}

QStringView ResultsData::piece(const Row &row, int i)
{
    if (i >= row.ends.size())
        return {};
    const quint32 start = i == 0 ? 0 : row.ends[i - 1];
    return QStringView(row.packed).mid(start, row.ends[i] - start);
}

QString ResultsData::rowText(int r) const { return piece(rowAt(r), 0).toString(); }

QString ResultsData::valueText(int r, int k) const
{
    const Row &row = rowAt(r);
    if (k < 1 || k > columns() - 1)
        outOfBounds();
    return piece(row, k).toString();
}

bool ResultsData::checked(int r) const { return rowAt(r).checked; }

QString ResultsData::cell(int r, int c) const { return c == 1 ? rowText(r) : valueText(r, c - 1); }

QStringView ResultsData::cellAt(int row0, int col0) const { return piece(m_rows[size_t(row0)], col0); }

namespace {
constexpr qint64 MsecsPerDay = 86400000;
// Days beyond this (some 270 million years after the calendar's start) would not fit the packed form; a
// date that far out is kept as its text alone.
constexpr qint64 MaxPackedDay = 100000000000LL;
} // namespace

std::optional<ResultsData::TypedEntry> ResultsData::packTyped(int k, const TypedValue &value)
{
    TypedEntry entry;
    entry.k = quint32(k);
    entry.kind = value.kind;
    switch (value.kind) {
    case TypedValue::Kind::Text:
        return std::nullopt;
    case TypedValue::Kind::Number:
        entry.payload = value.number;
        return entry;
    case TypedValue::Kind::DateTime: {
        const qint64 day = value.date.toJulianDay();
        if (!value.date.isValid() || !value.time.isValid() || day < 0 || day > MaxPackedDay)
            return std::nullopt;
        entry.payload = day * MsecsPerDay + value.time.msecsSinceStartOfDay();
        return entry;
    }
    }
    return std::nullopt;
}

TypedValue ResultsData::unpackTyped(const TypedEntry &entry)
{
    if (entry.kind == TypedValue::Kind::Number)
        return TypedValue::wholeNumber(entry.payload);
    return TypedValue::dateTime(QDate::fromJulianDay(entry.payload / MsecsPerDay),
                                QTime::fromMSecsSinceStartOfDay(int(entry.payload % MsecsPerDay)));
}

TypedValue ResultsData::typedAt(int row0, int col0) const
{
    // A row holds a couple of dozen values at most: a scan is as quick as any index.
    for (const TypedEntry &entry : m_rows[size_t(row0)].typed)
        if (entry.k == quint32(col0))
            return unpackTyped(entry);
    return {};
}

ResultsData::RowId ResultsData::rowIdAt(int r) const { return rowAt(r).id; }

int ResultsData::rowIndex(RowId id) const
{
    const auto it =
        std::lower_bound(m_rows.begin(), m_rows.end(), id, [](const Row &row, RowId value) { return row.id < value; });
    if (it == m_rows.end() || it->id != id)
        return 0;
    return int(it - m_rows.begin()) + 1;
}

void ResultsData::removeAllColumns()
{
    m_headers.clear();
    // Value texts belong to columns: without columns a row keeps only its text.
    for (Row &row : m_rows) {
        if (row.ends.size() > 1) {
            row.packed.truncate(row.ends[0]);
            row.ends.resize(1);
        }
        row.typed.clear();
    }
}

void ResultsData::addColumn(const QString &header) { m_headers.append(header); }

void ResultsData::clearRows() { m_rows.clear(); }

ResultsData::RowId ResultsData::appendRow(const QString &path)
{
    Row row;
    row.id = m_nextId++;
    row.packed = path;
    row.ends.append(quint32(path.size()));
    m_rows.push_back(std::move(row));
    return m_rows.back().id;
}

void ResultsData::setValue(RowId id, int k, const QString &text, const TypedValue &typed)
{
    const int r = rowIndex(id);
    if (r == 0)
        throw RuntimeError(IndexOutOfBounds, QStringLiteral("The row is no longer in the results table."));
    if (k < 1 || k > columns() - 1)
        outOfBounds();
    Row &row = m_rows[size_t(r - 1)];
    if (qint64(row.packed.size()) + text.size() > qint64(std::numeric_limits<qint32>::max() / 2))
        throw RuntimeError(RuntimeError::Overflow, QStringLiteral("The row's texts are too long."));
    while (row.ends.size() <= k)
        row.ends.append(quint32(row.packed.size()));
    const quint32 start = row.ends[k - 1];
    const quint32 oldLength = row.ends[k] - start;
    row.packed.replace(qsizetype(start), qsizetype(oldLength), text);
    const qint64 delta = qint64(text.size()) - qint64(oldLength);
    if (delta != 0) {
        for (qsizetype i = k; i < row.ends.size(); ++i)
            row.ends[i] = quint32(qint64(row.ends[i]) + delta);
    }
    row.typed.removeIf([k](const TypedEntry &entry) { return entry.k == quint32(k); });
    if (const std::optional<TypedEntry> entry = packTyped(k, typed))
        row.typed.append(*entry);
}

void ResultsData::setChecked(int r, bool on)
{
    rowAt(r);
    m_rows[size_t(r - 1)].checked = on;
}

void ResultsData::checkAllRows()
{
    for (Row &row : m_rows)
        row.checked = true;
}

void ResultsData::removeRowAt(int r)
{
    rowAt(r);
    m_rows.erase(m_rows.begin() + (r - 1));
}
