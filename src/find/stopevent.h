#pragma once
#include <atomic>

// A manual-reset event: once set, every test sees it until it is reset.
// Testing it never waits, so the search can poll it between any two steps.
class StopEvent {
public:
    void Set()
    {
        m_set.store(true, std::memory_order_release);
        m_set.notify_all();
    }
    void Reset() { m_set.store(false, std::memory_order_release); }
    bool IsSet() const { return m_set.load(std::memory_order_acquire); }
    // Blocks until the event is set; for code that must hold a search still
    // until someone asks it to stop.
    void WaitUntilSet() const { m_set.wait(false, std::memory_order_acquire); }

private:
    std::atomic<bool> m_set{false};
};
