#include "storedattribcache.h"

#include <ctime>
#include <mutex>
#include <unordered_map>

namespace platform::detail {
namespace {

constexpr size_t kShards = 64;            // listings read on a few threads at once
constexpr size_t kMostEntries = 1 << 19; // about 24 MiB at the most
constexpr size_t kMostPerShard = kMostEntries / kShards;
constexpr qint64 kSettledSeconds = 2;   // change times older than this are kept

struct Key {
    quint64 device;
    quint64 inode;
    bool operator==(const Key &) const = default;
};

struct KeyHash {
    size_t operator()(const Key &k) const noexcept
    {
        return size_t(k.inode * 0x9E3779B97F4A7C15ull ^ k.device);
    }
};

struct Value {
    qint64 changeSeconds;
    quint32 changeNanoseconds;
    DosAttrib stored;
};

struct alignas(64) Shard {
    std::mutex mutex;
    std::unordered_map<Key, Value, KeyHash> values;
};

Shard &shardOf(const Key &key)
{
    static Shard shards[kShards];
    return shards[(key.inode ^ key.device) % kShards];
}

Key keyOf(const struct statx &st)
{
    return {(quint64(st.stx_dev_major) << 32) | st.stx_dev_minor, st.stx_ino};
}

} // namespace

bool lookupStoredAttrib(const struct statx &st, DosAttrib &out)
{
    const Key key = keyOf(st);
    Shard &c = shardOf(key);
    std::lock_guard lock(c.mutex);
    const auto it = c.values.find(key);
    if (it == c.values.end())
        return false;
    if (it->second.changeSeconds != st.stx_ctime.tv_sec
        || it->second.changeNanoseconds != st.stx_ctime.tv_nsec) {
        c.values.erase(it);
        return false;
    }
    out = it->second.stored;
    return true;
}

void rememberStoredAttrib(const struct statx &st, const DosAttrib &value)
{
    struct timespec now;
    if (::clock_gettime(CLOCK_REALTIME_COARSE, &now) != 0
        || st.stx_ctime.tv_sec > qint64(now.tv_sec) - kSettledSeconds)
        return;
    const Key key = keyOf(st);
    Shard &c = shardOf(key);
    std::lock_guard lock(c.mutex);
    if (c.values.size() >= kMostPerShard)
        c.values.clear();
    c.values[key] = {st.stx_ctime.tv_sec, st.stx_ctime.tv_nsec, value};
}

void forgetStoredAttribs()
{
    for (size_t i = 0; i < kShards; ++i) {
        Shard &c = shardOf(Key {0, i});
        std::lock_guard lock(c.mutex);
        c.values.clear();
    }
}

} // namespace platform::detail
