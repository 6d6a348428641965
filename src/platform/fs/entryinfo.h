#pragma once
#include "hostfs.h"
#include "platform/attributes/dosattrib.h"
#include "platform/base/finddata.h"

#include <QByteArray>

#include <cstddef>

#include <sys/stat.h>

// What one directory entry looks like as the handheld's file system reports it.
namespace platform::detail {

class ListedAttribs;

// What the reader of a folder's entries knows about the folder.
struct FolderFacts {
    const struct statx *stat = nullptr; // the folder's own statx, for mount points (may be null)
    bool readXattrs = true;             // becomes false when the file system keeps none
    bool fat = false;                   // attributes are FAT attribute bytes
    // A listing that keeps what it reads for the folder's next one: the
    // values its last listing kept (may be null), and the entry's position.
    bool listing = false;
    const ListedAttribs *listed = nullptr;
    size_t at = 0;
};

struct EntryFacts {
    struct statx stat {};   // the entry itself, a link's own when it is one
    struct statx target {}; // a link's target, when it resolves
    bool linkResolves = false;
    bool mountPoint = false; // a folder where a mount begins (another file system, a bind mount)
    bool root = false;       // the device root itself
    bool fat = false;        // stored is the entry's FAT attribute byte
    DosAttrib stored;        // user.DOSATTRIB (or the FAT byte), when the entry has one
    bool storedKnown = false; // stored is an answer: remembered, or read (or found absent)
    QByteArray storedValue;  // its raw bytes, when asked for

    bool isLink() const { return S_ISLNK(stat.stx_mode); }
    bool isLinkToFolder() const { return linkResolves && S_ISDIR(target.stx_mode); }
    // What the entry reports: a link to a file reports its file.
    const struct statx &shown() const { return linkResolves ? target : stat; }
};

// Reads dirFd/name without following a final link (a link's target is read
// for what it reports). keepRawValue: the stored value is read fresh and kept.
int readEntry(int dirFd, const char *name, FolderFacts &folder, bool keepRawValue, EntryFacts &out);

// The same for a located path, with its parent folder's facts read first.
int readLocatedEntry(const Location &at, FolderFacts &folder, bool keepRawValue, EntryFacts &out);

bool isDotName(const char *name);
bool isDotOrDotDot(const char *name);
quint32 attributesOf(const EntryFacts &facts, bool dotName);
FileTime fileTime(const struct statx_timestamp &t);
void fillFindData(const EntryFacts &facts, quint32 attributes, FindData &out);

} // namespace platform::detail
