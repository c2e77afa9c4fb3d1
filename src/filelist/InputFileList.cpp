// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filelist/InputFileList.h"
#include "platform/RuntimeError.h"

InputFileList::InputFileList(QObject *parent) : QAbstractListModel(parent) {}

void InputFileList::checkIndex1(int i) const
{
    if (i < 1 || i > count())
        throw RuntimeError(RuntimeError::SubscriptOutOfRange, QStringLiteral("Index out of bounds"));
}

QString InputFileList::text(int i) const
{
    checkIndex1(i);
    return m_texts[static_cast<size_t>(i - 1)];
}

void InputFileList::add(const QString &path)
{
    const int row = count();
    beginInsertRows(QModelIndex(), row, row);
    m_texts.push_back(path);
    endInsertRows();
}

void InputFileList::addMany(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(paths.size()) - 1);
    m_texts.insert(m_texts.end(), paths.begin(), paths.end());
    endInsertRows();
}

void InputFileList::setText(int i, const QString &path)
{
    checkIndex1(i);
    m_texts[static_cast<size_t>(i - 1)] = path;
    const QModelIndex changed = index(i - 1, 0);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void InputFileList::removeAt(int i)
{
    checkIndex1(i);
    beginRemoveRows(QModelIndex(), i - 1, i - 1);
    m_texts.erase(m_texts.begin() + (i - 1));
    endRemoveRows();
}

void InputFileList::clear()
{
    beginResetModel();
    m_texts.clear();
    m_texts.shrink_to_fit();
    endResetModel();
}

void InputFileList::setColumnHeader(const QString &text)
{
    m_header = text;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

int InputFileList::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : count(); }

QVariant InputFileList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() != 0)
        return {};
    if (role == Qt::DisplayRole)
        return m_texts[static_cast<size_t>(index.row())];
    return {};
}

QVariant InputFileList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return m_header;
    return QAbstractListModel::headerData(section, orientation, role);
}

Qt::ItemFlags InputFileList::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // Entries are selectable but neither editable in place nor dragged out of the list.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
