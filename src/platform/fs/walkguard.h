#pragma once
#include "platform/attributes/fileattributes.h"
#include "platform/base/finddata.h"

#include <QString>

// What recursive work (delete a tree, copy a folder, search, measure) needs
// so that it never leaves the folder it was asked to walk: it treats a
// symbolic link as a leaf, does not enter the kernel's pseudo file systems
// and can tell a destination inside its source by identity.
namespace platform {

// A symbolic link, whatever it points to (its record may also carry the
// directory bit). Recursive work treats it as a leaf.
inline bool isLinkEntry(const FindData &data)
{
    return data.attributes & FILE_ATTRIBUTE_REPARSE_POINT;
}

// A folder a recursive walk may enter: a real folder, not a link to one.
inline bool isWalkableFolder(const FindData &data)
{
    return (data.attributes & FILE_ATTRIBUTE_DIRECTORY) && !isLinkEntry(data);
}

// A folder where a mount begins: another file system, or a bind mount of a
// folder of the same one (the device root: false).
bool isMountPoint(const QString &folder);

// A subfolder a walk enters (path is its device path): a real folder, not a
// link to one, and no mount point.
bool isWalkableSubfolder(const QString &path, const FindData &data);

// A folder on one of the kernel's pseudo file systems (proc, sysfs,
// devtmpfs, devpts, cgroup, debugfs, tracefs, ...), which holds no user
// files and must not be searched or measured.
bool isPseudoFileSystem(const QString &folder);

// Whether `folder` (links in its path followed) is `ancestor` itself or lies
// below it, judged by the device and inode of each of its real ancestors,
// so a link pointing into `ancestor` is seen through. False when either
// cannot be opened.
bool isSameOrInsideFolder(const QString &folder, const QString &ancestor);

// Flushes the file system that holds path (syncfs), so that what was
// written there is on disk before anything is deleted elsewhere.
bool flushFileSystem(const QString &path);

} // namespace platform
