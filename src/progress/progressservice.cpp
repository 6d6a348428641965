#include "progressservice.h"

#include "cprogresswnd.h"
#include "inputblocker.h"
#include "platform/ui/messagebox.h"
#include "platform/work/longwork.h"

namespace {
ProgressService *g_instance = nullptr;
} // namespace

ProgressService::ProgressService(QWidget *owner)
    : m_owner(owner)
{
    g_instance = this;
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &ProgressService::tick);
    platform::setLongWorkObserver({[this](platform::WorkProgress &work) { begin(work); },
                                   [this](platform::WorkProgress &) { end(); }});
    platform::setMessageBoxWatcher([this](bool open) { boxShown(open); });
}

ProgressService::~ProgressService()
{
    if (g_instance == this) {
        g_instance = nullptr;
        platform::setLongWorkObserver({});
        platform::setMessageBoxWatcher({});
    }
}

ProgressService *ProgressService::instance()
{
    return g_instance;
}

CProgressWnd *ProgressService::window()
{
    return g_instance ? g_instance->m_window.get() : nullptr;
}

void ProgressService::begin(platform::WorkProgress &work)
{
    m_work = &work;
    m_begun = platform::steadyMs();
    m_waited = 0;
    m_boxSince = m_begun;
    m_blocker = std::make_unique<InputBlocker>();
    m_timer.start();
}

void ProgressService::end()
{
    m_timer.stop();
    m_window.reset();
    m_blocker.reset();
    m_work = nullptr;
}

void ProgressService::boxShown(bool open)
{
    if (open) {
        if (m_boxes++ == 0)
            m_boxSince = platform::steadyMs();
    } else if (m_boxes > 0 && --m_boxes == 0 && m_work) {
        m_waited += platform::steadyMs() - qMax(m_boxSince, m_begun);
    }
}

qint64 ProgressService::workMs() const
{
    if (!m_work)
        return 0;
    const qint64 now = platform::steadyMs();
    const qint64 waiting = m_boxes > 0 ? now - qMax(m_boxSince, m_begun) : 0;
    return now - m_begun - m_waited - waiting;
}

void ProgressService::tick()
{
    if (!m_work)
        return;
    const qint64 elapsed = workMs();
    if (!m_window && elapsed >= kDelayMs && m_boxes == 0) {
        m_window = std::make_unique<CProgressWnd>(*m_work, m_owner);
        m_window->show();
    }
    if (m_window)
        m_window->Update(elapsed);
}
