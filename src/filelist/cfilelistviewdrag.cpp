// The list pane's side of drag and drop: its selected files dragged out, and
// entries dropped on it pasted into its folder.
#include "cfilelistview.h"

#include "cfilelistdrag.h"
#include "platform/work/longwork.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMouseEvent>

void CFileListView::NoteDragPress(const QMouseEvent &event)
{
    m_bDragPending = false;
    const QModelIndex hit = indexAt(event.position().toPoint());
    if (!filedrag::MayStartDrag(event) || !hit.isValid())
        return;
    m_bDragPending = true;
    m_dragFrom = event.position().toPoint();
    m_nDragRow = hit.row();
}

void CFileListView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bDragPending && !(event->buttons() & Qt::LeftButton))
        m_bDragPending = false;
    if (!m_bDragPending) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    // Until it is a drag, a small move of the hand changes nothing.
    if (filedrag::IsDragDistance(m_dragFrom, event->position().toPoint()))
        StartDrag();
}

void CFileListView::StartDrag()
{
    m_bDragPending = false;
    KillHoldTimer(); // a drag is no hold
    m_bArmed = false;
    // A press inside a selection keeps it until the release: the drag takes
    // all of it. A row a Ctrl press took out of it is not dragged.
    const QList<int> rows = GetSelectedRows();
    if (!rows.contains(m_nDragRow))
        return;
    QStringList paths;
    for (int row : std::as_const(rows))
        paths.append(m_strFolder + QLatin1Char('\\') + GetItemName(row));
    bool elsewhere = false;
    const Qt::DropAction action = filedrag::DragEntries(this, paths, &elsewhere);
    Q_EMIT dragFinished(action, elsewhere);
}

bool CFileListView::AcceptDrop(QDropEvent &event)
{
    // Its own files dropped back on it stay where they are.
    const Qt::DropAction action = event.source() == this || platform::currentWork() || !m_bDropUsable
        ? Qt::IgnoreAction
        : filedrag::DropActionFor(event);
    if (action == Qt::IgnoreAction) {
        event.ignore();
        return false;
    }
    event.setDropAction(action);
    event.accept();
    return true;
}

void CFileListView::dragEnterEvent(QDragEnterEvent *event)
{
    m_bDropUsable = !filedrag::DroppedEntries(event->mimeData()).isEmpty();
    if (AcceptDrop(*event))
        setState(DraggingState);
}

void CFileListView::dragMoveEvent(QDragMoveEvent *event)
{
    QTableView::dragMoveEvent(event); // scrolls near the edges
    AcceptDrop(*event);
}

void CFileListView::dragLeaveEvent(QDragLeaveEvent *event)
{
    QTableView::dragLeaveEvent(event);
    m_bDropUsable = false;
}

void CFileListView::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    setState(NoState);
    const bool accepted = AcceptDrop(*event);
    m_bDropUsable = false;
    if (accepted)
        Q_EMIT entriesDropped(filedrag::DroppedEntries(event->mimeData()), event->dropAction() == Qt::MoveAction,
                              m_strFolder + QLatin1Char('\\'));
}
