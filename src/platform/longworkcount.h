#pragma once
#include <QStringList>

#include <atomic>
#include <thread>

namespace platform {
struct WorkProgress;
}

namespace platform::detail {

// Counts the files and bytes below some device paths on a thread of its
// own and, once done, gives the whole to the progress. Links are leaves
// that count nothing, pseudo file systems and mount points are not
// entered. Going away stops the count and joins the thread.
class WorkCounter {
public:
    WorkCounter(WorkProgress &progress, const QStringList &paths);
    ~WorkCounter();
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
