#pragma once
#include "faultinjection.h"

#include <QString>

// The checks the file system code makes against injected faults.
namespace platform::detail {

// The errno of a fault injected for this operation on this device path, 0
// when there is none. afterBytes, when given, gets the fault's byte count.
int injectedFault(FsOperation operation, const QString &devicePath, qint64 *afterBytes = nullptr);

// The device path in the form faults are compared in: one leading
// backslash, no empty, "." or ".." components.
QString normalizedDevicePath(const QString &devicePath);

} // namespace platform::detail
