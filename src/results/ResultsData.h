// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "results/TypedValue.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

// The content of the results table: column headers and rows, each row holding its text (the document's
// path), its value texts and its checked flag. A plain value type, so an export can take a copy of the
// table when it starts and is not disturbed by a run or "Clear Results" that the user starts meanwhile;
// the copy is cheap because the texts are implicitly shared.
//
// A row keeps its texts in one string (row text first, then the value texts in column order) with the
// end offset of each piece: 100,000 rows of 25 columns would otherwise cost 2.5 million separate
// string allocations. Values that are numbers or dates also keep their typed value beside the text,
// packed in 16 bytes each.
class ResultsData {
public:
    using RowId = quint64;

    // Errors the list control itself raises for a bad index.
    static constexpr int IndexOutOfBounds = 35600;

    // Reads, 1-based; each throws RuntimeError when the position does not exist.
    int columns() const { return int(m_headers.size()); }
    QString headerText(int c) const;
    int rows() const { return int(m_rows.size()); }
    QString rowText(int r) const;
    QString valueText(int r, int k) const; // k = 1 .. columns() - 1
    bool checked(int r) const;
    // cell(r, 1) is the row text, cell(r, c) the value text of sub-item c - 1; an unset value reads empty.
    QString cell(int r, int c) const;

    // Unchecked 0-based access for the exports' inner loops; the caller keeps within rows() / columns().
    QStringView cellAt(int row0, int col0) const;
    // The typed value behind cellAt(row0, col0); Kind::Text when the text stands for itself.
    TypedValue typedAt(int row0, int col0) const;
    bool checkedAt(int row0) const { return m_rows[size_t(row0)].checked; }
    const QString &headerAt(int col0) const { return m_headers[col0]; }

    // Row handles: a handle stays valid while its row exists, whatever else is removed.
    RowId rowIdAt(int r) const;   // 1-based; throws when out of range
    int rowIndex(RowId id) const; // 1-based; 0 when the row is gone
    bool rowExists(RowId id) const { return rowIndex(id) != 0; }

    // Changes.
    void removeAllColumns();
    void addColumn(const QString &header);
    void clearRows();
    RowId appendRow(const QString &path);
    // Sets value text k and the typed value it shows; throws when the row is gone or k is out of range.
    void setValue(RowId row, int k, const QString &text, const TypedValue &typed);
    void setValueText(RowId row, int k, const QString &text) { setValue(row, k, text, {}); }
    void setChecked(int r, bool on); // 1-based
    void checkAllRows();
    void removeRowAt(int r); // 1-based

private:
    // One typed value of a row: a whole number, or a date-time as its Julian day times the milliseconds
    // of a day plus the milliseconds since midnight.
    struct TypedEntry {
        qint64 payload = 0;
        quint32 k = 0; // the value's sub-item
        TypedValue::Kind kind = TypedValue::Kind::Text;
    };
    struct Row {
        RowId id = 0;
        QString packed;          // row text, then the value texts one after the other
        QList<quint32> ends;     // ends[0]: end of the row text; ends[k]: end of value text k (unset ones absent)
        QList<TypedEntry> typed; // only the values that are not plain text, by k
        bool checked = false;
    };
    static std::optional<TypedEntry> packTyped(int k, const TypedValue &value);
    static TypedValue unpackTyped(const TypedEntry &entry);
    const Row &rowAt(int r) const;
    static QStringView piece(const Row &row, int i);
    [[noreturn]] static void outOfBounds();

    QStringList m_headers;
    std::vector<Row> m_rows; // ordered by id, since rows are only ever appended
    RowId m_nextId = 1;
};
