#pragma once

// What an update handler sees of one command: it may enable or disable it,
// or leave it as it is.
class CCmdUI {
public:
    CCmdUI(int id, bool enabled)
        : m_nID(id), m_bEnabled(enabled)
    {
    }

    void Enable(bool on = true)
    {
        m_bEnabled = on;
        m_bEnableChanged = true;
    }

    const int m_nID;
    bool m_bEnabled;
    bool m_bEnableChanged = false;
};
