#pragma once
#include <QtGlobal>

// On a FAT file system (a memory card, a USB stick) the attributes are the
// card's own attribute byte, read and written with the kernel's FAT ioctls
// instead of being kept in an extended attribute.
namespace platform::detail {

// The bits of the byte that are the entry's attributes (read-only, hidden,
// system, archive); the directory and volume bits are the entry's kind.
inline constexpr quint32 kFatAttributeMask = 0x1 | 0x2 | 0x4 | 0x20;

// Whether the file system holding fd is vfat or msdos.
bool isFatFileSystem(int fd);

// The attribute byte of dirFd/name (a file or a folder, never followed).
// 0 or errno.
int getFatAttributes(int dirFd, const char *name, quint32 &out);
int setFatAttributes(int dirFd, const char *name, quint32 attributes);

// Stand-ins for the file system type and the ioctl, for tests on machines
// without FAT. Null restores the kernel's.
struct FatKernel {
    bool (*isFat)(int fd);
    int (*ioctl)(int fd, unsigned long request, quint32 *value); // 0 or -1 with errno
};
void setFatKernelForTesting(const FatKernel *kernel);

} // namespace platform::detail
