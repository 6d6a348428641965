#pragma once
#include <QByteArray>

#include <sys/types.h>

namespace platform::detail {

// New content for a destination in folder dirFd, put in place by commit()
// or gone again when the object goes. It is an unnamed file (O_TMPFILE)
// where the file system allows one, so a crash leaves nothing behind; else a
// hidden sibling under a temporary name of ours, locked while it is written,
// which a later listing of the folder removes if a crash left it.
class TempSibling {
public:
    explicit TempSibling(int dirFd) : m_dirFd(dirFd) {}
    ~TempSibling();
    TempSibling(const TempSibling &) = delete;
    TempSibling &operator=(const TempSibling &) = delete;

    // Opens the new file for writing (fd()). unnamedError, when not 0, is
    // what the unnamed file's creation fails with (an injected fault).
    // 0 or errno.
    int create(mode_t mode, int unnamedError = 0);
    // A symbolic link under a temporary name, for replacing a link.
    int createLink(const QByteArray &target);
    int fd() const { return m_fd; }
    bool isUnnamed() const { return m_unnamed; }

    // Gives the content its name. A new name never replaces anything and
    // costs no flush; replacing a file, the content is flushed first and the
    // folder after, so a crash leaves the old file or the new one. 0 or errno.
    int commit(const char *name, bool replacing);

private:
    int createNamed(mode_t mode);
    int linkUnnamed(const char *name);
    int renameInto(const char *name);

    int m_dirFd;
    int m_fd = -1;
    bool m_unnamed = false;
    QByteArray m_name;
};

// Whether a file created in folder dirFd gets the permission bits it is
// created with, the umask aside: not where the folder has a default ACL,
// which masks new files in the umask's place, nor where that is unknown.
bool folderKeepsNewModes(int dirFd);
// Whether the process's umask leaves mode as it is; false when unknown.
bool umaskKeeps(mode_t mode);

// fsync of the folder dirFd (which may be an O_PATH descriptor); best effort.
void syncFolder(int dirFd);

// Whether a host name has the form of our temporary siblings; cheap, for
// every name a listing sees.
inline bool isTempSiblingName(const char *name)
{
    return name[0] == '.' && name[1] == 'f' && __builtin_strncmp(name, ".ferrix-", 8) == 0;
}

// Removes dirFd/name when it is a temporary sibling of ours (a regular file)
// that nobody is writing: one a crash left. True when it was removed.
bool removeStaleTempSibling(int dirFd, const char *name);

} // namespace platform::detail
