#pragma once
#include "entryid.h"
#include "platform/base/finddata.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace platform {

// What a folder records about one of its entries, without the entry being read.
enum class EntryType {
    File,   // a regular file
    Folder, // a real folder, never a link to one
    Link,   // a symbolic link, whatever it points to
    Other,  // a FIFO, socket or device
};

// One entry as a folder lists it.
struct FolderEntry {
    QString name;     // device name
    EntryType type = EntryType::Other;
    bool matches = false; // the name matches the listing's pattern
    QByteArray hostName;  // the platform's own form of the name, for the calls that take the entry
};

// An open folder whose entries are listed by name and type and opened by
// name relative to it, so that a walk never resolves a path from the root
// again and reads an entry's attributes only when it asks for them.
class FolderHandle {
public:
    FolderHandle();
    ~FolderHandle();
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    // Opens the folder at a device path, links followed as browsing does.
    // Faults injected for Find on the folder apply.
    bool open(const QString &folderPath);
    // Opens the subfolder an entry of `parent` names; a link is never
    // followed, even one put in the folder's place since it was listed.
    bool open(const FolderHandle &parent, const FolderEntry &entry);
    // Opens the folder at a device path to delete it: a link in its place
    // is not followed (the open fails), and the folder it was found in is
    // held too, so the folder goes from there or not at all. Never the
    // device root. A fault injected for Find on it makes its listing fail.
    bool openToRemove(const QString &folderPath);
    void close();
    bool isOpen() const;

    // The folder's device path, ending with a backslash.
    const QString &path() const;
    // Opened as a subfolder, and where a mount begins (bind mounts too).
    bool isMountPoint() const;
    // On one of the kernel's pseudo file systems (see walkguard.h).
    bool isPseudoFileSystem() const;

    // Every entry but "." and "..", from the start, in the folder's order,
    // each with whether its name matches pattern (wildcards as FindFile
    // takes them). false at the end (last error ENOENT) or on failure.
    bool first(const QString &pattern, FolderEntry &out);
    bool next(FolderEntry &out);

    // The entry read in full, as FindFile yields it.
    bool find(const FolderEntry &entry, FindData &out) const;

    // The folder itself, and an entry of it (a link: the link).
    bool identity(EntryId &out) const;
    bool identity(const FolderEntry &entry, EntryId &out) const;
    // Opened by openToRemove: whether its path still leads to this very
    // folder (device and inode), or another was mounted or put there.
    bool isStillAtPath() const;
    // Opened by openToRemove: removes the folder, when empty, from the
    // folder it was found in, if its name there still names it.
    bool removeSelf() const;

    // Changes made relative to the open folder, never through a path from
    // the root; faults injected for the entry's device path apply.
    bool deleteEntry(const FolderEntry &entry) const;  // not a folder; a link itself
    bool removeFolder(const FolderEntry &entry) const; // an empty subfolder
    // isSharedFile and setFileAttributes of an entry.
    bool isSharedEntry(const FolderEntry &entry) const;
    bool setAttributes(const FolderEntry &entry, quint32 attributes) const;

private:
    friend class File;
    int descriptor() const;

    struct State;
    std::unique_ptr<State> d;
};

} // namespace platform
