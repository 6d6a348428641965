#include "walkguard.h"

#include "devicepath.h"
#include "devicepathparts.h"
#include "hostfs.h"
#include "platform/base/lasterror.h"

#include <QFile>
#include <QHash>

#include <cerrno>
#include <climits>
#include <optional>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {

using namespace detail;

namespace {

bool isPseudoMagic(unsigned long magic)
{
    switch (magic) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case SELINUX_MAGIC:
    case EFIVARFS_MAGIC:
    case BINFMTFS_MAGIC:
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
    case 0x19800202: // mqueue
        return true;
    default:
        return false;
    }
}

// devtmpfs reports the tmpfs magic: its type is told by the mount table.
bool isDevtmpfsMount(int fd)
{
    struct statx sx {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &sx) != 0 || !(sx.stx_mask & STATX_MNT_ID))
        return false;
    QFile mountInfo(QStringLiteral("/proc/self/mountinfo"));
    if (!mountInfo.open(QIODevice::ReadOnly))
        return false;
    const QByteArray id = QByteArray::number(quint64(sx.stx_mnt_id)) + ' ';
    for (const QByteArray &line : mountInfo.readAll().split('\n')) {
        if (!line.startsWith(id))
            continue;
        // "id parent major:minor root point options [tags] - type source ..."
        const qsizetype dash = line.indexOf(" - ");
        return dash >= 0 && line.mid(dash + 3).startsWith("devtmpfs ");
    }
    return false;
}

bool mountStat(int fd, struct statx &out)
{
    return ::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MNT_ID, &out) == 0;
}

// The mount id /proc gives for an open descriptor, 0 when unknown; for
// kernels whose statx has none.
quint64 fdinfoMountId(int fd)
{
    QFile info(QStringLiteral("/proc/self/fdinfo/%1").arg(fd));
    if (!info.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : info.readAll().split('\n'))
        if (line.startsWith("mnt_id:"))
            return line.mid(7).trimmed().toULongLong();
    return 0;
}

bool statFd(int fd, struct stat &out)
{
    return ::fstat(fd, &out) == 0;
}

} // namespace

bool detail::isMountRootFd(int fd, const struct statx &self, int parentFd, const struct statx &parent)
{
    // A bind mount of a folder of the same file system keeps the device:
    // the kernel's mount-root mark tells it, and the mount ids do too.
    if ((self.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (self.stx_attributes & STATX_ATTR_MOUNT_ROOT))
        return true;
    if (self.stx_dev_major != parent.stx_dev_major || self.stx_dev_minor != parent.stx_dev_minor)
        return true;
    const quint64 own = (self.stx_mask & STATX_MNT_ID) ? self.stx_mnt_id : fdinfoMountId(fd);
    const quint64 above = (parent.stx_mask & STATX_MNT_ID) ? parent.stx_mnt_id : fdinfoMountId(parentFd);
    return own != 0 && above != 0 && own != above;
}

namespace {

// The answer from two lookups by path, where the host path fits one call
// and the kernel gives mount ids; a walk asks for every subfolder.
std::optional<bool> mountPointByPath(const QString &folder)
{
    const QByteArray path = hostPathFromDevice(folder);
    if (path.isEmpty())
        return std::nullopt;
    if (path == hostRoot())
        return false; // the device root
    if (path.size() >= PATH_MAX)
        return std::nullopt;
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray parent = slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
    struct statx own {}, above {};
    const unsigned mask = STATX_TYPE | STATX_MNT_ID;
    if (::statx(AT_FDCWD, path.constData(), AT_NO_AUTOMOUNT, mask, &own) != 0
        || ::statx(AT_FDCWD, parent.constData(), AT_NO_AUTOMOUNT, mask, &above) != 0
        || !(own.stx_mask & above.stx_mask & STATX_MNT_ID))
        return std::nullopt;
    return S_ISDIR(own.stx_mode) && isMountRootFd(-1, own, -1, above);
}

} // namespace

bool isMountPoint(const QString &folder)
{
    if (const std::optional<bool> answer = mountPointByPath(folder))
        return *answer;
    Location at;
    if (locate(folder, at) != 0 || at.root)
        return false;
    const Fd self(retryOnIntr([&] {
        return ::openat(at.parent.get(), at.name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }));
    struct statx own {}, parent {};
    return self.isValid() && mountStat(self.get(), own) && mountStat(at.parent.get(), parent)
        && isMountRootFd(self.get(), own, at.parent.get(), parent);
}

bool isWalkableSubfolder(const QString &path, const FindData &data)
{
    return isWalkableFolder(data) && !isMountPoint(path);
}

bool isPseudoFileSystem(const QString &folder)
{
    Fd fd;
    return openFolder(folder, O_PATH, fd) == 0 && isPseudoFileSystemFd(fd.get());
}

bool detail::isPseudoFileSystemFd(int fd)
{
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return false;
    if (isPseudoMagic(static_cast<unsigned long>(fs.f_type)))
        return true;
    return static_cast<unsigned long>(fs.f_type) == TMPFS_MAGIC && isDevtmpfsMount(fd);
}

bool isSameOrInsideFolder(const QString &folder, const QString &ancestor)
{
    Fd top;
    Fd current;
    if (openFolder(ancestor, O_PATH, top) != 0 || openFolder(folder, O_PATH, current) != 0)
        return false;
    struct stat target {};
    if (!statFd(top.get(), target))
        return false;
    // Climb through ".." (the real parent, whatever link led here) up to
    // the host's root, whose ".." is itself.
    for (int depth = 0; depth < 65536; ++depth) {
        struct stat here {};
        if (!statFd(current.get(), here))
            return false;
        if (here.st_dev == target.st_dev && here.st_ino == target.st_ino)
            return true;
        const int up = ::openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (up < 0)
            return false;
        Fd parent(up);
        struct stat above {};
        if (!statFd(parent.get(), above))
            return false;
        if (above.st_dev == here.st_dev && above.st_ino == here.st_ino)
            return false;
        current = std::move(parent);
    }
    return false;
}

bool flushFileSystem(const QString &path)
{
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Flush", path);
    // syncfs wants a descriptor opened for real, not an O_PATH one.
    const int fd = retryOnIntr([&] { return ::openat(at.parent.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0)
        return fail(errno, "Flush", path);
    const Fd folder(fd);
    if (::syncfs(folder.get()) != 0)
        return fail(errno, "Flush", path);
    clearLastError();
    return true;
}

} // namespace platform
