#include "desktopkeys.h"

#include "cmainframe.h"
#include "filelist/cfilelistviewex.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QApplication>
#include <QKeyEvent>

bool HasOwnFocus(const QWidget *pane)
{
    const QWidget *focus = QApplication::focusWidget();
    const auto *view = qobject_cast<const QAbstractScrollArea *>(pane);
    return focus && (focus == pane || (view && focus == view->viewport()));
}

DesktopKeys::DesktopKeys(CMainFrame *frame)
    : QObject(frame), m_pFrame(frame)
{
    frame->GetTreePane()->installEventFilter(this);
    frame->GetListPane()->installEventFilter(this);
}

bool DesktopKeys::eventFilter(QObject *watched, QEvent *event)
{
    // A key an editor in the pane did not take comes on to the pane: it is
    // not the pane's own.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *pane = static_cast<QWidget *>(watched);
    if (!m_pFrame->GetTreePane() || !m_pFrame->GetListPane())
        return false; // the frame is closing
    return HasOwnFocus(pane) && OnKey(pane, *static_cast<QKeyEvent *>(event));
}

bool DesktopKeys::OnKey(QWidget *pane, const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::AltModifier && key.key() == Qt::Key_Up) {
        SelectParentFolder();
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;

    CDirTreeView *tree = m_pFrame->GetTreePane();
    switch (key.key()) {
    case Qt::Key_Delete:
        m_pFrame->OnCommand(ids::ID_FILE_DELETE);
        return true;
    case Qt::Key_F5:
        m_pFrame->OnCommand(ids::ID_REFRESH);
        return true;
    case Qt::Key_Backspace:
        SelectParentFolder();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (pane == tree) {
            if (QTreeWidgetItem *node = tree->currentItem(); node && (node->childCount() > 0 || node->isExpanded()))
                node->setExpanded(!node->isExpanded());
        } else if (CFileListViewEx *list = m_pFrame->GetListPane(); list->currentIndex().isValid()) {
            list->OpenRow(list->currentIndex().row());
        }
        return true;
    default:
        return false;
    }
}

void DesktopKeys::SelectParentFolder()
{
    CDirTreeView *tree = m_pFrame->GetTreePane();
    QTreeWidgetItem *node = tree->currentItem();
    if (node && node->parent())
        tree->setCurrentItem(node->parent());
}
