// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsView.h"
#include "core/MainWindowState.h"
#include "results/ResultsTable.h"
#include <QHeaderView>
#include <QKeyEvent>

ResultsView::ResultsView(ResultsTable *table, MainWindowState *window, QWidget *parent)
    : QTreeView(parent), m_table(table), m_window(window)
{
    setModel(table);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // keeps scrolling through 100,000 rows cheap
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setToolTip(ToolTip);
    // Every column keeps the default width; the user drags the dividers to see more.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setSectionsMovable(false);
    viewport()->setMouseTracking(true);
}

void ResultsView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        deleteSelectedRow();
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ResultsView::deleteSelectedRow()
{
    if (m_window && m_window->isBusy())
        return;
    if (!m_table || m_table->rows() < 1)
        return;
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    if (selected.isEmpty())
        return; // rows but no selection: nothing to remove
    m_table->removeRowAt(selected.first().row() + 1);
}

void ResultsView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_window)
        m_window->hoverToArrow();
    QTreeView::mouseMoveEvent(event);
}
