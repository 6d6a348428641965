#include "filesystem.h"

#include "entryinfo.h"
#include "hostfs.h"
#include "platform/attributes/dosattrib.h"
#include "platform/attributes/fatattrib.h"
#include "platform/base/lasterror.h"
#include "platform/testing/faultpoints.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

using namespace detail;

namespace {

// Stores the bits of `wanted` that live in user.DOSATTRIB. Bits the entry has
// anyway (hidden for a dot name, temporary for a mount point) are not stored.
// injected: an error the store meets instead of the file system's answer.
int storeAttributes(const Location &at, const EntryFacts &facts, bool xattrs, int injected, quint32 wanted)
{
    const bool folder = S_ISDIR(facts.stat.stx_mode);
    const quint32 mask = storedAttributeMask(folder);
    quint32 implied = facts.mountPoint ? FILE_ATTRIBUTE_TEMPORARY : 0;
    if (isDotName(at.name.constData()) && !at.root)
        implied |= FILE_ATTRIBUTE_HIDDEN;
    const quint32 current = facts.stored.valid ? facts.stored.attributes & mask
                                               : (folder ? 0 : FILE_ATTRIBUTE_ARCHIVE);
    const quint32 want = wanted & mask & ~implied;
    if (want == (current & ~implied))
        return 0;
    if (!xattrs)
        return ENOTSUP; // nothing can be kept here: never pretend it was
    if (injected)
        return injected;
    // Bits other than ours (Samba keeps the directory bit) stay as they are;
    // a file's read-only lives in its mode alone.
    const quint32 old = facts.stored.valid ? facts.stored.attributes
                                           : (folder ? FILE_ATTRIBUTE_DIRECTORY : 0);
    const quint32 value = (old & ~(kStoredAttributeMask | FILE_ATTRIBUTE_READONLY)) | want | (current & implied);
    return setXattrAt(at.parent.get(), at.name.constData(), kDosAttribName,
                      makeDosAttrib(facts.storedValue, value));
}

// A link keeps nothing of its own and nothing is set through it: a request
// that sets nothing, or only what the link shows already, changes nothing
// and succeeds; any other fails.
int setOnLink(const Location &at, const EntryFacts &facts, quint32 attributes)
{
    const bool dotName = isDotName(at.name.constData());
    const quint32 settable = kStoredAttributeMask | FILE_ATTRIBUTE_READONLY;
    const quint32 implied = dotName ? FILE_ATTRIBUTE_HIDDEN : 0;
    const quint32 asked = attributes & settable & ~implied;
    const quint32 shown = attributesOf(facts, dotName) & settable & ~implied;
    return asked == 0 || asked == shown ? 0 : EPERM;
}

// The card's own attribute byte; the kernel keeps a file's read-only in
// its mode too.
int setOnFat(const Location &at, const EntryFacts &facts, quint32 attributes)
{
    const quint32 want = attributes & kFatAttributeMask;
    if (want == (facts.stored.attributes & kFatAttributeMask))
        return 0;
    return setFatAttributes(at.parent.get(), at.name.constData(), want);
}

int setMode(const Location &at, mode_t mode)
{
    return ::fchmodat(at.parent.get(), at.name.constData(), mode & 07777, 0) == 0 ? 0 : errno;
}

// The frame of a call that changes one entry: injected faults, locating the
// path, refusing the root with rootError (0: the root is allowed), then the
// change itself, which returns 0 or an errno value.
template<typename Change>
bool changeEntry(FsOperation operation, const char *name, const QString &path, int rootError, Change change)
{
    if (const int err = injectedFault(operation, path))
        return fail(err, name, path);
    Location at;
    if (const int err = locate(path, at))
        return fail(err, name, path);
    if (at.root && rootError)
        return fail(rootError, name, path);
    if (const int err = change(at))
        return fail(err, name, path);
    clearLastError();
    return true;
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
    FolderFacts folder;
    int err = locate(path, at);
    if (err == 0)
        err = readLocatedEntry(at, folder, false, facts);
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
    if (const int err = locate(path, at))
        return fail(err, "Set attributes", path);
    return setLocatedAttributes(at, path, attributes);
}

bool detail::setLocatedAttributes(const Location &at, const QString &path, quint32 attributes)
{
    EntryFacts facts;
    FolderFacts folder;
    int err = readLocatedEntry(at, folder, true, facts);
    if (err)
        return fail(err, "Set attributes", path);
    const int injected = injectedFault(FsOperation::StoredAttributes, path);
    if (injected) {
        facts.stored = DosAttrib();
        facts.storedValue.clear();
        folder.readXattrs = injected != ENOTSUP;
    }

    if (facts.isLink())
        err = setOnLink(at, facts, attributes);
    else if (facts.fat)
        err = setOnFat(at, facts, attributes);
    else {
        // A file's read-only is its owner's write permission, given back
        // first (storing needs it) and taken back if storing fails.
        const mode_t mode = facts.stat.stx_mode;
        const bool file = !S_ISDIR(mode);
        const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
        const bool giveWrite = file && !readOnly && !(mode & S_IWUSR);
        if (giveWrite)
            err = setMode(at, mode | S_IWUSR);
        if (!err && (err = storeAttributes(at, facts, folder.readXattrs, injected, attributes)) && giveWrite)
            setMode(at, mode);
        if (!err && file && readOnly && (mode & 0222))
            err = setMode(at, mode & ~mode_t(0222));
    }
    if (err)
        return fail(err, "Set attributes", path);
    clearLastError();
    return true;
}

bool deleteFile(const QString &path)
{
    // unlinkat removes a link itself and refuses folders (EISDIR).
    return changeEntry(FsOperation::Delete, "Delete", path, EISDIR, [](const Location &at) {
        return ::unlinkat(at.parent.get(), at.name.constData(), 0) == 0 ? 0 : errno;
    });
}

bool isSharedFile(const QString &path)
{
    Location at;
    struct statx st;
    return locate(path, at) == 0 && !at.root && statAt(at.parent.get(), at.name.constData(), st) == 0
        && isSharedInode(st);
}

bool createDirectory(const QString &path, EntryId *made)
{
    return changeEntry(FsOperation::Create, "Create folder", path, EEXIST, [made](const Location &at) {
        if (::mkdirat(at.parent.get(), at.name.constData(), 0777) != 0)
            return errno;
        struct statx st;
        if (made && statAt(at.parent.get(), at.name.constData(), st) == 0)
            *made = entryIdOf(st);
        return 0;
    });
}

bool removeDirectory(const QString &path)
{
    // A link to a folder is not a folder here (ENOTDIR), and only empty folders go.
    return changeEntry(FsOperation::RemoveDir, "Remove folder", path, EBUSY, [](const Location &at) {
        return ::unlinkat(at.parent.get(), at.name.constData(), AT_REMOVEDIR) == 0 ? 0 : errno;
    });
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
    return changeEntry(FsOperation::SetAttributes, "Set time", path, 0, [time](const Location &at) {
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = unixSecondsFromFileTime(time);
        times[1].tv_nsec = long(time % kFileTimeUnitsPerSecond) * 100;
        return ::utimensat(at.parent.get(), at.name.constData(), times, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
    });
}

} // namespace platform
