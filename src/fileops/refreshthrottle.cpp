#include "refreshthrottle.h"

#include "platform/work/longwork.h"

#include <algorithm>

namespace fileops {

RefreshThrottle::RefreshThrottle(std::function<void()> refresh) : m_refresh(std::move(refresh)) {}

void RefreshThrottle::run()
{
    m_waiting = false;
    const qint64 started = platform::steadyMs();
    m_refresh();
    const qint64 ended = platform::steadyMs();
    m_nextAt = ended + std::max(kFrameMs, 4 * (ended - started));
}

void RefreshThrottle::request()
{
    if (platform::currentWork() && platform::steadyMs() < m_nextAt)
        m_waiting = true;
    else
        run();
}

void RefreshThrottle::catchUp()
{
    if (m_waiting && platform::steadyMs() >= m_nextAt)
        run();
}

void RefreshThrottle::flush()
{
    if (m_waiting)
        run();
}

} // namespace fileops
