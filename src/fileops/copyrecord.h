#pragma once
#include "platform/fs/entryid.h"

#include <QByteArray>
#include <QHash>

#include <memory>

namespace fileops {

// One folder of a copy as the copy found or made it: the folder itself and
// every entry finished there, by host name, as it was when read or made. A
// move deletes from its source only what is recorded and unchanged since;
// a cancelled move takes back from the destination only what it made.
struct CopyRecord {
    platform::EntryId folder;
    QHash<QByteArray, platform::EntryId> files; // everything but folders
    QHash<QByteArray, std::shared_ptr<CopyRecord>> folders;
};

// Both sides of one folder copy. Shared, so steps on the worker may hold them.
struct CopyRecords {
    std::shared_ptr<CopyRecord> read = std::make_shared<CopyRecord>();
    std::shared_ptr<CopyRecord> made = std::make_shared<CopyRecord>();
};

} // namespace fileops
