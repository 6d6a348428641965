#include "platform/desktop/portalchooser.h"
#include "platform/fs/devicepath.h"
#include "platform/platformtest.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QVariantMap>

// Stands in for the desktop's portal: records the file each request names.
class FakeOpenUri : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.OpenURI")
public:
    QByteArray file; // what the descriptor that came is open on
    bool ask = false;

public Q_SLOTS:
    QDBusObjectPath OpenFile(const QString &, const QDBusUnixFileDescriptor &fd, const QVariantMap &options)
    {
        char target[4096];
        const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd.fileDescriptor());
        const ssize_t size = ::readlink(link.constData(), target, sizeof target);
        file = QByteArray(target, size > 0 ? size : 0);
        ask = options.value(QStringLiteral("ask")).toBool();
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/portal/desktop/request/1"));
    }
};

// Other Application goes to the portal's chooser with the file itself,
// whatever its name holds.
class PortalChooserTest : public QObject {
    Q_OBJECT

    FakeOpenUri m_portal;
    QTemporaryDir m_dir;
    QProcess m_bus; // a session bus of this test's own

private Q_SLOTS:
    void initTestCase()
    {
        // Nothing in this program has asked for the session bus yet: Qt
        // connects to the one named here.
        const QString address = "unix:path=" + m_dir.filePath(QStringLiteral("bus"));
        m_bus.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--address=" + address});
        QTRY_VERIFY(QFile::exists(m_dir.filePath(QStringLiteral("bus"))));
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toLocal8Bit());
        QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("portal"));
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &m_portal,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        QTRY_VERIFY(platform::canChooseApplication());
    }

    void cleanupTestCase()
    {
        m_bus.kill();
        m_bus.waitForFinished();
    }

    void chooses_data()
    {
        QTest::addColumn<QByteArray>("hostName");
        QTest::addColumn<bool>("fifo");
        QTest::newRow("blanks") << QByteArray("a b.txt") << false;
        QTest::newRow("dash and quotes") << QByteArray("-x \"q' %f.txt") << false;
        QTest::newRow("newline") << QByteArray("new\nline") << false;
        QTest::newRow("not UTF-8") << QByteArray("caf\xe9 \xff") << false;
        QTest::newRow("FIFO") << QByteArray("pipe") << true;
    }
    void chooses()
    {
        QFETCH(QByteArray, hostName);
        QFETCH(bool, fifo);
        testsupport::TempDeviceRoot root;
        const QByteArray host = QFile::encodeName(root.hostPath()) + '/' + hostName;
        QVERIFY(fifo ? ::mkfifo(host.constData(), 0644) == 0 : testsupport::writeHostFile(host, "x"));
        const auto removeFile = qScopeGuard([&host] { ::unlink(host.constData()); }); // QTemporaryDir cannot
        m_portal.file.clear();
        QVERIFY(platform::chooseApplication(u'\\' + platform::deviceNameFromHost(hostName)));
        QTRY_COMPARE(m_portal.file, host);
        QVERIFY(m_portal.ask);
    }
};

FERRIX_TEST(PortalChooserTest)
#include "tst_portalchooser.moc"
