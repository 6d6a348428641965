#pragma once
#include <QString>

namespace fileops {

// Deletes folder (with or without a final backslash) with everything in
// it, depth first, stopping at the first entry that cannot be deleted.
// Files lose their attributes first, so read-only files go too. Links are
// removed, never followed; a mount point (bind mounts too, the folder
// itself as well as one inside) is not entered and fails the delete like a
// file that cannot be deleted. A folder that is itself a link loses the
// link only. The device root is never deleted.
bool DeleteFolderTree(const QString &folder);

} // namespace fileops
