#pragma once
#include <QString>

#include <cerrno>

// Lets tests make chosen operations on chosen device paths fail, since CI runs
// as root and permissions cannot make operations fail there.
namespace platform {

enum class FsOperation {
    Find,          // find-first on a pattern in that folder, or on that exact path
    Delete,        // deleteFile, and removing the old name of a moved file
    Copy,          // copyFile, matched against source or destination
    Move,          // moveFile, matched against source or destination
    Create,        // createDirectory, writeFileAtomically
    RemoveDir,     // removeDirectory
    SetAttributes, // setFileAttributes
    StoredAttributes, // setFileAttributes finds that path's stored attributes unreadable and
                      // unwritable with that error (ENOTSUP: a file system that keeps none)
    Rename,        // the no-replace rename of moveFile onto that destination (EINVAL: a file
                   // system without it, so the link-and-unlink way is taken)
    Open,          // File::openForReading, and the source side of copyFile
    Read,          // reading that file fails after afterBytes bytes (File and copyFile)
    Write,         // writing to that path fails after afterBytes bytes (copy destination, atomic write)
    UnnamedFile,   // new content for that path cannot be an unnamed file (EOPNOTSUPP: a file
                   // system without O_TMPFILE, so a named temporary sibling is written)
    Stop,          // the running long work is asked to stop as it reaches that path, or once
                   // afterBytes bytes of it are copied (a user's Cancel at that point)
};

namespace faults {
// Paths compare case-sensitively, whole device paths ("\a\b.txt").
void inject(FsOperation operation, const QString &devicePath, int errnoValue = EIO,
            qint64 afterBytes = 0);
void clear(); // also releases every hang
bool any(); // cheap test used on hot paths

// The operation on that path blocks the thread that reaches it until the
// hangs are released, as a call on a hung mount does. Never on the
// application's main thread: nothing could release it there.
void injectHang(FsOperation operation, const QString &devicePath);
void releaseHangs();
// Threads blocked in a hang now.
int hanging();

// The operation on that path takes ms longer each time, as on a slow mount;
// for Find, the search's first entry and each one after it.
void injectDelay(FsOperation operation, const QString &devicePath, int ms);
} // namespace faults

} // namespace platform
