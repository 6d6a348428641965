#include "findfile.h"

#include "devicepath.h"
#include "devicepathparts.h"
#include "entryinfo.h"
#include "fatattrib.h"
#include "faultpoints.h"
#include "hostfs.h"
#include "lasterror.h"
#include "wildcard.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>

namespace platform {

using namespace detail;

struct FindFile::State {
    explicit State(const QString &pattern) : wildcard(pattern) {}
    ~State()
    {
        if (dir)
            ::closedir(dir);
    }

    DIR *dir = nullptr;
    struct statx folderStat {};
    Wildcard wildcard;
    QString folder;    // device path of the folder, for messages
    FolderFacts folderFacts;
    EntryFacts facts;
    // A search for one exact name yields it from first() and nothing after.
    bool single = false;
};

namespace {

// "folder\pattern" split at the last backslash; no backslash: the root.
void splitPattern(const QString &pattern, QString &folder, QString &name)
{
    const qsizetype slash = pattern.lastIndexOf(QLatin1Char('\\'));
    folder = slash < 0 ? QString() : pattern.left(slash);
    name = slash < 0 ? pattern : pattern.mid(slash + 1);
}

void describe(const EntryFacts &facts, const char *hostName, FindData &out)
{
    fillFindData(facts, attributesOf(facts, isDotName(hostName)), out);
}

} // namespace

FindFile::FindFile() = default;

FindFile::~FindFile() = default;

void FindFile::close()
{
    d.reset();
}

bool FindFile::isOpen() const
{
    return d != nullptr;
}

bool FindFile::first(const QString &pattern, FindData &out)
{
    close();
    QString folder, name;
    splitPattern(pattern, folder, name);
    if (!isValidDevicePath(pattern))
        return fail(EINVAL, "Find", pattern);
    if (const int err = injectedFindFault(pattern))
        return fail(err, "Find", pattern);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return fail(ENOENT, "Find", pattern);

    if (!Wildcard::hasWildcards(name)) {
        if (!findEntry(pattern, out))
            return false;
        d = std::make_unique<State>(name);
        d->single = true;
        return true;
    }

    auto state = std::make_unique<State>(name);
    state->folder = folder;
    Fd fd;
    if (const int err = openFolder(folder, O_RDONLY, fd))
        return fail(err, "Find", pattern);
    if (::statx(fd.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS, &state->folderStat) != 0)
        return fail(errno, "Find", pattern);
    state->folderFacts.stat = &state->folderStat;
    state->folderFacts.fat = isFatFileSystem(fd.get());
    state->dir = ::fdopendir(fd.get());
    if (!state->dir)
        return fail(errno, "Find", pattern);
    fd.release();
    d = std::move(state);
    if (next(out))
        return true;
    const int err = lastError().code;
    close();
    return fail(err ? err : ENOENT, "Find", pattern);
}

bool FindFile::next(FindData &out)
{
    if (!d)
        return fail(EBADF, "Find next", QString());
    if (d->single)
        return fail(ENOENT, "Find next", d->folder);
    const int dirFd = ::dirfd(d->dir);
    for (;;) {
        errno = 0;
        const struct dirent *entry = ::readdir(d->dir);
        if (!entry)
            return fail(errno ? errno : ENOENT, "Find next", d->folder);
        const char *hostName = entry->d_name;
        if (isDotOrDotDot(hostName))
            continue;
        // Decode into the caller's name, reusing its buffer when it owns one.
        detail::deviceNameFromHost(hostName, qsizetype(std::strlen(hostName)), out.name);
        if (!d->wildcard.matches(out.name))
            continue;
        if (const int err = readEntry(dirFd, hostName, d->folderFacts, false, d->facts)) {
            if (err == ENOENT)
                continue; // removed while we were listing
            return fail(err, "Find next", d->folder);
        }
        describe(d->facts, hostName, out);
        clearLastError();
        return true;
    }
}

bool findEntry(const QString &path, FindData &out)
{
    if (const int err = injectedFault(FsOperation::Find, path))
        return fail(err, "Find", path);
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Find", path);
    FolderFacts folder;
    EntryFacts facts;
    if (const int err = readLocatedEntry(at, folder, false, facts))
        return fail(err, "Find", path);
    describe(facts, at.name.constData(), out);
    out.name = at.root ? QString() : deviceNameFromHost(at.name);
    clearLastError();
    return true;
}

} // namespace platform
