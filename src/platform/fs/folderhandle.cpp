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
    if (::statx(state->fd.get(), "", AT_EMPTY_PATH, STATX_TYPE | STATX_MNT_ID, &state->stat) != 0)
        return fail(errno, "Find", path);
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
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MNT_ID, &state->stat) != 0)
        return fail(errno, "Find", path);
    state->mountPoint = isMountRootFd(fd, state->stat, parent.d->fd.get(), parent.d->stat);
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

} // namespace platform
