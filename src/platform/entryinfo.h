#pragma once
#include "dosattrib.h"
#include "finddata.h"
#include "hostfs.h"

#include <QByteArray>

#include <sys/stat.h>

// What one directory entry looks like as the handheld's file system reports it.
namespace platform::detail {

struct EntryFacts {
    struct statx stat {};
    bool linkToFolder = false; // a symbolic link whose target is a folder
    bool mountPoint = false;   // a folder on another file system than its parent
    bool root = false;         // the device root itself
    DosAttrib stored;          // user.DOSATTRIB, when the entry has one
    QByteArray storedValue;    // its raw bytes, when asked for
};

// Reads dirFd/name without following a final link. parentStat (may be null)
// is the folder's own statx, for mount points. *readXattrs says whether to
// read user.DOSATTRIB and becomes false when the file system has none.
int readEntry(int dirFd, const char *name, const struct statx *parentStat, bool *readXattrs,
              bool keepRawValue, EntryFacts &out);

// The same for a located path, with its parent folder's statx for mount points.
int readLocatedEntry(const Location &at, bool *readXattrs, bool keepRawValue, EntryFacts &out);

bool isDotName(const char *name);
bool isDotOrDotDot(const char *name);
quint32 attributesOf(const EntryFacts &facts, bool dotName);
FileTime fileTime(const struct statx_timestamp &t);
void fillFindData(const EntryFacts &facts, quint32 attributes, FindData &out);

} // namespace platform::detail
