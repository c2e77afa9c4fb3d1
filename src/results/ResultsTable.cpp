// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsTable.h"

ResultsTable::ResultsTable(QObject *parent) : QAbstractTableModel(parent)
{
    m_publishTimer.setSingleShot(true);
    connect(&m_publishTimer, &QTimer::timeout, this, &ResultsTable::publishPendingRows);
}

void ResultsTable::publishPendingRows()
{
    m_publishTimer.stop();
    m_sincePublished.start();
    const int rows = m_data.rows();
    if (rows <= m_published)
        return;
    beginInsertRows(QModelIndex(), m_published, rows - 1);
    m_published = rows;
    endInsertRows();
}

void ResultsTable::setPublishInterval(int ms)
{
    m_publishIntervalMs = ms;
    if (m_publishTimer.isActive()) {
        m_publishTimer.stop();
        schedulePublishing();
    }
}

void ResultsTable::schedulePublishing()
{
    if (m_publishTimer.isActive())
        return;
    const qint64 since = m_sincePublished.isValid() ? m_sincePublished.elapsed() : m_publishIntervalMs;
    if (since >= m_publishIntervalMs)
        publishPendingRows(); // the first row after a pause shows at once
    else
        m_publishTimer.start(int(m_publishIntervalMs - since));
}

void ResultsTable::removeAllColumns()
{
    if (m_data.columns() == 0)
        return;
    beginResetModel();
    m_data.removeAllColumns();
    endResetModel();
}

void ResultsTable::addColumn(const QString &header)
{
    const int c = m_data.columns();
    beginInsertColumns(QModelIndex(), c, c);
    m_data.addColumn(header);
    endInsertColumns();
}

void ResultsTable::clearRows()
{
    if (m_data.rows() == 0)
        return;
    beginResetModel();
    m_data.clearRows();
    m_published = 0;
    m_publishTimer.stop();
    endResetModel();
}

ResultsTable::RowId ResultsTable::appendRow(const QString &path)
{
    const RowId id = m_data.appendRow(path);
    schedulePublishing();
    return id;
}

void ResultsTable::setValue(RowId row, int k, const QString &text, const TypedValue &typed)
{
    m_data.setValue(row, k, text, typed);
    const int row0 = m_data.rowIndex(row) - 1;
    if (isPublished(row0)) {
        const QModelIndex changed = index(row0, k);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

void ResultsTable::checkAllRows()
{
    if (m_data.rows() == 0)
        return;
    m_data.checkAllRows();
    publishPendingRows(); // the run has ended: every row shows, ticked
    emit dataChanged(index(0, 0), index(m_published - 1, 0), {Qt::CheckStateRole});
}

void ResultsTable::setChecked(int r, bool on)
{
    m_data.setChecked(r, on);
    if (isPublished(r - 1)) {
        const QModelIndex changed = index(r - 1, 0);
        emit dataChanged(changed, changed, {Qt::CheckStateRole});
    }
}

void ResultsTable::removeRowAt(int r)
{
    m_data.rowIdAt(r); // throws when out of range, before the view hears of a removal
    if (!isPublished(r - 1)) {
        m_data.removeRowAt(r);
        return;
    }
    beginRemoveRows(QModelIndex(), r - 1, r - 1);
    m_data.removeRowAt(r);
    --m_published;
    endRemoveRows();
}

int ResultsTable::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_published; }

int ResultsTable::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_data.columns(); }

QVariant ResultsTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_published || index.column() >= m_data.columns())
        return {};
    if (role == Qt::DisplayRole)
        return m_data.cellAt(index.row(), index.column()).toString();
    if (role == Qt::CheckStateRole && index.column() == 0)
        return m_data.checkedAt(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ResultsTable::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != 0 || index.row() >= m_published)
        return false;
    setChecked(index.row() + 1, value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ResultsTable::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ResultsTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_data.columns())
        return m_data.headerAt(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
