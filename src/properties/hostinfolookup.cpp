#include "hostinfolookup.h"

#include "platform/system/systeminfo.h"

#include <QMetaObject>
#include <QMutex>

#include <atomic>
#include <thread>

namespace {

QMutex resolverMutex;
HostInfoLookup::Resolver customResolver;

HostInfoLookup::Resolver currentResolver()
{
    QMutexLocker lock(&resolverMutex);
    if (customResolver)
        return customResolver;
    return [](const QString &name) { return platform::lookupHost(name); };
}

} // namespace

// What the lookup thread shares with the page: the receiver, cleared under
// the mutex when the page goes, so a result is posted only while it exists.
struct HostInfoLookup::Channel {
    QMutex mutex;
    QObject *receiver = nullptr;
    Deliver deliver;
    std::atomic<bool> running {false};

    void post(int which, const QString &text)
    {
        QMutexLocker lock(&mutex);
        if (!receiver)
            return;
        QObject *target = receiver;
        Deliver call = deliver;
        // Queued onto the receiver's thread; dropped if it is deleted first.
        QMetaObject::invokeMethod(target, [call, which, text] { call(which, text); }, Qt::QueuedConnection);
    }
};

HostInfoLookup::HostInfoLookup(QObject *receiver, Deliver deliver)
    : m_channel(std::make_shared<Channel>())
{
    m_channel->receiver = receiver;
    m_channel->deliver = std::move(deliver);
}

HostInfoLookup::~HostInfoLookup()
{
    QMutexLocker lock(&m_channel->mutex);
    m_channel->receiver = nullptr;
}

bool HostInfoLookup::IsRunning() const
{
    return m_channel->running;
}

bool HostInfoLookup::Start()
{
    // One at a time: a resolver that hangs must not pile up threads.
    if (m_channel->running.exchange(true))
        return false;
    std::shared_ptr<Channel> channel = m_channel;
    Resolver resolve = currentResolver();
    std::thread([channel, resolve] {
        QString name;
        if (platform::getHostName(name)) {
            const QStringList addresses = resolve(name).addresses;
            channel->post(Device, addresses.isEmpty() ? QString()
                                                      : QStringLiteral("%1 (%2)").arg(name, addresses.first()));
            const platform::HostEntry peer = resolve(QStringLiteral("ppp_peer"));
            channel->post(Peer, peer.addresses.isEmpty()
                                    ? QString()
                                    : QStringLiteral("%1 (%2)").arg(peer.officialName, peer.addresses.first()));
        } else {
            channel->post(Device, QString());
            channel->post(Peer, QString());
        }
        channel->running = false;
    }).detach();
    return true;
}

void HostInfoLookup::SetResolver(Resolver resolver)
{
    QMutexLocker lock(&resolverMutex);
    customResolver = std::move(resolver);
}
