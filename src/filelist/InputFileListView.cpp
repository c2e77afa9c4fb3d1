// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filelist/InputFileListView.h"
#include "core/PointerFile.h"
#include "core/Twips.h"
#include "core/UiContext.h"
#include "filelist/FileAttributes.h"
#include "filelist/FolderWalk.h"
#include "filelist/InputFileList.h"
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolTip>
#include <QUrl>
#include <exception>

InputFileListView::InputFileListView(InputFileList *list, const UiContext *ctx, QWidget *parent)
    : QTreeView(parent), m_list(list), m_ctx(ctx), m_cursorPos([] { return QCursor::pos(); })
{
    setModel(list);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // keeps a list of a hundred thousand entries fast
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setMouseTracking(true);
    // A drop target only: pressing and moving over the list reorders entries, never drags them out.
    setDragEnabled(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
    setToolTip(ToolTipText);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->hide(); // until start-up creates the column
}

void InputFileListView::addFileColumn()
{
    m_list->setColumnHeader(ColumnHeader);
    header()->show();
}

void InputFileListView::setFileColumnWidthTwips(int twips) { header()->resizeSection(0, twipsToPixels(twips)); }

int InputFileListView::draggedIndex() const { return m_dragged.isValid() ? m_dragged.row() + 1 : 0; }

int InputFileListView::selectedIndex() const
{
    if (!selectionModel())
        return 0;
    const QModelIndexList rows = selectionModel()->selectedRows(0);
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void InputFileListView::selectRow(int row)
{
    const QModelIndex idx = m_list->index(row, 0);
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void InputFileListView::scrollRowIntoView(int row)
{
    scrollTo(m_list->index(row, 0), QAbstractItemView::EnsureVisible);
    emit scrolledIntoView(row + 1);
}

void InputFileListView::showArrow()
{
    m_pointer = 1;
    viewport()->setCursor(Qt::ArrowCursor);
}

void InputFileListView::buttonPressed() { m_armed = true; }

void InputFileListView::itemPressed(int index)
{
    // The picture is read anew on every press, so a replaced file shows at once.
    m_pointer = 99;
    const std::optional<QCursor> picture =
        m_ctx ? loadPointerFile(m_ctx->programFolder + QStringLiteral("/drag.ico")) : std::nullopt;
    m_pictureLoaded = picture.has_value();
    viewport()->setCursor(picture ? *picture : QCursor(Qt::DragMoveCursor));
    setDragEnabled(false);
    if (index >= 1 && index <= m_list->count() && selectedIndex() != index)
        selectRow(index - 1);
    const int selected = selectedIndex();
    m_dragged = selected > 0 ? QPersistentModelIndex(m_list->index(selected - 1, 0)) : QPersistentModelIndex();
}

void InputFileListView::pointerMoved(const QPoint &pos, const QPoint &screenPos)
{
    if (m_ctx && m_ctx->window)
        m_ctx->window->hoverToArrow(); // undoes the hand that the buttons show on hover
    if (!m_armed)
        return;
    const QModelIndex hovered = indexAt(pos);
    if (!hovered.isValid() || !m_dragged.isValid())
        return;
    const int hoveredRow = hovered.row();
    const int draggedRow = m_dragged.row();
    const QString carried = m_list->text(draggedRow + 1);
    const QString under = m_list->text(hoveredRow + 1);
    if (carried == under)
        return; // the same entry, or a copy of the same path: nothing to swap
    m_list->setText(draggedRow + 1, under);
    m_list->setText(hoveredRow + 1, carried);
    selectRow(hoveredRow);
    m_dragged = QPersistentModelIndex(m_list->index(hoveredRow, 0));
    // The bounds are absolute screen rows, whatever the list's position.
    if (screenPos.y() < ScrollUpBelowY && hoveredRow >= 1)
        scrollRowIntoView(hoveredRow - 1);
    else if (screenPos.y() > ScrollDownAboveY && hoveredRow + 1 < m_list->count())
        scrollRowIntoView(hoveredRow + 1);
}

void InputFileListView::buttonReleased()
{
    m_armed = false;
    showArrow();
}

void InputFileListView::removeSelected()
{
    if (m_ctx && m_ctx->window && m_ctx->window->isBusy())
        return;
    if (m_list->count() == 0)
        return;
    const int selected = selectedIndex();
    if (selected > 0)
        m_list->removeAt(selected);
}

bool InputFileListView::acceptsDrag(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty())
        return false;
    for (const QUrl &url : urls)
        if (!url.isLocalFile())
            return false;
    return true;
}

QStringList InputFileListView::droppedPaths(const QMimeData *data)
{
    QStringList paths;
    if (!acceptsDrag(data))
        return paths;
    for (const QUrl &url : data->urls())
        paths.append(url.toLocalFile());
    return paths;
}

void InputFileListView::dropPaths(const QStringList &paths)
{
    // Files between two folders are appended together; nothing yields between them.
    QStringList files;
    const auto flushFiles = [&] {
        m_list->addMany(files);
        files.clear();
    };
    try {
        for (const QString &path : paths) {
            if (!filelist::IsFolder(path)) {
                files.append(path); // unchanged: no test and no normalisation
                continue;
            }
            flushFiles();
            if (!m_ctx || !filelist::AddFolderTree(*m_ctx, *m_list, path, QStringLiteral("*.*")))
                return; // the program ended during the walk
        }
        flushFiles();
    } catch (const std::exception &) {
        // A drop shows no error report of its own; the walk reports what it meets itself.
    }
}

void InputFileListView::mousePressEvent(QMouseEvent *event)
{
    QTreeView::mousePressEvent(event); // selects the entry under the pointer
    buttonPressed();
    const QModelIndex pressed = indexAt(event->position().toPoint());
    if (pressed.isValid())
        itemPressed(pressed.row() + 1);
}

void InputFileListView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint screen = m_cursorPos ? m_cursorPos() : event->globalPosition().toPoint();
    pointerMoved(event->position().toPoint(), screen);
    // While an entry is carried the view's own drag selection must not move the selection around.
    if (!m_armed)
        QTreeView::mouseMoveEvent(event);
}

void InputFileListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    buttonReleased();
}

void InputFileListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    removeSelected();
}

void InputFileListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptsDrag(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void InputFileListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDrag(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void InputFileListView::dropEvent(QDropEvent *event)
{
    const QStringList paths = droppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The source waits until the drop event returns; walking a large folder here would hold it (and
    // the platform's drag machinery) for the whole walk. The walk runs just after, from the event loop.
    QMetaObject::invokeMethod(
        this, [this, paths] { dropPaths(paths); }, Qt::QueuedConnection);
}

bool InputFileListView::viewportEvent(QEvent *event)
{
    // The list's one tooltip shows wherever the pointer rests, over an entry or not; the entries have
    // no tooltips of their own.
    if (event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), toolTip(), viewport());
        return true;
    }
    return QTreeView::viewportEvent(event);
}
