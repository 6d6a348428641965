#include "tempsibling.h"

#include "hostfs.h"

#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace platform::detail {

namespace {

QByteArray randomName()
{
    return QByteArrayLiteral(".ferrix-") + QByteArray::number(QRandomGenerator::global()->generate64(), 36)
        + QByteArrayLiteral(".tmp");
}

template<typename Make>
int withFreshName(QByteArray &name, Make make)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = randomName();
        if (make(name.constData()) == 0)
            return 0;
        if (errno != EEXIST) {
            const int err = errno;
            name.clear();
            return err;
        }
    }
    name.clear();
    return EEXIST;
}

} // namespace

TempSibling::~TempSibling()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_name.isEmpty())
        ::unlinkat(m_dirFd, m_name.constData(), 0);
}

int TempSibling::create(mode_t mode)
{
    return withFreshName(m_name, [&](const char *name) {
        m_fd = retryOnIntr([&] {
            return ::openat(m_dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        });
        return m_fd >= 0 ? 0 : -1;
    });
}

int TempSibling::createLink(const QByteArray &target)
{
    return withFreshName(m_name, [&](const char *name) { return ::symlinkat(target.constData(), m_dirFd, name); });
}

int TempSibling::commit(const char *name, bool replacing)
{
    if (m_fd >= 0) {
        const int synced = replacing ? ::fsync(m_fd) : 0;
        const int err = errno;
        const int closed = ::close(m_fd);
        m_fd = -1;
        if (synced != 0)
            return err;
        if (closed != 0 && errno != EINTR)
            return errno;
    }
    if (!replacing) {
        if (::renameat2(m_dirFd, m_name.constData(), m_dirFd, name, RENAME_NOREPLACE) != 0) {
            if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
                return errno;
            // No RENAME_NOREPLACE here: a hard link cannot replace either.
            if (::linkat(m_dirFd, m_name.constData(), m_dirFd, name, 0) != 0)
                return errno;
            // The temporary name goes when this object does.
        } else {
            m_name.clear();
        }
        return 0;
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

} // namespace platform::detail
