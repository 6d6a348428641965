#pragma once
#include "platform/work/longwork.h"

#include <QStringList>

#include <atomic>
#include <thread>

namespace platform {

// Counts what lies below these device paths (files and folders) beside the
// work, for the bar; links are never followed, pseudo file systems and
// mount points are not entered. Once per operation: only the outermost
// scope counts, and only the first time.
void countBeside(const LongWork &work, const QStringList &paths);

} // namespace platform

namespace platform::detail {

// Counts the files and bytes below some device paths on a thread of its
// own and, once done, gives the whole to the progress. Links are leaves
// that count nothing, pseudo file systems and mount points are not
// entered. Going away stops the count and joins the thread.
class WorkCounter : public BesideWork {
public:
    WorkCounter(WorkProgress &progress, const QStringList &paths);
    ~WorkCounter() override;
    WorkCounter(const WorkCounter &) = delete;
    WorkCounter &operator=(const WorkCounter &) = delete;

private:
    void count(const QStringList &paths);
    void countFolder(const QString &folder);

    WorkProgress &m_progress;
    std::atomic<bool> m_stop {false};
    qint64 m_files = 0;
    qint64 m_bytes = 0;
    std::thread m_thread;
};

} // namespace platform::detail
