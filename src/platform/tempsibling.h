#pragma once
#include <QByteArray>

#include <sys/types.h>

namespace platform::detail {

// A new file (or link) beside a destination under a hidden temporary name,
// renamed into place by commit() or removed again when it goes.
class TempSibling {
public:
    explicit TempSibling(int dirFd) : m_dirFd(dirFd) {}
    ~TempSibling();
    TempSibling(const TempSibling &) = delete;
    TempSibling &operator=(const TempSibling &) = delete;

    // 0 or errno. create() opens the file for writing (fd()).
    int create(mode_t mode);
    int createLink(const QByteArray &target);
    int fd() const { return m_fd; }

    // Closes the file and renames it to name. Replacing a file, it is
    // flushed first and the folder after, so a crash leaves the old file or
    // the new one; a new name never replaces anything and costs no flush.
    // 0 or errno.
    int commit(const char *name, bool replacing);

private:
    int m_dirFd;
    int m_fd = -1;
    QByteArray m_name;
};

// fsync of the folder dirFd (which may be an O_PATH descriptor); best effort.
void syncFolder(int dirFd);

} // namespace platform::detail
