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

// Sets the last error and returns false, so failures read "return failWith(...)".
bool failWith(int code, const QString &message);
// The same with the system's text for code: "what: reason".
bool failWithErrno(int code, const QString &what);

} // namespace platform
