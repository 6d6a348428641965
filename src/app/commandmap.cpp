#include "commandmap.h"

bool CommandMap::Execute(int id) const
{
    const auto it = m_handlers.constFind(id);
    if (it == m_handlers.constEnd())
        return false;
    // A copy: the handler may replace itself (or the whole table) while it runs.
    const Handler handler = *it;
    handler();
    return true;
}

bool CommandMap::Update(CCmdUI &ui) const
{
    const auto it = m_updates.constFind(ui.m_nID);
    if (it == m_updates.constEnd())
        return false;
    const UpdateHandler handler = *it;
    handler(ui);
    return true;
}
