#pragma once
#include "faultinjection.h"

#include <QString>

// The checks the file system code makes against injected faults.
namespace platform::detail {

// The errno of a fault injected for this operation on this device path, 0
// when there is none.
int injectedFault(FsOperation operation, const QString &devicePath);

// An injected Read or Write fault: the transfer fails with error once
// `after` bytes have gone through. after is negative when there is none.
struct ByteFault {
    int error = 0;
    qint64 after = -1;
};
ByteFault injectedByteFault(FsOperation operation, const QString &devicePath);

// The fault a search over "folder\pattern" meets: one injected for Find on
// the pattern itself, else on its folder.
int injectedFindFault(const QString &pattern);

// The device path in the form faults are compared in: one leading
// backslash, no empty, "." or ".." components.
QString normalizedDevicePath(const QString &devicePath);

} // namespace platform::detail
