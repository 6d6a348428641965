#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// Pieces of the device path mapping that the host file system code shares.
namespace platform::detail {

// The device root as host bytes: "/" or an absolute path without a trailing slash.
QByteArray hostRoot();

// deviceNameFromHost() into a string whose buffer is reused when possible,
// as enumeration does for every entry.
void deviceNameFromHost(const char *hostName, qsizetype size, QString &out);

// The host names of a device path's components below the root, with empty
// and "." components dropped and ".." taken back (never above the root).
// False when the path is invalid (slash, NUL or an unencodable character).
bool hostComponents(const QString &devicePath, QList<QByteArray> &out);

} // namespace platform::detail
