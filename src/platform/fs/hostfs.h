#pragma once
#include "entryid.h"
#include "platform/base/fd.h"

#include <QByteArray>
#include <QString>

#include <cerrno>

#include <sys/stat.h>
#include <sys/types.h>

// Host file system access through directory descriptors, so that paths of
// any length work and no final symbolic link is followed by accident.
namespace platform::detail {

// A device path resolved to its parent folder, held open (O_PATH), and its
// last host name. The device root itself resolves to the root folder and ".".
struct Location {
    Fd parent;
    QByteArray name;
    bool root = false;
};

// 0 or an errno value (EINVAL for an invalid device path).
int locate(const QString &devicePath, Location &out);

// Opens the folder a device path names, following symbolic links as browsing
// does. flags: O_RDONLY or O_PATH (O_DIRECTORY and O_CLOEXEC are added).
int openFolder(const QString &devicePath, int flags, Fd &out);

// statx of dirFd/name; the final link is followed only when asked.
int statAt(int dirFd, const char *name, struct statx &out, bool follow = false);

// Opens dirFd/name for reading only when it is a regular file, so that no
// FIFO can block and no device is ever opened: the entry is pinned with
// O_PATH, checked, then reopened without blocking. A final link is followed
// only when asked. 0, EISDIR for a folder, EINVAL for any other kind, or errno.
// size, when given: the file's length when it was opened.
int openRegularAt(int dirFd, const char *name, bool follow, Fd &out, qint64 *size = nullptr);

// Opens dirFd/name, which its folder's listing reported as a regular file,
// directly and without blocking or following a link; whatever else is found
// there now is closed again (EINVAL, EISDIR). Never call it for a name the
// listing gave as anything else: opening a device may act on it.
// size: the file's length when it was opened.
int openListedFileAt(int dirFd, const char *name, Fd &out, qint64 &size);
// The same, with what statx told of the opened file.
int openListedFileAt(int dirFd, const char *name, Fd &out, struct statx &st);

// Extended attributes of dirFd/name; a final link is followed only when asked.
// Returns the value length, or -errno.
ssize_t getXattrAt(int dirFd, const char *name, const char *attribute, char *buffer, size_t size,
                   bool follow = false);
int setXattrAt(int dirFd, const char *name, const char *attribute, const QByteArray &value);

// Reads one extended attribute's value by read(buffer, size), which gives
// its length or -errno: into a small buffer first, the kernel's largest
// only when the value needs it. use(value, length) sees a value read.
// The length, or -errno.
template<typename Read, typename Use>
ssize_t readXattrValue(Read read, Use use)
{
    char small[256];
    ssize_t r = read(small, sizeof small);
    if (r >= 0) {
        use(static_cast<const char *>(small), r);
        return r;
    }
    if (r != -ERANGE)
        return r;
    QByteArray big(65536, Qt::Uninitialized); // the kernel's limit for one value
    r = read(big.data(), size_t(big.size()));
    if (r >= 0)
        use(big.constData(), r);
    return r;
}

// statx of what fd has open, its mount id included (the mount tests compare
// it). 0 or errno.
int statOpen(int fd, struct statx &out);

// Whether two statx records are one file: the same device and inode.
inline bool sameInode(const struct statx &a, const struct statx &b)
{
    return a.stx_ino == b.stx_ino && a.stx_dev_major == b.stx_dev_major && a.stx_dev_minor == b.stx_dev_minor;
}

// Whether a file's inode other names share (hard links, a file mounted here
// from elsewhere): a change of its mode or stored attributes is theirs too.
inline bool isSharedInode(const struct statx &st)
{
    return !S_ISDIR(st.stx_mode)
        && (st.stx_nlink > 1 || ((st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (st.stx_attributes & STATX_ATTR_MOUNT_ROOT)));
}

// Whether the open folder fd lies on one of the kernel's pseudo file systems.
bool isPseudoFileSystemFd(int fd);

// Whether the folder open as fd is where a mount begins below the folder
// open as parentFd; self and parent are their statx with STATX_MNT_ID asked.
bool isMountRootFd(int fd, const struct statx &self, int parentFd, const struct statx &parent);

// The identity statx gives (STATX_BASIC_STATS asked).
EntryId entryIdOf(const struct statx &st);

// Sets the attributes of a located entry as setFileAttributes does (path:
// for the faults and the last error).
bool setLocatedAttributes(const Location &at, const QString &path, quint32 attributes);

// Records a failed call as the thread's last error and returns false.
bool fail(int code, const char *operation, const QString &path);
bool fail(int code, const char *operation, const QString &from, const QString &to);

} // namespace platform::detail
