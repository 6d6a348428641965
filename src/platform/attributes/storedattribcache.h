#pragma once
#include "dosattrib.h"

#include <sys/stat.h>

// Stored attributes (user.DOSATTRIB) of entries read before, by inode, for
// look-ups of single entries and of links' targets (a listing keeps what it
// reads of its folder's own entries in listedattribs.h).
// A value is valid while the inode's change time is the one it was read at:
// the kernel sets the change time whenever an extended attribute changes.
// Values whose change time is recent are never kept, because a coarse clock
// can give two changes within one tick the same change time.
namespace platform::detail {

bool lookupStoredAttrib(const struct statx &st, DosAttrib &out);
void rememberStoredAttrib(const struct statx &st, const DosAttrib &value);
// Empties the cache and the listings kept (benchmarks measure first listings with it).
void forgetStoredAttribs();

} // namespace platform::detail
