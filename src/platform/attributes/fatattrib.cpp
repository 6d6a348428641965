#include "fatattrib.h"

#include "platform/base/fd.h"

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>

namespace platform::detail {

namespace {

std::atomic<const FatKernel *> g_testKernel {nullptr};

int fatIoctl(int fd, unsigned long request, quint32 *value)
{
    if (const FatKernel *kernel = g_testKernel.load(std::memory_order_acquire))
        return kernel->ioctl(fd, request, value);
    return ::ioctl(fd, request, value);
}

// The ioctls want a descriptor opened for real. FAT holds no FIFOs or
// devices, and O_NONBLOCK keeps it so should one ever claim to.
int openEntry(int dirFd, const char *name, Fd &out)
{
    out.reset(retryOnIntr([&] { return ::openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC); }));
    return out.isValid() ? 0 : errno;
}

} // namespace

bool isFatFileSystem(int fd)
{
    if (const FatKernel *kernel = g_testKernel.load(std::memory_order_acquire))
        return kernel->isFat(fd);
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && static_cast<unsigned long>(fs.f_type) == MSDOS_SUPER_MAGIC;
}

int getFatAttributes(int dirFd, const char *name, quint32 &out)
{
    Fd fd;
    if (const int err = openEntry(dirFd, name, fd))
        return err;
    quint32 value = 0;
    if (fatIoctl(fd.get(), FAT_IOCTL_GET_ATTRIBUTES, &value) != 0)
        return errno;
    out = value & 0xFF;
    return 0;
}

int setFatAttributes(int dirFd, const char *name, quint32 attributes)
{
    Fd fd;
    if (const int err = openEntry(dirFd, name, fd))
        return err;
    quint32 value = attributes & kFatAttributeMask;
    return fatIoctl(fd.get(), FAT_IOCTL_SET_ATTRIBUTES, &value) == 0 ? 0 : errno;
}

void setFatKernelForTesting(const FatKernel *kernel)
{
    g_testKernel.store(kernel, std::memory_order_release);
}

} // namespace platform::detail
