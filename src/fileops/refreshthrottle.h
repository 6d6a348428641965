#pragma once
#include <QtGlobal>

#include <functional>

namespace fileops {

// The views' refresh after each folder a copy makes. Outside long work it
// runs every time, at once. During long work the window is painted once a
// frame, so refreshes asked for faster than that (a folder copy makes
// thousands of folders a second, and each refresh lists the folder shown
// again) would cost the copy without showing anything more: one runs, and
// the next waits until a frame has passed, or four times as long as the
// last one took, whichever is longer. The one that waits is never lost: it
// runs at the next step once its time has come, and before anything is
// asked or the copy ends.
class RefreshThrottle {
public:
    explicit RefreshThrottle(std::function<void()> refresh);

    void request();
    // Between two steps of the work: a waiting refresh whose time has come.
    void catchUp();
    // Before a question, and when the work ends: a waiting refresh, now.
    void flush();
    bool waiting() const { return m_waiting; }

    static constexpr qint64 kFrameMs = 16;

private:
    void run();

    std::function<void()> m_refresh;
    qint64 m_nextAt = 0; // when the next refresh may run
    bool m_waiting = false;
};

} // namespace fileops
