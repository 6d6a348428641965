#pragma once
#include "keptattrib.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include <sys/stat.h>

// The stored attributes one listing of a folder read, entry by entry in the
// listing's order, kept for the folder's next listing and for copies out of
// it. The listing writes them front to back and the next listing reads them
// the same way, where a table by inode would be written and read all over
// (on a first listing of a big folder that cost a sixth of its time). A value
// is valid while its inode's change time is the one it was read at.
namespace platform::detail {

class ListedAttribs {
public:
    // The next entry of the listing; st null when nothing is kept for it
    // (a link, a mount point, a value that could not be read).
    void append(const struct statx *st, const DosAttrib &value);
    // The value kept for the inode st describes, looked for at position at
    // first; at becomes the position after the one found.
    bool find(size_t &at, const struct statx &st, DosAttrib &out) const;
    size_t size() const { return m_entries.size(); }

private:
    std::vector<KeptAttrib> m_entries; // inode 0: nothing kept
    mutable std::once_flag m_sorted;
    mutable std::vector<std::pair<quint64, size_t>> m_byInode; // for entries out of place, sorted on first need
};

// The last complete listing of the folder st describes; null when none is kept.
std::shared_ptr<const ListedAttribs> recallListing(const struct statx &folder);
void keepListing(const struct statx &folder, std::shared_ptr<const ListedAttribs> listed);
void forgetListings();

} // namespace platform::detail
