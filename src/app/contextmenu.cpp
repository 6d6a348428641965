#include "contextmenu.h"

#include "cmainframe.h"
#include "desktopkeys.h"
#include "filelist/cfilelistviewex.h"
#include "filetypes/openfile.h"
#include "platform/desktop/portalchooser.h"
#include "platform/shell/openwith.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>

namespace {

// Renaming starts as F2 starts it.
void startRename(QWidget *pane)
{
    QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
    QCoreApplication::sendEvent(pane, &f2);
}

} // namespace

PaneContextMenu::PaneContextMenu(CMainFrame *frame)
    : QObject(frame), m_pFrame(frame)
{
    for (QAbstractScrollArea *pane : {static_cast<QAbstractScrollArea *>(frame->GetTreePane()),
                                      static_cast<QAbstractScrollArea *>(frame->GetListPane())}) {
        pane->installEventFilter(this);
        pane->viewport()->installEventFilter(this);
    }
    platform::canChooseApplication(); // the bus answers before the first menu
}

QWidget *PaneContextMenu::PaneOf(QObject *watched) const
{
    // The frame lets go of its panes first when it closes.
    for (QAbstractScrollArea *pane : {static_cast<QAbstractScrollArea *>(m_pFrame->GetTreePane()),
                                      static_cast<QAbstractScrollArea *>(m_pFrame->GetListPane())})
        if (pane && (watched == pane || watched == pane->viewport()))
            return pane;
    return nullptr;
}

bool PaneContextMenu::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *pane = PaneOf(watched);
    if (!pane)
        return false;
    switch (event->type()) {
    case QEvent::TouchBegin:
        m_bFingerDown = m_bTouchPress = true;
        return false;
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        m_bFingerDown = false;
        return false;
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        m_bTouchPress = m_bFingerDown || press->source() != Qt::MouseEventNotSynthesized
            || press->pointingDevice()->type() == QInputDevice::DeviceType::TouchScreen;
        return false;
    }
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        const bool menuKey = (key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier)
            || (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
        if (!menuKey || !HasOwnFocus(pane))
            return false;
        Popup(pane, QPoint(), true);
        return true;
    }
    case QEvent::ContextMenu: {
        const auto *request = static_cast<QContextMenuEvent *>(event);
        if (request->reason() == QContextMenuEvent::Keyboard) {
            if (!HasOwnFocus(pane))
                return false;
            Popup(pane, QPoint(), true);
        } else if (!m_bTouchPress && !m_bFingerDown) {
            const auto *view = static_cast<QAbstractScrollArea *>(pane);
            Popup(pane, view->viewport()->mapFrom(static_cast<QWidget *>(watched), request->pos()), false);
        }
        return true;
    }
    default:
        return false;
    }
}

void PaneContextMenu::Popup(QWidget *pane, const QPoint &at, bool byKeyboard)
{
    auto *view = static_cast<QAbstractItemView *>(pane);
    QPoint where = at;
    if (byKeyboard) {
        // The keys open the menu of the focused row or folder, beside it.
        const QModelIndex current = view->currentIndex();
        const bool onIt = current.isValid()
            && (pane != m_pFrame->GetListPane() || view->selectionModel()->isSelected(current));
        where = onIt ? view->visualRect(current).center() : QPoint(-1, -1);
    }
    QMenu *menu = Build(pane, where);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint global = view->viewport()->mapToGlobal(where.x() < 0 ? QPoint(0, 0) : where);
    menu->popup(global);
}

QMenu *PaneContextMenu::Build(QWidget *pane, const QPoint &at)
{
    auto *menu = new QMenu(pane);
    menu->setObjectName(QStringLiteral("contextMenu"));
    const auto addCommands = [this, menu](std::initializer_list<int> ids) {
        if (!menu->isEmpty())
            menu->addSeparator();
        for (int id : ids)
            if (QAction *action = m_pFrame->action(id))
                menu->addAction(action);
    };
    const auto addRename = [menu, pane](bool enabled) {
        QAction *rename = menu->addAction(QStringLiteral("&Rename"), pane, [pane = QPointer<QWidget>(pane)] {
            if (pane)
                startRename(pane);
        });
        rename->setEnabled(enabled);
    };

    pane->setFocus(Qt::PopupFocusReason);
    if (CDirTreeView *tree = m_pFrame->GetTreePane(); pane == tree) {
        QTreeWidgetItem *node = at.x() < 0 ? nullptr : tree->itemAt(at);
        if (node) {
            tree->setCurrentItem(node);
            m_pFrame->UpdateCommands();
            addCommands({ids::ID_EDIT_CUT, ids::ID_EDIT_COPY, ids::ID_EDIT_PASTE});
            addCommands({ids::ID_FILE_DELETE});
            addRename(node->parent() != nullptr);
            menu->addAction(m_pFrame->action(ids::ID_NEW_FOLDER));
            addCommands({ids::ID_PROPERTIES});
        } else {
            m_pFrame->UpdateCommands();
            addCommands({ids::ID_EDIT_PASTE, ids::ID_NEW_FOLDER});
            addCommands({ids::ID_REFRESH});
        }
        return menu;
    }

    CFileListViewEx *list = m_pFrame->GetListPane();
    const QModelIndex hit = at.x() < 0 ? QModelIndex() : list->indexAt(at);
    if (!hit.isValid()) {
        list->clearSelection();
        m_pFrame->UpdateCommands();
        addCommands({ids::ID_EDIT_PASTE});
        addCommands({ids::ID_REFRESH});
        return menu;
    }
    // A file outside the selection becomes the selection; inside it, the
    // selection stays whole.
    const int row = hit.row();
    if (!list->selectionModel()->isRowSelected(row))
        list->selectionModel()->setCurrentIndex(hit, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        list->selectionModel()->setCurrentIndex(hit, QItemSelectionModel::NoUpdate);
    m_pFrame->UpdateCommands();

    const QString path = list->GetItemPath(row);
    QPointer<CFileListViewEx> target(list);
    menu->addAction(QStringLiteral("&Open"), list, [target, row] {
        if (target)
            target->OpenRow(row);
    });
    AddOpenWith(menu, path);
    addCommands({ids::ID_EDIT_CUT, ids::ID_EDIT_COPY, ids::ID_EDIT_PASTE});
    addCommands({ids::ID_FILE_DELETE});
    addRename(true);
    addCommands({ids::ID_PROPERTIES});
    return menu;
}

void PaneContextMenu::AddOpenWith(QMenu *menu, const QString &path)
{
    QMenu *openWith = menu->addMenu(QStringLiteral("Open &With"));
    openWith->setObjectName(QStringLiteral("openWith"));
    QWidget *owner = m_pFrame;
    for (const platform::OpenWithApplication &app : platform::openWithApplications(path)) {
        QAction *action = openWith->addAction(app.icon, app.name, owner, [path, command = app.command, owner] {
            OpenFileWith(path, command, owner);
        });
        action->setData(app.id);
    }
    if (platform::canChooseApplication()) {
        if (!openWith->isEmpty())
            openWith->addSeparator();
        openWith->addAction(QStringLiteral("Other Application…"), owner, [path] {
            platform::chooseApplication(path);
        });
    }
    openWith->setEnabled(!openWith->isEmpty());
}
