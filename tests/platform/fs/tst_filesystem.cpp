#include "platform/fs/file.h"
#include "platform/fs/walkguard.h"
#include "platform/platformtest.h"
#include "platform/testing/faultinjection.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>

#include <csignal>
#include <functional>

#include <tuple>

using namespace platform;
using namespace platformtest;

namespace {

enum Call { Move, CopyNew, CopyOver, CopyListed, CopyWritten, MakeFolder, RemoveFolder, Delete, SetHidden, SetNormal, SetShown, WriteNew, Open };

// Second path only for moves and copies.
bool run(int call, const QString &a, const QString &b)
{
    switch (call) {
    case Move: return moveFile(a, b);
    case CopyNew: return copyFile(a, b, true);
    case CopyOver: return copyFile(a, b, false);
    case CopyListed: // as a folder copy does when its listing found a regular file at a
        return FolderCopyPair(a.left(a.lastIndexOf(u'\\')), b.left(b.lastIndexOf(u'\\'))).copyFile(a, b, true, true);
    case CopyWritten: { // as a folder copy does with a file written on another thread
        const FolderCopyPair pair(a.left(a.lastIndexOf(u'\\')), b.left(b.lastIndexOf(u'\\')));
        PreparedCopy written = pair.prepareFile(a, b);
        return pair.copyFile(a, b, true, true, nullptr, &written);
    }
    case MakeFolder: return createDirectory(a);
    case RemoveFolder: return removeDirectory(a);
    case Delete: return deleteFile(a);
    case SetHidden: return setFileAttributes(a, FILE_ATTRIBUTE_HIDDEN);
    case SetNormal: return setFileAttributes(a, FILE_ATTRIBUTE_NORMAL);
    case SetShown: return setFileAttributes(a, getFileAttributes(a));
    case WriteNew: return writeFileAtomically(a, "w", true);
    case Open: return File().openForReading(a);
    }
    return false;
}

const FileTime kTime = fileTimeFromUnix(1'234'567'890, 0);

// \d2\a, a read-only file of 6 bytes, and links in \d1 to it, to a link
// to it, to \d2, to nothing and to themselves; \d1\plain a file.
bool makeLinkFixture(const testsupport::TempDeviceRoot &root)
{
    return root.build({"\\d2\\a=target", "\\d2\\b", "\\d1\\plain=plain", "\\d1\\a->../d2/a", "\\d1\\again->a", "\\d1\\.dot->../d2/a",
                       "\\d1\\dir->../d2", "\\d1\\broken->nowhere", "\\d1\\loop->loop"})
        && setLastWriteTime("\\d2\\a", kTime) && ::chmod(QFile::encodeName(root.host("\\d2\\a")), 0444) == 0;
}

// Runs write in a child that stops where the file size limit hits it, lists
// the root (how many entries; -1: it did not stop), then kills the child.
qsizetype listedWhileKilledMidWrite(const std::function<bool()> &write)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const struct rlimit size {1 << 16, 1 << 16};
        std::signal(SIGXFSZ, [](int) { ::raise(SIGSTOP); });
        ::_exit(::setrlimit(RLIMIT_FSIZE, &size) || write());
    }
    int status = 0;
    const bool stopped = ::waitpid(child, &status, WUNTRACED) == child && WIFSTOPPED(status);
    const qsizetype listed = findAll("\\*").size();
    return ::kill(child, SIGKILL) == 0 && ::waitpid(child, &status, 0) == child && stopped ? listed : -1;
}

// fault: -1 for none, else the FsOperation injected on faultPath.
struct Failure { int call; QString from; QString to; int error; int fault; QString faultPath; };

// copy: else an atomic write of the same content; operation: what fails, -1 when the process is killed;
// unnamed: else the file system has no unnamed files.
struct Interruption { bool copy; int operation; QString faultPath; bool replace; bool unnamed; };

struct LinkEntry { QString path; uint attributes; quint64 size; bool targetTime; };

// error: 0 when it succeeds; made: where a link was made or left, with text as its target (empty: nothing there).
struct LinkOperation { int call; QString from; QString to; int error; QString made; QString text; };

struct SpecialFile { int call; QString from; QString to; int error; };

// fallback: as where the no-replace rename is missing; removeFault: removing the old name fails with this;
// after: what the folder holds after.
struct MoveCase { QString from; QString to; bool fallback; int removeFault; int error; QStringList after; };

} // namespace

class FileSystemTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { faults::clear(); }

    // A refused call, or one failing on an injected fault, changes nothing; the
    // latter works once the fault is gone.
    void failures_data()
    {
        QTest::addColumn<Failure>("row");

        const QString f = "\\a\\f.txt";
        auto row = [&](const char *name, int call, const QString &from, const QString &to, int error, int fault = -1,
                       const QString &faultPath = {}) {
            QTest::newRow(name) << Failure{call, from, to, error, fault, faultPath};
        };
        row("rename with a slash", Move, f, "\\a/b", EINVAL);
        row("rename onto a file", Move, f, "\\a\\g.txt", EEXIST);
        row("rename onto a folder", Move, f, "\\b", EEXIST);
        row("move a folder into itself", Move, "\\a", "\\a\\inner", EINVAL);
        row("move into a missing folder", Move, f, "\\none\\f.txt", ENOENT);
        row("move the root", Move, "\\", "\\x", EBUSY);
        row("copy onto itself", CopyOver, f, f, EINVAL);
        row("copy onto a hard link of itself", CopyOver, f, "\\a\\hard", EINVAL);
        row("copy onto existing, fail if exists", CopyNew, f, "\\a\\g.txt", EEXIST);
        row("copy onto a folder", CopyOver, f, "\\b", EISDIR);
        row("copy a folder", CopyNew, "\\b", "\\c", EISDIR);
        row("written elsewhere, onto existing", CopyWritten, f, "\\a\\g.txt", EEXIST);
        row("written elsewhere, onto a hard link of itself", CopyWritten, f, "\\a\\hard", EINVAL);
        row("create over a file", MakeFolder, f, "", EEXIST);
        row("remove a full folder", RemoveFolder, "\\a", "", ENOTEMPTY);
        row("remove a file as a folder", RemoveFolder, f, "", ENOTDIR);
        row("delete a folder", Delete, "\\b", "", EISDIR);
        row("new file by atomic write onto a file", WriteNew, f, "", EEXIST);
        const int rofs = EROFS;
        row("fault: delete", Delete, f, "", rofs, int(FsOperation::Delete), f);
        row("fault: create folder", MakeFolder, "\\d", "", rofs, int(FsOperation::Create), "\\d");
        row("fault: remove folder", RemoveFolder, "\\b", "", rofs, int(FsOperation::RemoveDir), "\\b");
        row("fault: move destination", Move, f, "\\m", rofs, int(FsOperation::Move), "\\m");
        row("fault: copy destination", CopyNew, f, "\\c", rofs, int(FsOperation::Copy), "\\c");
        row("fault: written elsewhere, its destination", CopyWritten, f, "\\a\\c", rofs, int(FsOperation::Copy), "\\a\\c");
        row("fault: written elsewhere, its read", CopyWritten, f, "\\a\\c", EIO, int(FsOperation::Read), f);
    }

    void failures()
    {
        auto [call, from, to, error, fault, faultPath] = fetchRow<Failure>();
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build({"\\a\\f.txt=source", "\\a\\g.txt=other", "\\a\\b\\", "\\b\\"}));
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

    // A copy or a write that fails half-way, or whose process is killed
    // half-way, leaves the old destination and no other file; where no unnamed
    // file can be made, the one a kill leaves goes at the next listing (not
    // while it is written). Then a copy is whole and keeps time and permissions.
    void interruptedWrites_data()
    {
        QTest::addColumn<Interruption>("row");
        QTest::newRow("copy: read fails, replacing") << Interruption{true, int(FsOperation::Read), "\\src.bin", true, true};
        QTest::newRow("copy: write fails, no unnamed files") << Interruption{true, int(FsOperation::Write), "\\dst.bin", true, false};
        QTest::newRow("atomic write fails, replacing") << Interruption{false, int(FsOperation::Write), "\\dst.bin", true, true};
        QTest::newRow("copy killed, replacing") << Interruption{true, -1, "", true, true};
        QTest::newRow("copy killed, no unnamed files") << Interruption{true, -1, "", false, false};
        QTest::newRow("copy killed, replacing, no unnamed files") << Interruption{true, -1, "", true, false};
    }

    void interruptedWrites()
    {
        auto [copy, operation, faultPath, replace, unnamed] = fetchRow<Interruption>();
        testsupport::TempDeviceRoot root;
        const QByteArray content(1 << 20, 's');
        QVERIFY(root.makeFile("\\src.bin", content) && (!replace || root.makeFile("\\dst.bin", "keep me")));
        const auto write = [&] {
            if (!unnamed)
                faults::inject(FsOperation::UnnamedFile, "\\dst.bin", EOPNOTSUPP);
            return copy ? copyFile("\\src.bin", "\\dst.bin", false) : writeFileAtomically("\\dst.bin", content, false);
        };
        const QStringList before = hostEntries(root.hostPath());
        if (operation < 0) {
            QCOMPARE(listedWhileKilledMidWrite(write), before.size() + (unnamed ? 0 : 1));
            QCOMPARE(findAll("\\*"), before);
        } else {
            faults::inject(FsOperation(operation), faultPath, ENOSPC, 4096);
            QVERIFY(!write());
            QCOMPARE(lastError().code, ENOSPC);
        }
        QCOMPARE(hostEntries(root.hostPath()), before);
        QCOMPARE(root.read("\\dst.bin"), replace ? QByteArray("keep me") : QByteArray());

        faults::clear();
        QVERIFY(setLastWriteTime("\\src.bin", kTime));
        QVERIFY(::chmod(QFile::encodeName(root.host("\\src.bin")), 0640) == 0);
        QVERIFY(write());
        QCOMPARE(root.read("\\dst.bin"), content);
        QCOMPARE(hostEntries(root.hostPath()), (QStringList {"dst.bin", "src.bin"}));
        if (!copy)
            return;
        FindData data;
        QVERIFY(findEntry("\\dst.bin", data) && data.lastWriteTime == kTime);
        QCOMPARE(hostMode(root, "\\dst.bin"), 0640u);
    }

    // A folder copy gives each file its source's permission bits, whether the
    // unnamed file can start with them or the umask (022 as a rule) or a
    // default ACL of the destination would take some away.
    void folderCopyKeepsMode_data()
    {
        QTest::addColumn<uint>("mode");
        QTest::addColumn<bool>("defaultAcl");
        QTest::newRow("0640") << 0640u << false;
        QTest::newRow("0444, read-only") << 0444u << false;
        QTest::newRow("0666, past the umask") << 0666u << false;
        QTest::newRow("0644 under a default ACL without others") << 0644u << true;
    }

    void folderCopyKeepsMode()
    {
        QFETCH(uint, mode);
        QFETCH(bool, defaultAcl);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\src\\f", "data") && createDirectory("\\dst"));
        QVERIFY(::chmod(QFile::encodeName(root.host("\\src\\f")), mode) == 0);
        if (defaultAcl) {
            // version 2; user::rwx, group::r-x, other::---
            const unsigned char acl[] = {2, 0, 0, 0, 1, 0, 7, 0, 0xff, 0xff, 0xff, 0xff,
                                         4, 0, 5, 0, 0xff, 0xff, 0xff, 0xff, 0x20, 0, 0, 0, 0xff, 0xff, 0xff, 0xff};
            if (::setxattr(QFile::encodeName(root.host("\\dst")), "system.posix_acl_default", acl, sizeof acl, 0) != 0)
                QSKIP("the file system keeps no ACLs");
        }
        for (const int call : {CopyListed, CopyWritten}) {
            const QString to = "\\dst\\f" + QString::number(call);
            QVERIFY(run(call, "\\src\\f", to));
            QCOMPARE(hostMode(root, to), mode);
            QCOMPARE(root.read(to), QByteArray("data"));
        }
    }

    // A file written for a folder copy and dropped before it is named leaves
    // nothing behind, whether it was an unnamed file or a temporary sibling.
    void droppedWriteLeavesNothing_data()
    {
        QTest::addColumn<bool>("unnamed");
        QTest::newRow("unnamed file") << true;
        QTest::newRow("no unnamed files") << false;
    }
    void droppedWriteLeavesNothing()
    {
        QFETCH(bool, unnamed);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\src\\f", QByteArray(1 << 16, 'x')) && createDirectory("\\dst"));
        if (!unnamed)
            faults::inject(FsOperation::UnnamedFile, "\\dst\\f", EOPNOTSUPP);
        {
            const FolderCopyPair pair("\\src", "\\dst");
            const PreparedCopy written = pair.prepareFile("\\src\\f", "\\dst\\f");
            QVERIFY(written.holdsCopy());
            QCOMPARE(hostEntries(root.hostPath() + "/dst").size(), unnamed ? 0 : 1);
        }
        QCOMPARE(hostEntries(root.hostPath() + "/dst"), QStringList());
    }

    // What an entry reports: a link to a file its file (plus the link bit),
    // anything else only what it is itself; sizes past 32 bits whole.
    void linkFindData_data()
    {
        QTest::addColumn<LinkEntry>("row");

        const uint L = FILE_ATTRIBUTE_REPARSE_POINT, H = FILE_ATTRIBUTE_HIDDEN, A = FILE_ATTRIBUTE_ARCHIVE;
        const uint R = FILE_ATTRIBUTE_READONLY, D = FILE_ATTRIBUTE_DIRECTORY;
        QTest::newRow("link to a file") << LinkEntry{"\\d1\\a", (L | R | A), quint64(6), true};
        QTest::newRow("dot link to a file") << LinkEntry{"\\d1\\.dot", (L | H | R | A), quint64(6), true};
        QTest::newRow("link to a folder") << LinkEntry{"\\d1\\dir", (L | D), quint64(0), false};
        QTest::newRow("a file over 4 GB") << LinkEntry{"\\d2\\b", A, quint64(0x123456789), false};
        QTest::newRow("a folder") << LinkEntry{"\\d2", D, quint64(0), false};
        QTest::newRow("broken link") << LinkEntry{"\\d1\\broken", L, quint64(7), false};
        QTest::newRow("link to itself") << LinkEntry{"\\d1\\loop", L, quint64(4), false};
    }

    void linkFindData()
    {
        auto [path, attributes, size, targetTime] = fetchRow<LinkEntry>();
        testsupport::TempDeviceRoot root;
        QVERIFY(makeLinkFixture(root));
        QVERIFY(::truncate(QFile::encodeName(root.host("\\d2\\b")).constData(), 0x123456789LL) == 0);

        FindData data;
        QVERIFY(findEntry(path, data));
        QCOMPARE(data.attributes, attributes);
        QCOMPARE(data.size(), size);
        QCOMPARE(data.lastWriteTime == kTime, targetTime);
        QCOMPARE(getFileAttributes(path), attributes);
        // A listing reports what a look-up does; links are never walked into.
        const FindData listed = listedEntry(path);
        QCOMPARE(listed.name, data.name);
        QCOMPARE(listed.attributes, attributes);
        QCOMPARE(listed.size(), size);
        QCOMPARE(isLinkEntry(listed), bool(attributes & FILE_ATTRIBUTE_REPARSE_POINT));
        QCOMPARE(isWalkableFolder(listed), attributes == FILE_ATTRIBUTE_DIRECTORY);
    }

    // Links are leaves: they are copied as links, removed as links, and
    // nothing is ever set or copied through one onto its target.
    void linkOperations_data()
    {
        QTest::addColumn<LinkOperation>("row");

        auto row = [](const char *name, int call, const QString &from, const QString &to, int error,
                      const QString &made = {}, const QString &text = {}) {
            QTest::newRow(name) << LinkOperation{call, from, to, error, made, text};
        };
        row("copy a link onto its target", CopyOver, "\\d1\\a", "\\d2\\a", EINVAL, "\\d1\\a", "../d2/a");
        row("copy a file onto a link to it", CopyOver, "\\d2\\a", "\\d1\\a", EINVAL, "\\d1\\a", "../d2/a");
        row("copy a link as a link", CopyNew, "\\d1\\a", "\\d1\\copy", 0, "\\d1\\copy", "../d2/a");
        row("copy a link to a folder", CopyNew, "\\d1\\dir", "\\d1\\copy", 0, "\\d1\\copy", "../d2");
        row("copy a broken link", CopyNew, "\\d1\\broken", "\\d1\\copy", 0, "\\d1\\copy", "nowhere");
        row("copy a link over a file", CopyOver, "\\d1\\a", "\\d1\\plain", 0, "\\d1\\plain", "../d2/a");
        row("delete a link to a folder", Delete, "\\d1\\dir", {}, 0, "\\d1\\dir", {});
        row("remove a link to a folder as a folder", RemoveFolder, "\\d1\\dir", {}, ENOTDIR, "\\d1\\dir", "../d2");
        row("clear a link's attributes", SetNormal, "\\d1\\a", {}, 0, "\\d1\\a", "../d2/a");
        row("set hidden through a link", SetHidden, "\\d1\\a", {}, EPERM, "\\d1\\a", "../d2/a");
    }

    void linkOperations()
    {
        auto [call, from, to, error, made, text] = fetchRow<LinkOperation>();
        testsupport::TempDeviceRoot root;
        QVERIFY(makeLinkFixture(root));
        const auto target = [&] {
            FindData data;
            return findEntry("\\d2\\a", data) ? std::tuple(data.attributes, data.lastWriteTime, root.read("\\d2\\a"))
                                             : std::tuple(0u, FileTime(0), QByteArray());
        };
        const auto before = target();

        QCOMPARE(run(call, from, to), error == 0);
        QCOMPARE(lastError().code, error);
        char buffer[256];
        const ssize_t n = ::readlink(QFile::encodeName(root.host(made)), buffer, sizeof buffer);
        QCOMPARE(QByteArray(buffer, int(qMax<ssize_t>(n, 0))), text.toUtf8());
        QCOMPARE(target(), before);
        QCOMPARE(findAll("\\d2\\*"), (QStringList {"a", "b"}));
        QVERIFY(!hostEntries(root.hostPath() + "/d1").join(' ').contains(".ferrix-"));
    }

    // Reading content opens regular files only and never waits: a FIFO, a
    // socket or a device is refused, and a copy of one reads nothing and
    // leaves the destination as it was.
    void specialFiles_data()
    {
        QTest::addColumn<SpecialFile>("row");

        QTest::newRow("open a FIFO named as a shortcut") << SpecialFile{int(Open), "\\x.lnk", QString(), EINVAL};
        QTest::newRow("open a socket") << SpecialFile{int(Open), "\\socket", QString(), EINVAL};
        QTest::newRow("open a device through a link") << SpecialFile{int(Open), "\\zero.lnk", QString(), EINVAL};
        QTest::newRow("open a folder") << SpecialFile{int(Open), "\\folder", QString(), EISDIR};
        QTest::newRow("copy a FIFO") << SpecialFile{int(CopyNew), "\\x.lnk", "\\copy", EINVAL};
        QTest::newRow("copy a FIFO over a file") << SpecialFile{int(CopyOver), "\\x.lnk", "\\keep.txt", EINVAL};
        QTest::newRow("copy a file onto a FIFO") << SpecialFile{int(CopyNew), "\\keep.txt", "\\x.lnk", EEXIST};
        // The listing is older than the copy: what is there now decides.
        QTest::newRow("copy a FIFO listed as a file") << SpecialFile{int(CopyListed), "\\x.lnk", "\\copy", EINVAL};
        QTest::newRow("copy a folder listed as a file") << SpecialFile{int(CopyListed), "\\folder", "\\copy", EISDIR};
        QTest::newRow("copy a listed file onto a FIFO") << SpecialFile{int(CopyListed), "\\keep.txt", "\\x.lnk", EEXIST};
        QTest::newRow("copy a listed file onto itself") << SpecialFile{int(CopyListed), "\\keep.txt", "\\keep.txt", EINVAL};
        QTest::newRow("written elsewhere: a FIFO listed as a file") << SpecialFile{int(CopyWritten), "\\x.lnk", "\\copy", EINVAL};
        QTest::newRow("written elsewhere: onto a FIFO") << SpecialFile{int(CopyWritten), "\\keep.txt", "\\x.lnk", EEXIST};
    }

    void specialFiles()
    {
        auto [call, from, to, error] = fetchRow<SpecialFile>();
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build({"\\keep.txt=kept", "\\folder\\", "\\x.lnk|", "\\zero.lnk->/dev/zero", "\\folder.lnk->folder"}));
        QVERIFY(::mknod(QFile::encodeName(root.host("\\socket")), S_IFSOCK | 0644, 0) == 0); // no listener needed
        const QStringList before = hostEntries(root.hostPath());

        QVERIFY(!run(call, from, to));
        QCOMPARE(lastError().code, error);
        QCOMPARE(root.read("\\keep.txt"), QByteArray("kept"));
        QCOMPARE(hostEntries(root.hostPath()), before);
    }

    // Renames and moves never replace, never leave an entry under two names
    // and take a rename onto the entry's own path as done.
    void moves_data()
    {
        QTest::addColumn<MoveCase>("row");

        const QStringList untouched {"f.txt", "g.txt", "hard"};
        QTest::newRow("onto its own path") << MoveCase{"\\a\\f.txt", "\\a\\f.txt", false, 0, 0, untouched};
        QTest::newRow("onto its own path, spelt otherwise") << MoveCase{"\\a\\f.txt", "\\a\\.\\f.txt", false, 0, 0, untouched};
        QTest::newRow("a folder onto its own path") << MoveCase{"\\a", "\\a", false, 0, 0, untouched};
        QTest::newRow("onto a hard link of itself") << MoveCase{"\\a\\f.txt", "\\a\\hard", false, 0, EEXIST, untouched};
        QTest::newRow("fallback") << MoveCase{"\\a\\f.txt", "\\a\\m.txt", true, 0, 0, {"g.txt", "hard", "m.txt"}};
        QTest::newRow("fallback, old name stays") << MoveCase{"\\a\\f.txt", "\\a\\m.txt", true, EROFS, EROFS, untouched};
        QTest::newRow("fallback onto a file") << MoveCase{"\\a\\f.txt", "\\a\\g.txt", true, 0, EEXIST, untouched};
    }

    void moves()
    {
        auto [from, to, fallback, removeFault, error, after] = fetchRow<MoveCase>();
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build({"\\a\\f.txt=source", "\\a\\g.txt=other"}));
        QVERIFY(::link(QFile::encodeName(root.host("\\a\\f.txt")), QFile::encodeName(root.host("\\a\\hard"))) == 0);
        if (fallback)
            faults::inject(FsOperation::Rename, to, EINVAL);
        if (removeFault)
            faults::inject(FsOperation::Delete, from, removeFault);

        QCOMPARE(moveFile(from, to), error == 0);
        QCOMPARE(lastError().code, error);
        QCOMPARE(hostEntries(root.hostPath() + "/a"), after);
        QCOMPARE(root.read(after.contains("f.txt") ? "\\a\\f.txt" : "\\a\\m.txt"), QByteArray("source"));
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
        QVERIFY(root.build({"\\f.txt=moved", "\\g.txt=g", "\\folder\\"}));
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
