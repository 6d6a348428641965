#include "longwork.h"

#include "platform/base/lasterror.h"
#include "platform/testing/faultpoints.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <thread>
#include <vector>

namespace platform {

namespace {

std::function<qint64()> g_testClock; // a test's, else empty

// A step that ends this soon is waited for without sleeping, so small steps
// cost little more than a call; a longer one lets the UI thread run events.
constexpr auto kSpin = std::chrono::microseconds(40);
// Between events the UI thread handles at least this often.
constexpr qint64 kPumpMs = 16;
// How long the UI thread waits on the spot for a short step before it runs
// its event loop: far less than a frame, and a small file's step ends well
// within it on a local disk, so a copy of many small files pays no event
// loop per file.
constexpr auto kShortWait = std::chrono::milliseconds(3);

inline void cpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Spins until ready() or kSpin is over. The clock is read only now and then:
// on some machines each read is a system call.
template <class Ready>
bool spinUntil(std::chrono::microseconds spin, Ready ready)
{
    const auto until = std::chrono::steady_clock::now() + spin;
    for (unsigned i = 0;; ++i) {
        if (ready())
            return true;
        if ((i & 31) == 31 && std::chrono::steady_clock::now() >= until)
            return false;
        cpuRelax();
    }
}

// After a stop is asked for, a step the UI thread waits for may end on its
// own this long (its next look at the stop, a child killed); a step still
// running then is stuck in a call and given up.
constexpr int kAbandonAfterMs = 100;

// One step handed to a worker thread, shared by the thread and the caller.
struct Job {
    std::shared_ptr<detail::StepTask> task;
    std::shared_ptr<WorkProgress> progress; // kept for a step that outlives its work
    std::atomic<bool> abandoned {false};
    LastError error; // carried there and back
};

} // namespace

namespace detail {
thread_local bool t_patientAfterStop = false;
} // namespace detail

namespace {

// The step the worker thread running it runs; null on other threads.
thread_local Job *t_job = nullptr;
std::atomic<int> g_abandonedRunning {0};

// The wait of the UI thread for a step, while it runs.
struct Waiting {
    QEventLoop *loop = nullptr;
    QTimer *patience = nullptr; // runs out: the step is given up
    bool giveUp = false;
};
Waiting *g_waiting = nullptr;

// A worker thread and what it shares with its caller. The thread owns it
// too: a worker whose step was given up lives until that step returns.
class Worker {
public:
    // Run by its thread.
    void loop()
    {
        for (;;) {
            const std::shared_ptr<Job> job = nextJob();
            if (!job) {
                // A step given up before this thread took it never runs.
                std::lock_guard lock(m_mutex);
                if (m_abandoned)
                    g_abandonedRunning.fetch_sub(1);
                return;
            }
            setLastError(job->error.code, job->error.message);
            t_job = job.get();
            job->task->run();
            t_job = nullptr;
            job->error = lastError();
            std::lock_guard lock(m_mutex);
            m_done.store(true, std::memory_order_release);
            if (m_loop)
                QMetaObject::invokeMethod(m_loop, &QEventLoop::quit, Qt::QueuedConnection);
            m_finished.notify_one();
            if (m_abandoned) {
                g_abandonedRunning.fetch_sub(1);
                return;
            }
        }
    }

    // False when the step was given up.
    bool run(const std::shared_ptr<Job> &job, Step size)
    {
        job->error = lastError();
        m_current = job;
        m_done.store(false, std::memory_order_relaxed);
        m_job.store(job.get(), std::memory_order_release);
        {
            std::lock_guard lock(m_mutex);
            if (m_sleeping)
                m_wake.notify_one();
        }
        if (!waitForDone(*job, size))
            return false;
        // What the step holds (a folder held open) goes now, not at the next step.
        m_current.reset();
        setLastError(job->error.code, job->error.message);
        return true;
    }

    void quit()
    {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
    }

private:
    bool waitForDone(Job &job, Step size)
    {
        // A short step is waited for on the condition below, not spun for:
        // on a busy machine the spinning takes the processor from the worker.
        if (size == Step::Long && spinUntil(kSpin, [this] { return m_done.load(std::memory_order_acquire); }))
            return true;
        const auto isDone = [this] { return m_done.load(std::memory_order_acquire); };
        QCoreApplication *app = QCoreApplication::instance();
        if (!app || QThread::currentThread() != app->thread()) {
            std::unique_lock lock(m_mutex);
            m_finished.wait(lock, isDone);
            return true;
        }
        if (size == Step::Short && !stopRequested()) {
            std::unique_lock lock(m_mutex);
            if (m_finished.wait_for(lock, kShortWait, isDone))
                return true;
        }
        QEventLoop loop;
        QTimer patience;
        patience.setSingleShot(true);
        patience.setInterval(kAbandonAfterMs);
        Waiting waiting {&loop, &patience};
        QObject::connect(&patience, &QTimer::timeout, &loop, [&waiting] {
            waiting.giveUp = true;
            waiting.loop->quit();
        });
        {
            std::lock_guard lock(m_mutex);
            if (m_done.load(std::memory_order_acquire))
                return true;
            m_loop = &loop;
        }
        g_waiting = &waiting;
        // A stop asked for before this step began finds it stuck as well.
        if (stopRequested() && !detail::t_patientAfterStop)
            patience.start();
        while (!m_done.load(std::memory_order_acquire) && !waiting.giveUp)
            loop.exec();
        g_waiting = nullptr;
        std::lock_guard lock(m_mutex);
        m_loop = nullptr;
        if (m_done.load(std::memory_order_acquire))
            return true;
        // Given up: the thread ends after the step; nothing here waits for it.
        job.abandoned.store(true);
        m_abandoned = true;
        m_quit = true;
        g_abandonedRunning.fetch_add(1);
        return false;
    }

    std::shared_ptr<Job> nextJob()
    {
        if (spinUntil(kSpin, [this] { return m_job.exchange(nullptr, std::memory_order_acquire) != nullptr; }))
            return m_current;
        std::unique_lock lock(m_mutex);
        m_sleeping = true;
        m_wake.wait(lock, [this] { return m_quit || m_job.load(std::memory_order_acquire); });
        m_sleeping = false;
        if (m_quit || !m_job.exchange(nullptr, std::memory_order_acquire))
            return nullptr;
        return m_current;
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_finished;
    // Written by the caller before m_job is, read by the thread after.
    std::shared_ptr<Job> m_current;
    std::atomic<Job *> m_job {nullptr};
    std::atomic<bool> m_done {false};
    bool m_sleeping = false;
    bool m_quit = false;      // under m_mutex
    bool m_abandoned = false; // under m_mutex
    QEventLoop *m_loop = nullptr; // the UI thread's wait, under m_mutex
};

// The worker steps go to now: made at the first step, made again after a
// step was given up, joined when the program ends.
class WorkerSlot {
public:
    ~WorkerSlot()
    {
        if (!m_thread.joinable())
            return;
        m_worker->quit();
        m_thread.join();
    }

    bool run(const std::shared_ptr<Job> &job, Step size)
    {
        if (!m_worker) {
            m_worker = std::make_shared<Worker>();
            m_thread = std::thread([worker = m_worker] { worker->loop(); });
        }
        if (m_worker->run(job, size))
            return true;
        m_thread.detach();
        m_worker.reset();
        return false;
    }

private:
    std::shared_ptr<Worker> m_worker;
    std::thread m_thread;
};

WorkerSlot &worker()
{
    static WorkerSlot w;
    return w;
}

struct Scope {
    std::shared_ptr<WorkProgress> progress;
    std::unique_ptr<detail::BesideWork> beside;
    QElapsedTimer sincePump;
};

std::atomic<WorkProgress *> g_current {nullptr};
std::atomic<int> g_depth {0};
std::atomic<std::thread::id> g_scopeThread;
thread_local bool t_waiting = false;
Scope g_scope;
LongWorkObserver g_observer;
std::vector<std::function<void()>> g_after;

} // namespace

qint64 steadyMs()
{
    if (g_testClock)
        return g_testClock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void setSteadyClock(std::function<qint64()> clock)
{
    g_testClock = std::move(clock);
}

QString WorkProgress::current() const
{
    std::lock_guard lock(m_mutex);
    return m_current;
}

void WorkProgress::setCurrent(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_current = path;
}

LongWork::LongWork(WorkKind kind)
    : m_outermost(g_depth.load() == 0)
{
    if (m_outermost) {
        g_scopeThread = std::this_thread::get_id();
        g_scope.progress = std::make_shared<WorkProgress>(kind);
        g_scope.sincePump.start();
        g_current.store(g_scope.progress.get());
    }
    g_depth.fetch_add(1);
    if (m_outermost && g_observer.begin)
        g_observer.begin(*g_scope.progress);
}

LongWork::~LongWork()
{
    if (g_depth.fetch_sub(1) != 1)
        return;
    if (g_observer.end)
        g_observer.end(*g_scope.progress);
    g_scope.beside.reset(); // stops and joins the count
    g_current.store(nullptr);
    g_scope.progress.reset();
    std::vector<std::function<void()>> after;
    after.swap(g_after);
    for (const auto &job : after)
        job();
}


WorkProgress *currentWork()
{
    // A step on a worker keeps its own: its work may have ended meanwhile.
    if (const Job *job = t_job)
        return job->progress.get();
    return g_current.load(std::memory_order_acquire);
}

bool stopRequested()
{
    if (const Job *job = t_job) {
        return job->abandoned.load(std::memory_order_relaxed)
            || job->progress->stop.load(std::memory_order_relaxed);
    }
    const WorkProgress *work = currentWork();
    return work && work->stop.load(std::memory_order_relaxed);
}

void requestStop()
{
    WorkProgress *work = currentWork();
    if (!work)
        return;
    work->stop.store(true);
    if (t_job || std::this_thread::get_id() != g_scopeThread.load())
        return;
    if (g_waiting && !g_waiting->patience->isActive())
        g_waiting->patience->start();
    if (g_observer.stopped)
        g_observer.stopped(*work);
}

bool stepAbandoned()
{
    const Job *job = t_job;
    return job && job->abandoned.load(std::memory_order_acquire);
}

int abandonedStepsRunning()
{
    return g_abandonedRunning.load();
}

bool beginStep(const QString &path)
{
    WorkProgress *work = currentWork();
    if (!work)
        return true;
    work->setCurrent(path);
    if (faults::any() && detail::injectedByteFault(FsOperation::Stop, path).after == 0)
        work->stop.store(true);
    if (work->stop.load(std::memory_order_relaxed))
        return failWith(ECANCELED, QStringLiteral("Stopped at %1").arg(path));
    return true;
}

void noteFileDone()
{
    if (WorkProgress *work = currentWork())
        work->files.fetch_add(1, std::memory_order_relaxed);
}

void setLongWorkObserver(LongWorkObserver observer)
{
    g_observer = std::move(observer);
}

void afterLongWork(std::function<void()> job)
{
    if (g_depth.load() == 0)
        job();
    else
        g_after.push_back(std::move(job));
}

namespace detail {

bool hasBesideWork()
{
    return g_scope.beside != nullptr;
}

void setBesideWork(std::unique_ptr<BesideWork> work)
{
    g_scope.beside = std::move(work);
}

bool dispatching()
{
    return g_depth.load(std::memory_order_relaxed) > 0 && !t_waiting
        && std::this_thread::get_id() == g_scopeThread;
}

namespace {
// Steps that end at once never reach the event loop: let it run now and then.
void pumpWhenDue()
{
    if (g_scope.sincePump.elapsed() >= kPumpMs) {
        t_waiting = true;
        QCoreApplication::processEvents();
        t_waiting = false;
        g_scope.sincePump.start();
    }
}
} // namespace

bool runOnWorker(std::shared_ptr<StepTask> task, Step size)
{
    const auto job = std::make_shared<Job>();
    job->task = std::move(task);
    job->progress = g_scope.progress;
    t_waiting = true;
    const bool done = worker().run(job, size);
    t_waiting = false;
    if (!done)
        return failWith(ECANCELED, QStringLiteral("Stopped"));
    pumpWhenDue();
    return true;
}

bool noteCopied(qint64 bytes)
{
    WorkProgress *work = currentWork();
    if (!work)
        return true;
    work->bytes.fetch_add(bytes, std::memory_order_relaxed);
    return !work->stop.load(std::memory_order_relaxed);
}

} // namespace detail

} // namespace platform
