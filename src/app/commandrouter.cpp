#include "commandrouter.h"

#include <QAction>

bool CommandRouter::IsEnabled(int id) const
{
    const QList<const CommandMap *> chain = m_chain();
    bool handled = false;
    for (const CommandMap *map : chain) {
        if (map && map->HandlesCommand(id)) {
            handled = true;
            break;
        }
    }
    if (!handled)
        return false;
    // Like a test run of the update: it starts enabled, only an explicit
    // Enable(false) holds the command back.
    CCmdUI ui(id, true);
    for (const CommandMap *map : chain)
        if (map && map->Update(ui))
            break;
    return ui.m_bEnabled;
}

bool CommandRouter::Dispatch(int id) const
{
    if (!IsEnabled(id))
        return false;
    for (const CommandMap *map : m_chain())
        if (map && map->Execute(id))
            return true;
    return false;
}

void CommandRouter::Update(QAction *action, int id) const
{
    const QList<const CommandMap *> chain = m_chain();
    CCmdUI ui(id, action->isEnabled());
    for (const CommandMap *map : chain) {
        if (map && map->Update(ui)) {
            if (ui.m_bEnableChanged)
                action->setEnabled(ui.m_bEnabled);
            return;
        }
    }
    bool handled = false;
    for (const CommandMap *map : chain)
        handled = handled || (map && map->HandlesCommand(id));
    action->setEnabled(handled);
}
