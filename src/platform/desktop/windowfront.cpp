#include "windowfront.h"

#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QWindow>

#include <memory>

#include <unistd.h>

namespace platform {

namespace {

QString customChannel;
QPointer<QLocalServer> server;

// One channel per user and display: instances on another display, or of
// another user, have windows we could never bring up.
QString channelName()
{
    if (!customChannel.isEmpty())
        return customChannel;
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return QString();
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString name = QStringLiteral("ferrix-front-%1-%2").arg(QGuiApplication::platformName(), display);
    // The user's own runtime folder, which no one else can put a socket in.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? name + QLatin1Char('-') + QString::number(getuid()) : runtime + QLatin1Char('/') + name;
}

// The launcher's activation token, as it was at start: showing the splash
// may have used it up in the environment by the time the frame is made.
QString launchToken()
{
    static const QString atStart = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    const QString now = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    return now.isEmpty() ? atStart : now;
}

void raiseWindow(QWindow *window, const QString &token)
{
    // On Wayland Qt's activation request uses the launcher's token from the
    // environment; the later instance hands over the one it was given.
    if (!token.isEmpty() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    window->raise();
    window->requestActivate();
}

// A request is one line: the title, a tab, the activation token.
void serve(QLocalSocket *socket)
{
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
        while (socket->canReadLine()) {
            const QString line = QString::fromUtf8(socket->readLine()).chopped(1);
            const QString title = line.section(QLatin1Char('\t'), 0, 0);
            if (QWindow *window = findTopLevelWindow(title))
                raiseWindow(window, line.section(QLatin1Char('\t'), 1));
        }
        // Nobody sends more than a line or two: a peer that floods is cut off.
        if (socket->bytesAvailable() > 4096)
            socket->abort();
    });
}

bool listen(const QString &name)
{
    auto *listener = new QLocalServer(qApp);
    listener->setSocketOptions(QLocalServer::UserAccessOption);
    if (!listener->listen(name)) {
        delete listener;
        return false;
    }
    QObject::connect(listener, &QLocalServer::newConnection, listener, [listener] {
        while (QLocalSocket *socket = listener->nextPendingConnection())
            serve(socket);
    });
    server = listener;
    return true;
}

} // namespace

QWindow *findTopLevelWindow(const QString &title)
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow *window : windows)
        if (window->isVisible() && window->title() == title)
            return window;
    return nullptr;
}

bool bringWindowToFront(const QString &title)
{
    if (QWindow *window = findTopLevelWindow(title)) {
        raiseWindow(window, QString());
        return true;
    }
    const QString name = channelName();
    if (name.isEmpty() || server)
        return false; // no earlier instance: this one would have heard of it
    const QString token = launchToken();
    const QByteArray line = (title + QLatin1Char('\t') + token + QLatin1Char('\n')).toUtf8();
    auto *socket = new QLocalSocket(qApp);
    auto sent = std::make_shared<bool>(false);
    QObject::connect(socket, &QLocalSocket::connected, socket, [socket, line, sent] {
        *sent = socket->write(line) == line.size();
        socket->disconnectFromServer(); // once the line is written
    });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::errorOccurred, socket, &QObject::deleteLater);
    // A local socket connects at once or fails at once; nothing here waits.
    socket->connectToServer(name, QIODevice::WriteOnly);
    return *sent || socket->state() == QLocalSocket::ConnectingState;
}

void listenForFrontRequests()
{
    launchToken();
    const QString name = channelName();
    if (name.isEmpty() || server)
        return;
    // An earlier instance answers; a socket file no one answers is what a
    // crashed one left. (Listening would take the name over either way.)
    QLocalSocket probe;
    probe.connectToServer(name, QIODevice::WriteOnly);
    if (probe.state() != QLocalSocket::UnconnectedState)
        return;
    QLocalServer::removeServer(name);
    listen(name);
}

void setFrontChannelName(const QString &name)
{
    delete server.data();
    customChannel = name;
}

bool isListeningForFrontRequests()
{
    return !server.isNull();
}

} // namespace platform
