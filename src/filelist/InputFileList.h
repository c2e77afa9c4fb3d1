// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractListModel>
#include <QString>
#include <QStringList>
#include <vector>

// The ordered documents the extraction run processes: one path text per entry, numbered from 1,
// duplicates allowed, no upper bound. Row r of the model is entry r + 1.
class InputFileList : public QAbstractListModel {
    Q_OBJECT
public:
    explicit InputFileList(QObject *parent = nullptr);

    int count() const { return static_cast<int>(m_texts.size()); }
    // The path text of entry i (1-based). Throws RuntimeError 9 when i is out of range.
    QString text(int i) const;
    // Appends one entry; no test of any kind is made.
    void add(const QString &path);
    // Appends many entries in one model update; the views lay out once instead of once per entry.
    void addMany(const QStringList &paths);
    // Replaces the text of entry i (1-based). Throws RuntimeError 9 when i is out of range.
    void setText(int i, const QString &path);
    // Removes entry i (1-based); the entries behind it move up. Throws RuntimeError 9 when out of range.
    void removeAt(int i);
    void clear();
    // The header of the list's one column; empty until the main window creates the column.
    void setColumnHeader(const QString &text);
    QString columnHeader() const { return m_header; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void checkIndex1(int i) const;
    std::vector<QString> m_texts;
    QString m_header;
};
