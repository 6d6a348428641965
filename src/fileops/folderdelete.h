#pragma once
#include <QString>

namespace fileops {

// Deletes folder (with or without a final backslash) with everything in
// it, depth first, stopping at the first entry that cannot be deleted.
// Files lose their attributes first, so read-only files go too. Links are
// removed, never followed; a mount point is not entered and fails the
// delete like a file that cannot be deleted. A folder that is itself a
// link loses the link only. The device root is never deleted.
bool DeleteFolderTree(const QString &folder);

// How the delete tells a mount point; tests put in their own test to have
// one without mounting anything. Returns the test that was in place.
using MountPointTest = bool (*)(const QString &folder);
MountPointTest SetMountPointTest(MountPointTest test);

} // namespace fileops
