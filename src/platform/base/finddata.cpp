#include "finddata.h"

namespace platform {

namespace {
constexpr qint64 kSecondsFrom1601To1970 = 11644473600LL;
} // namespace

FileTime fileTimeFromUnix(qint64 seconds, qint64 nanoseconds)
{
    const qint64 since1601 = seconds + kSecondsFrom1601To1970;
    if (since1601 < 0)
        return 0;
    return FileTime(since1601) * kFileTimeUnitsPerSecond + FileTime(nanoseconds / 100);
}

qint64 unixSecondsFromFileTime(FileTime time)
{
    return qint64(time / kFileTimeUnitsPerSecond) - kSecondsFrom1601To1970;
}

} // namespace platform
