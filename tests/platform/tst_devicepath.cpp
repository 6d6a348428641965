#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/devicepath.h"
#include "platform/lasterror.h"

#include <QTest>

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
} // namespace

class DevicePathTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nameRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<QString>("device");

        QTest::newRow("ascii") << QByteArray("notes.txt") << QStringLiteral("notes.txt");
        QTest::newRow("backslash") << QByteArray("a\\b") << units({'a', 0xF05C, 'b'});
        QTest::newRow("umlaut") << QByteArray("gr\xc3\xbc\xc3\x9f") << u16(u"grüß");
        QTest::newRow("outside the BMP") << QByteArray("\xf0\x9f\x98\x80.png") << u16(u"\U0001F600.png");
        QTest::newRow("latin-1 byte") << QByteArray("caf\xe9") << QStringLiteral("caf") + units({0xDCE9});
        QTest::newRow("truncated sequence") << QByteArray("x\xe2\x82") << units({'x', 0xDCE2, 0xDC82});
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

    void validity_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("valid");

        QTest::newRow("plain") << QStringLiteral("\\My Documents\\a.txt") << true;
        QTest::newRow("slash") << QStringLiteral("\\a/b") << false;
        QTest::newRow("nul") << units({'\\', 'a', 0, 'b'}) << false;
        QTest::newRow("escaped byte") << QStringLiteral("\\caf") + units({0xDCE9}) << true;
        QTest::newRow("lone low surrogate below the bytes") << units({'\\', 'a', 0xDC2F}) << false;
        QTest::newRow("lone high surrogate") << units({'\\', 'a', 0xD83D}) << false;
        QTest::newRow("surrogate pair") << u16(u"\\\U0001F600") << true;
    }

    void validity()
    {
        QFETCH(QString, path);
        QFETCH(bool, valid);
        QCOMPARE(isValidDevicePath(path), valid);
        QCOMPARE(hostPathFromDevice(path).isEmpty(), !valid);
    }

    void hostPaths_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("relativeHost"); // below the root, "" for the root itself

        QTest::newRow("root") << QStringLiteral("\\") << QString();
        QTest::newRow("empty is the root") << QString() << QString();
        QTest::newRow("nested") << QStringLiteral("\\a\\b.txt") << QStringLiteral("/a/b.txt");
        QTest::newRow("relative") << QStringLiteral("a\\b") << QStringLiteral("/a/b");
        QTest::newRow("doubled separators") << QStringLiteral("\\\\a\\\\\\b\\") << QStringLiteral("/a/b");
        QTest::newRow("dot components") << QStringLiteral("\\a\\.\\b") << QStringLiteral("/a/b");
        QTest::newRow("dot-dot stays inside") << QStringLiteral("\\..\\..\\a\\..\\b") << QStringLiteral("/b");
    }

    void hostPaths()
    {
        QFETCH(QString, device);
        QFETCH(QString, relativeHost);
        testsupport::TempDeviceRoot root;
        const QByteArray expected = QFile::encodeName(root.hostPath() + relativeHost);
        QCOMPARE(hostPathFromDevice(device), expected);
        const QString back = devicePathFromHost(expected);
        QCOMPARE(back, relativeHost.isEmpty() ? QStringLiteral("\\") : QString(relativeHost).replace('/', '\\'));
    }

    void hostPathsOutsideTheRoot()
    {
        testsupport::TempDeviceRoot root;
        const QByteArray base = QFile::encodeName(root.hostPath());
        QVERIFY(devicePathFromHost(base + "x/y").isEmpty()); // shares a prefix, not a folder
        QVERIFY(devicePathFromHost(base + "/../elsewhere").isEmpty());
        QVERIFY(devicePathFromHost("relative/path").isEmpty());
        QCOMPARE(devicePathFromHost(base + "//a/./b\\c"), units({'\\', 'a', '\\', 'b', 0xF05C, 'c'}));
    }

    void rootMustBeAFolder()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile(QStringLiteral("\\file")));
        const QString before = deviceRoot();
        QVERIFY(!setDeviceRoot(root.hostPath() + QStringLiteral("/file")));
        QCOMPARE(lastError().code, ENOTDIR);
        QVERIFY(!setDeviceRoot(root.hostPath() + QStringLiteral("/missing")));
        QCOMPARE(lastError().code, ENOENT);
        QVERIFY(lastError().message.contains(QStringLiteral("missing")));
        QCOMPARE(deviceRoot(), before);
        QVERIFY(setDeviceRoot(root.hostPath() + QStringLiteral("/./")));
        QCOMPARE(deviceRoot(), root.hostPath());
        QCOMPARE(lastError().code, 0);
    }
};

FERRIX_TEST(DevicePathTest)
#include "tst_devicepath.moc"
