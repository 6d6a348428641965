#pragma once
#include <QString>
#include <QtGlobal>

namespace platform {

// File times are 100-nanosecond units since 1 January 1601 UTC.
using FileTime = quint64;
inline constexpr FileTime kFileTimeUnitsPerSecond = 10000000;

// One directory entry as find-first/find-next yield it.
struct FindData {
    quint32 attributes = 0;
    FileTime creationTime = 0;
    FileTime lastAccessTime = 0;
    FileTime lastWriteTime = 0;
    quint32 sizeHigh = 0;
    quint32 sizeLow = 0;
    quint32 objectId = 0;
    QString name; // device name: a host backslash shows as U+F05C
    // Not the device's: the host's listing found a regular file (no link,
    // pipe, socket or device), so work on many entries can open it without
    // looking again.
    bool hostRegular = false;

    quint64 size() const { return (quint64(sizeHigh) << 32) | sizeLow; }
};

// Conversions between file times and Unix time (seconds + nanoseconds).
FileTime fileTimeFromUnix(qint64 seconds, qint64 nanoseconds);
qint64 unixSecondsFromFileTime(FileTime time);

} // namespace platform
