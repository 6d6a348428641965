// The tree's side of drag and drop: a folder dragged out, and entries dropped
// on a folder pasted into it. While a drag rests over the tree, the folder
// under it is highlighted and opens after a moment.
#include "cdirtreeview.h"

#include "dirtreeitem.h"
#include "filelist/cfilelistdrag.h"
#include "platform/work/longwork.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionViewItem>

namespace {
constexpr int kOpenDelayMs = 700;
} // namespace

void CDirTreeView::InitDragDrop()
{
    viewport()->setAcceptDrops(true);
    m_pOpenTimer = new QTimer(this);
    m_pOpenTimer->setSingleShot(true);
    m_pOpenTimer->setInterval(kOpenDelayMs);
    m_pOpenTimer->setObjectName(QStringLiteral("openTimer"));
    connect(m_pOpenTimer, &QTimer::timeout, this, [this] {
        if (QTreeWidgetItem *item = DropTargetItem(); item && !item->isExpanded() && item->childCount() > 0)
            item->setExpanded(true); // reads the folder as a tap on its button does
    });
}

// A real folder, or the device's root; no placeholder.
QTreeWidgetItem *CDirTreeView::FolderAt(const QPoint &at) const
{
    QTreeWidgetItem *item = itemAt(at);
    return item && item->type() != DirTreeItem::Placeholder ? item : nullptr;
}

QTreeWidgetItem *CDirTreeView::DropTargetItem() const
{
    return m_dropIndex.isValid() ? itemFromIndex(m_dropIndex) : nullptr;
}

void CDirTreeView::mousePressEvent(QMouseEvent *event)
{
    m_bDragPending = false;
    QTreeWidgetItem *item = FolderAt(event->position().toPoint());
    // The root is the device itself: it goes nowhere.
    if (filedrag::MayStartDrag(*event) && item && item->parent()) {
        m_bDragPending = true;
        m_dragFrom = event->position().toPoint();
        m_dragIndex = indexFromItem(item);
    }
    QTreeWidget::mousePressEvent(event);
}

void CDirTreeView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bDragPending && !(event->buttons() & Qt::LeftButton))
        m_bDragPending = false;
    if (!m_bDragPending) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    // Until it is a drag, the press stays on its folder.
    if (filedrag::IsDragDistance(m_dragFrom, event->position().toPoint()))
        StartDrag();
}

void CDirTreeView::StartDrag()
{
    m_bDragPending = false;
    QTreeWidgetItem *item = m_dragIndex.isValid() ? itemFromIndex(m_dragIndex) : nullptr;
    if (!item)
        return;
    QString path = GetItemPath(item);
    path.chop(1); // the folder itself, without its final backslash
    bool elsewhere = false;
    const Qt::DropAction action = filedrag::DragEntries(this, {path}, &elsewhere);
    Q_EMIT dragFinished(action, elsewhere);
}

void CDirTreeView::SetDropTarget(QTreeWidgetItem *item)
{
    const QPersistentModelIndex index = item ? QPersistentModelIndex(indexFromItem(item)) : QPersistentModelIndex();
    if (index == m_dropIndex)
        return;
    m_dropIndex = index;
    if (item)
        m_pOpenTimer->start();
    else
        m_pOpenTimer->stop();
    viewport()->update();
}

bool CDirTreeView::AcceptDrop(QDropEvent &event)
{
    QTreeWidgetItem *item = FolderAt(event.position().toPoint());
    const Qt::DropAction action = !item || platform::currentWork() || !m_bDropUsable
        ? Qt::IgnoreAction
        : filedrag::DropActionFor(event);
    if (action == Qt::IgnoreAction) {
        SetDropTarget(nullptr);
        event.ignore();
        return false;
    }
    SetDropTarget(item);
    event.setDropAction(action);
    event.accept();
    return true;
}

// A drag comes in over the tree's edge, seldom over a folder: taken in when
// it offers entries, so that the moves that follow find the folders.
void CDirTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    m_bDropUsable = !filedrag::DroppedEntries(event->mimeData()).isEmpty() && !platform::currentWork();
    if (!AcceptDrop(*event) && m_bDropUsable) {
        const Qt::DropAction action = filedrag::DropActionFor(*event);
        event->setDropAction(action);
        event->setAccepted(action != Qt::IgnoreAction);
    }
    if (event->isAccepted())
        setState(DraggingState);
}

void CDirTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeWidget::dragMoveEvent(event); // scrolls near the edges
    AcceptDrop(*event);
}

void CDirTreeView::dragLeaveEvent(QDragLeaveEvent *event)
{
    QTreeWidget::dragLeaveEvent(event);
    m_bDropUsable = false;
    SetDropTarget(nullptr);
}

void CDirTreeView::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    setState(NoState);
    const bool accepted = AcceptDrop(*event);
    QTreeWidgetItem *item = DropTargetItem();
    m_bDropUsable = false;
    SetDropTarget(nullptr);
    if (accepted && item)
        Q_EMIT entriesDropped(filedrag::DroppedEntries(event->mimeData()), event->dropAction() == Qt::MoveAction,
                              GetItemPath(item));
}

void CDirTreeView::paintEvent(QPaintEvent *event)
{
    QTreeWidget::paintEvent(event);
    if (!m_dropIndex.isValid())
        return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(m_dropIndex);
    style()->drawPrimitive(QStyle::PE_IndicatorItemViewItemDrop, &option, &painter, this);
}
