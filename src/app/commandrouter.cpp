#include "commandrouter.h"

#include <QAction>

#include <algorithm>

namespace {

using Maps = QList<const CommandMap *>;

bool anyHandles(const Maps &chain, int id)
{
    return std::any_of(chain.cbegin(), chain.cend(),
                       [id](const CommandMap *map) { return map && map->HandlesCommand(id); });
}

// The first update handler in the chain decides; true when there was one.
bool runUpdate(const Maps &chain, CCmdUI &ui)
{
    return std::any_of(chain.cbegin(), chain.cend(), [&ui](const CommandMap *map) { return map && map->Update(ui); });
}

void updateAction(const Maps &chain, QAction *action, int id)
{
    CCmdUI ui(id, action->isEnabled());
    if (!runUpdate(chain, ui))
        action->setEnabled(anyHandles(chain, id));
    else if (ui.m_bEnableChanged)
        action->setEnabled(ui.m_bEnabled);
}

} // namespace

bool CommandRouter::IsEnabled(int id) const
{
    const Maps chain = m_chain();
    if (!anyHandles(chain, id))
        return false;
    // Like a test run of the update: it starts enabled, only an explicit
    // Enable(false) holds the command back.
    CCmdUI ui(id, true);
    runUpdate(chain, ui);
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
    updateAction(m_chain(), action, id);
}

void CommandRouter::UpdateAll(const QHash<int, QAction *> &actions) const
{
    const Maps chain = m_chain();
    for (auto it = actions.constBegin(); it != actions.constEnd(); ++it)
        updateAction(chain, it.value(), it.key());
}
