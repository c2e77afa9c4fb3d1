// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "results/ResultsData.h"
#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QTimer>

// The results table shown by ListView2: one row per document (its path in column 1, one value text per
// selected property after it) and a checked flag per row, shown as the row's check box. Positions in the
// public interface are 1-based like the list control's; rows are also reachable by a handle (RowId) that
// survives the removal of other rows, because the extraction run keeps writing into a row while the
// user may remove rows in between.
//
// The reads below always see every row. Views, though, hear of appended rows at most every
// PublishIntervalMs: the run lets events through after every document, and a view that relaid and
// repainted itself for each of 100,000 rows would cost milliseconds per document.
class ResultsTable : public QAbstractTableModel {
    Q_OBJECT
public:
    using RowId = ResultsData::RowId;

    explicit ResultsTable(QObject *parent = nullptr);

    // Columns.
    void removeAllColumns();
    void addColumn(const QString &header);
    // Rows.
    void clearRows();
    RowId appendRow(const QString &path); // no value texts yet, not checked
    // Sub-item k = 1 .. columns() - 1; throws RuntimeError when the row is gone or k is out of range.
    void setValueText(RowId row, int k, const QString &text) { setValue(row, k, text, {}); }
    // The same, with the typed value the text shows (kept for the exports that keep types).
    void setValue(RowId row, int k, const QString &text, const TypedValue &typed);
    void checkAllRows();
    void setChecked(int r, bool on);
    void removeRowAt(int r);

    // Reads, 1-based; each throws RuntimeError when out of range.
    int columns() const { return m_data.columns(); }
    QString headerText(int c) const { return m_data.headerText(c); }
    int rows() const { return m_data.rows(); }
    QString rowText(int r) const { return m_data.rowText(r); }
    QString valueText(int r, int k) const { return m_data.valueText(r, k); }
    bool checked(int r) const { return m_data.checked(r); }
    QString cell(int r, int c) const { return m_data.cell(r, c); }

    bool rowExists(RowId id) const { return m_data.rowExists(id); }
    int rowIndex(RowId id) const { return m_data.rowIndex(id); } // 0 when gone
    RowId rowIdAt(int r) const { return m_data.rowIdAt(r); }

    // The whole content; copying it gives an export a stable picture of the table.
    const ResultsData &content() const { return m_data; }

    static constexpr int PublishIntervalMs = 100;
    // Tells views of every appended row now.
    void publishPendingRows();
    void setPublishInterval(int ms);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void schedulePublishing();
    bool isPublished(int row0) const { return row0 < m_published; }

    ResultsData m_data;
    int m_published = 0; // rows the views know of: always the first ones
    int m_publishIntervalMs = PublishIntervalMs;
    QTimer m_publishTimer;
    QElapsedTimer m_sincePublished;
};
