// Drag and drop on the panes: a drop is pasted as another program's
// selection on the desktop's clipboard is, into the folder dropped on.
#include "fileclipboard.h"

#include "filelist/cfilelistview.h"
#include "platform/work/longwork.h"
#include "tree/cdirtreeview.h"

void FileClipboard::ConnectDragDrop()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_dragDropConnections))
        QObject::disconnect(connection);
    m_dragDropConnections.clear();
    // Queued: the drop is over, and the program that dragged is told so,
    // before any question is asked or any byte is copied.
    const auto drop = [this](const QStringList &paths, bool move, const QString &folder) {
        DropEntries(paths, move, folder);
    };
    // What a receiver did with a drag out (a move, a copy into the device)
    // shows as after the program's own operations.
    const auto dragged = [this](Qt::DropAction action) {
        if (action != Qt::IgnoreAction && !platform::currentWork())
            RefreshTree();
    };
    if (m_pFileList) {
        m_dragDropConnections << QObject::connect(m_pFileList, &CFileListView::entriesDropped, m_pFileList, drop,
                                                  Qt::QueuedConnection)
                              << QObject::connect(m_pFileList, &CFileListView::dragFinished, m_pFileList, dragged,
                                                  Qt::QueuedConnection);
    }
    if (m_pTreeView) {
        m_dragDropConnections << QObject::connect(m_pTreeView, &CDirTreeView::entriesDropped, m_pTreeView, drop,
                                                  Qt::QueuedConnection)
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
