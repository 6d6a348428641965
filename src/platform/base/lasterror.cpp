#include "lasterror.h"

#include <cstring>

namespace platform {

namespace {
thread_local LastError t_lastError;
}

const LastError &lastError()
{
    return t_lastError;
}

void setLastError(int code, const QString &message)
{
    t_lastError.code = code;
    t_lastError.message = message;
}

bool failWith(int code, const QString &message)
{
    setLastError(code, message);
    return false;
}

bool failWithErrno(int code, const QString &what)
{
    return failWith(code, QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(code))));
}

// Successful calls clear the error, so code 0 always means "the last call
// worked". Cheap when there is nothing to clear, as on the enumeration path.
void clearLastError()
{
    if (t_lastError.code != 0 || !t_lastError.message.isNull()) {
        t_lastError.code = 0;
        t_lastError.message = QString();
    }
}

} // namespace platform
