#pragma once
#include "dosattrib.h"

#include <ctime>

#include <sys/stat.h>

// A stored-attribute value remembered for an inode, with the change time it
// was read at: it holds while the inode's change time is that one (the
// kernel sets the change time whenever an extended attribute changes).
namespace platform::detail {

struct KeptAttrib {
    quint64 inode = 0;
    qint64 changeSeconds = 0;
    quint32 changeNanoseconds = 0;
    quint32 attributes = 0;
    FileTime createTime = 0;
    qint8 blobVersion = 0;
    bool valid = false;
    bool present = false;

    static KeptAttrib of(const struct statx &st, const DosAttrib &value)
    {
        return {st.stx_ino, st.stx_ctime.tv_sec, st.stx_ctime.tv_nsec, value.attributes, value.createTime,
                qint8(value.blobVersion), value.valid, value.present};
    }
    bool holdsFor(const struct statx &st) const
    {
        return inode == st.stx_ino && changeSeconds == st.stx_ctime.tv_sec && changeNanoseconds == st.stx_ctime.tv_nsec;
    }
    void copyTo(DosAttrib &out) const
    {
        out.valid = valid;
        out.present = present;
        out.attributes = attributes;
        out.blobVersion = blobVersion;
        out.createTime = createTime;
    }
};

// The latest change time, in seconds, a value may be kept for: a coarse
// clock gives two changes within one tick the same change time, so only
// change times a little in the past tell every change apart.
inline qint64 settledChangeSeconds()
{
    constexpr qint64 kSettledSeconds = 2;
    struct timespec now;
    return ::clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0 ? qint64(now.tv_sec) - kSettledSeconds : 0;
}

} // namespace platform::detail
