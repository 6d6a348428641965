#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/faultinjection.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/findfile.h"
#include "platform/lasterror.h"

#include <QDir>
#include <QTest>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

using Operation = bool (*)(const QString &, const QString &);

// Names in a host folder, for checking that no temporary file was left over.
QStringList hostEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

class FileSystemTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { faults::clear(); }

    // Every refused move or copy leaves both sides exactly as they were.
    void refusals_data()
    {
        QTest::addColumn<void *>("operation");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("error");

        void *move = reinterpret_cast<void *>(&moveFile);
        void *copyNew = (void *)Operation([](const QString &a, const QString &b) { return copyFile(a, b, true); });
        void *copyOver = (void *)Operation([](const QString &a, const QString &b) { return copyFile(a, b, false); });
        QTest::newRow("rename with a slash") << move << "\\a\\f.txt" << "\\a/b" << EINVAL;
        QTest::newRow("rename onto a file") << move << "\\a\\f.txt" << "\\a\\g.txt" << EEXIST;
        QTest::newRow("rename onto a folder") << move << "\\a\\f.txt" << "\\b" << EEXIST;
        QTest::newRow("rename onto itself") << move << "\\a\\f.txt" << "\\a\\f.txt" << EEXIST;
        QTest::newRow("move a folder into itself") << move << "\\a" << "\\a\\inner" << EINVAL;
        QTest::newRow("move into a missing folder") << move << "\\a\\f.txt" << "\\none\\f.txt" << ENOENT;
        QTest::newRow("move the root") << move << "\\" << "\\x" << EBUSY;
        QTest::newRow("copy onto itself") << copyOver << "\\a\\f.txt" << "\\a\\f.txt" << EINVAL;
        QTest::newRow("copy onto itself by another path") << copyOver << "\\a\\f.txt" << "\\\\a\\.\\f.txt" << EINVAL;
        QTest::newRow("copy onto a hard link of itself") << copyOver << "\\a\\f.txt" << "\\a\\hard" << EINVAL;
        QTest::newRow("copy onto existing, fail if exists") << copyNew << "\\a\\f.txt" << "\\a\\g.txt" << EEXIST;
        QTest::newRow("copy onto a folder") << copyOver << "\\a\\f.txt" << "\\b" << EISDIR;
        QTest::newRow("copy a folder") << copyNew << "\\b" << "\\c" << EISDIR;
        QTest::newRow("copy to a slash name") << copyNew << "\\a\\f.txt" << "\\a/c" << EINVAL;
        QTest::newRow("copy a missing file") << copyNew << "\\a\\none" << "\\c" << ENOENT;
        // Single-path operations ignore the second path.
        Operation mkdir = [](const QString &p, const QString &) { return createDirectory(p); };
        Operation rmdir = [](const QString &p, const QString &) { return removeDirectory(p); };
        Operation del = [](const QString &p, const QString &) { return deleteFile(p); };
        QTest::newRow("create over a folder") << (void *)mkdir << "\\b" << "" << EEXIST;
        QTest::newRow("create over a file") << (void *)mkdir << "\\a\\f.txt" << "" << EEXIST;
        QTest::newRow("create the root") << (void *)mkdir << "\\" << "" << EEXIST;
        QTest::newRow("create with a slash") << (void *)mkdir << "\\a/x" << "" << EINVAL;
        QTest::newRow("remove a full folder") << (void *)rmdir << "\\a" << "" << ENOTEMPTY;
        QTest::newRow("remove a file as a folder") << (void *)rmdir << "\\a\\f.txt" << "" << ENOTDIR;
        QTest::newRow("delete a folder") << (void *)del << "\\b" << "" << EISDIR;
        QTest::newRow("delete a missing file") << (void *)del << "\\a\\none" << "" << ENOENT;
    }

    void refusals()
    {
        QFETCH(void *, operation);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, error);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile(QStringLiteral("\\a\\f.txt"), "source"));
        QVERIFY(root.makeFile(QStringLiteral("\\a\\g.txt"), "other"));
        QVERIFY(root.makeFolder(QStringLiteral("\\a\\b")));
        QVERIFY(root.makeFolder(QStringLiteral("\\b")));
        QVERIFY(::link(QFile::encodeName(root.host("\\a\\f.txt")), QFile::encodeName(root.host("\\a\\hard"))) == 0);
        const QStringList before = hostEntries(root.hostPath() + "/a") + hostEntries(root.hostPath());

        QVERIFY(!reinterpret_cast<Operation>(operation)(from, to));
        QCOMPARE(lastError().code, error);
        QVERIFY(lastError().message.contains(from));
        QCOMPARE(root.read("\\a\\f.txt"), QByteArray("source"));
        QCOMPARE(root.read("\\a\\g.txt"), QByteArray("other"));
        QCOMPARE(hostEntries(root.hostPath() + "/a") + hostEntries(root.hostPath()), before);
    }

    // A copy that fails half-way leaves the old destination and no temporary file.
    void interruptedCopy_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("faultPath");
        QTest::addColumn<bool>("replace");

        QTest::newRow("read fails, replacing") << int(FsOperation::Read) << "\\src.bin" << true;
        QTest::newRow("read fails, new file") << int(FsOperation::Read) << "\\src.bin" << false;
        QTest::newRow("write fails") << int(FsOperation::Write) << "\\dst.bin" << true;
    }

    void interruptedCopy()
    {
        QFETCH(int, operation);
        QFETCH(QString, faultPath);
        QFETCH(bool, replace);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\src.bin", QByteArray(1 << 20, 's')));
        if (replace)
            QVERIFY(root.makeFile("\\dst.bin", "keep me"));
        const QStringList before = hostEntries(root.hostPath());
        faults::inject(FsOperation(operation), faultPath, ENOSPC, 4096);

        QVERIFY(!copyFile("\\src.bin", "\\dst.bin", false));
        QCOMPARE(lastError().code, ENOSPC);
        QCOMPARE(hostEntries(root.hostPath()), before);
        if (replace)
            QCOMPARE(root.read("\\dst.bin"), QByteArray("keep me"));

        // Without the fault the copy is whole and keeps time and permissions.
        faults::clear();
        const FileTime time = fileTimeFromUnix(1'234'567'890, 0);
        QVERIFY(setLastWriteTime("\\src.bin", time));
        QVERIFY(::chmod(QFile::encodeName(root.host("\\src.bin")), 0640) == 0);
        QVERIFY(copyFile("\\src.bin", "\\dst.bin", false));
        QCOMPARE(root.read("\\dst.bin"), QByteArray(1 << 20, 's'));
        FindData data;
        QVERIFY(findEntry("\\dst.bin", data) && data.lastWriteTime == time);
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(root.host("\\dst.bin")), &st) == 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0640));
        QCOMPARE(hostEntries(root.hostPath()), (QStringList {"dst.bin", "src.bin"}));
    }

    void symbolicLinksAreLeaves()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\target\\keep.txt", "kept"));
        const QByteArray base = QFile::encodeName(root.hostPath());
        QVERIFY(::symlink("target", base + "/link") == 0);
        QVERIFY(::symlink("target/keep.txt", base + "/filelink") == 0);

        QVERIFY(copyFile("\\filelink", "\\copied", true));
        char buffer[64] = {};
        QCOMPARE(::readlink(base + "/copied", buffer, sizeof buffer - 1), ssize_t(15));
        QCOMPARE(QByteArray(buffer), QByteArray("target/keep.txt"));

        QVERIFY(!removeDirectory("\\link"));
        QCOMPARE(lastError().code, ENOTDIR);
        QVERIFY(deleteFile("\\link"));
        QVERIFY(deleteFile("\\filelink"));
        QVERIFY(!root.exists("\\link"));
        QCOMPARE(root.read("\\target\\keep.txt"), QByteArray("kept"));
    }

    void moveAcrossFileSystems()
    {
        // /dev/shm is a file system of its own on most systems.
        QTemporaryDir other(QStringLiteral("/dev/shm/ferrix-test-XXXXXX"));
        testsupport::TempDeviceRoot root;
        struct stat a, b;
        if (!other.isValid() || ::stat("/dev/shm", &a) != 0
            || ::stat(QFile::encodeName(root.hostPath()), &b) != 0 || a.st_dev == b.st_dev)
            QSKIP("no second file system to move to");
        const QString shm = QStringLiteral("\\shm");
        QVERIFY(::symlink(QFile::encodeName(other.path()), QFile::encodeName(root.hostPath() + "/shm")) == 0);
        QVERIFY(root.makeFile("\\f.txt", "moved"));
        const FileTime time = fileTimeFromUnix(1'111'111'111, 0);
        QVERIFY(setLastWriteTime("\\f.txt", time));
        QVERIFY(root.makeFolder("\\folder"));

        QVERIFY(moveFile("\\f.txt", shm + "\\f.txt"));
        QVERIFY(!root.exists("\\f.txt"));
        QCOMPARE(root.read("\\shm\\f.txt"), QByteArray("moved"));
        FindData data;
        QVERIFY(findEntry(shm + "\\f.txt", data));
        QCOMPARE(data.lastWriteTime, time);

        QVERIFY(!moveFile("\\folder", shm + "\\folder"));
        QCOMPARE(lastError().code, EXDEV);
        QVERIFY(root.exists("\\folder"));

        QVERIFY(root.makeFile("\\g.txt", "g"));
        QVERIFY(!moveFile("\\g.txt", shm + "\\f.txt"));
        QCOMPARE(lastError().code, EEXIST);
        QCOMPARE(root.read("\\shm\\f.txt"), QByteArray("moved"));
    }

    void reading()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\r.txt", QByteArray(10000, 'r')));
        QVERIFY(root.makeFolder("\\dir"));
        File file;
        QVERIFY(!file.openForReading("\\dir"));
        QCOMPARE(lastError().code, EISDIR);
        QVERIFY(file.openForReading("\\r.txt"));
        QCOMPARE(file.size(), 10000);

        faults::inject(FsOperation::Read, "\\r.txt", EIO, 3000);
        QVERIFY(file.openForReading("\\r.txt"));
        char buffer[2000];
        qint64 n = 0;
        QVERIFY(file.read(buffer, sizeof buffer, &n) && n == 2000);
        QVERIFY(file.read(buffer, sizeof buffer, &n) && n == 1000);
        QVERIFY(!file.read(buffer, sizeof buffer, &n));
        QCOMPARE(lastError().code, EIO);
        faults::clear();
        QByteArray all;
        QVERIFY(file.openForReading("\\r.txt") && file.readAll(all));
        QCOMPARE(all, QByteArray(10000, 'r'));
    }

    void atomicWrite()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(writeFileAtomically("\\w.txt", "first", true));
        QVERIFY(!writeFileAtomically("\\w.txt", "second", true));
        QCOMPARE(lastError().code, EEXIST);
        QCOMPARE(root.read("\\w.txt"), QByteArray("first"));
        faults::inject(FsOperation::Write, "\\w.txt", ENOSPC, 2);
        QVERIFY(!writeFileAtomically("\\w.txt", "second", false));
        QCOMPARE(root.read("\\w.txt"), QByteArray("first"));
        QCOMPARE(hostEntries(root.hostPath()), QStringList {"w.txt"});
        faults::clear();
        QVERIFY(writeFileAtomically("\\w.txt", "second", false));
        QCOMPARE(root.read("\\w.txt"), QByteArray("second"));
    }

    // An injected fault makes exactly that call fail, changing nothing; the
    // same call works once the fault is gone.
    void injectedFaults_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("faultPath");
        QTest::addColumn<int>("call");
        QTest::newRow("delete") << int(FsOperation::Delete) << "\\f" << 0;
        QTest::newRow("create folder") << int(FsOperation::Create) << "\\d" << 1;
        QTest::newRow("remove folder") << int(FsOperation::RemoveDir) << "\\e" << 2;
        QTest::newRow("move source") << int(FsOperation::Move) << "\\f" << 3;
        QTest::newRow("move destination, other spelling") << int(FsOperation::Move) << "\\\\m" << 3;
        QTest::newRow("copy destination") << int(FsOperation::Copy) << "\\c" << 4;
        QTest::newRow("copy source opened") << int(FsOperation::Open) << "\\f" << 4;
        QTest::newRow("set attributes") << int(FsOperation::SetAttributes) << "\\f" << 5;
        QTest::newRow("atomic write") << int(FsOperation::Create) << "\\w" << 6;
        QTest::newRow("open") << int(FsOperation::Open) << "\\f" << 7;
        QTest::newRow("find in a folder") << int(FsOperation::Find) << "\\" << 8;
    }

    void injectedFaults()
    {
        QFETCH(int, operation);
        QFETCH(QString, faultPath);
        QFETCH(int, call);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\f", "f"));
        QVERIFY(root.makeFolder("\\e"));
        const std::function<bool()> calls[] = {
            [] { return deleteFile("\\f"); },
            [] { return createDirectory("\\d"); },
            [] { return removeDirectory("\\e"); },
            [] { return moveFile("\\f", "\\m"); },
            [] { return copyFile("\\f", "\\c", true); },
            [] { return setFileAttributes("\\f", FILE_ATTRIBUTE_HIDDEN); },
            [] { return writeFileAtomically("\\w", "w", true); },
            [] { return File().openForReading("\\f"); },
            [] { FindData d; return FindFile().first("\\*", d); },
        };
        const QStringList before = hostEntries(root.hostPath());
        faults::inject(FsOperation(operation), faultPath, EROFS);
        QVERIFY(!calls[call]());
        QCOMPARE(lastError().code, EROFS);
        QCOMPARE(hostEntries(root.hostPath()), before);
        QCOMPARE(getFileAttributes("\\f"), FILE_ATTRIBUTE_ARCHIVE);
        faults::clear();
        QVERIFY2(calls[call](), qPrintable(lastError().message));
        QCOMPARE(lastError().code, 0);
    }

    // Deeper than PATH_MAX: every operation resolves through folder descriptors.
    void deepTree()
    {
        testsupport::TempDeviceRoot root;
        const QString name = QString(120, QLatin1Char('n'));
        QString path;
        for (int level = 0; level < 40; ++level) {
            path += QLatin1Char('\\') + name;
            QVERIFY2(createDirectory(path), qPrintable(lastError().message));
        }
        QVERIFY(QFile::encodeName(root.hostPath() + path).size() > PATH_MAX);
        QVERIFY(writeFileAtomically(path + "\\a.txt", "deep", true));
        QVERIFY(copyFile(path + "\\a.txt", path + "\\b.txt", true));
        QVERIFY(setFileAttributes(path + "\\b.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
        QCOMPARE(getFileAttributes(path + "\\b.txt"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
        QStringList names;
        FindFile find;
        FindData data;
        for (bool more = find.first(path + "\\*.*", data); more; more = find.next(data))
            names.append(data.name);
        names.sort();
        QCOMPARE(names, (QStringList {"a.txt", "b.txt"}));
        File file;
        QVERIFY(file.openForReading(path + "\\b.txt"));
        QByteArray content;
        QVERIFY(file.readAll(content));
        QCOMPARE(content, QByteArray("deep"));
        QVERIFY(deleteFile(path + "\\a.txt"));
        QVERIFY(deleteFile(path + "\\b.txt"));
        while (!path.isEmpty()) {
            QVERIFY2(removeDirectory(path), qPrintable(lastError().message));
            path.truncate(path.lastIndexOf(QLatin1Char('\\')));
        }
        QVERIFY(hostEntries(root.hostPath()).isEmpty());
    }

    void freeSpace()
    {
        testsupport::TempDeviceRoot root;
        quint64 caller = 0, total = 0, free = 0;
        QVERIFY(getDiskFreeSpace("\\", &caller, &total, &free));
        QVERIFY(total > 0 && caller <= free && free <= total);
    }
};

FERRIX_TEST(FileSystemTest)
#include "tst_filesystem.moc"
