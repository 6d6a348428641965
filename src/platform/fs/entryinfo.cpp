#include "entryinfo.h"

#include "hostfs.h"
#include "platform/attributes/fatattrib.h"
#include "platform/attributes/fileattributes.h"
#include "platform/attributes/listedattribs.h"
#include "platform/attributes/storedattribcache.h"

#include <cerrno>

#include <fcntl.h>

namespace platform::detail {

namespace {

bool sameDevice(const struct statx &a, const struct statx &b)
{
    return a.stx_dev_major == b.stx_dev_major && a.stx_dev_minor == b.stx_dev_minor;
}

// True when the answer is final: a value, or none stored.
bool readStored(int dirFd, const char *name, bool follow, bool *readXattrs, bool keepRawValue, EntryFacts &out)
{
    const ssize_t r = readXattrValue(
        [&](char *buffer, size_t size) { return getXattrAt(dirFd, name, kDosAttribName, buffer, size, follow); },
        [&](const char *value, ssize_t length) {
            out.stored = parseDosAttrib(value, length);
            if (keepRawValue)
                out.storedValue = QByteArray(value, length);
        });
    if (r == -ENOTSUP)
        *readXattrs = false;
    return r >= 0 || r == -ENODATA;
}

// The stored attributes of the inode `st` describes, remembered or read. A
// listing keeps what it reads of the folder's own entries itself.
void readStoredOnce(int dirFd, const char *name, const struct statx &st, bool follow, bool *readXattrs,
                    bool keepRawValue, const FolderFacts &folder, EntryFacts &out)
{
    const bool listed = folder.listing && !follow && folder.stat && sameDevice(st, *folder.stat);
    size_t at = folder.at;
    // The raw value is wanted only to change it: read it fresh then.
    if (!keepRawValue
        && (listed ? folder.listed && folder.listed->find(at, st, out.stored) : lookupStoredAttrib(st, out.stored))) {
        out.storedKnown = true;
        return;
    }
    out.storedKnown = readStored(dirFd, name, follow, readXattrs, keepRawValue, out);
    if (out.storedKnown && !listed)
        rememberStoredAttrib(st, out.stored);
}

bool isFatEntry(int dirFd, const char *name)
{
    Fd fd(::openat(dirFd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    return fd.isValid() && isFatFileSystem(fd.get());
}

} // namespace

int readEntry(int dirFd, const char *name, FolderFacts &folder, bool keepRawValue, EntryFacts &out)
{
    out.linkResolves = false;
    out.mountPoint = false;
    out.fat = false;
    out.stored = DosAttrib();
    out.storedKnown = false;
    out.storedValue.clear();
    if (const int err = statAt(dirFd, name, out.stat))
        return err;
    if (S_ISLNK(out.stat.stx_mode)) {
        // A link keeps nothing of its own; a link to a file reports its file.
        out.linkResolves = statAt(dirFd, name, out.target, true) == 0;
        if (out.linkResolves && !S_ISDIR(out.target.stx_mode)) {
            bool xattrs = true; // the target may live on another file system
            readStoredOnce(dirFd, name, out.target, true, &xattrs, keepRawValue, folder, out);
        }
        return 0;
    }
    bool fat = folder.fat;
    bool ownXattrs = true;
    bool *readXattrs = &folder.readXattrs;
    if (S_ISDIR(out.stat.stx_mode) && folder.stat && !out.root) {
        out.mountPoint = !sameDevice(out.stat, *folder.stat) // a bind mount keeps the device
            || ((out.stat.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (out.stat.stx_attributes & STATX_ATTR_MOUNT_ROOT));
        if (out.mountPoint) {
            fat = isFatEntry(dirFd, name);
            readXattrs = &ownXattrs;
        }
    }
    if (fat) {
        quint32 byte = 0;
        if (getFatAttributes(dirFd, name, byte) == 0) {
            out.fat = true;
            out.stored.valid = true;
            out.stored.attributes = byte;
        }
        return 0;
    }
    if (*readXattrs)
        readStoredOnce(dirFd, name, out.stat, false, readXattrs, keepRawValue, folder, out);
    return 0;
}

int readLocatedEntry(const Location &at, FolderFacts &folder, bool keepRawValue, EntryFacts &out)
{
    struct statx parentStat;
    const bool haveParent = !at.root
        && ::statx(at.parent.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS, &parentStat) == 0;
    folder.stat = haveParent ? &parentStat : nullptr;
    folder.fat = isFatFileSystem(at.parent.get());
    out.root = at.root;
    const int err = readEntry(at.parent.get(), at.name.constData(), folder, keepRawValue, out);
    folder.stat = nullptr;
    return err;
}

bool isDotName(const char *name)
{
    return name[0] == '.';
}

bool isDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

quint32 attributesOf(const EntryFacts &facts, bool dotName)
{
    quint32 a = 0;
    if (facts.isLink())
        a |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (dotName && !facts.root && !facts.fat)
        a |= FILE_ATTRIBUTE_HIDDEN;
    if (facts.mountPoint)
        a |= FILE_ATTRIBUTE_TEMPORARY;
    if (facts.isLinkToFolder())
        return a | FILE_ATTRIBUTE_DIRECTORY;
    if (facts.isLink() && !facts.linkResolves)
        return a; // a broken link: nothing but itself

    const mode_t mode = facts.shown().stx_mode;
    const bool folder = S_ISDIR(mode);
    if (folder)
        a |= FILE_ATTRIBUTE_DIRECTORY;
    if (facts.fat) {
        a |= facts.stored.attributes & kFatAttributeMask;
    } else {
        // Read-only is a file's mode, but only stored for a folder: it never
        // keeps anyone from changing what the folder holds.
        if (!folder && !(mode & S_IWUSR))
            a |= FILE_ATTRIBUTE_READONLY;
        if (facts.stored.valid)
            a |= facts.stored.attributes & storedAttributeMask(folder);
        else if (!folder)
            a |= FILE_ATTRIBUTE_ARCHIVE; // nothing stored: as a newly written file
    }
    return a != 0 ? a : FILE_ATTRIBUTE_NORMAL;
}

FileTime fileTime(const struct statx_timestamp &t)
{
    return fileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

void fillFindData(const EntryFacts &facts, quint32 attributes, FindData &out)
{
    const struct statx &st = facts.shown();
    out.attributes = attributes;
    if (facts.stored.createTime != 0)
        out.creationTime = facts.stored.createTime;
    else
        out.creationTime = fileTime((st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_ctime);
    out.lastAccessTime = fileTime(st.stx_atime);
    out.lastWriteTime = fileTime(st.stx_mtime);
    const quint64 size = S_ISDIR(st.stx_mode) ? 0 : st.stx_size;
    out.sizeHigh = quint32(size >> 32);
    out.sizeLow = quint32(size & 0xFFFFFFFFu);
    out.objectId = 0;
    out.hostRegular = S_ISREG(facts.stat.stx_mode);
}

} // namespace platform::detail
