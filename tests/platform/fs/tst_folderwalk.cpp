#include "platform/fs/devicepath.h"
#include "platform/fs/entryid.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/file.h"
#include "platform/fs/folderhandle.h"
#include "platform/fs/walkguard.h"
#include "platform/platformtest.h"
#include "platform/testing/faultinjection.h"

#include <optional>

#include <sys/stat.h>

using namespace platform;
using namespace platformtest;

namespace {
// content: empty when it cannot be opened for reading; fault: -1 for none, else this operation on the entry fails
// with EACCES.
struct OpenCase { QString name; bool opensAsFolder; QByteArray content; int fault; };
struct InsideCase { QString folder; QString ancestor; bool inside; };
const QByteArray kOddName("q' \"*?\n\\\xff.txt");
// fault: -1 for none, else this operation on the entry fails with EACCES.
struct RemoveCase { QString name; bool asFolder; int fault; bool removed; };
// What happens at \d's path between its open and its removal.
enum class Swap { None, Folder, Link, Mount, Gone };


} // namespace

// Listing an open folder by entry type, and opening what it holds relative
// to it: no link is walked through, only regular files are opened. And the
// guards a walk asks where to stop: identity, mount points, pseudo file systems.
class FolderWalkTest : public QObject {
    Q_OBJECT

    static bool build(const testsupport::TempDeviceRoot &root)
    {
        return root.build({"\\d\\a.txt=alpha", "\\d\\B.TXT=beta", "\\d\\sub\\c.txt=gamma", "\\d\\file.txt->a.txt",
                           "\\d\\dir.txt->sub", "\\d\\broken.txt->none", "\\d\\pipe.txt|"});
    }

    static bool entryNamed(FolderHandle &folder, const QString &name, FolderEntry &out)
    {
        for (bool more = folder.first(QStringLiteral("*"), out); more; more = folder.next(out)) {
            if (out.name == name)
                return true;
        }
        return false;
    }

private Q_SLOTS:
    void cleanup() { faults::clear(); }

    void listing_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("entries"); // name:type:matches, sorted
        const QStringList kinds{"B.TXT:F", "a.txt:F", "broken.txt:L", "dir.txt:L", "file.txt:L", "pipe.txt:O",
                                "sub:D"};
        auto with = [&](const QStringList &matching) {
            QStringList out;
            for (const QString &kind : kinds)
                out << kind + (matching.contains(kind.section(QLatin1Char(':'), 0, 0)) ? ":1" : ":0");
            return out;
        };
        QTest::newRow("every name") << "*.*" << with({"B.TXT", "a.txt", "broken.txt", "dir.txt", "file.txt",
                                                      "pipe.txt", "sub"});
        QTest::newRow("? is one character") << "?.txt" << with({"B.TXT", "a.txt"});
        QTest::newRow("no wildcard") << "SUB" << with({"sub"});
    }

    void listing()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, entries);
        testsupport::TempDeviceRoot root;
        QVERIFY(build(root));
        FolderHandle folder;
        QVERIFY(folder.open(QStringLiteral("\\d")));
        QCOMPARE(folder.path(), QStringLiteral("\\d\\"));
        static const char types[] = {'F', 'D', 'L', 'O'};
        // Twice: a second listing starts again from the beginning.
        for (int pass = 0; pass < 2; ++pass) {
            QStringList listed;
            FolderEntry entry;
            for (bool more = folder.first(pattern, entry); more; more = folder.next(entry))
                listed << entry.name + ':' + types[int(entry.type)] + ':' + (entry.matches ? '1' : '0');
            QCOMPARE(lastError().code, ENOENT);
            listed.sort();
            QCOMPARE(listed, entries);
        }
    }

    // What opening an entry relative to its folder gives: a subfolder only
    // when it is a real folder, a file only when it is a regular one or a
    // link to one. "!" after the name: the listing had it as a regular file
    // (something else took its place since). A refused listing or open
    // fails with the refusal's reason.
    void openRelative_data()
    {
        QTest::addColumn<OpenCase>("row");
        QTest::newRow("regular file") << OpenCase{"a.txt", false, QByteArray("alpha"), -1};
        QTest::newRow("real folder") << OpenCase{"sub", true, QByteArray(), -1};
        QTest::newRow("link to a folder") << OpenCase{"dir.txt", false, QByteArray(), -1};
        QTest::newRow("link to a file, read through") << OpenCase{"file.txt", false, QByteArray("alpha"), -1};
        QTest::newRow("broken link") << OpenCase{"broken.txt", false, QByteArray(), -1};
        QTest::newRow("FIFO, without blocking") << OpenCase{"pipe.txt", false, QByteArray(), -1};
        QTest::newRow("FIFO where a file was listed, without blocking") << OpenCase{"pipe.txt!", false, QByteArray(), -1};
        QTest::newRow("folder cannot be listed") << OpenCase{"sub", false, QByteArray(), int(FsOperation::Find)};
        QTest::newRow("file cannot be opened") << OpenCase{"a.txt", false, QByteArray(), int(FsOperation::Open)};
    }

    void openRelative()
    {
        auto [name, opensAsFolder, content, fault] = fetchRow<OpenCase>();
        testsupport::TempDeviceRoot root;
        QVERIFY(build(root));
        if (fault >= 0)
            faults::inject(FsOperation(fault), "\\d\\" + name, EACCES);
        FolderHandle folder;
        QVERIFY(folder.open(QStringLiteral("\\d\\")));
        const bool listedAsFile = name.endsWith(u'!');
        if (listedAsFile)
            name.chop(1);
        FolderEntry entry;
        QVERIFY(entryNamed(folder, name, entry));
        if (listedAsFile)
            entry.type = EntryType::File;
        FolderHandle subfolder;
        QCOMPARE(subfolder.open(folder, entry), opensAsFolder);
        if (fault == int(FsOperation::Find))
            QCOMPARE(lastError().code, EACCES);
        if (opensAsFolder) {
            QCOMPARE(subfolder.path(), "\\d\\" + name + "\\");
            QVERIFY(!subfolder.isMountPoint());
            FolderEntry inner;
            QVERIFY(subfolder.first(QStringLiteral("*"), inner));
            QCOMPARE(inner.name, QStringLiteral("c.txt"));
        }
        File file;
        QCOMPARE(file.openForReading(folder, entry), !content.isEmpty());
        if (fault == int(FsOperation::Open))
            QCOMPARE(lastError().code, EACCES);
        QByteArray read;
        if (!content.isEmpty()) {
            QVERIFY(file.readAll(read));
            QCOMPARE(read, content);
        }
    }

    // Deleting relative to an open folder: each kind of entry by its own
    // call, a link never followed, faults still met by device path.
    void deleteRelative_data()
    {
        QTest::addColumn<RemoveCase>("row");
        const QString odd = deviceNameFromHost(kOddName);
        const int del = int(FsOperation::Delete), rmdir = int(FsOperation::RemoveDir);
        QTest::newRow("a file with a hostile name") << RemoveCase{odd, false, -1, true};
        QTest::newRow("a read-only file") << RemoveCase{"ro.txt", false, -1, true};
        QTest::newRow("a link to a folder, not what it leads to") << RemoveCase{"dir.txt", false, -1, true};
        QTest::newRow("a broken link") << RemoveCase{"broken.txt", false, -1, true};
        QTest::newRow("a FIFO") << RemoveCase{"pipe.txt", false, -1, true};
        QTest::newRow("a folder is no file") << RemoveCase{"sub", false, -1, false};
        QTest::newRow("a folder that holds something") << RemoveCase{"sub", true, -1, false};
        QTest::newRow("an empty folder") << RemoveCase{"empty", true, -1, true};
        QTest::newRow("a file that must not go") << RemoveCase{"a.txt", false, del, false};
        QTest::newRow("a folder that must not go") << RemoveCase{"empty", true, rmdir, false};
    }

    void deleteRelative()
    {
        auto [name, asFolder, fault, removed] = fetchRow<RemoveCase>();
        testsupport::TempDeviceRoot root;
        QVERIFY(build(root) && root.build({"\\d\\empty\\", "\\d\\ro.txt=r", "\\d\\" + deviceNameFromHost(kOddName) + "=x"}));
        QVERIFY(setFileAttributes("\\d\\ro.txt", FILE_ATTRIBUTE_READONLY));
        if (fault >= 0)
            faults::inject(FsOperation(fault), "\\d\\" + name, EACCES);
        FolderHandle folder;
        FolderEntry entry;
        QVERIFY(folder.open(QStringLiteral("\\d")) && entryNamed(folder, name, entry));
        EntryId before, now;
        QVERIFY(folder.identity(entry, before) && entryIdentity("\\d\\" + name, now));
        QVERIFY(now.unchangedSince(before));
        QCOMPARE(asFolder ? folder.removeFolder(entry) : folder.deleteEntry(entry), removed);
        if (fault >= 0)
            QCOMPARE(lastError().code, EACCES);
        QCOMPARE(root.exists("\\d\\" + name), !removed);
        QCOMPARE(root.read("\\d\\sub\\c.txt"), QByteArray("gamma"));
    }

    // A folder held from when work began is removed from where it was
    // found or not at all, and knows when its path leads elsewhere now.
    void heldFolder_data()
    {
        QTest::addColumn<Swap>("swap");
        QTest::newRow("still there") << Swap::None;
        QTest::newRow("another folder put in its place") << Swap::Folder;
        QTest::newRow("a link put in its place") << Swap::Link;
        QTest::newRow("a folder mounted on it") << Swap::Mount;
        QTest::newRow("moved away") << Swap::Gone;
    }

    void heldFolder()
    {
        QFETCH(Swap, swap);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build({"\\top\\d\\f.txt=F", "\\other\\o.txt=O", "\\top\\l->d"}));
        FolderHandle held;
        QVERIFY(!held.openToRemove(QStringLiteral("\\")));
        QVERIFY(!held.openToRemove(QStringLiteral("\\top\\l"))); // a link is never entered
        QVERIFY(held.openToRemove(QStringLiteral("\\top\\d\\")));
        QVERIFY(!held.isMountPoint());
        EntryId id, before;
        QVERIFY(held.identity(id) && entryIdentity("\\top\\d", before) && id.sameObject(before));
        const QByteArray path = QFile::encodeName(root.host("\\top\\d"));
        std::optional<Mount> mounted;
        if (swap != Swap::None && swap != Swap::Mount)
            QCOMPARE(::rename(path.constData(), (path + ".old").constData()), 0);
        if (swap == Swap::Folder)
            QVERIFY(root.build({"\\top\\d\\"}));
        if (swap == Swap::Link)
            QVERIFY(root.build({"\\top\\d->d.old"}));
        if (swap == Swap::Mount && !mounted.emplace(root.host("\\other"), root.host("\\top\\d"), nullptr, QStringList{"--bind"}).ok())
            QSKIP("bind mounts are refused here");
        QCOMPARE(held.isStillAtPath(), swap == Swap::None);
        // Emptied through the handle, it goes from its parent by its name,
        // unless that name is another's now.
        FolderEntry entry;
        QVERIFY(held.first(QStringLiteral("*"), entry) && held.deleteEntry(entry));
        QCOMPARE(held.removeSelf(), swap == Swap::None);
        QCOMPARE(root.exists("\\top\\d\\o.txt"), swap == Swap::Mount);
        QCOMPARE(root.exists("\\top\\d"), swap != Swap::None && swap != Swap::Gone);
        QCOMPARE(root.exists("\\top\\d.old"), swap != Swap::None && swap != Swap::Mount);
    }

    // What a copy reports it read and made is what is on disk then; a
    // write after moves the change time.
    void copiedIds()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(build(root) && root.makeFolder("\\t"));
        for (const QString name : {"a.txt", "file.txt"}) { // a link: the link itself
            CopiedIds ids;
            QVERIFY(copyFile("\\d\\" + name, "\\t\\" + name, true, &ids));
            EntryId source, made;
            QVERIFY(entryIdentity("\\d\\" + name, source) && entryIdentity("\\t\\" + name, made));
            QVERIFY(source.unchangedSince(ids.source) && made.unchangedSince(ids.made));
            QVERIFY(!source.sameObject(made));
        }
        CopiedIds ids;
        QVERIFY(copyFile("\\d\\a.txt", "\\t\\b.txt", true, &ids));
        QVERIFY(root.makeFile("\\d\\a.txt", "alpha")); // the same bytes again
        EntryId now;
        QVERIFY(entryIdentity("\\d\\a.txt", now) && now.sameObject(ids.source) && !now.unchangedSince(ids.source));
    }

    void insideByIdentity_data()
    {
        QTest::addColumn<InsideCase>("row");

        QTest::newRow("itself") << InsideCase{"\\A", "\\A", true};
        QTest::newRow("a child") << InsideCase{"\\A\\B", "\\A", true};
        QTest::newRow("a name that only starts alike") << InsideCase{"\\AB", "\\A", false};
        QTest::newRow("the parent is not inside") << InsideCase{"\\A", "\\A\\B", false};
        QTest::newRow("through a link into the source") << InsideCase{"\\L", "\\A", true};
        QTest::newRow("a link pointing elsewhere") << InsideCase{"\\M", "\\A", false};
        QTest::newRow("everything is inside the root") << InsideCase{"\\AB", "\\", true};
    }

    void insideByIdentity()
    {
        auto [folder, ancestor, inside] = fetchRow<InsideCase>();
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build({"\\A\\B\\C\\", "\\AB\\", "\\L->A/B", "\\M->AB"}));
        QCOMPARE(isSameOrInsideFolder(folder, ancestor), inside);
    }

    void boundaries()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder("\\plain") && root.makeFolder("\\out"));
        FindData plain; // links are never walkable: see the file system tests
        QVERIFY(findEntry("\\plain", plain) && isWalkableFolder(plain));
        QVERIFY(!isMountPoint("\\plain"));
        QVERIFY(!isMountPoint("\\"));
        QVERIFY(!isPseudoFileSystem("\\plain"));
        QVERIFY(flushFileSystem("\\plain"));
        { // a bind mount of a folder of the same file system, to a walk and to a search
            const Mount bound(root.host("\\out"), root.host("\\plain\\bound"), nullptr, {"--bind"});
            FolderHandle folder, subfolder;
            FolderEntry entry;
            QVERIFY(bound.ok() && folder.open("\\plain") && folder.first("*", entry) && subfolder.open(folder, entry));
            QVERIFY(subfolder.isMountPoint() && isMountPoint("\\plain\\bound") && !isWalkableSubfolder("\\plain\\bound", plain));
            QVERIFY(listedEntry("\\plain\\bound").attributes & FILE_ATTRIBUTE_TEMPORARY);
        }
        // The host's own pseudo file systems, seen through a device root of "/".
        QVERIFY(setDeviceRoot(QStringLiteral("/")));
        QVERIFY(isPseudoFileSystem("\\proc"));
        QVERIFY(isPseudoFileSystem("\\sys"));
        QVERIFY(isMountPoint("\\proc"));
        // A look-up and a listing agree that a mount point is one.
        FindData single;
        QVERIFY(findEntry("\\proc", single));
        QCOMPARE(single.attributes & ~FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY);
        QCOMPARE(listedEntry("\\proc").attributes, single.attributes);
        QVERIFY(!isPseudoFileSystem("\\"));
    }
};

FERRIX_TEST(FolderWalkTest)
#include "tst_folderwalk.moc"
