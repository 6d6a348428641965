#include "platform/devicepath.h"
#include "platform/folderhandle.h"
#include "platform/walkguard.h"
#include "platformtest.h"

#include <sys/stat.h>

using namespace platform;
using namespace platformtest;

class WalkGuardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void insideByIdentity_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("ancestor");
        QTest::addColumn<bool>("inside");

        QTest::newRow("itself") << "\\A" << "\\A" << true;
        QTest::newRow("a child") << "\\A\\B" << "\\A" << true;
        QTest::newRow("a name that only starts alike") << "\\AB" << "\\A" << false;
        QTest::newRow("the parent is not inside") << "\\A" << "\\A\\B" << false;
        QTest::newRow("through a link into the source") << "\\L" << "\\A" << true;
        QTest::newRow("below a link into the source") << "\\L\\C" << "\\A" << true;
        QTest::newRow("a link pointing elsewhere") << "\\M" << "\\A" << false;
        QTest::newRow("a missing folder") << "\\none" << "\\A" << false;
        QTest::newRow("everything is inside the root") << "\\AB" << "\\" << true;
    }

    void insideByIdentity()
    {
        QFETCH(QString, folder);
        QFETCH(QString, ancestor);
        QFETCH(bool, inside);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder("\\A\\B\\C") && root.makeFolder("\\AB"));
        QVERIFY(makeLink(root, "A/B", "\\L") && makeLink(root, "AB", "\\M"));
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

FERRIX_TEST(WalkGuardTest)
#include "tst_walkguard.moc"
