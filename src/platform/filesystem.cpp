#include "filesystem.h"

#include "dosattrib.h"
#include "entryinfo.h"
#include "faultpoints.h"
#include "hostfs.h"
#include "lasterror.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

using namespace detail;

namespace {

// The entry at a located path with its stored attributes; parentStat for
// mount points.
int readLocated(const Location &at, bool keepRawValue, bool *xattrs, EntryFacts &facts)
{
    struct statx parentStat;
    const bool haveParent = !at.root
        && ::statx(at.parent.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS, &parentStat) == 0;
    facts.root = at.root;
    return readEntry(at.parent.get(), at.name.constData(), haveParent ? &parentStat : nullptr, xattrs,
                     keepRawValue, facts);
}

// Stores the bits of `wanted` that live in user.DOSATTRIB. Bits the entry has
// anyway (hidden for a dot name, temporary for a mount point) are not stored.
int storeAttributes(const Location &at, const EntryFacts &facts, bool xattrs, quint32 wanted)
{
    const bool folder = S_ISDIR(facts.stat.stx_mode);
    quint32 implied = facts.mountPoint ? FILE_ATTRIBUTE_TEMPORARY : 0;
    if (isDotName(at.name.constData()) && !at.root)
        implied |= FILE_ATTRIBUTE_HIDDEN;
    const quint32 current = facts.stored.valid ? facts.stored.attributes & kStoredAttributeMask
                                               : (folder ? 0 : FILE_ATTRIBUTE_ARCHIVE);
    const quint32 want = wanted & kStoredAttributeMask & ~implied;
    if (want == (current & ~implied))
        return 0;
    if (!xattrs)
        return (want & ~FILE_ATTRIBUTE_ARCHIVE) ? ENOTSUP : 0; // nothing can be kept here
    // Bits other than ours (Samba keeps the directory bit) stay as they are;
    // read-only lives in the mode alone.
    const quint32 old = facts.stored.valid ? facts.stored.attributes
                                           : (folder ? FILE_ATTRIBUTE_DIRECTORY : 0);
    const quint32 value = (old & ~(kStoredAttributeMask | FILE_ATTRIBUTE_READONLY)) | want | (current & implied);
    return setXattrAt(at.parent.get(), at.name.constData(), kDosAttribName,
                      makeDosAttrib(facts.storedValue, value));
}

int setReadOnly(const Location &at, mode_t mode, bool readOnly)
{
    if (readOnly == !(mode & S_IWUSR))
        return 0;
    const mode_t newMode = readOnly ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
    return ::fchmodat(at.parent.get(), at.name.constData(), newMode & 07777, 0) == 0 ? 0 : errno;
}

} // namespace

quint32 getFileAttributes(const QString &path)
{
    if (const int err = injectedFault(FsOperation::Find, path)) {
        fail(err, "Get attributes", path);
        return INVALID_FILE_ATTRIBUTES;
    }
    Location at;
    EntryFacts facts;
    bool xattrs = true;
    int err = locate(path, at);
    if (err == 0)
        err = readLocated(at, false, &xattrs, facts);
    if (err) {
        fail(err, "Get attributes", path);
        return INVALID_FILE_ATTRIBUTES;
    }
    clearLastError();
    return attributesOf(facts, isDotName(at.name.constData()));
}

bool setFileAttributes(const QString &path, quint32 attributes)
{
    if (const int err = injectedFault(FsOperation::SetAttributes, path))
        return fail(err, "Set attributes", path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return fail(EINVAL, "Set attributes", path);
    Location at;
    EntryFacts facts;
    bool xattrs = true;
    int err = locate(path, at);
    if (err == 0)
        err = readLocated(at, true, &xattrs, facts);
    if (err)
        return fail(err, "Set attributes", path);

    const mode_t mode = facts.stat.stx_mode;
    if (S_ISLNK(mode)) {
        // A link keeps nothing of its own: only a request that changes nothing works.
        const quint32 settable = kStoredAttributeMask | FILE_ATTRIBUTE_READONLY;
        const quint32 have = attributesOf(facts, isDotName(at.name.constData())) & settable;
        const quint32 implied = isDotName(at.name.constData()) ? FILE_ATTRIBUTE_HIDDEN : 0;
        if ((attributes & settable & ~implied) != (have & ~implied))
            return fail(EPERM, "Set attributes", path);
        clearLastError();
        return true;
    }
    const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    // Write permission first when it is being given back: storing needs it.
    if (!readOnly && (err = setReadOnly(at, mode, false)))
        return fail(err, "Set attributes", path);
    if ((err = storeAttributes(at, facts, xattrs, attributes)))
        return fail(err, "Set attributes", path);
    if (readOnly && (err = setReadOnly(at, mode, true)))
        return fail(err, "Set attributes", path);
    clearLastError();
    return true;
}

bool deleteFile(const QString &path)
{
    if (const int err = injectedFault(FsOperation::Delete, path))
        return fail(err, "Delete", path);
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Delete", path);
    if (at.root)
        return fail(EISDIR, "Delete", path);
    // unlinkat removes a link itself and refuses folders (EISDIR).
    if (::unlinkat(at.parent.get(), at.name.constData(), 0) != 0)
        return fail(errno, "Delete", path);
    clearLastError();
    return true;
}

bool createDirectory(const QString &path)
{
    if (const int err = injectedFault(FsOperation::Create, path))
        return fail(err, "Create folder", path);
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Create folder", path);
    if (at.root)
        return fail(EEXIST, "Create folder", path);
    if (::mkdirat(at.parent.get(), at.name.constData(), 0777) != 0)
        return fail(errno, "Create folder", path);
    clearLastError();
    return true;
}

bool removeDirectory(const QString &path)
{
    if (const int err = injectedFault(FsOperation::RemoveDir, path))
        return fail(err, "Remove folder", path);
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Remove folder", path);
    if (at.root)
        return fail(EBUSY, "Remove folder", path);
    // A link to a folder is not a folder here (ENOTDIR), and only empty folders go.
    if (::unlinkat(at.parent.get(), at.name.constData(), AT_REMOVEDIR) != 0)
        return fail(errno, "Remove folder", path);
    clearLastError();
    return true;
}

bool getDiskFreeSpace(const QString &path, quint64 *freeBytesToCaller, quint64 *totalBytes,
                      quint64 *totalFreeBytes)
{
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Free space", path);
    Fd fd(::openat(at.parent.get(), at.name.constData(), O_PATH | O_CLOEXEC));
    if (!fd.isValid())
        return fail(errno, "Free space", path);
    struct statvfs vfs;
    if (::fstatvfs(fd.get(), &vfs) != 0)
        return fail(errno, "Free space", path);
    const quint64 unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    if (freeBytesToCaller)
        *freeBytesToCaller = quint64(vfs.f_bavail) * unit;
    if (totalBytes)
        *totalBytes = quint64(vfs.f_blocks) * unit;
    if (totalFreeBytes)
        *totalFreeBytes = quint64(vfs.f_bfree) * unit;
    clearLastError();
    return true;
}

bool setLastWriteTime(const QString &path, FileTime time)
{
    if (const int err = injectedFault(FsOperation::SetAttributes, path))
        return fail(err, "Set time", path);
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Set time", path);
    constexpr FileTime kTicksPerSecond = 10000000;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = unixSecondsFromFileTime(time);
    times[1].tv_nsec = long(time % kTicksPerSecond) * 100;
    if (::utimensat(at.parent.get(), at.name.constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return fail(errno, "Set time", path);
    clearLastError();
    return true;
}

} // namespace platform
