#include "results/ResultsTable.h"

ResultsTable::ResultsTable(QObject *parent) : QAbstractTableModel(parent) {}

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
    endResetModel();
}

ResultsTable::RowId ResultsTable::appendRow(const QString &path)
{
    const int r = m_data.rows();
    beginInsertRows(QModelIndex(), r, r);
    const RowId id = m_data.appendRow(path);
    endInsertRows();
    return id;
}

void ResultsTable::setValueText(RowId row, int k, const QString &text)
{
    m_data.setValueText(row, k, text);
    const QModelIndex changed = index(m_data.rowIndex(row) - 1, k);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void ResultsTable::checkAllRows()
{
    if (m_data.rows() == 0)
        return;
    m_data.checkAllRows();
    emit dataChanged(index(0, 0), index(m_data.rows() - 1, 0), {Qt::CheckStateRole});
}

void ResultsTable::setChecked(int r, bool on)
{
    m_data.setChecked(r, on);
    const QModelIndex changed = index(r - 1, 0);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

void ResultsTable::removeRowAt(int r)
{
    m_data.rowIdAt(r); // throws when out of range, before the view hears of a removal
    beginRemoveRows(QModelIndex(), r - 1, r - 1);
    m_data.removeRowAt(r);
    endRemoveRows();
}

int ResultsTable::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_data.rows(); }

int ResultsTable::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_data.columns(); }

QVariant ResultsTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_data.rows() || index.column() >= m_data.columns())
        return {};
    if (role == Qt::DisplayRole)
        return m_data.cellAt(index.row(), index.column()).toString();
    if (role == Qt::CheckStateRole && index.column() == 0)
        return m_data.checkedAt(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ResultsTable::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != 0 || index.row() >= m_data.rows())
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
