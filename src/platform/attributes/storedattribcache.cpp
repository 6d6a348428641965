#include "storedattribcache.h"

#include "keptattrib.h"
#include "listedattribs.h"

#include <memory>
#include <mutex>

namespace platform::detail {
namespace {

constexpr size_t kShards = 64;            // listings read on a few threads at once
constexpr size_t kMostEntries = 1 << 19; // about 24 MiB at the most
constexpr size_t kMostPerShard = kMostEntries / kShards;
constexpr size_t kFirstCapacity = 64;

// One inode's stored attributes and the change time they were read at. The
// table is open-addressed: no allocation per entry, and a look-up touches
// one or two cache lines.
struct Slot {
    quint64 device = 0;
    KeptAttrib kept;
    bool used = false;
};

struct alignas(64) Shard {
    std::mutex mutex;
    std::unique_ptr<Slot[]> slots;
    size_t capacity = 0; // a power of two, at least twice the entries
    size_t entries = 0;

    // The slot of the key, or the free one where it would go.
    Slot &find(quint64 device, quint64 inode)
    {
        const size_t mask = capacity - 1;
        for (size_t i = size_t((inode * 0x9E3779B97F4A7C15ull ^ device) >> 20) & mask;; i = (i + 1) & mask) {
            Slot &s = slots[i];
            if (!s.used || (s.kept.inode == inode && s.device == device))
                return s;
        }
    }
    void grow()
    {
        std::unique_ptr<Slot[]> old = std::move(slots);
        const size_t oldCapacity = capacity;
        capacity = capacity ? capacity * 2 : kFirstCapacity;
        slots = std::make_unique<Slot[]>(capacity);
        for (size_t i = 0; i < oldCapacity; ++i)
            if (old[i].used)
                find(old[i].device, old[i].kept.inode) = old[i];
    }
    void clear()
    {
        slots.reset();
        capacity = entries = 0;
    }
};

quint64 deviceOf(const struct statx &st)
{
    return (quint64(st.stx_dev_major) << 32) | st.stx_dev_minor;
}

Shard &shardOf(quint64 device, quint64 inode)
{
    static Shard shards[kShards];
    return shards[(inode ^ device) % kShards];
}

} // namespace

bool lookupStoredAttrib(const struct statx &st, DosAttrib &out)
{
    const quint64 device = deviceOf(st);
    Shard &c = shardOf(device, st.stx_ino);
    std::lock_guard lock(c.mutex);
    if (c.capacity == 0)
        return false;
    const Slot &s = c.find(device, st.stx_ino);
    // A slot whose change time is not the inode's is left to be overwritten.
    if (!s.used || !s.kept.holdsFor(st))
        return false;
    s.kept.copyTo(out);
    return true;
}

void rememberStoredAttrib(const struct statx &st, const DosAttrib &value)
{
    if (st.stx_ctime.tv_sec > settledChangeSeconds())
        return;
    const quint64 device = deviceOf(st);
    Shard &c = shardOf(device, st.stx_ino);
    std::lock_guard lock(c.mutex);
    if (c.entries >= kMostPerShard)
        c.clear();
    if ((c.entries + 1) * 2 > c.capacity)
        c.grow();
    Slot &s = c.find(device, st.stx_ino);
    if (!s.used)
        ++c.entries;
    s = {device, KeptAttrib::of(st, value), true};
}

void forgetStoredAttribs()
{
    forgetListings();
    for (size_t i = 0; i < kShards; ++i) {
        Shard &c = shardOf(0, i);
        std::lock_guard lock(c.mutex);
        c.clear();
    }
}

} // namespace platform::detail
