// The frame's commands: their actions, the accelerator table, the routing
// and the update of their enabled states.
#include "cmainframe.h"

#include "cferrixdoc.h"
#include "filelist/cfilelistviewex.h"
#include "resources/commandtables.h"
#include "resources/resourceids.h"
#include "resources/strings.h"
#include "tree/cdirtreeview.h"

#include <QAction>
#include <QPointer>
#include <QShortcut>

namespace {

// Names of the commands that have no menu item; they show nowhere, but an
// action without a name is hard to tell apart when debugging.
QString unlistedCommandText(int id)
{
    switch (id) {
    case ids::ID_FILE_NEW: return QStringLiteral("New");
    case ids::ID_FILE_OPEN: return QStringLiteral("Open");
    case ids::ID_FILE_SAVE: return QStringLiteral("Save");
    case ids::ID_EDIT_UNDO: return QStringLiteral("Undo");
    case ids::ID_NEXT_PANE: return QStringLiteral("Next Pane");
    case ids::ID_PREV_PANE: return QStringLiteral("Previous Pane");
    default: return QString();
    }
}

} // namespace

void CMainFrame::CreateActions()
{
    QList<QPair<int, QString>> commands;
    for (const resources::Menu &menu : resources::MainMenu())
        for (const resources::MenuItem &item : menu.items)
            if (item.id != 0)
                commands.append({item.id, QString::fromUtf8(item.text)});
    for (int toolBar : {ids::IDR_MAINFRAME, ids::IDR_TOOLBAR_TOGGLE})
        for (int id : resources::ToolBarButtons(toolBar))
            if (id != 0)
                commands.append({id, QString()});
    for (const resources::Accelerator &accelerator : resources::Accelerators())
        commands.append({accelerator.id, QString()});

    for (const auto &[id, menuText] : commands) {
        if (m_actions.contains(id))
            continue;
        const QString prompt = resources::LoadString(id);
        const QString toolTip = resources::StringField(prompt, 1);
        QString text = menuText;
        if (text.isEmpty())
            text = toolTip.isEmpty() ? unlistedCommandText(id) : toolTip;
        auto *action = new QAction(text, this);
        action->setProperty("commandId", id);
        action->setStatusTip(resources::StringField(prompt, 0));
        if (!toolTip.isEmpty())
            action->setToolTip(toolTip);
        action->setIconVisibleInMenu(false);
        action->setEnabled(false); // until an update finds a handler
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_actions.insert(id, action);
    }
}

void CMainFrame::CreateAccelerators()
{
    for (const resources::Accelerator &accelerator : resources::Accelerators()) {
        auto *shortcut = new QShortcut(QKeySequence(accelerator.key), this);
        shortcut->setContext(Qt::WindowShortcut);
        const int id = accelerator.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { OnCommand(id); });
    }
}

void CMainFrame::RegisterCommandHandlers()
{
    m_commands.OnCommand(ids::ID_TOGGLE_TOOLBAR, [this] { ToggleCommandBar(); });
    m_commands.OnCommand(ids::ID_NEXT_PANE, [this] { ActivateOtherPane(); });
    m_commands.OnCommand(ids::ID_PREV_PANE, [this] { ActivateOtherPane(); });
    RegisterEditCommands();
    RegisterInfoCommands();
    RegisterFindCommands();

    m_treeCommands.OnCommand(ids::ID_REFRESH, [this] {
        if (m_pTreePane)
            m_pTreePane->RefreshTree();
    });
}

QList<const CommandMap *> CMainFrame::RoutingChain() const
{
    QList<const CommandMap *> chain{&m_commands};
    const CommandMap *activePane = ActivePane() == m_pListPane ? &m_listCommands : &m_treeCommands;
    chain.append(activePane);
    // The tree is the document's own view: what the list pane does not
    // handle (Refresh) it does, whichever pane is active.
    if (activePane != &m_treeCommands)
        chain.append(&m_treeCommands);
    if (m_pDocument)
        chain.append(&m_pDocument->commands());
    if (m_pAppCommands)
        chain.append(m_pAppCommands);
    return chain;
}

bool CMainFrame::OnCommand(int id)
{
    // The frame may be closed (and deleted later) by the command itself.
    const QPointer<CMainFrame> self(this);
    const bool done = m_router.Dispatch(id);
    if (self)
        UpdateCommands();
    return done;
}

void CMainFrame::UpdateCommands()
{
    m_router.UpdateAll(m_actions);
}
