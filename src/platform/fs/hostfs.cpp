#include "hostfs.h"

#include "devicepathparts.h"
#include "platform/base/lasterror.h"

#include <QList>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

// The *xattrat calls (Linux 6.13) take a directory descriptor and a name, so
// no path has to be resolved through /proc. Their numbers are the same on
// every architecture.
#ifndef SYS_setxattrat
#define SYS_setxattrat 463
#endif
#ifndef SYS_getxattrat
#define SYS_getxattrat 464
#endif

namespace platform::detail {

namespace {

struct XattrArgs {
    quint64 value;
    quint32 size;
    quint32 flags;
};

std::atomic<bool> g_noXattrAt {false};

// /proc/self/fd/<dirFd>/<name>: a path of bounded length to dirFd/name.
void procPath(char (&buffer)[PATH_MAX + 64], int dirFd, const char *name)
{
    std::snprintf(buffer, sizeof buffer, "/proc/self/fd/%d/%s", dirFd, name);
}

// Opens parts[0..count) below the root, a run of components at a time so
// that no single call sees a path longer than PATH_MAX. Links are followed.
int openChain(const QList<QByteArray> &parts, qsizetype count, int flags, Fd &out)
{
    const QByteArray root = hostRoot();
    int base = AT_FDCWD;
    Fd current;
    QByteArray run = root;
    qsizetype i = 0;
    for (;;) {
        const bool last = i == count;
        if (!last && run.size() + 1 + parts.at(i).size() < PATH_MAX) {
            if (!run.isEmpty() && !run.endsWith('/'))
                run += '/';
            run += parts.at(i++);
            continue;
        }
        if (run.isEmpty())
            return ENAMETOOLONG; // a single name longer than PATH_MAX
        const int f = retryOnIntr([&] {
            return ::openat(base, run.constData(), (last ? flags : O_PATH) | O_DIRECTORY | O_CLOEXEC);
        });
        if (f < 0)
            return errno;
        current.reset(f);
        base = current.get();
        run.clear();
        if (last)
            break;
    }
    out = std::move(current);
    return 0;
}

} // namespace

int locate(const QString &devicePath, Location &out)
{
    QList<QByteArray> parts;
    if (!hostComponents(devicePath, parts))
        return EINVAL;
    out.root = parts.isEmpty();
    out.name = out.root ? QByteArrayLiteral(".") : parts.last();
    return openChain(parts, out.root ? 0 : parts.size() - 1, O_PATH, out.parent);
}

int openFolder(const QString &devicePath, int flags, Fd &out)
{
    QList<QByteArray> parts;
    if (!hostComponents(devicePath, parts))
        return EINVAL;
    return openChain(parts, parts.size(), flags, out);
}

int statOpen(int fd, struct statx &out)
{
    return ::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_MNT_ID, &out) == 0 ? 0 : errno;
}

int statAt(int dirFd, const char *name, struct statx &out, bool follow)
{
    const int flags = (follow ? 0 : AT_SYMLINK_NOFOLLOW) | AT_NO_AUTOMOUNT;
    if (::statx(dirFd, name, flags, STATX_BASIC_STATS | STATX_BTIME, &out) != 0)
        return errno;
    return 0;
}

int openRegularAt(int dirFd, const char *name, bool follow, Fd &out, qint64 *size)
{
    Fd pinned(retryOnIntr([&] { return ::openat(dirFd, name, O_PATH | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW)); }));
    if (!pinned.isValid())
        return errno;
    struct stat st;
    if (::fstat(pinned.get(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    // Reopening the pinned descriptor opens that very inode, whatever the
    // name has become meanwhile.
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", pinned.get());
    int fd = retryOnIntr([&] { return ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0 && errno == ENOENT) // no /proc: open the name again, still without blocking
        fd = retryOnIntr([&] {
            return ::openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
        });
    if (fd < 0)
        return errno;
    Fd opened(fd);
    struct stat again;
    if (::fstat(opened.get(), &again) != 0)
        return errno;
    if (again.st_dev != st.st_dev || again.st_ino != st.st_ino)
        return EAGAIN; // replaced while we looked
    if (size)
        *size = qint64(again.st_size);
    out = std::move(opened);
    return 0;
}

int openListedFileAt(int dirFd, const char *name, Fd &out, qint64 &size)
{
    struct statx st;
    const int err = openListedFileAt(dirFd, name, out, st);
    size = err ? 0 : qint64(st.stx_size);
    return err;
}

int openListedFileAt(int dirFd, const char *name, Fd &out, struct statx &st)
{
    Fd opened(retryOnIntr([&] {
        return ::openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    }));
    if (!opened.isValid())
        return errno == ELOOP ? EINVAL : errno; // a link put in the file's place
    if (::statx(opened.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS, &st) != 0)
        return errno;
    if (!S_ISREG(st.stx_mode))
        return S_ISDIR(st.stx_mode) ? EISDIR : EINVAL;
    out = std::move(opened);
    return 0;
}

ssize_t getXattrAt(int dirFd, const char *name, const char *attribute, char *buffer, size_t size, bool follow)
{
    if (!g_noXattrAt.load(std::memory_order_relaxed)) {
        XattrArgs args {quint64(quintptr(buffer)), quint32(size), 0};
        const long r = ::syscall(SYS_getxattrat, dirFd, name, follow ? 0 : AT_SYMLINK_NOFOLLOW, attribute,
                                 &args, sizeof args);
        if (r >= 0)
            return r;
        if (errno != ENOSYS)
            return -errno;
        g_noXattrAt.store(true, std::memory_order_relaxed);
    }
    char path[PATH_MAX + 64];
    procPath(path, dirFd, name);
    const ssize_t r = follow ? ::getxattr(path, attribute, buffer, size) : ::lgetxattr(path, attribute, buffer, size);
    return r >= 0 ? r : -errno;
}

int setXattrAt(int dirFd, const char *name, const char *attribute, const QByteArray &value)
{
    if (!g_noXattrAt.load(std::memory_order_relaxed)) {
        XattrArgs args {quint64(quintptr(value.constData())), quint32(value.size()), 0};
        const long r = ::syscall(SYS_setxattrat, dirFd, name, AT_SYMLINK_NOFOLLOW, attribute, &args,
                                 sizeof args);
        if (r == 0)
            return 0;
        if (errno != ENOSYS)
            return errno;
        g_noXattrAt.store(true, std::memory_order_relaxed);
    }
    char path[PATH_MAX + 64];
    procPath(path, dirFd, name);
    return ::lsetxattr(path, attribute, value.constData(), size_t(value.size()), 0) == 0 ? 0 : errno;
}

bool fail(int code, const char *operation, const QString &path)
{
    return failWithErrno(code, QStringLiteral("%1 \"%2\"").arg(QLatin1String(operation), path));
}

bool fail(int code, const char *operation, const QString &from, const QString &to)
{
    return failWithErrno(code, QStringLiteral("%1 \"%2\" to \"%3\"").arg(QLatin1String(operation), from, to));
}

} // namespace platform::detail
