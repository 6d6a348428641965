#pragma once
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>

// Long file work (a paste, a delete, a folder's size, a tool run) keeps its
// control flow on the user-interface thread, but each step that can block
// (the bytes of one file, one listing, one delete, waiting for a child)
// runs on a worker while the UI thread waits in a local event loop, so the
// window keeps painting. Only inside a LongWork scope; elsewhere a step
// runs where it is called, as any other platform call does.
namespace platform {

// Milliseconds on the steady clock that long work is timed by (the
// progress window's delay, the pace of refreshes).
qint64 steadyMs();
// Tests drive that clock; an empty one is the real clock again. Set it
// only while no work runs.
void setSteadyClock(std::function<qint64()> clock);

enum class WorkKind { Copying, Moving, Deleting, Creating, Measuring, Transferring, Reading };

// What the running work has done so far; steps write it from any thread.
struct WorkProgress {
    explicit WorkProgress(WorkKind k) : kind(k) {}
    const WorkKind kind;
    std::atomic<qint64> files {0};
    std::atomic<qint64> bytes {0};
    // The whole, once the counting walk beside the work knows it; -1 before.
    std::atomic<qint64> totalFiles {-1};
    std::atomic<qint64> totalBytes {-1};
    std::atomic<bool> stop {false};

    QString current() const;
    void setCurrent(const QString &path);

private:
    mutable std::mutex m_mutex;
    QString m_current;
};

// Opened on the UI thread by an operation, around all of its work. Scopes
// nest; the outermost one is the operation the user sees.
class LongWork {
public:
    explicit LongWork(WorkKind kind);
    ~LongWork();
    LongWork(const LongWork &) = delete;
    LongWork &operator=(const LongWork &) = delete;

    // Whether this scope is the operation the user sees, not one nested in it.
    bool isOutermost() const { return m_outermost; }

private:
    bool m_outermost;
};

// The running work's progress; null when no long work runs.
WorkProgress *currentWork();
// Whether the user asked the running work to stop; cheap, any thread.
bool stopRequested();
// Asked on the UI thread, it also gives up a step the work waits for that
// does not end at once (a call stuck on a hung mount): see runStep.
void requestStop();
// Whether the step running on this thread was given up by the work that
// started it: whatever it still writes must never get a real name.
bool stepAbandoned();
// Steps given up that have not returned yet.
int abandonedStepsRunning();
// Notes what the work is at now (a device path); false, with the last
// error ECANCELED, when the user asked it to stop: the step is not to start.
bool beginStep(const QString &path);
// One more file done.
void noteFileDone();

// Told on the UI thread when the outermost scope opens and closes (the
// progress window and the input blocker live there), and when a stop is
// asked for there (an open question is to be answered as a No).
struct LongWorkObserver {
    std::function<void(WorkProgress &)> begin;
    std::function<void(WorkProgress &)> end;
    std::function<void(WorkProgress &)> stopped;
};
void setLongWorkObserver(LongWorkObserver observer);

// Runs job after the running long work has ended, or now when none runs:
// a timer that would change the panes waits for the operation.
void afterLongWork(std::function<void()> job);

// How long a step is expected to take. Every step runs on the worker, as
// none is sure to be quick on every mount; the UI thread waits for a short
// one (one small file, one folder made) a few milliseconds on the spot
// before it runs its event loop, for a long one (many bytes, a whole walk,
// a child) almost at once.
enum class Step { Long, Short };

namespace detail {
// Work that runs beside the outermost scope on a thread of its own (the
// count for the bar); destroying it stops it and joins its thread.
struct BesideWork {
    virtual ~BesideWork() = default;
};
// Whether the outermost scope holds such work already.
bool hasBesideWork();
// The outermost scope keeps it until the operation ends, and stops it
// before the progress it writes to goes.
void setBesideWork(std::unique_ptr<BesideWork> work);

// Whether a step called here now goes to the worker.
bool dispatching();
// A step on its way to the worker. It owns its callable and its result,
// shared with the worker: a step given up may return from the kernel
// minutes later and go on running after its caller has gone on.
class StepTask {
public:
    virtual ~StepTask() = default;
    virtual void run() = 0;
};
// Runs the task on the worker; this thread's last error travels with it.
// False when the step was given up (the last error ECANCELED then).
bool runOnWorker(std::shared_ptr<StepTask> task, Step size);
// Bytes of a copy gone through; false when the copy is to stop.
bool noteCopied(qint64 bytes);
} // namespace detail

// Runs a blocking step: on the worker inside a long work scope on the UI
// thread, else right here. Returns what the step returns. A step on the
// worker that has not ended soon after the user asked the work to stop is
// given up there: its result is ignored and runStep returns a failure (a
// default result, the last error ECANCELED) at once; later steps get a
// fresh worker. So a step is always copied (moved) into runStep and must
// capture nothing of its caller by reference: QStrings by value, state
// shared by several steps through a std::shared_ptr.
template <class Work>
auto runStep(Work &&step, Step size = Step::Long) -> std::invoke_result_t<std::decay_t<Work> &>
{
    using Callable = std::decay_t<Work>;
    using Result = std::invoke_result_t<Callable &>;
    if (!detail::dispatching())
        return step();
    struct Task final : detail::StepTask {
        explicit Task(Work &&w) : work(std::forward<Work>(w)) {}
        void run() override
        {
            if constexpr (std::is_void_v<Result>)
                work();
            else
                result.emplace(work());
        }
        Callable work;
        std::optional<std::conditional_t<std::is_void_v<Result>, bool, Result>> result;
    };
    const auto task = std::make_shared<Task>(std::forward<Work>(step));
    const bool done = detail::runOnWorker(task, size);
    if constexpr (!std::is_void_v<Result>) {
        if (!done)
            return Result {};
        return std::move(*task->result);
    }
}

} // namespace platform
