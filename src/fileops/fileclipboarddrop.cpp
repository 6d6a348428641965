// Drag and drop on the panes: a drop is pasted as another program's
// selection on the desktop's clipboard is, into the folder dropped on.
#include "fileclipboard.h"

#include "filelist/cfilelistdrag.h"
#include "filelist/cfilelistview.h"
#include "platform/work/longwork.h"
#include "tree/cdirtreeview.h"

#include <QApplication>
#include <QTimer>

namespace {
constexpr int kLateRefreshMs = 1000;
} // namespace

bool FileClipboard::EditingInPane() const
{
    QWidget *focus = QApplication::focusWidget();
    const auto editorIn = [focus](QWidget *pane) { return pane && focus != pane && pane->isAncestorOf(focus); };
    return focus && (editorIn(m_pFileList) || editorIn(m_pTreeView));
}

void FileClipboard::ConnectDragDrop()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_dragDropConnections))
        QObject::disconnect(connection);
    m_dragDropConnections.clear();
    // Later: the drop is over, and the program that dragged is told so,
    // before any question is asked or any byte is copied.
    const auto drop = [this](QObject *pane) {
        return [this, pane](const QStringList &paths, bool move, const QString &folder) {
            filedrag::AfterDrag(pane, [this, paths, move, folder] { DropEntries(paths, move, folder); });
        };
    };
    // What a receiver did with a drag out (a move, a copy into the device)
    // shows as after the program's own operations. Another program may
    // still be at work when it has said the drop is done: a second look a
    // moment later, unless a name is being edited by then.
    const auto dragged = [this](Qt::DropAction action, bool elsewhere) {
        if (action == Qt::IgnoreAction)
            return;
        const auto refresh = [this] {
            if (!platform::currentWork() && !EditingInPane())
                RefreshTree();
        };
        refresh();
        if (elsewhere && m_pTreeView)
            QTimer::singleShot(kLateRefreshMs, m_pTreeView, refresh);
    };
    if (m_pFileList) {
        m_dragDropConnections << QObject::connect(m_pFileList, &CFileListView::entriesDropped, m_pFileList, drop(m_pFileList))
                              << QObject::connect(m_pFileList, &CFileListView::dragFinished, m_pFileList, dragged,
                                                  Qt::QueuedConnection);
    }
    if (m_pTreeView) {
        m_dragDropConnections << QObject::connect(m_pTreeView, &CDirTreeView::entriesDropped, m_pTreeView, drop(m_pTreeView))
                              << QObject::connect(m_pTreeView, &CDirTreeView::dragFinished, m_pTreeView, dragged,
                                                  Qt::QueuedConnection);
    }
}

// The program's own clipboard stays as it was, and so does what it offers
// other programs: a drop is no cut or copy.
void FileClipboard::DropEntries(const QStringList &paths, bool move, const QString &folder)
{
    if (paths.isEmpty() || platform::currentWork())
        return;
    const bool list = m_pFileList && m_pFileList->hasFocus();
    if (list)
        m_pFileList->SaveFocusedItem();
    PasteEntries(paths, move, folder);
    if (list)
        m_pFileList->RestoreFocusedItem(false);
}
