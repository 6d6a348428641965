#pragma once
#include <QByteArray>
#include <QString>

// Device paths use backslashes and start at the device root "\"; the device
// root is a host folder. This is the one place that maps between the two.
namespace platform {

// The host folder that stands for "\". Fails (false, last error set) when it
// is not an existing folder. Default: "/".
bool setDeviceRoot(const QString &hostFolder);
QString deviceRoot();

// A host file name (raw bytes) as a device name: UTF-8 decoded; a backslash
// becomes U+F05C; bytes that are not valid UTF-8 become U+DC80..U+DCFF so
// they survive the trip back.
QString deviceNameFromHost(const QByteArray &hostName);
// The reverse of deviceNameFromHost.
QByteArray hostNameFromDevice(const QString &deviceName);

// 8-bit text that holds whole device paths (shortcut files): UTF-8 with the
// same U+DC80..U+DCFF escape for bytes that are not valid UTF-8, but with
// backslashes left as they are.
QByteArray bytesFromText(const QString &text);
QString textFromBytes(const QByteArray &bytes);

// A device path holding a slash or NUL character is invalid everywhere.
bool isValidDevicePath(const QString &devicePath);

// "\a\b" -> "<root>/a/b" as raw host bytes; empty when the path is invalid.
// Relative paths (no leading backslash) are taken from the root as well.
QByteArray hostPathFromDevice(const QString &devicePath);
// A host path below the device root as a device path; empty when outside.
QString devicePathFromHost(const QByteArray &hostPath);

} // namespace platform
