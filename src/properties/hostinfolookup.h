#pragma once
#include "platform/system/systeminfo.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Looks up this device's host name and first address, and the peer's
// (the official name and first address of "ppp_peer"), on a thread of its own, so a slow resolver never holds up
// the window. Results are posted to the receiver's thread and dropped once
// the lookup object is gone; nothing waits for a thread still resolving.
class HostInfoLookup {
public:
    // device and peer get "name (address)", or an empty text when that part
    // of the lookup failed.
    using Deliver = std::function<void(int which, const QString &text)>;
    enum Which { Device = 1, Peer = 2 };

    HostInfoLookup(QObject *receiver, Deliver deliver);
    ~HostInfoLookup();
    HostInfoLookup(const HostInfoLookup &) = delete;
    HostInfoLookup &operator=(const HostInfoLookup &) = delete;

    // Starts a lookup unless one is still running; true when started.
    bool Start();
    bool IsRunning() const;

    // Tests replace the name resolver; an empty function restores the
    // system's.
    using Resolver = std::function<platform::HostEntry(const QString &name)>;
    static void SetResolver(Resolver resolver);

private:
    struct Channel;
    std::shared_ptr<Channel> m_channel;
};
