#include "platform/desktop/windowfront.h"
#include "platform/platformtest.h"

#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWindow>

using namespace platform;

// Another instance's window titled Ferrix comes to the front through the
// request its instance listens for (this process's own: tst_app).
class WindowFrontTest : public QObject {
    Q_OBJECT

    QString m_channel = QStringLiteral("ferrix-front-test-%1").arg(QCoreApplication::applicationPid());

private Q_SLOTS:
    void cleanup()
    {
        setFrontChannelName({});
        qunsetenv("XDG_ACTIVATION_TOKEN");
    }

    // The earlier instance raises its window when a later one asks.
    void raisesAtRequest()
    {
        QWindow ferrix, other;
        ferrix.setTitle(QStringLiteral("Ferrix"));
        other.setTitle(QStringLiteral("Ferrix Find"));
        ferrix.show();
        other.show();
        other.requestActivate();
        QTRY_COMPARE(QGuiApplication::focusWindow(), &other);
        setFrontChannelName(m_channel);
        listenForFrontRequests();
        QVERIFY(isListeningForFrontRequests());
        QLocalSocket later;
        later.connectToServer(m_channel);
        QVERIFY(later.waitForConnected());
        later.write("Ferrix\t\n");
        QVERIFY(later.waitForBytesWritten());
        QTRY_COMPARE(QGuiApplication::focusWindow(), &ferrix);
    }

    // Without a window of that title here, the earlier instance is asked,
    // with the launcher's activation token; offscreen windows share no
    // desktop, so there is no one to ask.
    void asksEarlierInstance()
    {
        QVERIFY(!bringWindowToFront(QStringLiteral("Ferrix")));
        QLocalServer earlier;
        QLocalServer::removeServer(m_channel);
        QVERIFY(earlier.listen(m_channel));
        setFrontChannelName(m_channel);
        qputenv("XDG_ACTIVATION_TOKEN", "launch-token");
        QVERIFY(bringWindowToFront(QStringLiteral("Ferrix")));
        QVERIFY(earlier.waitForNewConnection(5000));
        QLocalSocket *request = earlier.nextPendingConnection();
        QTRY_VERIFY(request->canReadLine());
        QCOMPARE(request->readLine(), QByteArray("Ferrix\tlaunch-token\n"));
        // A second instance does not listen while the first does.
        listenForFrontRequests();
        QVERIFY(!isListeningForFrontRequests());
    }
};

FERRIX_TEST(WindowFrontTest)
#include "tst_windowfront.moc"
