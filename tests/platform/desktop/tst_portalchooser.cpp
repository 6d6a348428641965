#include "platform/desktop/portalchooser.h"
#include "platform/fs/devicepath.h"
#include "platform/platformtest.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QVariantMap>

#include <csignal>
#include <cstdlib>

namespace {

// A session bus of this test program's own, in place before anything asks
// for the session bus (which Qt connects to once).
struct PrivateBus {
    QTemporaryDir dir;
    QByteArray address = "unix:path=" + QFile::encodeName(dir.filePath(QStringLiteral("bus")));
    pid_t pid = 0;
    bool ok = start();

    bool start()
    {
        const QByteArray pidFile = QFile::encodeName(dir.filePath(QStringLiteral("pid")));
        const QByteArray command = "dbus-daemon --session --fork --address=" + address + " --print-pid=3 3>" + pidFile;
        if (!dir.isValid() || std::system(command.constData()) != 0)
            return false;
        QFile file(QString::fromLocal8Bit(pidFile));
        pid = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
        return pid > 0 && qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    }
    ~PrivateBus()
    {
        if (pid > 0)
            ::kill(pid, SIGTERM);
    }
};
PrivateBus &privateBus()
{
    static PrivateBus bus;
    return bus;
}
const bool privateBusReady = privateBus().ok;

} // namespace

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

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(privateBusReady);
        QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLatin1(privateBus().address),
                                                            QStringLiteral("portal"));
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &m_portal,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        QTRY_VERIFY(platform::canChooseApplication());
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
