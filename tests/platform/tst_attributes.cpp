#include "platformtest.h"

#include <QtEndian>

#include <sys/stat.h>
#include <sys/xattr.h>

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

template <typename T>
QByteArray le(T v)
{
    v = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char *>(&v), sizeof v);
}
QByteArray le32(quint32 v) { return le(v); }
QByteArray le64(quint64 v) { return le(v); }

// An NDR value as Samba writes it: hex string, NUL, 16-bit version and union
// level (aligned to 2), then the body aligned to 4.
QByteArray blob(const QByteArray &hex, quint16 version, const QByteArray &body)
{
    QByteArray out = hex + '\0';
    out.resize((out.size() + 1) / 2 * 2, '\0');
    out += le(version) + le(version);
    out.resize((out.size() + 3) / 4 * 4, '\0');
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
        const uint R = FILE_ATTRIBUTE_READONLY, N = FILE_ATTRIBUTE_NORMAL;
        const uint rom = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_INROM | FILE_ATTRIBUTE_ROMMODULE;
        QTest::newRow("hidden") << "f" << false << (H | A) << (H | A) << QByteArray("0x22", 5);
        QTest::newRow("archive cleared") << "f" << false << N << N << QByteArray("0x0", 4);
        QTest::newRow("default stores nothing") << "f" << false << A << A << QByteArray();
        QTest::newRow("read-only is the mode") << "f" << false << (R | A) << (R | A) << QByteArray();
        QTest::newRow("rom bits") << "f" << false << rom << rom << QByteArray("0x2044", 7);
        QTest::newRow("kind bits are not settable") << "f" << false << (D | FILE_ATTRIBUTE_REPARSE_POINT | A) << A << QByteArray();
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
        const auto writeBits = [&] {
            struct stat st;
            return ::stat(QFile::encodeName(root.host(path)), &st) == 0 ? st.st_mode & 0222 : 1u;
        };
        const bool readOnly = expected & FILE_ATTRIBUTE_READONLY;

        QVERIFY2(setFileAttributes(path, set), qPrintable(lastError().message));
        QCOMPARE(getFileAttributes(path), expected);
        FindData data;
        QVERIFY(findEntry(path, data));
        QCOMPARE(data.attributes, expected);
        QCOMPARE(storedValue(root.host(path)), stored);
        QCOMPARE(writeBits(), readOnly ? 0u : 0222u);
        // Clearing read-only gives the owner, and only the owner, write permission back.
        QVERIFY(setFileAttributes(path, expected & ~FILE_ATTRIBUTE_READONLY));
        QCOMPARE(writeBits(), readOnly ? 0200u : 0222u);
        QCOMPARE(getFileAttributes(path), expected & ~FILE_ATTRIBUTE_READONLY);
    }

    // Values other programs store, Samba's blobs among them. Changing the
    // attributes keeps everything else a blob holds, the creation time above
    // all, also when the hex string in front of it changes length.
    void storedForms_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<uint>("expected");
        QTest::addColumn<quint64>("created"); // 0: not from the value
        QTest::addColumn<uint>("set");

        const uint HA = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, N = FILE_ATTRIBUTE_NORMAL;
        const uint rom = FILE_ATTRIBUTE_ROMMODULE | FILE_ATTRIBUTE_SYSTEM;
        const QByteArray v4body = le32(0x11) + le32(0x2) + le64(7) + le64(kCreated);
        // Samba's v4 layout, byte by byte.
        const QByteArray samba = QByteArray("0x20\0" "\0" "\x04\0" "\x04\0" "\0\0", 12) + le32(0x11) + le32(0x20)
            + le64(0x0102030405060708ULL) + le64(kCreated);
        QTest::newRow("hex string") << QByteArray("0x22", 5) << 0x22u << quint64(0) << N;
        QTest::newRow("hex without NUL") << QByteArray("0x2") << 0x2u << quint64(0) << HA;
        QTest::newRow("directory bit on a file ignored") << QByteArray("0x10", 5) << N << quint64(0) << HA;
        QTest::newRow("garbage reads as nothing") << QByteArray("zz") << 0x20u << quint64(0) << HA;
        QTest::newRow("v3 blob") << blob("0x20", 3, le32(0x11) + le32(0x4) + le32(0) + le64(0) + le64(0) + le64(kCreated))
                                 << 0x4u << kCreated << HA;
        QTest::newRow("v4 blob as Samba writes it") << samba << 0x20u << kCreated << HA;
        QTest::newRow("v4 blob, longer hex") << samba << 0x20u << kCreated << rom;
        QTest::newRow("v4 blob, shorter hex") << samba << 0x20u << kCreated << N;
        QTest::newRow("v4 blob wins over the hex") << blob("0x20", 4, v4body) << 0x2u << kCreated << HA;
        QTest::newRow("v5 blob") << blob("0x2", 5, le32(0x11) + le32(0x2) + le64(9) + le64(kCreated)) << 0x2u << kCreated << HA;
        QTest::newRow("v5 blob without itime") << blob("0x2", 5, le32(0x11) + le32(0x2) + le64(kCreated)) << 0x2u << kCreated << rom;
        QTest::newRow("blob without a valid attribute: hex") << blob("0x4", 4, le32(0x10) + le32(0x2) + le64(0) + le64(kCreated))
                                                             << 0x4u << kCreated << HA;
        QTest::newRow("unknown version: hex") << blob("0x2", 9, v4body) << 0x2u << quint64(0) << HA;
    }

    void storedForms()
    {
        QFETCH(QByteArray, value);
        QFETCH(uint, expected);
        QFETCH(quint64, created);
        QFETCH(uint, set);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\f") && store(root.host("\\f"), value));
        FindData data;
        QVERIFY(findEntry("\\f", data));
        QCOMPARE(data.attributes, expected);
        QVERIFY(data.creationTime != 0 && (!created || data.creationTime == created));

        const FileTime creationTime = data.creationTime;
        QVERIFY2(setFileAttributes("\\f", set), qPrintable(lastError().message));
        QVERIFY(findEntry("\\f", data));
        QCOMPARE(data.attributes, set);
        QCOMPARE(data.creationTime, creationTime);
        if (!created)
            return;
        // A blob stays one, behind the hex string a plain file gets.
        QVERIFY(root.makeFile("\\plain") && setFileAttributes("\\plain", set));
        const QByteArray after = storedValue(root.host("\\f"));
        QVERIFY2(after.startsWith(storedValue(root.host("\\plain"))), after.toHex().constData());
        QVERIFY(after.endsWith(le64(kCreated)) && after.size() % 4 == 0);
    }
};

FERRIX_TEST(AttributesTest)
#include "tst_attributes.moc"
