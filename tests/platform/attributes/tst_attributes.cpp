#include "platform/platformtest.h"

#include "platform/attributes/fatattrib.h"
#include "platform/attributes/listedattribs.h"
#include "platform/attributes/storedattribcache.h"
#include "platform/testing/faultinjection.h"

#include <QHash>
#include <QScopeGuard>
#include <QtEndian>

#include <linux/msdos_fs.h>
#include <sys/xattr.h>

#include <ctime>
#include <memory>

using namespace platform;
using namespace platformtest;

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

// A file's identity and change time as the cache sees them.
struct statx statOf(quint64 inode, qint64 changeSeconds, quint32 changeNanoseconds = 0)
{
    struct statx st {};
    st.stx_dev_major = 8, st.stx_dev_minor = 1, st.stx_ino = inode;
    st.stx_ctime.tv_sec = changeSeconds, st.stx_ctime.tv_nsec = changeNanoseconds;
    return st;
}

constexpr quint64 kCreated = 0x01D0A1B2C3D4E5F6ULL; // a time in 2015

// An empty 1.44 MB FAT12 floppy image: boot sector (512-byte sectors, one per
// cluster, one reserved, two FATs of 9, 224 root entries, 2880 sectors, media
// F0), two FATs, a root folder.
QByteArray fatImage()
{
    QByteArray image(1440 * 1024, '\0');
    image.replace(0, 28, QByteArray::fromHex("EB3C904D53444F53352E300002010100 02E000400BF0090012000200"));
    image.replace(38, 1, "\x29").replace(43, 19, "NO NAME    FAT12   ").replace(510, 2, "\x55\xAA");
    for (int fat : {512, 512 * 10})
        image.replace(fat, 3, "\xF0\xFF\xFF");
    return image;
}

// The kernel's FAT ioctls played by a table of attribute bytes by inode.
namespace fakefat {
QHash<quint64, quint32> bytes;
int setCalls = 0;
int failSet = 0;

int ioctl(int fd, unsigned long request, quint32 *value)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return -1;
    const quint32 kind = S_ISDIR(st.st_mode) ? 0x10 : 0;
    if (request == FAT_IOCTL_GET_ATTRIBUTES) {
        *value = bytes.value(st.st_ino, kind ? 0 : 0x20) | kind;
        return 0;
    }
    ++setCalls;
    if (failSet) {
        errno = failSet;
        return -1;
    }
    bytes[st.st_ino] = *value & ~0x18u;
    return 0;
}

const platform::detail::FatKernel kernel {[](int) { return true; }, ioctl};
} // namespace fakefat

// stored: the value kept beside the file, empty when none.
struct RoundTrip { QString name; bool folder; uint set; uint expected; QByteArray stored; };

// created: 0 when not from the value.
struct StoredForm { QByteArray value; uint expected; quint64 created; uint set; };

// ramfs: a real file system without stored attributes, else the lack is injected.
struct NowhereToStore { bool ramfs; bool folder; uint mode; uint set; int error; uint after; };

// writes: ioctl calls that set the byte (faked only).
struct FatCase { bool real; QString name; bool folder; uint set; int error; uint after; int writes; };

// store: 0 the cache by inode, else a listing kept with inode 7 second, looked for there (1) or from its
// start (2, as after entries came or went); ageSeconds: of the remembered change time; laterShift: seconds
// added to it for the later look-up.
struct CacheCase { int store; qint64 ageSeconds; quint64 laterInode; qint64 laterShift; quint32 laterNanoseconds; bool hit; };

} // namespace

class AttributesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { detail::forgetStoredAttribs(); }
    void initTestCase()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\probe"));
        if (!store(root.host("\\probe"), "0x20"))
            QSKIP("no user extended attributes where temporary folders live");
    }

    void roundTrip_data()
    {
        QTest::addColumn<RoundTrip>("row");

        const uint A = FILE_ATTRIBUTE_ARCHIVE, H = FILE_ATTRIBUTE_HIDDEN, D = FILE_ATTRIBUTE_DIRECTORY;
        const uint R = FILE_ATTRIBUTE_READONLY, N = FILE_ATTRIBUTE_NORMAL;
        const uint rom = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_INROM | FILE_ATTRIBUTE_ROMMODULE;
        QTest::newRow("hidden") << RoundTrip{"f", false, (H | A), (H | A), QByteArray("0x22", 5)};
        QTest::newRow("archive cleared") << RoundTrip{"f", false, N, N, QByteArray("0x0", 4)};
        QTest::newRow("default stores nothing") << RoundTrip{"f", false, A, A, QByteArray()};
        QTest::newRow("read-only is the mode") << RoundTrip{"f", false, (R | A), (R | A), QByteArray()};
        QTest::newRow("rom bits") << RoundTrip{"f", false, rom, rom, QByteArray("0x2044", 7)};
        QTest::newRow("kind bits are not settable") << RoundTrip{"f", false, (D | FILE_ATTRIBUTE_REPARSE_POINT | A), A, QByteArray()};
        QTest::newRow("dot file stays hidden") << RoundTrip{".dot", false, N, H, QByteArray("0x0", 4)};
        QTest::newRow("dot file hidden is not stored") << RoundTrip{".dot", false, (H | A), (H | A), QByteArray()};
        QTest::newRow("read-only folder is stored") << RoundTrip{"d", true, (D | R), (D | R), QByteArray("0x11", 5)};
    }

    void roundTrip()
    {
        auto [name, folder, set, expected, stored] = fetchRow<RoundTrip>();
        testsupport::TempDeviceRoot root;
        const QString path = QLatin1Char('\\') + name;
        QVERIFY(folder ? root.makeFolder(path) : root.makeFile(path));
        QVERIFY(::chmod(QFile::encodeName(root.host(path)), 0666) == 0);
        const auto writeBits = [&] { return hostMode(root, path) & 0222; };
        const bool readOnly = expected & FILE_ATTRIBUTE_READONLY;

        QVERIFY2(setFileAttributes(path, set), qPrintable(lastError().message));
        QCOMPARE(getFileAttributes(path), expected);
        QCOMPARE(listedEntry(path).attributes, expected);
        QCOMPARE(storedValue(root.host(path)), stored);
        // A folder's read-only is a mark: what it holds can still change.
        QCOMPARE(writeBits(), readOnly && !folder ? 0u : 0222u);
        // Clearing read-only gives the owner, and only the owner, write permission back.
        QVERIFY(setFileAttributes(path, expected & ~FILE_ATTRIBUTE_READONLY));
        QCOMPARE(writeBits(), readOnly && !folder ? 0200u : 0222u);
        QCOMPARE(getFileAttributes(path), expected & ~FILE_ATTRIBUTE_READONLY);
    }

    // Values other programs store, Samba's blobs among them. Changing the
    // attributes keeps everything else a blob holds, the creation time above
    // all, also when the hex string in front of it changes length.
    void storedForms_data()
    {
        QTest::addColumn<StoredForm>("row");

        const uint HA = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, N = FILE_ATTRIBUTE_NORMAL;
        const uint rom = FILE_ATTRIBUTE_ROMMODULE | FILE_ATTRIBUTE_SYSTEM;
        const QByteArray v4body = le32(0x11) + le32(0x2) + le64(7) + le64(kCreated);
        // Samba's v4 layout, byte by byte.
        const QByteArray samba = QByteArray("0x20\0" "\0" "\x04\0" "\x04\0" "\0\0", 12) + le32(0x11) + le32(0x20)
            + le64(0x0102030405060708ULL) + le64(kCreated);
        QTest::newRow("hex string") << StoredForm{QByteArray("0x22", 5), 0x22u, quint64(0), N};
        QTest::newRow("hex without NUL") << StoredForm{QByteArray("0x2"), 0x2u, quint64(0), HA};
        QTest::newRow("directory bit on a file ignored") << StoredForm{QByteArray("0x10", 5), N, quint64(0), HA};
        QTest::newRow("garbage reads as nothing") << StoredForm{QByteArray("zz"), 0x20u, quint64(0), HA};
        QTest::newRow("v3 blob") << StoredForm{blob("0x20", 3, le32(0x11) + le32(0x4) + le32(0) + le64(0) + le64(0) + le64(kCreated)), 0x4u,
            kCreated, HA};
        QTest::newRow("v4 blob as Samba writes it") << StoredForm{samba, 0x20u, kCreated, HA};
        QTest::newRow("v4 blob, longer hex") << StoredForm{samba, 0x20u, kCreated, rom};
        QTest::newRow("v4 blob wins over the hex") << StoredForm{blob("0x20", 4, v4body), 0x2u, kCreated, HA};
        QTest::newRow("v5 blob") << StoredForm{blob("0x2", 5, le32(0x11) + le32(0x2) + le64(9) + le64(kCreated)), 0x2u, kCreated, HA};
        QTest::newRow("v5 blob without itime") << StoredForm{blob("0x2", 5, le32(0x11) + le32(0x2) + le64(kCreated)), 0x2u, kCreated, rom};
        QTest::newRow("blob without a valid attribute: hex") << StoredForm{blob("0x4", 4,
            le32(0x10) + le32(0x2) + le64(0) + le64(kCreated)), 0x4u, kCreated, HA};
        QTest::newRow("unknown version: hex") << StoredForm{blob("0x2", 9, v4body), 0x2u, quint64(0), HA};
        QTest::newRow("long unknown blob: hex") << StoredForm{QByteArray("0x22", 5) + QByteArray(400, 'z'), 0x22u, quint64(0), N};
    }

    void storedForms()
    {
        auto [value, expected, created, set] = fetchRow<StoredForm>();
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\f") && store(root.host("\\f"), value));
        FindData data;
        QVERIFY(findEntry("\\f", data));
        QCOMPARE(data.attributes, expected);
        QVERIFY(data.creationTime != 0 && (!created || data.creationTime == created));
        QVERIFY(copyFile("\\f", "\\copy", true));
        QCOMPARE(storedValue(root.host("\\copy")), value); // a copy keeps the very bytes

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

    // Where nothing can be stored, storing fails and nothing changes, not
    // even a mode changed on the way.
    void nowhereToStore_data()
    {
        QTest::addColumn<NowhereToStore>("row");

        const uint A = FILE_ATTRIBUTE_ARCHIVE, H = FILE_ATTRIBUTE_HIDDEN, R = FILE_ATTRIBUTE_READONLY;
        const uint D = FILE_ATTRIBUTE_DIRECTORY, N = FILE_ATTRIBUTE_NORMAL;
        for (const bool ramfs : {false, true}) {
            const QByteArray where = ramfs ? "ramfs: " : "injected: ";
            auto row = [&](const char *name, bool folder, uint mode, uint set, int error, uint after) {
                QTest::newRow(where + name) << NowhereToStore{ramfs, folder, mode, set, error, after};
            };
            row("clear archive", false, 0644, N, ENOTSUP, A);
            row("hidden", false, 0644, H | A, ENOTSUP, A);
            row("read-only folder", true, 0755, D | R, ENOTSUP, D);
            row("hidden, read-only given back", false, 0444, H | A, ENOTSUP, R | A);
            row("read-only file", false, 0644, R | A, 0, R | A);
        }
    }

    void nowhereToStore()
    {
        auto [ramfs, folder, mode, set, error, after] = fetchRow<NowhereToStore>();
        testsupport::TempDeviceRoot root;
        const Mount mount("ramfs", root.host("\\ram"), "ramfs");
        if (ramfs && !mount.ok())
            QSKIP("cannot mount a ramfs here");
        const QString path = ramfs ? "\\ram\\e" : "\\e";
        QVERIFY(folder ? root.makeFolder(path) : root.makeFile(path));
        QVERIFY(::chmod(QFile::encodeName(root.host(path)), mode) == 0);
        if (!ramfs)
            platform::faults::inject(FsOperation::StoredAttributes, path, ENOTSUP);

        QCOMPARE(setFileAttributes(path, set), error == 0);
        QCOMPARE(lastError().code, error);
        platform::faults::clear();
        QCOMPARE(getFileAttributes(path), after);
        QCOMPARE(hostMode(root, path), (after & FILE_ATTRIBUTE_READONLY) ? mode & 0555 : mode);
    }

    // On FAT the card's own attribute byte is read and written, through the
    // kernel's ioctls on a FAT image, or through the same calls played by a
    // table where this machine cannot mount one.
    void fat_data()
    {
        QTest::addColumn<FatCase>("row");

        const uint A = FILE_ATTRIBUTE_ARCHIVE, H = FILE_ATTRIBUTE_HIDDEN, R = FILE_ATTRIBUTE_READONLY;
        const uint D = FILE_ATTRIBUTE_DIRECTORY, S = FILE_ATTRIBUTE_SYSTEM;
        for (const bool real : {false, true}) {
            const QByteArray where = real ? "image: " : "faked: ";
            auto row = [&](const char *name, const char *entry, bool folder, uint set, int error, uint after, int writes) {
                QTest::newRow(where + name) << FatCase{real, QString::fromLatin1(entry), folder, set, error, after, writes};
            };
            row("hidden system", "f", false, H | S | A, 0, H | S | A, 1);
            row("read-only file", "f", false, R | A, 0, R | A, 1);
            row("unchanged", "f", false, A | FILE_ATTRIBUTE_TEMPORARY, 0, A, 0);
            row("dot name is not hidden", ".f", false, A, 0, A, 0);
            row("dot name hidden", ".f", false, H, 0, H, 1);
            row("read-only folder", "d", true, D | R, 0, D | R, 1);
            if (!real)
                row("the ioctl fails", "f", false, H | A, EIO, A, 1);
        }
    }

    void fat()
    {
        auto [real, name, folder, set, error, after, writes] = fetchRow<FatCase>();
        testsupport::TempDeviceRoot root;
        QString path = QLatin1Char('\\') + name;
        std::unique_ptr<Mount> mount;
        if (real) {
            QFile image(root.hostPath() + "/fat.img");
            QVERIFY(image.open(QIODevice::WriteOnly) && image.write(fatImage()) == 1440 * 1024);
            image.close();
            mount = std::make_unique<Mount>(image.fileName(), root.host("\\card"), "vfat", QStringList {"-o", "loop"});
            if (!mount->ok())
                QSKIP("cannot mount a FAT image here");
            path = "\\card" + path;
        } else {
            fakefat::bytes.clear();
            fakefat::setCalls = 0;
            fakefat::failSet = error;
            platform::detail::setFatKernelForTesting(&fakefat::kernel);
        }
        const auto restore = qScopeGuard([] { platform::detail::setFatKernelForTesting(nullptr); });
        QVERIFY(folder ? root.makeFolder(path) : root.makeFile(path));
        const uint modeBefore = hostMode(root, path);

        QCOMPARE(setFileAttributes(path, set), error == 0);
        QCOMPARE(lastError().code, error);
        QCOMPARE(getFileAttributes(path), after);
        QCOMPARE(listedEntry(path).attributes, after);
        if (real)
            return;
        QCOMPARE(fakefat::setCalls, writes);
        QCOMPARE(storedValue(root.host(path)), QByteArray()); // nothing beside the byte
        QCOMPARE(hostMode(root, path), modeBefore); // the kernel's business, not ours
    }

    // What a second listing (or a copy) may take from what the first one
    // remembered of inode 7 with the given change time.
    void cacheAnswers_data()
    {
        QTest::addColumn<CacheCase>("row");
        for (const int store : {0, 1, 2}) {
            const QByteArray where = store == 0 ? "by inode: " : store == 1 ? "listing, in place: " : "listing, moved: ";
            auto row = [&](const char *name, qint64 age, quint64 inode, qint64 shift, quint32 nanoseconds, bool hit) {
                QTest::newRow(where + name) << CacheCase{store, age, inode, shift, nanoseconds, hit};
            };
            row("same inode, same change time", 3600, 7, 0, 0, true);
            row("changed since", 3600, 7, 1, 0, false);
            row("changed within the same second", 3600, 7, 0, 5, false);
            row("another inode", 3600, 8, 0, 0, false);
            row("changed just now: never kept", 0, 7, 0, 0, false);
        }
    }
    void cacheAnswers()
    {
        auto [store, ageSeconds, laterInode, laterShift, laterNanoseconds, hit] = fetchRow<CacheCase>();
        const qint64 changed = qint64(std::time(nullptr)) - ageSeconds;
        detail::DosAttrib value;
        value.valid = true, value.present = true, value.attributes = 0x22, value.createTime = 123;
        const struct statx before = statOf(5, changed - 10), remembered = statOf(7, changed);
        const struct statx later = statOf(laterInode, changed + laterShift, laterNanoseconds);
        detail::DosAttrib found;
        if (store == 0) {
            detail::rememberStoredAttrib(remembered, value);
            QCOMPARE(detail::lookupStoredAttrib(later, found), hit);
        } else {
            detail::ListedAttribs listed; // inode 5, inode 7, then an entry nothing was kept for
            listed.append(&before, detail::DosAttrib()), listed.append(&remembered, value), listed.append(nullptr, value);
            size_t at = store == 1 ? 1 : 0;
            QCOMPARE(listed.find(at, later, found), hit);
            QCOMPARE(at, hit ? 2u : size_t(store == 1 ? 1 : 0)); // where the next entry is looked for
        }
        // A copy leaves out the attribute read only when the cache says nothing is stored.
        QVERIFY(!hit || (found.attributes == 0x22u && found.createTime == 123 && found.present));
    }
};

FERRIX_TEST(AttributesTest)
#include "tst_attributes.moc"
