#pragma once
#include <QString>

namespace platform {

// Why the last failed platform call on this thread failed.
struct LastError {
    int code = 0;    // errno value, 0 when the last call succeeded or nothing failed yet
    QString message; // readable text: the operation, the device path and strerror
};

const LastError &lastError();
void setLastError(int code, const QString &message);
void clearLastError();

} // namespace platform
