#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QMimeData;

// Files as the desktop's other programs name them on the clipboard: file://
// URIs of host paths, whose bytes are percent-encoded so that any name
// survives, non-UTF-8 ones included.
namespace platform {

// "file:///a%20b" for the device path "\a b"; empty for an invalid path.
QByteArray fileUriFromDevice(const QString &devicePath);
// The device path a local file URI names; empty for another scheme, another
// host, or a file outside the device root.
QString devicePathFromFileUri(const QByteArray &uri);

// What a file manager finds on the clipboard: the entries as URIs and
// whether they were cut.
struct ClipboardFileList {
    QList<QByteArray> uris;
    bool cut = false;
};

// text/uri-list, x-special/gnome-copied-files, application/x-kde-cutselection
// (cut only) and text/plain of the host paths.
QMimeData *mimeDataFromDevicePaths(const QStringList &devicePaths, bool cut);
// The URIs of mime data in those formats; none when it holds no file list.
ClipboardFileList fileListFromMimeData(const QMimeData *data);

} // namespace platform
