#pragma once
#include "copyrecord.h"
#include "platform/fs/entryid.h"
#include "platform/fs/folderhandle.h"

#include <QString>

namespace fileops {

// A folder tree to delete, taken when the work begins and held open from
// then on: the delete works through that folder, descending relative to
// it, and touches nothing when another folder has been put or mounted at
// its path since.
//
// The walk goes depth first and stops at the first entry that cannot be
// deleted. Files lose their attributes first, so read-only files go too.
// Links are removed, never followed; a mount point (bind mounts too, the
// folder itself as well as one inside) is not entered and fails the delete
// like a file that cannot be deleted. A folder that is itself a link loses
// the link only. The device root is never deleted.
class TreeToDelete {
public:
    // folder: with or without a final backslash. False when nothing could
    // be taken (the delete then fails with the reason).
    bool take(const QString &folder);

    // Everything in the folder, then the folder.
    bool deleteAll();
    // Only what record holds and is unchanged since (a file: same inode
    // and change time; a folder: same inode); a folder left holding
    // anything else stays, and the delete fails. stoppable: a stop asked
    // for ends it; else it runs to its end (taking back a cancelled copy).
    bool deleteRecorded(const CopyRecord &record, bool stoppable);

private:
    bool run(const CopyRecord *record, bool stoppable);

    QString m_path;
    bool m_link = false;
    platform::EntryId m_linkId;
    platform::FolderHandle m_folder;
    int m_error = 0;
    QString m_message;
};

// Deletes folder (with or without a final backslash) with everything in
// it, by the rules above, taken now.
bool DeleteFolderTree(const QString &folder);

} // namespace fileops
