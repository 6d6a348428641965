#include "progressservice.h"

#include "cprogresswnd.h"
#include "inputblocker.h"
#include "platform/ui/messagebox.h"
#include "platform/work/longwork.h"

#include <utility>

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
                                   [this](platform::WorkProgress &) { end(); },
                                   [this](platform::WorkProgress &) { stopped(); }});
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
    m_blocker = std::make_unique<InputBlocker>([this](QWidget *window) { closeWanted(window); });
    platform::setBoxesBesideWork(true);
    m_timer.start();
}

void ProgressService::end()
{
    m_timer.stop();
    m_window.reset();
    m_blocker.reset();
    m_work = nullptr;
    platform::setBoxesBesideWork(false);
    platform::setBoxesRefused(false);
    // Queued: the command that ran the work is still on the stack.
    for (const QPointer<QWidget> &window : std::exchange(m_closeAfter, {})) {
        if (window)
            QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
    }
}

void ProgressService::stopped()
{
    platform::answerOpenBoxes();
}

void ProgressService::closeWanted(QWidget *window)
{
    if (!m_closeAfter.contains(window))
        m_closeAfter.append(window);
    // Another window only waits; closing the owner ends the program, so its
    // work stops, and nothing more is asked on the way out.
    if (!m_owner || window != m_owner->window())
        return;
    platform::setBoxesRefused(true);
    platform::requestStop();
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
        platform::raiseOpenBoxes(); // a question stays in sight
    }
    if (m_window)
        m_window->Update(elapsed);
}
