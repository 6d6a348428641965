#include "readstep.h"

#include "platform/base/lasterror.h"

#include <QCoreApplication>
#include <QThread>

#include <cerrno>

namespace platform {

namespace detail {
extern thread_local bool t_patientAfterStop;

bool onUiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool readingStopped(const QString &path)
{
    const WorkProgress *work = currentWork();
    if (!work || work->kind != WorkKind::Reading)
        return false;
    return !beginStep(path);
}

PatientAfterStop::PatientAfterStop()
    : m_was(t_patientAfterStop)
{
    t_patientAfterStop = true;
}

PatientAfterStop::~PatientAfterStop()
{
    t_patientAfterStop = m_was;
}
} // namespace detail

ReadingScope::ReadingScope()
{
    if (detail::onUiThread() && !currentWork())
        m_work.emplace(WorkKind::Reading);
}

} // namespace platform
