#include "refreshthrottle.h"

#include "platform/longwork.h"

#include <algorithm>

namespace fileops {

RefreshThrottle::RefreshThrottle(std::function<void()> refresh, Clock clock)
    : m_refresh(std::move(refresh)), m_clock(std::move(clock))
{
}

qint64 RefreshThrottle::now() const
{
    return m_clock ? m_clock() : platform::steadyMs();
}

void RefreshThrottle::run()
{
    m_waiting = false;
    const qint64 started = now();
    m_refresh();
    const qint64 ended = now();
    m_nextAt = ended + std::max(kFrameMs, 4 * (ended - started));
}

void RefreshThrottle::request()
{
    if (platform::currentWork() && now() < m_nextAt)
        m_waiting = true;
    else
        run();
}

void RefreshThrottle::catchUp()
{
    if (m_waiting && now() >= m_nextAt)
        run();
}

void RefreshThrottle::flush()
{
    if (m_waiting)
        run();
}

} // namespace fileops
