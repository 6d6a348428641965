#include "file.h"

#include "faultpoints.h"
#include "folderhandle.h"
#include "hostfs.h"
#include "lasterror.h"

#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

using namespace detail;

struct File::State {
    Fd fd;
    QString path;
    qint64 position = 0;
    ByteFault readFault;
};

File::File() = default;

File::~File() = default;

bool File::openForReading(const QString &path)
{
    close();
    if (const int err = injectedFault(FsOperation::Open, path))
        return fail(err, "Open", path);
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Open", path);
    // Reading goes through a link to its file, as opening any file does; a
    // FIFO, socket or device is never opened.
    return openRegular(at.parent.get(), at.name.constData(), true, path);
}

bool File::openForReading(const FolderHandle &folder, const FolderEntry &entry)
{
    close();
    const QString path = folder.path() + entry.name;
    if (const int err = injectedFault(FsOperation::Open, path))
        return fail(err, "Open", path);
    return openRegular(folder.descriptor(), entry.hostName.constData(), false, path);
}

bool File::openRegular(int dirFd, const char *name, bool follow, const QString &path)
{
    auto state = std::make_unique<State>();
    if (const int err = openRegularAt(dirFd, name, follow, state->fd))
        return fail(err, "Open", path);
    state->path = path;
    state->readFault = injectedByteFault(FsOperation::Read, path);
    d = std::move(state);
    clearLastError();
    return true;
}

void File::close()
{
    d.reset();
}

bool File::isOpen() const
{
    return d != nullptr;
}

qint64 File::size() const
{
    if (!d)
        return -1;
    struct stat st;
    return ::fstat(d->fd.get(), &st) == 0 ? qint64(st.st_size) : -1;
}

bool File::read(char *buffer, qint64 maxBytes, qint64 *bytesRead)
{
    if (bytesRead)
        *bytesRead = 0;
    if (!d)
        return fail(EBADF, "Read", QString());
    if (maxBytes < 0 || (maxBytes > 0 && !buffer))
        return fail(EINVAL, "Read", d->path);
    if (d->readFault.after >= 0) {
        const qint64 left = d->readFault.after - d->position;
        if (left <= 0)
            return fail(d->readFault.error, "Read", d->path);
        maxBytes = qMin(maxBytes, left);
    }
    maxBytes = qMin<qint64>(maxBytes, std::numeric_limits<int>::max());
    const ssize_t n = retryOnIntr([&] { return ::read(d->fd.get(), buffer, size_t(maxBytes)); });
    if (n < 0)
        return fail(errno, "Read", d->path);
    d->position += n;
    if (bytesRead)
        *bytesRead = n;
    clearLastError();
    return true;
}

bool File::readAll(QByteArray &out)
{
    out.clear();
    if (!d)
        return fail(EBADF, "Read", QString());
    const qint64 expected = size() - d->position;
    if (expected > 0)
        out.reserve(expected);
    char chunk[65536];
    for (;;) {
        qint64 n = 0;
        if (!read(chunk, sizeof chunk, &n))
            return false;
        if (n == 0)
            return true;
        out.append(chunk, n);
    }
}

} // namespace platform
