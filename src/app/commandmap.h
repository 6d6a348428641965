#pragma once
#include "ccmdui.h"

#include <QHash>

#include <functional>

// One command target's table: a handler and an update handler per command
// id. The frame, the panes, the document and the application each have one;
// the router asks them in turn.
class CommandMap {
public:
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CCmdUI &)>;

    // Registering again for the same id replaces the earlier handler.
    void OnCommand(int id, Handler handler) { m_handlers.insert(id, std::move(handler)); }
    void OnUpdate(int id, UpdateHandler handler) { m_updates.insert(id, std::move(handler)); }

    bool HandlesCommand(int id) const { return m_handlers.contains(id); }
    bool HandlesUpdate(int id) const { return m_updates.contains(id); }

    // Run the handler; false when this table has none for id.
    bool Execute(int id) const;
    bool Update(CCmdUI &ui) const;

private:
    QHash<int, Handler> m_handlers;
    QHash<int, UpdateHandler> m_updates;
};
