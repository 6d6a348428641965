#pragma once
#include "entryid.h"
#include "platform/attributes/fileattributes.h"
#include "platform/base/finddata.h"

#include <QString>

#include <memory>

// File system operations on device paths. Every call returns whether it
// succeeded and sets the thread's last error when it did not; none throws.
namespace platform {

quint32 getFileAttributes(const QString &path); // INVALID_FILE_ATTRIBUTES on failure
bool setFileAttributes(const QString &path, quint32 attributes);

// Writes the copy as an unnamed file and names it only when it is complete
// (a replaced file after a flush), so the destination is either the old file
// or the whole copy, and a crash leaves nothing. Keeps the last-write time
// and attributes. Copying a file onto itself fails, and so does replacing a
// read-only file.
// ids, when given: what was read and what was made.
bool copyFile(const QString &from, const QString &to, bool failIfExists, CopiedIds *ids = nullptr);

// The two folders of one level of a folder copy, held open while its files
// are copied, so that no file pays for walking both folders' paths again.
// copyFile then does what the free function does for a file directly inside
// the one folder copied directly into the other (any other pair of paths it
// hands on); a folder renamed meanwhile is still the one copied from and into.
class PreparedCopy;
class FolderCopyPair {
public:
    FolderCopyPair(const QString &source, const QString &target);
    ~FolderCopyPair();
    FolderCopyPair(const FolderCopyPair &) = delete;
    FolderCopyPair &operator=(const FolderCopyPair &) = delete;

    // listedRegular: the source folder's listing found a regular file there.
    // prepared, when it holds a copy made by prepareFile for these paths:
    // that copy is named, and only the name is left to do here.
    bool copyFile(const QString &from, const QString &to, bool failIfExists, bool listedRegular = false,
                  CopiedIds *ids = nullptr, PreparedCopy *prepared = nullptr) const;
    // All of copyFile for a new name (failIfExists) but the naming, for a
    // file the listing found regular: safe on any thread while this pair
    // lives. Holds nothing when the file must go all the way in copyFile
    // (not a regular file now, or not directly inside the pair).
    PreparedCopy prepareFile(const QString &from, const QString &to) const;

private:
    struct Held;
    std::unique_ptr<Held> d;
};

// A file of a folder copy written to an unnamed file beside its destination
// (content, permissions, stored attributes, last-write time), waiting for
// its name. Dropped unnamed, it leaves nothing behind.
class PreparedCopy {
public:
    PreparedCopy();
    ~PreparedCopy();
    PreparedCopy(PreparedCopy &&) noexcept;
    PreparedCopy &operator=(PreparedCopy &&) noexcept;
    bool holdsCopy() const { return d != nullptr; }

private:
    friend class FolderCopyPair;
    struct Data;
    std::unique_ptr<Data> d;
};

// Never replaces an existing destination. A file moved to another file
// system is copied, then removed; a folder is not (the move fails).
bool moveFile(const QString &from, const QString &to);

bool deleteFile(const QString &path);        // files and symbolic links, not folders
// A file whose inode other names share (hard links, a file mounted here
// from elsewhere): a change of its mode or stored attributes is theirs too.
bool isSharedFile(const QString &path);
// Fails if anything exists there; made, when given: the new folder.
bool createDirectory(const QString &path, EntryId *made = nullptr);
bool removeDirectory(const QString &path);   // empty folders only

// statvfs of the file system holding path.
bool getDiskFreeSpace(const QString &path, quint64 *freeBytesToCaller,
                      quint64 *totalBytes, quint64 *totalFreeBytes);

// Writes data to path the way copyFile writes a copy (no half-written
// file). With failIfExists an existing path makes it fail; a read-only
// file (a link: its target) is never replaced.
bool writeFileAtomically(const QString &path, const QByteArray &data, bool failIfExists);

// Sets the last-write time of a file or folder.
bool setLastWriteTime(const QString &path, FileTime time);

} // namespace platform
