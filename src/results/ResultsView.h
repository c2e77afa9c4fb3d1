// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTreeView>

class MainWindowState;
class ResultsTable;

// ListView2: the results table in report view, a check box per row in the first column, one selected
// row at a time. The Delete key removes the selected row unless the window is busy; moving the mouse
// over the table gives the arrow back unless the window is busy.
class ResultsView : public QTreeView {
    Q_OBJECT
public:
    ResultsView(ResultsTable *table, MainWindowState *window, QWidget *parent = nullptr);

    static inline const QString ToolTip =
        QStringLiteral("Move | line to right and out of window to reveal full names.");

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void deleteSelectedRow();

    ResultsTable *m_table;
    MainWindowState *m_window;
};
