#include "longwork.h"

#include "platform/base/lasterror.h"
#include "platform/testing/faultpoints.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

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
// A short step that takes longer than this sends the work's later short
// steps to the worker: the disk is slower than it looked.
constexpr qint64 kSlowShortStepNs = 20'000'000;
// Short steps come back here after this many in a row each took less than
// kQuickShortStepNs on the worker: one slow moment (a journal commit, a
// busy machine) must not cost every later small file a trip there and back.
constexpr int kQuickRunToComeBack = 64;
constexpr qint64 kQuickShortStepNs = 2'000'000;

inline void cpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// The one worker thread, made at the first step and kept for the program's life.
class Worker {
public:
    ~Worker()
    {
        if (!m_thread.joinable())
            return;
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    void run(const std::function<void()> &job)
    {
        if (!m_thread.joinable())
            m_thread = std::thread([this] { loop(); });
        m_error = lastError();
        m_done.store(false, std::memory_order_relaxed);
        m_job.store(&job, std::memory_order_release);
        {
            std::lock_guard lock(m_mutex);
            if (m_sleeping)
                m_wake.notify_one();
        }
        waitForDone();
        setLastError(m_error.code, m_error.message);
    }

private:
    void waitForDone()
    {
        const auto until = std::chrono::steady_clock::now() + kSpin;
        while (!m_done.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < until)
            cpuRelax();
        if (m_done.load(std::memory_order_acquire))
            return;
        QCoreApplication *app = QCoreApplication::instance();
        if (!app || QThread::currentThread() != app->thread()) {
            std::unique_lock lock(m_mutex);
            m_finished.wait(lock, [this] { return m_done.load(std::memory_order_acquire); });
            return;
        }
        QEventLoop loop;
        {
            std::lock_guard lock(m_mutex);
            if (m_done.load(std::memory_order_acquire))
                return;
            m_loop = &loop;
        }
        while (!m_done.load(std::memory_order_acquire))
            loop.exec();
        std::lock_guard lock(m_mutex);
        m_loop = nullptr;
    }

    void loop()
    {
        for (;;) {
            const std::function<void()> *job = nextJob();
            if (!job)
                return;
            setLastError(m_error.code, m_error.message);
            (*job)();
            m_error = lastError();
            std::lock_guard lock(m_mutex);
            m_done.store(true, std::memory_order_release);
            if (m_loop)
                QMetaObject::invokeMethod(m_loop, &QEventLoop::quit, Qt::QueuedConnection);
            m_finished.notify_one();
        }
    }

    // Null when the program ends.
    const std::function<void()> *nextJob()
    {
        const auto until = std::chrono::steady_clock::now() + kSpin;
        while (std::chrono::steady_clock::now() < until) {
            if (const auto *job = m_job.exchange(nullptr, std::memory_order_acquire))
                return job;
            cpuRelax();
        }
        std::unique_lock lock(m_mutex);
        m_sleeping = true;
        m_wake.wait(lock, [this] { return m_quit || m_job.load(std::memory_order_acquire); });
        m_sleeping = false;
        return m_quit ? nullptr : m_job.exchange(nullptr, std::memory_order_acquire);
    }

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_finished;
    std::atomic<const std::function<void()> *> m_job {nullptr};
    std::atomic<bool> m_done {false};
    bool m_sleeping = false;
    bool m_quit = false;
    QEventLoop *m_loop = nullptr; // the UI thread's wait, under m_mutex
    LastError m_error;            // carried there and back
};

Worker &worker()
{
    static Worker w;
    return w;
}

struct Scope {
    std::unique_ptr<WorkProgress> progress;
    std::unique_ptr<detail::BesideWork> beside;
    QElapsedTimer sincePump;
    bool slowShortSteps = false;
    int quickRun = 0; // quick short steps in a row on the worker
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
        g_scope.progress = std::make_unique<WorkProgress>(kind);
        g_scope.sincePump.start();
        g_scope.slowShortSteps = false;
        g_scope.quickRun = 0;
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
    return g_current.load(std::memory_order_acquire);
}

bool stopRequested()
{
    const WorkProgress *work = currentWork();
    return work && work->stop.load(std::memory_order_relaxed);
}

void requestStop()
{
    if (WorkProgress *work = currentWork())
        work->stop.store(true);
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

void runOnWorker(const std::function<void()> &job)
{
    t_waiting = true;
    worker().run(job);
    t_waiting = false;
    pumpWhenDue();
}

bool shortStepInline()
{
    return !g_scope.slowShortSteps;
}

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void shortStepDone(qint64 startedNs)
{
    if (nowNs() - startedNs > kSlowShortStepNs) {
        g_scope.slowShortSteps = true;
        g_scope.quickRun = 0;
    }
    pumpWhenDue();
}

void shortStepDoneThere(qint64 startedNs)
{
    if (nowNs() - startedNs >= kQuickShortStepNs)
        g_scope.quickRun = 0;
    else if (++g_scope.quickRun >= kQuickRunToComeBack)
        g_scope.slowShortSteps = false;
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
