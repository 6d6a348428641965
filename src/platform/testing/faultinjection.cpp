#include "faultinjection.h"

#include "faultpoints.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace platform {

namespace {

struct Fault {
    FsOperation operation;
    QString path;
    int errnoValue;
    qint64 afterBytes;
    bool hang = false;
    int delayMs = 0;
};

struct Faults {
    std::mutex mutex;
    QList<Fault> list;
    std::atomic<bool> any {false};
    std::condition_variable released;
    quint64 releases = 0; // under mutex
    int hanging = 0;      // under mutex
};

// Never destroyed: a thread may still wait in a hang when the program ends.
Faults &registry()
{
    static Faults *f = new Faults;
    return *f;
}

bool onMainThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// Under f.mutex: removes the hangs and wakes the threads held in them.
void releaseLocked(Faults &f)
{
    f.list.removeIf([](const Fault &fault) { return fault.hang; });
    ++f.releases;
    f.released.notify_all();
}

} // namespace

namespace faults {

void inject(FsOperation operation, const QString &devicePath, int errnoValue, qint64 afterBytes)
{
    Faults &f = registry();
    std::lock_guard lock(f.mutex);
    f.list.append({operation, detail::normalizedDevicePath(devicePath), errnoValue != 0 ? errnoValue : EIO,
                   afterBytes});
    f.any.store(true, std::memory_order_release);
}

void clear()
{
    Faults &f = registry();
    std::lock_guard lock(f.mutex);
    releaseLocked(f);
    f.list.clear();
    f.any.store(false, std::memory_order_release);
}

void injectHang(FsOperation operation, const QString &devicePath)
{
    Faults &f = registry();
    std::lock_guard lock(f.mutex);
    f.list.append({operation, detail::normalizedDevicePath(devicePath), 0, -1, true});
    f.any.store(true, std::memory_order_release);
}

void injectDelay(FsOperation operation, const QString &devicePath, int ms)
{
    Faults &f = registry();
    std::lock_guard lock(f.mutex);
    Fault fault {operation, detail::normalizedDevicePath(devicePath), 0, -1};
    fault.delayMs = ms;
    f.list.append(fault);
    f.any.store(true, std::memory_order_release);
}

void releaseHangs()
{
    Faults &f = registry();
    std::lock_guard lock(f.mutex);
    releaseLocked(f);
}

int hanging()
{
    Faults &f = registry();
    std::lock_guard lock(f.mutex);
    return f.hanging;
}

bool any()
{
    return registry().any.load(std::memory_order_acquire);
}

} // namespace faults

namespace detail {

QString normalizedDevicePath(const QString &devicePath)
{
    QStringList parts;
    for (const QString &part : devicePath.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return QLatin1Char('\\') + parts.join(QLatin1Char('\\'));
}

ByteFault injectedByteFault(FsOperation operation, const QString &devicePath)
{
    if (!faults::any())
        return {};
    const QString path = normalizedDevicePath(devicePath);
    Faults &f = registry();
    std::unique_lock lock(f.mutex);
    int delayMs = 0;
    for (const Fault &fault : std::as_const(f.list)) {
        if (fault.operation != operation || fault.path != path)
            continue;
        if (fault.delayMs > 0) {
            delayMs += fault.delayMs;
            continue;
        }
        if (!fault.hang)
            return {fault.errnoValue, fault.afterBytes};
        if (onMainThread())
            continue;
        const quint64 releases = f.releases;
        ++f.hanging;
        f.released.wait(lock, [&] { return f.releases != releases; });
        --f.hanging;
        lock.unlock();
        return injectedByteFault(operation, devicePath); // the list changed meanwhile
    }
    lock.unlock();
    if (delayMs > 0)
        QThread::msleep(ulong(delayMs));
    return {};
}

int injectedFault(FsOperation operation, const QString &devicePath)
{
    return injectedByteFault(operation, devicePath).error;
}

int injectedFindFault(const QString &pattern)
{
    if (!faults::any())
        return 0;
    if (const int err = injectedFault(FsOperation::Find, pattern))
        return err;
    const qsizetype slash = pattern.lastIndexOf(QLatin1Char('\\'));
    return injectedFault(FsOperation::Find, slash < 0 ? QString() : pattern.left(slash));
}

} // namespace detail

} // namespace platform
