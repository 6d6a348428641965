#include "platform/faultinjection.h"
#include "platform/file.h"
#include "platformtest.h"

#include <sys/stat.h>

using namespace platform;
using namespace platformtest;

namespace {

enum Call { Move, CopyNew, CopyOver, MakeFolder, RemoveFolder, Delete, SetHidden, WriteNew, Open, Find };

// Second path only for moves and copies.
bool run(int call, const QString &a, const QString &b)
{
    FindData data;
    switch (call) {
    case Move: return moveFile(a, b);
    case CopyNew: return copyFile(a, b, true);
    case CopyOver: return copyFile(a, b, false);
    case MakeFolder: return createDirectory(a);
    case RemoveFolder: return removeDirectory(a);
    case Delete: return deleteFile(a);
    case SetHidden: return setFileAttributes(a, FILE_ATTRIBUTE_HIDDEN);
    case WriteNew: return writeFileAtomically(a, "w", true);
    case Open: return File().openForReading(a);
    }
    return FindFile().first(a, data);
}

const FileTime kTime = fileTimeFromUnix(1'234'567'890, 0);

} // namespace

class FileSystemTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { faults::clear(); }

    // A refused call, or one failing on an injected fault, changes nothing; the
    // latter works once the fault is gone.
    void failures_data()
    {
        QTest::addColumn<int>("call");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("fault"); // -1: none, else the FsOperation injected on faultPath
        QTest::addColumn<QString>("faultPath");

        const QString f = "\\a\\f.txt";
        auto row = [&](const char *name, int call, const QString &from, const QString &to, int error, int fault = -1,
                       const QString &faultPath = {}) {
            QTest::newRow(name) << call << from << to << error << fault << faultPath;
        };
        row("rename with a slash", Move, f, "\\a/b", EINVAL);
        row("rename onto a file", Move, f, "\\a\\g.txt", EEXIST);
        row("rename onto a folder", Move, f, "\\b", EEXIST);
        row("rename onto itself", Move, f, f, EEXIST);
        row("move a folder into itself", Move, "\\a", "\\a\\inner", EINVAL);
        row("move into a missing folder", Move, f, "\\none\\f.txt", ENOENT);
        row("move the root", Move, "\\", "\\x", EBUSY);
        row("copy onto itself", CopyOver, f, f, EINVAL);
        row("copy onto itself by another path", CopyOver, f, "\\\\a\\.\\f.txt", EINVAL);
        row("copy onto a hard link of itself", CopyOver, f, "\\a\\hard", EINVAL);
        row("copy onto existing, fail if exists", CopyNew, f, "\\a\\g.txt", EEXIST);
        row("copy onto a folder", CopyOver, f, "\\b", EISDIR);
        row("copy a folder", CopyNew, "\\b", "\\c", EISDIR);
        row("create over a file", MakeFolder, f, "", EEXIST);
        row("create with a slash", MakeFolder, "\\a/x", "", EINVAL);
        row("remove a full folder", RemoveFolder, "\\a", "", ENOTEMPTY);
        row("remove a file as a folder", RemoveFolder, f, "", ENOTDIR);
        row("delete a folder", Delete, "\\b", "", EISDIR);
        const int rofs = EROFS;
        row("fault: delete", Delete, f, "", rofs, int(FsOperation::Delete), f);
        row("fault: create folder", MakeFolder, "\\d", "", rofs, int(FsOperation::Create), "\\d");
        row("fault: remove folder", RemoveFolder, "\\b", "", rofs, int(FsOperation::RemoveDir), "\\b");
        row("fault: move destination", Move, f, "\\m", rofs, int(FsOperation::Move), "\\m");
        row("fault: copy destination", CopyNew, f, "\\c", rofs, int(FsOperation::Copy), "\\c");
        row("fault: copy source opened", CopyNew, f, "\\c", rofs, int(FsOperation::Open), f);
        row("fault: set attributes", SetHidden, f, "", rofs, int(FsOperation::SetAttributes), f);
        row("fault: atomic write", WriteNew, "\\w", "", rofs, int(FsOperation::Create), "\\w");
        row("fault: find in a folder", Find, "\\*", "", rofs, int(FsOperation::Find), "\\");
    }

    void failures()
    {
        QFETCH(int, call);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, error);
        QFETCH(int, fault);
        QFETCH(QString, faultPath);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\a\\f.txt", "source"));
        QVERIFY(root.makeFile("\\a\\g.txt", "other"));
        QVERIFY(root.makeFolder("\\a\\b") && root.makeFolder("\\b"));
        QVERIFY(::link(QFile::encodeName(root.host("\\a\\f.txt")), QFile::encodeName(root.host("\\a\\hard"))) == 0);
        const QStringList before = hostEntries(root.hostPath() + "/a") + hostEntries(root.hostPath());
        if (fault >= 0)
            faults::inject(FsOperation(fault), faultPath, error);

        QVERIFY(!run(call, from, to));
        QCOMPARE(lastError().code, error);
        QVERIFY2(lastError().message.contains(from), qPrintable(lastError().message));
        QCOMPARE(root.read("\\a\\f.txt"), QByteArray("source"));
        QCOMPARE(root.read("\\a\\g.txt"), QByteArray("other"));
        QCOMPARE(getFileAttributes("\\a\\f.txt"), FILE_ATTRIBUTE_ARCHIVE);
        QCOMPARE(hostEntries(root.hostPath() + "/a") + hostEntries(root.hostPath()), before);
        if (fault >= 0) {
            faults::clear();
            QVERIFY2(run(call, from, to), qPrintable(lastError().message));
            QCOMPARE(lastError().code, 0);
        }
    }

    // A copy that fails half-way leaves the old destination and no temporary
    // file; without the fault the copy is whole and keeps time and permissions.
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
        QVERIFY(!replace || root.makeFile("\\dst.bin", "keep me"));
        const QStringList before = hostEntries(root.hostPath());
        faults::inject(FsOperation(operation), faultPath, ENOSPC, 4096);

        QVERIFY(!copyFile("\\src.bin", "\\dst.bin", false));
        QCOMPARE(lastError().code, ENOSPC);
        QCOMPARE(hostEntries(root.hostPath()), before);
        QCOMPARE(root.read("\\dst.bin"), replace ? QByteArray("keep me") : QByteArray());

        faults::clear();
        QVERIFY(setLastWriteTime("\\src.bin", kTime));
        QVERIFY(::chmod(QFile::encodeName(root.host("\\src.bin")), 0640) == 0);
        QVERIFY(copyFile("\\src.bin", "\\dst.bin", false));
        QCOMPARE(root.read("\\dst.bin"), QByteArray(1 << 20, 's'));
        FindData data;
        QVERIFY(findEntry("\\dst.bin", data) && data.lastWriteTime == kTime);
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(root.host("\\dst.bin")), &st) == 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0640));
        QCOMPARE(hostEntries(root.hostPath()), (QStringList {"dst.bin", "src.bin"}));
    }

    void atomicWrite()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(writeFileAtomically("\\w.txt", "first", true));
        QVERIFY(!writeFileAtomically("\\w.txt", "second", true));
        QCOMPARE(lastError().code, EEXIST);
        faults::inject(FsOperation::Write, "\\w.txt", ENOSPC, 2);
        QVERIFY(!writeFileAtomically("\\w.txt", "second", false));
        QCOMPARE(root.read("\\w.txt"), QByteArray("first"));
        QCOMPARE(hostEntries(root.hostPath()), QStringList {"w.txt"});
        faults::clear();
        QVERIFY(writeFileAtomically("\\w.txt", "second", false));
        QCOMPARE(root.read("\\w.txt"), QByteArray("second"));
    }

    // A link is an entry of its own: it reports itself, takes no attributes
    // for its target, copies as a link and is deleted, never followed.
    void symbolicLinks()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\target\\keep.txt", "kept"));
        QVERIFY(makeLink(root, "target", "\\link") && makeLink(root, "target/keep.txt", "\\filelink"));
        QVERIFY(makeLink(root, "nowhere", "\\dangling"));

        FindData data;
        QVERIFY(findEntry("\\link", data));
        QCOMPARE(data.attributes, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
        QCOMPARE(data.size(), quint64(6)); // the link's own size
        for (const char *link : {"\\filelink", "\\dangling"}) {
            QVERIFY(findEntry(link, data));
            QCOMPARE(data.attributes, FILE_ATTRIBUTE_REPARSE_POINT);
        }
        QCOMPARE(findAll("\\link\\*"), QStringList {"keep.txt"}); // browsing goes through

        QVERIFY(setFileAttributes("\\filelink", FILE_ATTRIBUTE_NORMAL)); // clearing before a delete works
        QVERIFY(!setFileAttributes("\\filelink", FILE_ATTRIBUTE_HIDDEN));
        QCOMPARE(lastError().code, EPERM);
        QVERIFY(!setFileAttributes("\\filelink", FILE_ATTRIBUTE_READONLY));
        QCOMPARE(getFileAttributes("\\target\\keep.txt"), FILE_ATTRIBUTE_ARCHIVE);

        QVERIFY(copyFile("\\filelink", "\\copied", true));
        QCOMPARE(QFile::symLinkTarget(root.host("\\copied")), root.host("\\target\\keep.txt"));
        QVERIFY(!removeDirectory("\\link"));
        QCOMPARE(lastError().code, ENOTDIR);
        QVERIFY(deleteFile("\\link") && deleteFile("\\filelink"));
        QVERIFY(!root.exists("\\link"));
        QCOMPARE(root.read("\\target\\keep.txt"), QByteArray("kept"));
    }

    void moveAcrossFileSystems()
    {
        // /dev/shm is a file system of its own on most systems.
        QTemporaryDir other(QStringLiteral("/dev/shm/ferrix-test-XXXXXX"));
        testsupport::TempDeviceRoot root;
        struct stat a, b;
        if (!other.isValid() || ::stat("/dev/shm", &a) != 0 || ::stat(QFile::encodeName(root.hostPath()), &b) != 0
            || a.st_dev == b.st_dev)
            QSKIP("no second file system to move to");
        QVERIFY(QFile::link(other.path(), root.host("\\shm")));
        QVERIFY(root.makeFile("\\f.txt", "moved") && root.makeFile("\\g.txt", "g") && root.makeFolder("\\folder"));
        QVERIFY(setLastWriteTime("\\f.txt", kTime));

        QVERIFY(moveFile("\\f.txt", "\\shm\\f.txt"));
        QVERIFY(!root.exists("\\f.txt"));
        QCOMPARE(root.read("\\shm\\f.txt"), QByteArray("moved"));
        FindData data;
        QVERIFY(findEntry("\\shm\\f.txt", data) && data.lastWriteTime == kTime);
        QVERIFY(!moveFile("\\folder", "\\shm\\folder"));
        QCOMPARE(lastError().code, EXDEV);
        QVERIFY(root.exists("\\folder"));
        QVERIFY(!moveFile("\\g.txt", "\\shm\\f.txt"));
        QCOMPARE(lastError().code, EEXIST);
        QCOMPARE(root.read("\\shm\\f.txt"), QByteArray("moved"));
    }

    // Deeper than PATH_MAX: every operation resolves through folder descriptors.
    void deepTree()
    {
        testsupport::TempDeviceRoot root;
        QString path;
        for (int level = 0; level < 40; ++level) {
            path += QLatin1Char('\\') + QString(120, QLatin1Char('n'));
            QVERIFY2(createDirectory(path), qPrintable(lastError().message));
        }
        QVERIFY(QFile::encodeName(root.hostPath() + path).size() > PATH_MAX);
        QVERIFY(writeFileAtomically(path + "\\a.txt", "deep", true));
        QVERIFY(copyFile(path + "\\a.txt", path + "\\b.txt", true));
        QVERIFY(setFileAttributes(path + "\\b.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
        QCOMPARE(getFileAttributes(path + "\\b.txt"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
        QCOMPARE(findAll(path + "\\*.*"), (QStringList {"a.txt", "b.txt"}));
        File file;
        QByteArray content;
        QVERIFY(file.openForReading(path + "\\b.txt") && file.readAll(content));
        QCOMPARE(content, QByteArray("deep"));
        QVERIFY(deleteFile(path + "\\a.txt") && deleteFile(path + "\\b.txt"));
        for (; !path.isEmpty(); path.truncate(path.lastIndexOf(QLatin1Char('\\'))))
            QVERIFY2(removeDirectory(path), qPrintable(lastError().message));
        QVERIFY(hostEntries(root.hostPath()).isEmpty());
    }
};

FERRIX_TEST(FileSystemTest)
#include "tst_filesystem.moc"
