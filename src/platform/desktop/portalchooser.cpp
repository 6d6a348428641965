#include "portalchooser.h"

#include "platform/fs/devicepath.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QVariantMap>

#include <atomic>

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
    // Asked once, without waiting: a bus that is slow to answer must not
    // hold up the menu. Until the answer comes the chooser is not offered.
    static std::atomic<int> known{-1};
    static const bool asked = [] {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            known = 0;
            return true;
        }
        const QDBusMessage question = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames"));
        const QDBusMessage running = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"))
            << kPortalService;
        auto *activatable = new QDBusPendingCallWatcher(bus.asyncCall(question));
        auto *owned = new QDBusPendingCallWatcher(bus.asyncCall(running));
        QObject::connect(activatable, &QDBusPendingCallWatcher::finished, [](QDBusPendingCallWatcher *call) {
            const QDBusPendingReply<QStringList> reply = *call;
            if (!reply.isError() && reply.value().contains(kPortalService))
                known = 1;
            else if (known < 0)
                known = 0;
            call->deleteLater();
        });
        QObject::connect(owned, &QDBusPendingCallWatcher::finished, [](QDBusPendingCallWatcher *call) {
            const QDBusPendingReply<bool> reply = *call;
            if (!reply.isError() && reply.value())
                known = 1;
            call->deleteLater();
        });
        return true;
    }();
    Q_UNUSED(asked);
    return known > 0;
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
