#include "portalchooser.h"

#include "platform/fs/devicepath.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QVariantMap>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {
const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kOpenUriInterface = QStringLiteral("org.freedesktop.portal.OpenURI");
} // namespace

bool canChooseApplication()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusConnectionInterface *daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon)
        return false;
    if (daemon->isServiceRegistered(kPortalService).value())
        return true;
    const QDBusReply<QStringList> activatable = daemon->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(kPortalService);
}

bool chooseApplication(const QString &devicePath)
{
    const QByteArray host = hostPathFromDevice(devicePath);
    if (host.isEmpty())
        return false;
    // O_PATH: nothing is read, and a FIFO does not block the open.
    const int fd = ::open(host.constData(), O_PATH | O_CLOEXEC);
    if (fd < 0)
        return false;
    QDBusMessage request = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kOpenUriInterface,
                                                          QStringLiteral("OpenFile"));
    const QVariantMap options{{QStringLiteral("ask"), true}};
    request << QString() << QVariant::fromValue(QDBusUnixFileDescriptor(fd)) << options;
    ::close(fd); // the message holds its own copy
    return QDBusConnection::sessionBus().send(request);
}

} // namespace platform
