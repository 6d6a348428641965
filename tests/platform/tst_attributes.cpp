#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/fileattributes.h"
#include "platform/filesystem.h"
#include "platform/findfile.h"
#include "platform/lasterror.h"

#include <QTest>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace platform;

namespace {

constexpr char kAttr[] = "user.DOSATTRIB";

QByteArray storedValue(const QString &hostPath)
{
    char buffer[512];
    const ssize_t n = ::lgetxattr(QFile::encodeName(hostPath).constData(), kAttr, buffer, sizeof buffer);
    return n < 0 ? QByteArray() : QByteArray(buffer, n);
}

bool store(const QString &hostPath, const QByteArray &value)
{
    return ::lsetxattr(QFile::encodeName(hostPath).constData(), kAttr, value.constData(), size_t(value.size()), 0) == 0;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char(v >> (8 * i));
    return b;
}

QByteArray le64(quint64 v)
{
    return le32(quint32(v)) + le32(quint32(v >> 32));
}

// An NDR value as Samba writes it: hex string, NUL, 16-bit version and union
// level (aligned to 2), then the body aligned to 4.
QByteArray blob(const QByteArray &hex, quint16 version, const QByteArray &body)
{
    QByteArray out = hex + '\0';
    if (out.size() % 2)
        out += '\0';
    out += char(version);
    out += '\0';
    out += char(version);
    out += '\0';
    while (out.size() % 4)
        out += '\0';
    return out + body;
}

constexpr quint64 kCreated = 0x01D0A1B2C3D4E5F6ULL; // a time in 2015

} // namespace

class AttributesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\probe"));
        if (!store(root.host("\\probe"), "0x20"))
            QSKIP("no user extended attributes where temporary folders live");
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<uint>("set");
        QTest::addColumn<uint>("expected");
        QTest::addColumn<QByteArray>("stored"); // empty: nothing stored

        const uint A = FILE_ATTRIBUTE_ARCHIVE, H = FILE_ATTRIBUTE_HIDDEN, D = FILE_ATTRIBUTE_DIRECTORY;
        const uint R = FILE_ATTRIBUTE_READONLY, S = FILE_ATTRIBUTE_SYSTEM, N = FILE_ATTRIBUTE_NORMAL;
        QTest::newRow("hidden") << "f" << false << (H | A) << (H | A) << QByteArray("0x22", 5);
        QTest::newRow("archive cleared") << "f" << false << N << N << QByteArray("0x0", 4);
        QTest::newRow("default stores nothing") << "f" << false << A << A << QByteArray();
        QTest::newRow("read-only is the mode") << "f" << false << (R | A) << (R | A) << QByteArray();
        QTest::newRow("rom bits") << "f" << false
                                  << (S | FILE_ATTRIBUTE_INROM | FILE_ATTRIBUTE_ROMMODULE)
                                  << (S | FILE_ATTRIBUTE_INROM | FILE_ATTRIBUTE_ROMMODULE) << QByteArray("0x2044", 7);
        QTest::newRow("kind bits are not settable") << "f" << false << (D | FILE_ATTRIBUTE_REPARSE_POINT | A) << A
                                                    << QByteArray();
        QTest::newRow("dot file stays hidden") << ".dot" << false << N << H << QByteArray("0x0", 4);
        QTest::newRow("dot file hidden is not stored") << ".dot" << false << (H | A) << (H | A) << QByteArray();
        QTest::newRow("hidden folder") << "d" << true << (D | H) << (D | H) << QByteArray("0x12", 5);
        QTest::newRow("plain folder") << "d" << true << D << D << QByteArray();
        QTest::newRow("read-only folder") << "d" << true << (D | R) << (D | R) << QByteArray();
    }

    void roundTrip()
    {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QFETCH(uint, set);
        QFETCH(uint, expected);
        QFETCH(QByteArray, stored);
        testsupport::TempDeviceRoot root;
        const QString path = QLatin1Char('\\') + name;
        QVERIFY(folder ? root.makeFolder(path) : root.makeFile(path));
        QVERIFY(::chmod(QFile::encodeName(root.host(path)), 0666) == 0);

        QVERIFY2(setFileAttributes(path, set), qPrintable(lastError().message));
        QCOMPARE(getFileAttributes(path), expected);
        FindData data;
        QVERIFY(findEntry(path, data));
        QCOMPARE(data.attributes, expected);
        QCOMPARE(storedValue(root.host(path)), stored);

        struct stat st;
        QVERIFY(::stat(QFile::encodeName(root.host(path)), &st) == 0);
        QCOMPARE(st.st_mode & 0222, (expected & FILE_ATTRIBUTE_READONLY) ? 0u : 0222u);
        // Clearing read-only gives the owner, and only the owner, write permission back.
        QVERIFY(setFileAttributes(path, expected & ~FILE_ATTRIBUTE_READONLY));
        QVERIFY(::stat(QFile::encodeName(root.host(path)), &st) == 0);
        QCOMPARE(st.st_mode & 0222, (expected & FILE_ATTRIBUTE_READONLY) ? 0200u : 0222u);
        QCOMPARE(getFileAttributes(path), expected & ~FILE_ATTRIBUTE_READONLY);
    }

    void storedForms_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<uint>("expected");
        QTest::addColumn<quint64>("created"); // 0: not from the value

        const QByteArray v4body = le32(0x11) + le32(0x2) + le64(7) + le64(kCreated);
        QTest::newRow("hex string") << QByteArray("0x22", 5) << 0x22u << quint64(0);
        QTest::newRow("hex without NUL") << QByteArray("0x2") << 0x2u << quint64(0);
        QTest::newRow("directory bit on a file ignored") << QByteArray("0x10", 5) << uint(FILE_ATTRIBUTE_NORMAL) << quint64(0);
        QTest::newRow("garbage reads as nothing") << QByteArray("zz") << 0x20u << quint64(0);
        QTest::newRow("v3 blob") << blob("0x20", 3, le32(0x11) + le32(0x4) + le32(0) + le64(0) + le64(0) + le64(kCreated))
                                 << 0x4u << kCreated;
        QTest::newRow("v4 blob wins over the hex") << blob("0x20", 4, v4body) << 0x2u << kCreated;
        QTest::newRow("v5 blob") << blob("0x2", 5, le32(0x11) + le32(0x2) + le64(9) + le64(kCreated)) << 0x2u
                                 << kCreated;
        QTest::newRow("v5 blob without itime") << blob("0x2", 5, le32(0x11) + le32(0x2) + le64(kCreated)) << 0x2u
                                               << kCreated;
        QTest::newRow("blob without a valid attribute: hex") << blob("0x4", 4, le32(0x10) + le32(0x2) + le64(0) + le64(kCreated))
                                                             << 0x4u << kCreated;
        QTest::newRow("unknown version: hex") << blob("0x2", 9, v4body) << 0x2u << quint64(0);
    }

    void storedForms()
    {
        QFETCH(QByteArray, value);
        QFETCH(uint, expected);
        QFETCH(quint64, created);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\f"));
        QVERIFY(store(root.host("\\f"), value));
        FindData data;
        QVERIFY(findEntry("\\f", data));
        QCOMPARE(data.attributes, expected);
        if (created)
            QCOMPARE(data.creationTime, created);
        else
            QVERIFY(data.creationTime != 0);
    }

    // Changing attributes keeps everything else in a Samba blob, also when
    // the hex string in front of it gets longer.
    void blobKeepsCreationTime_data()
    {
        QTest::addColumn<uint>("set");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("same length") << uint(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE) << QByteArray("0x22");
        QTest::newRow("longer hex") << uint(FILE_ATTRIBUTE_ROMMODULE | FILE_ATTRIBUTE_SYSTEM) << QByteArray("0x2004");
        QTest::newRow("shorter hex") << uint(FILE_ATTRIBUTE_NORMAL) << QByteArray("0x0");
    }

    void blobKeepsCreationTime()
    {
        QFETCH(uint, set);
        QFETCH(QByteArray, hex);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\f"));
        // Samba's v4 layout, byte by byte.
        const QByteArray v4 = QByteArray("0x20\0" "\0" "\x04\0" "\x04\0" "\0\0", 12)
            + le32(0x11) + le32(0x20) + le64(0x0102030405060708ULL) + le64(kCreated);
        QVERIFY(store(root.host("\\f"), v4));

        QVERIFY2(setFileAttributes("\\f", set), qPrintable(lastError().message));
        const QByteArray after = storedValue(root.host("\\f"));
        QVERIFY(after.startsWith(hex + '\0'));
        QVERIFY(after.endsWith(le64(0x0102030405060708ULL) + le64(kCreated)));
        QCOMPARE(after.mid(after.size() - 20, 4), le32(set == FILE_ATTRIBUTE_NORMAL ? 0 : set));
        QCOMPARE(after.mid(after.size() - 24, 4), le32(0x11));
        QCOMPARE(after.size() % 4, 0);
        FindData data;
        QVERIFY(findEntry("\\f", data));
        QCOMPARE(data.attributes, set);
        QCOMPARE(data.creationTime, kCreated);
    }

    void linksStoreNothing()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\target"));
        const QByteArray link = QFile::encodeName(root.host("\\link"));
        QVERIFY(::symlink("target", link) == 0);
        const quint32 attributes = getFileAttributes("\\link");
        QCOMPARE(attributes, FILE_ATTRIBUTE_REPARSE_POINT);
        QVERIFY(setFileAttributes("\\link", attributes));
        QVERIFY(setFileAttributes("\\link", FILE_ATTRIBUTE_NORMAL)); // clearing before a delete works
        QVERIFY(!setFileAttributes("\\link", FILE_ATTRIBUTE_HIDDEN));
        QCOMPARE(lastError().code, EPERM);
        QVERIFY(!setFileAttributes("\\link", FILE_ATTRIBUTE_READONLY));
        QVERIFY(storedValue(root.host("\\target")).isEmpty());
        QCOMPARE(getFileAttributes("\\target"), FILE_ATTRIBUTE_ARCHIVE);
        QCOMPARE(getFileAttributes("\\"), FILE_ATTRIBUTE_DIRECTORY);
    }

};

FERRIX_TEST(AttributesTest)
#include "tst_attributes.moc"
