#pragma once
#include "commandmap.h"

#include <QHash>
#include <QList>

#include <functional>

class QAction;

// Sends a command id along a chain of command tables (frame, active pane,
// document, application): the first table that handles it runs it.
class CommandRouter {
public:
    using Chain = std::function<QList<const CommandMap *>()>;

    explicit CommandRouter(Chain chain) : m_chain(std::move(chain)) {}

    // Runs the command unless its update handler disables it right now;
    // false when it is disabled or nobody handles it.
    bool Dispatch(int id) const;

    // Brings an action's enabled state up to date: the first update handler
    // in the chain decides and may leave the state as it is; a command
    // without one is enabled exactly when some table handles it.
    void Update(QAction *action, int id) const;
    // The same for every action of the table (id to action), asking for the
    // chain once.
    void UpdateAll(const QHash<int, QAction *> &actions) const;

    // The state Dispatch would act on now.
    bool IsEnabled(int id) const;

private:
    Chain m_chain;
};
