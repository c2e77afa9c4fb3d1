// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPersistentModelIndex>
#include <QPoint>
#include <QStringList>
#include <QTreeView>
#include <functional>

class InputFileList;
class QMimeData;
struct UiContext;

// The input file list on screen (ListView1): one column of path texts. Double-click removes the
// selected entry; pressing an entry and moving carries its path up or down the list; files and folders
// dropped from outside are appended.
//
// The mouse steps are public so they can be driven directly as well as through real mouse events.
// Entry numbers are 1-based; 0 means none.
class InputFileListView : public QTreeView {
    Q_OBJECT
public:
    InputFileListView(InputFileList *list, const UiContext *ctx, QWidget *parent = nullptr);

    // Start-up: creates the list's column with its header, then sets its width.
    void addFileColumn();
    void setFileColumnWidthTwips(int twips);

    // A button went down on the list (any button, on an entry or not).
    void buttonPressed();
    // An entry was pressed: it becomes selected and is the one carried from now on; the list shows the
    // drag pointer.
    void itemPressed(int index);
    // The pointer moved to pos (list viewport coordinates); screenPos is its position on the screen,
    // which decides the autoscroll.
    void pointerMoved(const QPoint &pos, const QPoint &screenPos);
    // The button was released: the carrying ends and the list shows the arrow.
    void buttonReleased();
    // A double-click: removes the selected entry unless the list is empty or a long operation runs.
    void removeSelected();
    // Appends dropped paths in order: files unchanged, folders walked with every file below them.
    void dropPaths(const QStringList &paths);
    // Whether dragged data carry local files (a list of file URLs, all local).
    static bool acceptsDrag(const QMimeData *data);
    static QStringList droppedPaths(const QMimeData *data);

    bool isArmed() const { return m_armed; }
    int draggedIndex() const;
    int selectedIndex() const;
    // The list's own pointer: 0 default, 1 arrow, 99 the drag picture.
    int listPointer() const { return m_pointer; }
    bool dragPictureLoaded() const { return m_pictureLoaded; }
    // Where the pointer is on the screen; tests replace the real cursor position.
    void setCursorPositionSource(std::function<QPoint()> source) { m_cursorPos = std::move(source); }

    static inline const QString ColumnHeader = QStringLiteral(" Word File(s)");
    static inline const QString ToolTipText =
        QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | line to right and out of "
                       "window to reveal full names.");
    // Screen rows above and below which a carried entry scrolls the list.
    static constexpr int ScrollUpBelowY = 305;
    static constexpr int ScrollDownAboveY = 364;

signals:
    // An entry was scrolled into view by the drag reorder.
    void scrolledIntoView(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void selectRow(int row);
    void scrollRowIntoView(int row);
    void showArrow();

    InputFileList *m_list;
    const UiContext *m_ctx;
    bool m_armed = false;
    QPersistentModelIndex m_dragged;
    int m_pointer = 0;
    bool m_pictureLoaded = false;
    std::function<QPoint()> m_cursorPos;
};
