#include "faultinjection.h"

#include "faultpoints.h"

#include <QList>
#include <QStringList>

#include <atomic>
#include <mutex>

namespace platform {

namespace {

struct Fault {
    FsOperation operation;
    QString path;
    int errnoValue;
    qint64 afterBytes;
};

struct Faults {
    std::mutex mutex;
    QList<Fault> list;
    std::atomic<bool> any {false};
};

Faults &registry()
{
    static Faults f;
    return f;
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
    f.list.clear();
    f.any.store(false, std::memory_order_release);
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
    std::lock_guard lock(f.mutex);
    for (const Fault &fault : std::as_const(f.list)) {
        if (fault.operation == operation && fault.path == path)
            return {fault.errnoValue, fault.afterBytes};
    }
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
