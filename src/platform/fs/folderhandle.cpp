#include "folderhandle.h"

#include "devicepath.h"
#include "devicepathparts.h"
#include "entryinfo.h"
#include "hostfs.h"
#include "walkguard.h"
#include "wildcard.h"
#include "platform/attributes/fatattrib.h"
#include "platform/base/lasterror.h"
#include "platform/testing/faultpoints.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

using namespace detail;

struct FolderHandle::State {
    Fd fd;
    QString path;
    // openToRemove: the folder it was found in, its name there, and the
    // error an injected fault gives its listing.
    Fd parent;
    QByteArray name;
    int listFault = 0;
    struct statx stat {};
    bool mountPoint = false;
    std::optional<Wildcard> wildcard;
    alignas(struct dirent64) char buffer[32768];
    ssize_t filled = 0;
    ssize_t offset = 0;
};

namespace {

QString withBackslash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('\\')) ? folder : folder + QLatin1Char('\\');
}

int injectedListFault(const QString &folderPath)
{
    return faults::any() ? injectedFindFault(folderPath + QStringLiteral("*.*")) : 0;
}

} // namespace

FolderHandle::FolderHandle() = default;

FolderHandle::~FolderHandle() = default;

bool FolderHandle::open(const QString &folderPath)
{
    close();
    const QString path = withBackslash(folderPath);
    if (!isValidDevicePath(path))
        return fail(EINVAL, "Find", path);
    if (const int err = injectedListFault(path))
        return fail(err, "Find", path);
    auto state = std::make_unique<State>();
    state->path = path;
    if (const int err = openFolder(path, O_RDONLY, state->fd))
        return fail(err, "Find", path);
    if (const int err = statOpen(state->fd.get(), state->stat))
        return fail(err, "Find", path);
    d = std::move(state);
    clearLastError();
    return true;
}

bool FolderHandle::open(const FolderHandle &parent, const FolderEntry &entry)
{
    close();
    if (!parent.d)
        return fail(EBADF, "Find", entry.name);
    const QString path = parent.d->path + entry.name + QLatin1Char('\\');
    if (const int err = injectedListFault(path))
        return fail(err, "Find", path);
    auto state = std::make_unique<State>();
    state->path = path;
    const int fd = retryOnIntr([&] {
        return ::openat(parent.d->fd.get(), entry.hostName.constData(),
                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    });
    if (fd < 0)
        return fail(errno, "Find", path);
    state->fd.reset(fd);
    if (const int err = statOpen(fd, state->stat))
        return fail(err, "Find", path);
    state->mountPoint = isMountRootFd(fd, state->stat, parent.d->fd.get(), parent.d->stat);
    d = std::move(state);
    clearLastError();
    return true;
}

bool FolderHandle::openToRemove(const QString &folderPath)
{
    close();
    const QString path = withBackslash(folderPath);
    auto state = std::make_unique<State>();
    state->path = path;
    state->listFault = injectedListFault(path);
    Location at;
    if (const int err = locate(path.chopped(1), at))
        return fail(err, "Find", path);
    if (at.root)
        return fail(EBUSY, "Find", path);
    const int fd = retryOnIntr([&] {
        return ::openat(at.parent.get(), at.name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    });
    if (fd < 0)
        return fail(errno, "Find", path);
    state->fd.reset(fd);
    struct statx parent {};
    int err = statOpen(fd, state->stat);
    if (!err)
        err = statOpen(at.parent.get(), parent);
    if (err)
        return fail(err, "Find", path);
    state->mountPoint = isMountRootFd(fd, state->stat, at.parent.get(), parent);
    state->parent = std::move(at.parent);
    state->name = at.name;
    d = std::move(state);
    clearLastError();
    return true;
}

void FolderHandle::close()
{
    d.reset();
}

bool FolderHandle::isOpen() const
{
    return d != nullptr;
}

const QString &FolderHandle::path() const
{
    static const QString none;
    return d ? d->path : none;
}

bool FolderHandle::isMountPoint() const
{
    return d && d->mountPoint;
}

bool FolderHandle::isPseudoFileSystem() const
{
    return d && isPseudoFileSystemFd(d->fd.get());
}

int FolderHandle::descriptor() const
{
    return d ? d->fd.get() : -1;
}

bool FolderHandle::first(const QString &pattern, FolderEntry &out)
{
    if (!d)
        return fail(EBADF, "Find", pattern);
    if (d->listFault)
        return fail(d->listFault, "Find", d->path + pattern);
    d->wildcard.emplace(pattern);
    d->filled = d->offset = 0;
    if (::lseek(d->fd.get(), 0, SEEK_SET) < 0)
        return fail(errno, "Find", d->path + pattern);
    return next(out);
}

bool FolderHandle::next(FolderEntry &out)
{
    if (!d || !d->wildcard)
        return fail(EBADF, "Find next", QString());
    for (;;) {
        if (d->offset >= d->filled) {
            const ssize_t n = ::getdents64(d->fd.get(), d->buffer, sizeof d->buffer);
            if (n <= 0)
                return fail(n < 0 ? errno : ENOENT, "Find next", d->path);
            d->filled = n;
            d->offset = 0;
        }
        const auto *entry = reinterpret_cast<const struct dirent64 *>(d->buffer + d->offset);
        d->offset += entry->d_reclen;
        if (isDotOrDotDot(entry->d_name))
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct statx st;
            if (statAt(d->fd.get(), entry->d_name, st) == ENOENT)
                continue; // removed while we were listing
            type = IFTODT(st.stx_mode);
        }
        out.type = type == DT_REG ? EntryType::File
            : type == DT_DIR      ? EntryType::Folder
            : type == DT_LNK      ? EntryType::Link
                                  : EntryType::Other;
        const qsizetype size = qsizetype(std::strlen(entry->d_name));
        out.hostName = QByteArray(entry->d_name, size);
        detail::deviceNameFromHost(entry->d_name, size, out.name);
        out.matches = d->wildcard->matches(out.name);
        clearLastError();
        return true;
    }
}

bool FolderHandle::find(const FolderEntry &entry, FindData &out) const
{
    if (!d)
        return fail(EBADF, "Find", entry.name);
    FolderFacts folder;
    folder.stat = &d->stat;
    folder.fat = isFatFileSystem(d->fd.get());
    EntryFacts facts;
    if (const int err = readEntry(d->fd.get(), entry.hostName.constData(), folder, false, facts))
        return fail(err, "Find", d->path + entry.name);
    fillFindData(facts, attributesOf(facts, isDotName(entry.hostName.constData())), out);
    out.name = entry.name;
    clearLastError();
    return true;
}

bool FolderHandle::identity(EntryId &out) const
{
    if (!d)
        return fail(EBADF, "Identity", QString());
    out = entryIdOf(d->stat);
    return true;
}

bool FolderHandle::identity(const FolderEntry &entry, EntryId &out) const
{
    if (!d)
        return fail(EBADF, "Identity", entry.name);
    struct statx st;
    if (const int err = statAt(d->fd.get(), entry.hostName.constData(), st))
        return fail(err, "Identity", d->path + entry.name);
    out = entryIdOf(st);
    clearLastError();
    return true;
}

bool FolderHandle::isStillAtPath() const
{
    if (!d || !d->parent.isValid())
        return fail(EBADF, "Find", path());
    Location at;
    struct statx now;
    int err = locate(d->path.chopped(1), at);
    if (!err)
        err = at.root ? EBUSY : statAt(at.parent.get(), at.name.constData(), now);
    if (err)
        return fail(err, "Find", d->path);
    if (!sameInode(now, d->stat))
        return fail(ESTALE, "Find", d->path); // another folder is there now
    clearLastError();
    return true;
}

bool FolderHandle::removeSelf() const
{
    if (!d || !d->parent.isValid())
        return fail(EBADF, "Remove folder", path());
    const QString self = d->path.chopped(1);
    if (const int err = injectedFault(FsOperation::RemoveDir, self))
        return fail(err, "Remove folder", self);
    struct statx now;
    if (const int err = statAt(d->parent.get(), d->name.constData(), now))
        return fail(err, "Remove folder", self);
    if (!sameInode(now, d->stat))
        return fail(ESTALE, "Remove folder", self);
    if (::unlinkat(d->parent.get(), d->name.constData(), AT_REMOVEDIR) != 0)
        return fail(errno, "Remove folder", self);
    clearLastError();
    return true;
}

bool FolderHandle::deleteEntry(const FolderEntry &entry) const
{
    if (!d)
        return fail(EBADF, "Delete", entry.name);
    const QString path = d->path + entry.name;
    if (const int err = injectedFault(FsOperation::Delete, path))
        return fail(err, "Delete", path);
    // unlinkat removes a link itself and refuses folders (EISDIR).
    if (::unlinkat(d->fd.get(), entry.hostName.constData(), 0) != 0)
        return fail(errno, "Delete", path);
    clearLastError();
    return true;
}

bool FolderHandle::removeFolder(const FolderEntry &entry) const
{
    if (!d)
        return fail(EBADF, "Remove folder", entry.name);
    const QString path = d->path + entry.name;
    if (const int err = injectedFault(FsOperation::RemoveDir, path))
        return fail(err, "Remove folder", path);
    if (::unlinkat(d->fd.get(), entry.hostName.constData(), AT_REMOVEDIR) != 0)
        return fail(errno, "Remove folder", path);
    clearLastError();
    return true;
}

bool FolderHandle::isSharedEntry(const FolderEntry &entry) const
{
    struct statx st;
    return d && statAt(d->fd.get(), entry.hostName.constData(), st) == 0 && isSharedInode(st);
}

bool FolderHandle::setAttributes(const FolderEntry &entry, quint32 attributes) const
{
    if (!d)
        return fail(EBADF, "Set attributes", entry.name);
    const QString path = d->path + entry.name;
    if (const int err = injectedFault(FsOperation::SetAttributes, path))
        return fail(err, "Set attributes", path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return fail(EINVAL, "Set attributes", path);
    Location at;
    at.parent.reset(::fcntl(d->fd.get(), F_DUPFD_CLOEXEC, 0));
    if (!at.parent.isValid())
        return fail(errno, "Set attributes", path);
    at.name = entry.hostName;
    return setLocatedAttributes(at, path, attributes);
}

} // namespace platform
