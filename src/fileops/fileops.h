#pragma once
#include "platform/base/finddata.h"
#include "platform/fs/entryid.h"

#include <QList>
#include <QString>

#include <functional>

namespace platform {
class FolderHandle;
struct FolderEntry;
} // namespace platform

// Small file and path helpers of the file operations. Paths are device
// paths; names and paths compare case-sensitively.
namespace fileops {

// Whether an exact search for path (no wildcard) finds a file or folder.
bool FileExists(const QString &path);

// Every entry a search over pattern yields, in the order it yields them,
// read as one step (long work reads it off the user-interface thread).
// False when the search cannot start; else the last error tells how the
// listing ended (ENOENT: complete). A stop asked for ends it early.
// folder, when given: the folder listed (links followed), taken just before.
bool ListFolder(const QString &pattern, QList<platform::FindData> &entries, platform::EntryId *folder = nullptr);

// path without one final backslash.
QString WithoutFinalBackslash(const QString &path);
// The text after the last backslash.
QString LastComponent(const QString &path);
// "\Storage Card\Docs" gives "\Storage Card", "\Windows" itself, the root
// (empty) nothing: folders moved within one of these are renamed.
QString TopLevelFolder(const QString &path);

// Clears a file's attributes (read-only, hidden, system) and deletes it; a
// link is removed itself, nothing is changed through it, and a file other
// names share (hard links, a bind mount) loses no attributes, which are theirs.
bool DeleteClearedFile(const QString &path);
// The same for an entry of an open folder, relative to it.
bool DeleteClearedEntry(const platform::FolderHandle &folder, const platform::FolderEntry &entry);
// DeleteClearedEntry for the entry named name in folder, only while it is
// still the file `then` was taken from and unchanged since (a cut file
// written or replaced meanwhile stays). A folder that could not be held
// open: path, looked up now, the same way.
bool DeleteClearedFileIfUnchanged(const platform::FolderHandle &folder, const QString &name, const QString &path,
                                  const platform::EntryId &then);

// Tests: runs on the user-interface thread where a move has its copy
// complete and is about to delete the source (a folder's, or one file's).
void SetBeforeMoveDelete(std::function<void()> hook);
void BeforeMoveDelete();

// "report.txt" gives "report.lnk", "archive.tar.gz" "archive.tar.lnk",
// "README" "README.lnk".
QString ShortcutName(const QString &fileName);
// Writes (or replaces) a shortcut file pointing at target. False when it
// cannot be written; an existing file is replaced only by a complete one.
bool WriteShortcut(const QString &target, const QString &file);

// The first of "New Folder", "New Folder 1", "New Folder 2", ... that names
// nothing in folder (which ends with a backslash).
QString NewFolderName(const QString &folder);

} // namespace fileops
