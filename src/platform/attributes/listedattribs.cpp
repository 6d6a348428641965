#include "listedattribs.h"

#include <algorithm>
#include <list>
#include <map>

namespace platform::detail {
namespace {

constexpr size_t kMostEntries = 1 << 19; // about 20 MiB at the most, over every folder kept

using FolderKey = std::pair<quint64, quint64>; // device, inode

FolderKey keyOf(const struct statx &folder)
{
    return {(quint64(folder.stx_dev_major) << 32) | folder.stx_dev_minor, folder.stx_ino};
}

// The listings kept, the oldest first.
struct Kept {
    std::mutex mutex;
    std::list<std::pair<FolderKey, std::shared_ptr<const ListedAttribs>>> order;
    std::map<FolderKey, decltype(order)::iterator> byFolder;
    size_t entries = 0;

    void drop(decltype(order)::iterator at)
    {
        entries -= at->second->size();
        byFolder.erase(at->first);
        order.erase(at);
    }
};

Kept &kept()
{
    static Kept k;
    return k;
}

} // namespace

void ListedAttribs::append(const struct statx *st, const DosAttrib &value)
{
    static thread_local qint64 settled = 0;
    if (st && st->stx_ctime.tv_sec > settled)
        settled = settledChangeSeconds(); // the clock is read again only when an entry looks recent
    const bool keep = st && st->stx_ino != 0 && st->stx_ctime.tv_sec <= settled;
    m_entries.push_back(keep ? KeptAttrib::of(*st, value) : KeptAttrib());
}

bool ListedAttribs::find(size_t &at, const struct statx &st, DosAttrib &out) const
{
    if (st.stx_ino == 0)
        return false;
    size_t found = at;
    if (found >= m_entries.size() || !m_entries[found].holdsFor(st)) {
        // Out of place: entries came or went since, or a copy skipped some.
        std::call_once(m_sorted, [this] {
            for (size_t i = 0; i < m_entries.size(); ++i)
                if (m_entries[i].inode != 0)
                    m_byInode.emplace_back(m_entries[i].inode, i);
            std::sort(m_byInode.begin(), m_byInode.end());
        });
        const auto it = std::lower_bound(m_byInode.begin(), m_byInode.end(), std::pair(quint64(st.stx_ino), size_t(0)));
        if (it == m_byInode.end() || it->first != st.stx_ino || !m_entries[it->second].holdsFor(st))
            return false;
        found = it->second;
    }
    m_entries[found].copyTo(out);
    at = found + 1;
    return true;
}

std::shared_ptr<const ListedAttribs> recallListing(const struct statx &folder)
{
    Kept &k = kept();
    std::lock_guard lock(k.mutex);
    const auto it = k.byFolder.find(keyOf(folder));
    return it == k.byFolder.end() ? nullptr : it->second->second;
}

void keepListing(const struct statx &folder, std::shared_ptr<const ListedAttribs> listed)
{
    if (!listed || listed->size() > kMostEntries)
        return;
    const FolderKey key = keyOf(folder);
    Kept &k = kept();
    std::lock_guard lock(k.mutex);
    if (const auto it = k.byFolder.find(key); it != k.byFolder.end())
        k.drop(it->second);
    while (k.entries + listed->size() > kMostEntries)
        k.drop(k.order.begin());
    k.entries += listed->size();
    k.order.emplace_back(key, std::move(listed));
    k.byFolder[key] = std::prev(k.order.end());
}

void forgetListings()
{
    Kept &k = kept();
    std::lock_guard lock(k.mutex);
    k.order.clear();
    k.byFolder.clear();
    k.entries = 0;
}

} // namespace platform::detail
