#include "file.h"

#include "folderhandle.h"
#include "hostfs.h"
#include "platform/base/lasterror.h"
#include "platform/testing/faultpoints.h"

#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

using namespace detail;

struct File::State {
    Fd fd;
    QString path;
    qint64 size = -1;
    qint64 position = 0;
    ByteFault readFault;
};

template<typename Open>
bool File::openWith(const QString &path, Open open)
{
    auto state = std::make_unique<State>();
    if (const int err = open(state->fd, state->size))
        return fail(err, "Open", path);
    state->path = path;
    state->readFault = injectedByteFault(FsOperation::Read, path);
    d = std::move(state);
    clearLastError();
    return true;
}

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
    return openWith(path, [&](Fd &fd, qint64 &size) {
        return openRegularAt(at.parent.get(), at.name.constData(), true, fd, &size);
    });
}

bool File::openForReading(const FolderHandle &folder, const FolderEntry &entry)
{
    close();
    const QString path = folder.path() + entry.name;
    if (const int err = injectedFault(FsOperation::Open, path))
        return fail(err, "Open", path);
    const int dirFd = folder.descriptor();
    const char *name = entry.hostName.constData();
    return openWith(path, [&](Fd &fd, qint64 &size) {
        switch (entry.type) {
        case EntryType::File:
            return openListedFileAt(dirFd, name, fd, size);
        case EntryType::Link: // pinned first: only a regular file at its end is opened
            return openRegularAt(dirFd, name, true, fd, &size);
        case EntryType::Folder:
            return EISDIR;
        case EntryType::Other:
            break;
        }
        return EINVAL;
    });
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
    return d ? d->size : -1;
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
