#include "filesystem.h"

#include "devicepath.h"
#include "hostfs.h"
#include "tempsibling.h"
#include "platform/attributes/dosattrib.h"
#include "platform/attributes/listedattribs.h"
#include "platform/attributes/storedattribcache.h"
#include "platform/base/lasterror.h"
#include "platform/testing/faultpoints.h"
#include "platform/work/longwork.h"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

// Copying, moving and writing files so that a failure never leaves a
// half-written file and never destroys the file that was to be replaced.
namespace platform {

using namespace detail;

namespace {

// An entry of a folder held open: a located path, or a name in a folder
// that a folder copy holds for all its files.
struct Place {
    int dir;
    const QByteArray &name;
    bool root = false;
    bool keepsNewModes = false; // folderKeepsNewModes(dir), when known
    // What the last listing of the folder kept, and where to look in it
    // first (both or neither).
    const ListedAttribs *listed = nullptr;
    size_t *listedAt = nullptr;
};

Place placeOf(const Location &at)
{
    return {at.parent.get(), at.name, at.root};
}

// Injected faults on the way through.
struct Limits {
    ByteFault read;
    ByteFault write;
    int unnamed = 0; // the unnamed file's creation fails with it
    ByteFault stop;
};

// Whether both entries, links followed, are one file: a link copied onto its
// own target would otherwise replace the file by a link to itself.
bool sameTarget(const Place &a, const Place &b)
{
    struct statx x, y;
    return statAt(a.dir, a.name.constData(), x, true) == 0 && statAt(b.dir, b.name.constData(), y, true) == 0
        && sameInode(x, y);
}

// A file (a link: its target) with the read-only attribute, which is
// the owner's write permission missing.
bool isReadOnlyFile(const Place &at)
{
    struct statx st;
    return statAt(at.dir, at.name.constData(), st, true) == 0 && S_ISREG(st.stx_mode)
        && !(st.stx_mode & S_IWUSR);
}

// Whether both locations name one entry: the same name in the same folder.
bool sameEntry(const Location &a, const Location &b)
{
    struct stat x, y;
    return a.name == b.name && ::fstat(a.parent.get(), &x) == 0 && ::fstat(b.parent.get(), &y) == 0
        && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// Removes the old name of a file that now has its new one too; 0 or errno.
int removeOldName(const Location &src, const QString &from)
{
    if (const int err = injectedFault(FsOperation::Delete, from))
        return err;
    return ::unlinkat(src.parent.get(), src.name.constData(), 0) == 0 ? 0 : errno;
}

int writeAll(int fd, const char *data, qint64 size, qint64 *written, const ByteFault &fault)
{
    while (size > 0) {
        qint64 chunk = size;
        if (fault.after >= 0) {
            if (*written >= fault.after)
                return fault.error;
            chunk = qMin(chunk, fault.after - *written);
        }
        const ssize_t n = retryOnIntr([&] { return ::write(fd, data, size_t(chunk)); });
        if (n < 0)
            return errno;
        data += n;
        size -= n;
        *written += n;
    }
    return 0;
}

int copyByReading(int in, int out, qint64 copied, const Limits &limits)
{
    static constexpr qint64 kChunk = 256 * 1024;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    qint64 written = copied;
    for (;;) {
        qint64 want = kChunk;
        if (limits.read.after >= 0) {
            if (copied >= limits.read.after)
                return limits.read.error;
            want = qMin(want, limits.read.after - copied);
        }
        const ssize_t n = retryOnIntr([&] { return ::read(in, buffer.data(), size_t(want)); });
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        copied += n;
        if (const int err = writeAll(out, buffer.constData(), n, &written, limits.write))
            return err;
        if (limits.stop.after > 0 && copied >= limits.stop.after)
            requestStop();
        if (!noteCopied(n))
            return ECANCELED;
    }
}

// In-kernel copy where the file systems allow it, else read and write. A
// long work that is stopped stops the copy within one block. A file is
// copied as long as it was when opened (size); one that says it is empty
// (a kernel's generated file) is read to its end.
int copyData(int in, int out, qint64 size, const Limits &limits)
{
    static constexpr size_t kBlock = size_t(8) << 20;
    qint64 copied = 0;
    if (limits.read.after < 0 && limits.write.after < 0 && limits.stop.after <= 0) {
        for (;;) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kBlock, 0);
            if (n > 0) {
                copied += n;
                if (!noteCopied(n))
                    return ECANCELED;
                if (size > 0 && copied >= size)
                    return 0;
                continue;
            }
            if (n == 0 && copied > 0)
                return 0;
            if (n < 0 && copied > 0)
                return errno;
            if (n < 0 && errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP
                && errno != EBADF && errno != EPERM)
                return errno;
            break; // nothing copied yet: let read() decide, it also knows an empty file
        }
    }
    return copyByReading(in, out, copied, limits);
}

// The stored attributes of one open file given to another; 0 or errno.
int copyStoredAttributes(int from, int to)
{
    int err = 0;
    readXattrValue(
        [&](char *buffer, size_t size) {
            const ssize_t n = ::fgetxattr(from, kDosAttribName, buffer, size);
            return n < 0 ? -ssize_t(errno) : n;
        },
        [&](const char *value, ssize_t length) {
            if (length > 0 && ::fsetxattr(to, kDosAttribName, value, size_t(length), 0) != 0 && errno != ENOTSUP)
                err = errno;
        });
    return err;
}

// Whether a listing of the folder found already that the file keeps nothing stored.
bool storesNothing(const Place &src, const struct statx &from)
{
    DosAttrib seen;
    const bool known = src.listed ? src.listed->find(*src.listedAt, from, seen) : lookupStoredAttrib(from, seen);
    return known && !seen.present;
}

// The regular file at src copied into temp, a new file beside dst, unnamed
// where the file system allows, with its permissions, stored attributes and
// last-write time: all but its name. in: the file, opened; from: its statx.
int writeCopy(const Fd &in, const struct statx &from, const Place &src, const Place &dst, const Limits &limits,
              TempSibling &temp)
{
    // Where nothing masks it, the unnamed file has the source's mode from
    // the start, which saves a call per file; else it is set before naming.
    const mode_t mode = from.stx_mode & 0777;
    const bool modeAtCreation = dst.keepsNewModes && umaskKeeps(mode);
    if (const int err = temp.create(modeAtCreation ? mode : 0600, limits.unnamed))
        return err;
    if (const int err = copyData(in.get(), temp.fd(), qint64(from.stx_size), limits))
        return err;

    if (!storesNothing(src, from)) {
        if (const int err = copyStoredAttributes(in.get(), temp.fd()))
            return err;
    }
    if (!(modeAtCreation && temp.isUnnamed()) && ::fchmod(temp.fd(), mode) != 0)
        return errno;
    const struct timespec times[2] = {{0, UTIME_OMIT}, {from.stx_mtime.tv_sec, from.stx_mtime.tv_nsec}};
    if (::futimens(temp.fd(), times) != 0)
        return errno;
    return 0;
}

// The copy in temp given dst's name: flushed first when it replaces a file,
// so a crash leaves the old one. made: the copy as named.
int nameCopy(TempSibling &temp, const Place &dst, bool replacing, EntryId *made)
{
    if (const int err = temp.commit(dst.name.constData(), replacing))
        return err;
    // Still open: the very file named, whatever the name holds by now.
    struct statx st;
    if (made && ::statx(temp.fd(), "", AT_EMPTY_PATH, STATX_BASIC_STATS, &st) == 0)
        *made = entryIdOf(st);
    return 0;
}

int copyOpenedRegular(const Fd &in, const struct statx &from, const Place &src, const Place &dst, bool replacing,
                      const Limits &limits, EntryId *made)
{
    TempSibling temp(dst.dir);
    if (const int err = writeCopy(in, from, src, dst, limits, temp))
        return err;
    return nameCopy(temp, dst, replacing, made);
}

// The caller found a regular file at src, so it is opened at once; what
// else may have taken its place meanwhile is closed again unread.
int copyRegular(const Place &src, const Place &dst, bool replacing, const Limits &limits, struct statx &from,
                EntryId *made)
{
    Fd in;
    if (const int err = openListedFileAt(src.dir, src.name.constData(), in, from))
        return err;
    return copyOpenedRegular(in, from, src, dst, replacing, limits, made);
}

// A symbolic link is copied as a link to the same target, never followed.
// A new link is made under its name at once, which never replaces anything.
int copyLink(const Place &src, const Place &dst, bool replacing, EntryId *made)
{
    QByteArray target(256, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::readlinkat(src.dir, src.name.constData(), target.data(), size_t(target.size()));
        if (n < 0)
            return errno;
        if (n < target.size()) {
            target.truncate(n);
            break;
        }
        target.resize(target.size() * 4);
    }
    if (stepAbandoned())
        return ECANCELED; // over for the user, as TempSibling::commit
    if (!replacing) {
        if (::symlinkat(target.constData(), dst.dir, dst.name.constData()) != 0)
            return errno;
    } else {
        TempSibling temp(dst.dir);
        if (const int err = temp.createLink(target))
            return err;
        if (const int err = temp.commit(dst.name.constData(), replacing))
            return err;
    }
    struct statx st;
    if (made && statAt(dst.dir, dst.name.constData(), st) == 0 && S_ISLNK(st.stx_mode))
        *made = entryIdOf(st);
    return 0;
}

// Checks and copies src onto dst; 0 or errno. Where no existing file may
// be replaced the destination is not looked at first: the copy is named
// only if the name is free, so a taken one fails it anyway. listedRegular:
// the folder's listing has just reported a regular file there, so it is
// opened without a look first; if that fails, what is there now is looked
// at as when nothing was known.
// from: what was copied, as it was opened; made: the copy as named.
bool ontoItself(const Place &src, const Place &dst, const struct statx &from, const struct statx &to)
{
    return sameInode(from, to) || sameTarget(src, dst);
}

// A new name that was taken fails with EEXIST, unless what took it is the
// source itself: a copy onto itself.
int unlessOntoItself(int err, const Place &src, const Place &dst, const struct statx &from)
{
    struct statx to;
    if (err == EEXIST && statAt(dst.dir, dst.name.constData(), to) == 0 && ontoItself(src, dst, from, to))
        return EINVAL;
    return err;
}

int copyEntryFrom(const Place &src, const Place &dst, bool failIfExists, const Limits &limits, bool listedRegular,
                  struct statx &from, EntryId *made)
{
    if (dst.root)
        return EISDIR;
    const auto unlessOntoItself = [&](int err) { return platform::unlessOntoItself(err, src, dst, from); };
    if (Fd in; failIfExists && listedRegular && openListedFileAt(src.dir, src.name.constData(), in, from) == 0)
        return unlessOntoItself(copyOpenedRegular(in, from, src, dst, false, limits, made));
    if (const int err = statAt(src.dir, src.name.constData(), from))
        return err;
    if (S_ISDIR(from.stx_mode))
        return EISDIR;
    if (!S_ISREG(from.stx_mode) && !S_ISLNK(from.stx_mode))
        return EINVAL; // devices, pipes and sockets have no content to copy
    if (failIfExists)
        return unlessOntoItself(S_ISLNK(from.stx_mode) ? copyLink(src, dst, false, made)
                                                        : copyRegular(src, dst, false, limits, from, made));
    struct statx to;
    const int toErr = statAt(dst.dir, dst.name.constData(), to);
    if (toErr == 0) {
        if (ontoItself(src, dst, from, to))
            return EINVAL; // onto itself
        if (S_ISDIR(to.stx_mode))
            return EISDIR;
        if (isReadOnlyFile(dst))
            return EACCES; // a copy replaces no read-only file, as the device's does not
    } else if (toErr != ENOENT) {
        return toErr;
    }
    const bool replacing = toErr == 0;
    return S_ISLNK(from.stx_mode) ? copyLink(src, dst, replacing, made)
                                  : copyRegular(src, dst, replacing, limits, from, made);
}

int copyEntry(const Place &src, const Place &dst, bool failIfExists, const Limits &limits, bool listedRegular = false,
              CopiedIds *ids = nullptr)
{
    struct statx from;
    const int err = copyEntryFrom(src, dst, failIfExists, limits, listedRegular, from, ids ? &ids->made : nullptr);
    if (!err && ids)
        ids->source = entryIdOf(from);
    return err;
}

Limits copyLimits(const QString &from, const QString &to)
{
    return {injectedByteFault(FsOperation::Read, from), injectedByteFault(FsOperation::Write, to),
            injectedFault(FsOperation::UnnamedFile, to), injectedByteFault(FsOperation::Stop, from)};
}

} // namespace

bool copyFile(const QString &from, const QString &to, bool failIfExists, CopiedIds *ids)
{
    if (faults::any()) {
        int err = injectedFault(FsOperation::Copy, from);
        if (!err)
            err = injectedFault(FsOperation::Copy, to);
        if (!err)
            err = injectedFault(FsOperation::Open, from);
        if (err)
            return fail(err, "Copy", from, to);
    }
    Location src, dst;
    if (const int err = locate(from, src))
        return fail(err, "Copy", from, to);
    if (const int err = locate(to, dst))
        return fail(err, "Copy", from, to);
    if (const int err = copyEntry(placeOf(src), placeOf(dst), failIfExists, copyLimits(from, to), false, ids))
        return fail(err, "Copy", from, to);
    clearLastError();
    return true;
}

struct FolderCopyPair::Held {
    QString source, target;
    Fd sourceDir, targetDir;
    bool targetKeepsNewModes = false;
    std::shared_ptr<const ListedAttribs> listed; // the source's last listing, files copied in its order
    size_t listedAt = 0;
};

namespace {

// The host name of path when it names an entry directly inside folder.
bool nameInside(const QString &path, const QString &folder, QByteArray &hostName)
{
    const qsizetype at = folder.size() + 1;
    if (path.size() <= at || path.at(at - 1) != u'\\' || !path.startsWith(folder))
        return false;
    const QStringView name = QStringView(path).mid(at);
    if (name.contains(u'\\') || name == u"." || name == u"..")
        return false;
    hostName = hostNameFromDevice(name.toString());
    return true;
}

} // namespace

FolderCopyPair::FolderCopyPair(const QString &source, const QString &target) : d(std::make_unique<Held>())
{
    d->source = source;
    d->target = target;
    if (openFolder(source, O_PATH, d->sourceDir) != 0 || openFolder(target, O_PATH, d->targetDir) != 0)
        d->sourceDir.reset(); // every file goes by its paths
    else
        d->targetKeepsNewModes = folderKeepsNewModes(d->targetDir.get());
    if (struct statx st; d->sourceDir.isValid() && ::statx(d->sourceDir.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS, &st) == 0)
        d->listed = recallListing(st);
}

FolderCopyPair::~FolderCopyPair() = default;

struct PreparedCopy::Data {
    QByteArray fromName, toName;
    struct statx from {};
    int error = 0; // what writing the copy failed with
    std::optional<TempSibling> temp;
};

PreparedCopy::PreparedCopy() = default;
PreparedCopy::~PreparedCopy() = default;
PreparedCopy::PreparedCopy(PreparedCopy &&) noexcept = default;
PreparedCopy &PreparedCopy::operator=(PreparedCopy &&) noexcept = default;

PreparedCopy FolderCopyPair::prepareFile(const QString &from, const QString &to) const
{
    PreparedCopy prepared;
    auto p = std::make_unique<PreparedCopy::Data>();
    if (!d->sourceDir.isValid() || !isValidDevicePath(from) || !isValidDevicePath(to)
        || !nameInside(from, d->source, p->fromName) || !nameInside(to, d->target, p->toName))
        return prepared;
    Limits limits;
    if (faults::any()) {
        p->error = injectedFault(FsOperation::Copy, from);
        if (!p->error)
            p->error = injectedFault(FsOperation::Copy, to);
        if (!p->error)
            p->error = injectedFault(FsOperation::Open, from);
        limits = copyLimits(from, to);
    }
    Fd in;
    if (!p->error && openListedFileAt(d->sourceDir.get(), p->fromName.constData(), in, p->from) != 0)
        return prepared; // something else there now: copyFile looks at it
    if (!p->error) {
        // A cursor of its own: the listing's is the naming thread's.
        size_t listedAt = 0;
        const Place source {d->sourceDir.get(), p->fromName, false, false, d->listed.get(), &listedAt};
        const Place target {d->targetDir.get(), p->toName, false, d->targetKeepsNewModes};
        p->temp.emplace(d->targetDir.get());
        p->error = writeCopy(in, p->from, source, target, limits, *p->temp);
    }
    prepared.d = std::move(p);
    return prepared;
}

bool FolderCopyPair::copyFile(const QString &from, const QString &to, bool failIfExists, bool listedRegular,
                              CopiedIds *ids, PreparedCopy *prepared) const
{
    if (prepared && prepared->d) {
        // The copy goes now, named or not.
        const std::unique_ptr<PreparedCopy::Data> p = std::move(prepared->d);
        const Place target {d->targetDir.get(), p->toName, false, d->targetKeepsNewModes};
        const Place source {d->sourceDir.get(), p->fromName};
        const int err = p->error ? p->error
                                 : unlessOntoItself(nameCopy(*p->temp, target, false, ids ? &ids->made : nullptr),
                                                    source, target, p->from);
        if (err)
            return fail(err, "Copy", from, to);
        if (ids)
            ids->source = entryIdOf(p->from);
        clearLastError();
        return true;
    }
    QByteArray fromName, toName;
    if (!d->sourceDir.isValid() || faults::any() || !isValidDevicePath(from) || !isValidDevicePath(to)
        || !nameInside(from, d->source, fromName) || !nameInside(to, d->target, toName))
        return platform::copyFile(from, to, failIfExists, ids);
    const Place target {d->targetDir.get(), toName, false, d->targetKeepsNewModes};
    const Place source {d->sourceDir.get(), fromName, false, false, d->listed.get(), &d->listedAt};
    if (const int err = copyEntry(source, target, failIfExists, Limits(), listedRegular, ids))
        return fail(err, "Copy", from, to);
    clearLastError();
    return true;
}

bool moveFile(const QString &from, const QString &to)
{
    if (faults::any()) {
        int err = injectedFault(FsOperation::Move, from);
        if (!err)
            err = injectedFault(FsOperation::Move, to);
        if (err)
            return fail(err, "Move", from, to);
    }
    Location src, dst;
    if (const int err = locate(from, src))
        return fail(err, "Move", from, to);
    if (const int err = locate(to, dst))
        return fail(err, "Move", from, to);
    if (src.root || dst.root)
        return fail(EBUSY, "Move", from, to);
    struct statx st;
    if (const int err = statAt(src.parent.get(), src.name.constData(), st))
        return fail(err, "Move", from, to);
    const bool folder = S_ISDIR(st.stx_mode);
    if (sameEntry(src, dst)) {
        clearLastError(); // onto its own path: nothing to do
        return true;
    }

    int err = injectedFault(FsOperation::Rename, to);
    if (!err && ::renameat2(src.parent.get(), src.name.constData(), dst.parent.get(), dst.name.constData(),
                            RENAME_NOREPLACE) != 0)
        err = errno;
    if (!err) {
        clearLastError();
        return true;
    }
    if ((err == EINVAL || err == ENOSYS || err == ENOTSUP) && !folder) {
        // No RENAME_NOREPLACE on this file system: a hard link never replaces.
        // If the old name stays, the new one goes again: one name or the other.
        if (::linkat(src.parent.get(), src.name.constData(), dst.parent.get(), dst.name.constData(), 0) != 0)
            return fail(errno, "Move", from, to);
        if ((err = removeOldName(src, from))) {
            ::unlinkat(dst.parent.get(), dst.name.constData(), 0);
            return fail(err, "Move", from, to);
        }
        clearLastError();
        return true;
    }
    if (err != EXDEV || folder)
        return fail(err, "Move", from, to);

    // Another file system: copy, then remove the original. If it cannot be
    // removed, the copy goes again, so the move happened completely or not at all.
    if ((err = copyEntry(placeOf(src), placeOf(dst), true, copyLimits(from, to))))
        return fail(err, "Move", from, to);
    if ((err = removeOldName(src, from))) {
        ::unlinkat(dst.parent.get(), dst.name.constData(), 0);
        return fail(err, "Move", from, to);
    }
    syncFolder(src.parent.get());
    clearLastError();
    return true;
}

bool writeFileAtomically(const QString &path, const QByteArray &data, bool failIfExists)
{
    if (const int err = injectedFault(FsOperation::Create, path))
        return fail(err, "Write", path);
    const ByteFault writeFault = injectedByteFault(FsOperation::Write, path);
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Write", path);
    if (at.root)
        return fail(EISDIR, "Write", path);
    struct statx st;
    const int existing = statAt(at.parent.get(), at.name.constData(), st);
    if (existing == 0 && failIfExists)
        return fail(EEXIST, "Write", path);
    if (existing == 0 && S_ISDIR(st.stx_mode))
        return fail(EISDIR, "Write", path);
    // Creating a file afresh cannot open a read-only one: it stays as it is.
    if (existing == 0 && isReadOnlyFile(Place{at.parent.get(), at.name}))
        return fail(EACCES, "Write", path);

    TempSibling temp(at.parent.get());
    if (const int err = temp.create(0666, injectedFault(FsOperation::UnnamedFile, path)))
        return fail(err, "Write", path);
    qint64 written = 0;
    if (const int err = writeAll(temp.fd(), data.constData(), data.size(), &written, writeFault))
        return fail(err, "Write", path);
    if (const int err = temp.commit(at.name.constData(), existing == 0))
        return fail(err, "Write", path);
    clearLastError();
    return true;
}

} // namespace platform
