#include "platform/desktop/fileuri.h"
#include "platform/fs/devicepath.h"
#include "platform/platformtest.h"

using namespace platform;

namespace {
// Text with chosen UTF-16 units, lone surrogates included.
QString units(std::initializer_list<char16_t> list)
{
    return QString(reinterpret_cast<const QChar *>(list.begin()), qsizetype(list.size()));
}
QString u16(const char16_t *text)
{
    return QString::fromUtf16(text);
}
// device: null when refused.
struct UriCase { QByteArray uri; QString device; bool canonical; };

} // namespace

class DevicePathTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nameRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<QString>("device");

        QTest::newRow("backslash") << QByteArray("a\\b") << units({'a', 0xF05C, 'b'});
        QTest::newRow("outside the BMP") << QByteArray("\xf0\x9f\x98\x80.png") << u16(u"\U0001F600.png");
        QTest::newRow("latin-1 byte") << QByteArray("caf\xe9") << QStringLiteral("caf") + units({0xDCE9});
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << units({0xDCC0, 0xDCAF});
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xb2\x80") << units({0xDCED, 0xDCB2, 0xDC80});
        QTest::newRow("real U+F05C stays bytes") << QByteArray("\xef\x81\x9c") << units({0xDCEF, 0xDC81, 0xDC9C});
    }

    void nameRoundTrip()
    {
        QFETCH(QByteArray, host);
        QFETCH(QString, device);
        QCOMPARE(deviceNameFromHost(host), device);
        QCOMPARE(hostNameFromDevice(device), host);
        QVERIFY(isValidDevicePath(QLatin1Char('\\') + device));
    }

    // Device paths to host paths below the root and back; invalid ones have none.
    void hostPaths_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("relativeHost"); // below the root, "" for the root itself, null: invalid

        QTest::newRow("root") << "\\" << "";
        QTest::newRow("empty is the root") << QString() << "";
        QTest::newRow("nested") << "\\My Documents\\a.txt" << "/My Documents/a.txt";
        QTest::newRow("doubled separators") << "\\\\a\\\\\\b\\" << "/a/b";
        QTest::newRow("dot-dot stays inside") << "\\..\\..\\a\\..\\b" << "/b";
        QTest::newRow("escaped byte") << "\\caf" + units({0xDCE9}) << QString("/caf") + units({0xDCE9});
        QTest::newRow("surrogate pair") << u16(u"\\\U0001F600") << u16(u"/\U0001F600");
        QTest::newRow("slash") << "\\a/b" << QString();
        QTest::newRow("nul") << units({'\\', 'a', 0, 'b'}) << QString();
        QTest::newRow("lone low surrogate below the bytes") << units({'\\', 'a', 0xDC2F}) << QString();
        QTest::newRow("lone high surrogate") << units({'\\', 'a', 0xD83D}) << QString();
    }

    void hostPaths()
    {
        QFETCH(QString, device);
        QFETCH(QString, relativeHost);
        testsupport::TempDeviceRoot root;
        if (!device.isEmpty())
            QCOMPARE(isValidDevicePath(device), !relativeHost.isNull());
        if (relativeHost.isNull()) {
            QVERIFY(hostPathFromDevice(device).isEmpty());
            return;
        }
        const QByteArray expected = hostNameFromDevice(root.hostPath() + relativeHost);
        QCOMPARE(hostPathFromDevice(device), expected);
        QCOMPARE(devicePathFromHost(expected), relativeHost.isEmpty() ? QStringLiteral("\\") : QString(relativeHost).replace('/', '\\'));
    }

    // URIs other programs put on the clipboard; "ROOT" stands for the device
    // root's host path, percent-encoded. The canonical ones are also what a
    // device path becomes.
    void fileUris_data()
    {
        QTest::addColumn<UriCase>("row");
        QTest::newRow("hostile bytes") << UriCase{QByteArray("file://ROOT/a%20%27%22%0A%25%23%3F%FF"), units({'\\', 'a', ' ', '\'', '"', '\n', '%', '#', '?', 0xDCFF}), true};
        QTest::newRow("UTF-8") << UriCase{QByteArray("file://ROOT/%C3%A9"), u16(u"\\\u00e9"), true};
        QTest::newRow("localhost, scheme in capitals") << UriCase{QByteArray("FILE://localhost/ROOT/x"), "\\x", false};
        QTest::newRow("one slash, fragment, query") << UriCase{QByteArray("file:ROOT/x#y?z"), "\\x", false};
        QTest::newRow("the root itself") << UriCase{QByteArray("file://ROOT"), "\\", false};
        QTest::newRow("another host") << UriCase{QByteArray("file://elsewhere.invalid/ROOT/x"), QString(), false};
        QTest::newRow("outside the root") << UriCase{QByteArray("file://ROOT/../x"), QString(), false};
        QTest::newRow("a name sharing the root's start") << UriCase{QByteArray("file://ROOTx/y"), QString(), false};
        QTest::newRow("odd separators") << UriCase{QByteArray("file://ROOT//a/./b%5Cc"), units({'\\', 'a', '\\', 'b', 0xF05C, 'c'}), false};
    }
    void fileUris()
    {
        auto [uri, device, canonical] = platformtest::fetchRow<UriCase>();
        testsupport::TempDeviceRoot root;
        uri.replace("ROOT", QFile::encodeName(root.hostPath()).toPercentEncoding("/"));
        QCOMPARE(devicePathFromFileUri(uri), device);
        if (canonical)
            QCOMPARE(fileUriFromDevice(device), uri);
    }
};

FERRIX_TEST(DevicePathTest)
#include "tst_devicepath.moc"
