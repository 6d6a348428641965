#include "openwith.h"

#include "processlaunch.h"
#include "platform/base/lasterror.h"
#include "platform/fs/devicepath.h"
#include "platform/registry/desktopassociations.h"

#include <QFile>
#include <QMimeDatabase>

#include <cerrno>

namespace platform {

namespace {

QIcon iconOf(const DesktopApplication &app)
{
    if (!app.iconFile.isEmpty())
        return QIcon(app.iconFile);
    for (const QString &name : app.iconNames) {
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull())
            return icon;
    }
    return {};
}

} // namespace

QList<OpenWithApplication> openWithApplications(const QString &devicePath)
{
    QList<OpenWithApplication> result;
    const QByteArray host = hostPathFromDevice(devicePath);
    if (host.isEmpty())
        return result;
    const QString name = textFromBytes(host.mid(host.lastIndexOf('/') + 1));
    const QMimeType type = QMimeDatabase().mimeTypeForFileNameAndData(name, leadingBytes(host));
    for (const DesktopApplication &app : desktopApplicationsFor(type.name()))
        result.append({app.id, app.name, iconOf(app), app.command});
    return result;
}

bool openWithApplication(const QString &command, const QString &devicePath)
{
    const QByteArray host = hostPathFromDevice(devicePath);
    if (host.isEmpty())
        return failWith(EINVAL, QStringLiteral("Invalid path %1").arg(devicePath));
    return openWithCommand(command, host, QString(), false);
}

} // namespace platform
