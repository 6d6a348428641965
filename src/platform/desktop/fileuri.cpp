#include "fileuri.h"

#include "platform/fs/devicepath.h"
#include "platform/system/systeminfo.h"

#include <QMimeData>

namespace platform {

namespace {
const QString kUriList = QStringLiteral("text/uri-list");
const QString kGnomeFiles = QStringLiteral("x-special/gnome-copied-files");
const QString kKdeCut = QStringLiteral("application/x-kde-cutselection");
const QByteArray kScheme = QByteArrayLiteral("file:");

bool isLocalHost(const QByteArray &authority)
{
    if (authority.isEmpty() || authority.compare("localhost", Qt::CaseInsensitive) == 0)
        return true;
    QString host;
    return getHostName(host) && authority.compare(host.toUtf8(), Qt::CaseInsensitive) == 0;
}

// Lines of a list that may end in CR LF or LF; blank lines and comments go.
QList<QByteArray> uriLines(const QByteArray &text)
{
    QList<QByteArray> lines;
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray uri = line.trimmed();
        if (!uri.isEmpty() && !uri.startsWith('#'))
            lines.append(uri);
    }
    return lines;
}
} // namespace

QByteArray fileUriFromDevice(const QString &devicePath)
{
    const QByteArray host = hostPathFromDevice(devicePath);
    if (host.isEmpty())
        return {};
    return QByteArrayLiteral("file://") + host.toPercentEncoding("/");
}

QString devicePathFromFileUri(const QByteArray &uri)
{
    if (uri.left(kScheme.size()).toLower() != kScheme)
        return {};
    QByteArray rest = uri.mid(kScheme.size());
    // A literal '?' or '#' starts a query or a fragment: not part of the path.
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (rest.at(i) == '?' || rest.at(i) == '#') {
            rest.truncate(i);
            break;
        }
    }
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        if (slash < 0 || !isLocalHost(rest.mid(2, slash - 2)))
            return {};
        rest = rest.mid(slash);
    }
    if (!rest.startsWith('/'))
        return {};
    return devicePathFromHost(QByteArray::fromPercentEncoding(rest));
}

QMimeData *mimeDataFromDevicePaths(const QStringList &devicePaths, bool cut)
{
    QByteArray uriList;
    QByteArray gnome = cut ? QByteArrayLiteral("cut") : QByteArrayLiteral("copy");
    QStringList hostPaths;
    for (const QString &path : devicePaths) {
        const QByteArray uri = fileUriFromDevice(path);
        if (uri.isEmpty())
            continue;
        uriList += uri + "\r\n";
        gnome += '\n' + uri;
        hostPaths.append(QString::fromUtf8(hostPathFromDevice(path)));
    }
    auto *data = new QMimeData;
    data->setData(kUriList, uriList);
    data->setData(kGnomeFiles, gnome);
    if (cut)
        data->setData(kKdeCut, QByteArrayLiteral("1"));
    data->setText(hostPaths.join(QLatin1Char('\n')));
    return data;
}

ClipboardFileList fileListFromMimeData(const QMimeData *data)
{
    ClipboardFileList list;
    if (!data)
        return list;
    if (data->hasFormat(kGnomeFiles)) {
        QList<QByteArray> lines = uriLines(data->data(kGnomeFiles));
        if (!lines.isEmpty() && (lines.first() == "cut" || lines.first() == "copy")) {
            list.cut = lines.takeFirst() == "cut";
            list.uris = lines;
            return list;
        }
    }
    if (data->hasFormat(kUriList)) {
        list.uris = uriLines(data->data(kUriList));
        list.cut = data->data(kKdeCut).trimmed() == "1";
    }
    return list;
}

} // namespace platform
