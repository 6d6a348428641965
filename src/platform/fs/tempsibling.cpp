#include "tempsibling.h"

#include "hostfs.h"
#include "platform/base/procfile.h"
#include "platform/work/longwork.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform::detail {

namespace {

constexpr char kPrefix[] = ".ferrix-";
constexpr char kSuffix[] = ".tmp";

QByteArray randomName()
{
    return QByteArray(kPrefix) + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + kSuffix;
}

// ".ferrix-" + base-36 digits + ".tmp", exactly as randomName() makes them.
bool isOurTempName(const char *name)
{
    const size_t length = std::strlen(name);
    constexpr size_t fixed = sizeof kPrefix - 1 + sizeof kSuffix - 1;
    if (length <= fixed || std::strcmp(name + length - (sizeof kSuffix - 1), kSuffix) != 0)
        return false;
    for (const char *c = name + sizeof kPrefix - 1; c < name + length - (sizeof kSuffix - 1); ++c)
        if (!((*c >= '0' && *c <= '9') || (*c >= 'a' && *c <= 'z')))
            return false;
    return std::strncmp(name, kPrefix, sizeof kPrefix - 1) == 0;
}

template<typename Make>
int withFreshName(QByteArray &name, Make make)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = randomName();
        const int err = make(name.constData());
        if (err == 0)
            return 0;
        if (err != EEXIST) {
            name.clear();
            return err;
        }
    }
    name.clear();
    return EEXIST;
}

// O_TMPFILE is unknown to the kernel or the file system.
bool unnamedRefused(int err)
{
    return err == EOPNOTSUPP || err == EISDIR || err == EINVAL;
}

} // namespace

TempSibling::~TempSibling()
{
    if (!m_name.isEmpty())
        ::unlinkat(m_dirFd, m_name.constData(), 0);
    if (m_fd >= 0)
        ::close(m_fd); // after the unlink: the lock keeps a listing off it till then
}

bool folderKeepsNewModes(int dirFd)
{
    const ssize_t r = getXattrAt(dirFd, ".", "system.posix_acl_default", nullptr, 0, true);
    return r == -ENODATA || r == -ENOTSUP;
}

bool umaskKeeps(mode_t mode)
{
    // Read once: umask() itself would change it for a moment under every
    // other thread. Ferrix never changes its umask.
    static const int mask = [] {
        const QString status = readSmallTextFile(QStringLiteral("/proc/self/status"));
        const qsizetype at = status.indexOf(QLatin1String("\nUmask:"));
        if (at < 0)
            return -1;
        bool ok = false;
        const int value = QStringView(status).mid(at + 7).trimmed().left(4).toInt(&ok, 8);
        return ok ? value : -1;
    }();
    return mask >= 0 && (mode & mode_t(mask)) == 0;
}

int TempSibling::create(mode_t mode, int unnamedError)
{
    if (!unnamedError) {
        m_fd = retryOnIntr([&] { return ::openat(m_dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode); });
        if (m_fd >= 0) {
            m_unnamed = true;
            return 0;
        }
        unnamedError = errno;
    }
    return unnamedRefused(unnamedError) ? createNamed(mode) : unnamedError;
}

// A named sibling, locked so that a listing never takes it for one a crash
// left. A listing that locked it first has removed it: another name then.
int TempSibling::createNamed(mode_t mode)
{
    return withFreshName(m_name, [&](const char *name) {
        const int fd = retryOnIntr([&] {
            return ::openat(m_dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        });
        if (fd < 0)
            return errno;
        struct stat st;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &st) != 0 || st.st_nlink == 0) {
            ::close(fd);
            return EEXIST;
        }
        m_fd = fd;
        return 0;
    });
}

int TempSibling::createLink(const QByteArray &target)
{
    return withFreshName(m_name, [&](const char *name) {
        return ::symlinkat(target.constData(), m_dirFd, name) == 0 ? 0 : errno;
    });
}

// Links the unnamed file under name, which must not exist. Without the
// capability AT_EMPTY_PATH wants, its /proc path does the same.
int TempSibling::linkUnnamed(const char *name)
{
    if (::linkat(m_fd, "", m_dirFd, name, AT_EMPTY_PATH) == 0)
        return 0;
    if (errno != ENOENT && errno != EPERM)
        return errno;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", m_fd);
    return ::linkat(AT_FDCWD, path, m_dirFd, name, AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// The temporary name renamed to name, never replacing when no-replace.
int TempSibling::renameInto(const char *name)
{
    if (::renameat2(m_dirFd, m_name.constData(), m_dirFd, name, RENAME_NOREPLACE) == 0) {
        m_name.clear();
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // No RENAME_NOREPLACE here: a hard link cannot replace either; the
    // temporary name goes when this object does.
    return ::linkat(m_dirFd, m_name.constData(), m_dirFd, name, 0) == 0 ? 0 : errno;
}

int TempSibling::commit(const char *name, bool replacing)
{
    // A step given up by its work is over for the user: what it wrote since
    // stays nameless and goes with this object.
    if (stepAbandoned())
        return ECANCELED;
    if (m_fd >= 0 && replacing && ::fsync(m_fd) != 0)
        return errno;
    if (m_unnamed) {
        if (!replacing)
            return linkUnnamed(name);
        // A link cannot replace: the content gets a temporary name, renamed
        // over, and is locked meanwhile so that no listing takes it for one a crash left.
        ::flock(m_fd, LOCK_EX | LOCK_NB);
        if (const int err = withFreshName(m_name, [&](const char *temp) { return linkUnnamed(temp); }))
            return err;
    } else if (!replacing) {
        return renameInto(name);
    }
    if (::renameat(m_dirFd, m_name.constData(), m_dirFd, name) != 0)
        return errno;
    m_name.clear();
    syncFolder(m_dirFd);
    return 0;
}

void syncFolder(int dirFd)
{
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool removeStaleTempSibling(int dirFd, const char *name)
{
    if (!isOurTempName(name))
        return false;
    Fd file;
    if (openRegularAt(dirFd, name, false, file) != 0 || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return false; // not a file of ours, or still being written
    struct stat held, named;
    if (::fstat(file.get(), &held) != 0 || ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) != 0
        || held.st_ino != named.st_ino || held.st_dev != named.st_dev)
        return false;
    return ::unlinkat(dirFd, name, 0) == 0;
}

} // namespace platform::detail
