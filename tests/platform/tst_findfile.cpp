#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/devicepath.h"
#include "platform/fileattributes.h"
#include "platform/filesystem.h"
#include "platform/findfile.h"
#include "platform/lasterror.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

QStringList findAll(const QString &pattern)
{
    QStringList names;
    FindFile find;
    FindData data;
    for (bool more = find.first(pattern, data); more; more = find.next(data))
        names.append(data.name);
    names.sort();
    return names;
}

} // namespace

class FindFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void patterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");

        const QStringList all {"README", "a.b.c", "notes.txt", "Other.TXT", "x", "xy", "sub"};
        QTest::newRow("star dot star matches names without a dot") << "*.*" << all;
        QTest::newRow("star") << "*" << all;
        QTest::newRow("extension ignores case") << "*.TXT" << QStringList {"notes.txt", "Other.TXT"};
        QTest::newRow("question mark is one character") << "?" << QStringList {"x"};
        QTest::newRow("two question marks") << "x?" << QStringList {"xy"};
        QTest::newRow("star in the middle") << "a*c" << QStringList {"a.b.c"};
        QTest::newRow("several stars") << "*o*e*" << QStringList {"notes.txt", "Other.TXT"};
        QTest::newRow("no match") << "*.doc" << QStringList();
        QTest::newRow("exact name") << "README" << QStringList {"README"};
        QTest::newRow("exact name keeps case") << "readme" << QStringList();
        QTest::newRow("exact folder") << "sub" << QStringList {"sub"};
        QTest::newRow("dot") << "." << QStringList();
        QTest::newRow("dot dot") << ".." << QStringList();
        QTest::newRow("dot star finds no dot entries") << ".*" << QStringList();
        QTest::newRow("missing folder") << "none\\*" << QStringList();
    }

    void patterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);
        testsupport::TempDeviceRoot root;
        for (const char *name : {"README", "a.b.c", "notes.txt", "Other.TXT", "x", "xy"})
            QVERIFY(root.makeFile(QStringLiteral("\\d\\") + QLatin1String(name)));
        QVERIFY(root.makeFolder(QStringLiteral("\\d\\sub")));
        expected.sort();
        QCOMPARE(findAll(QStringLiteral("\\d\\") + pattern), expected);
        if (expected.isEmpty()) {
            FindFile find;
            FindData data;
            QVERIFY(!find.first(QStringLiteral("\\d\\") + pattern, data));
            QCOMPARE(lastError().code, ENOENT);
            QVERIFY(!find.isOpen());
        }
    }

    void findData()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile(QStringLiteral("\\f.bin")));
        QVERIFY(::truncate(QFile::encodeName(root.host("\\f.bin")).constData(), 0x123456789LL) == 0);
        QVERIFY(root.makeFolder(QStringLiteral("\\dir")));
        const FileTime written = fileTimeFromUnix(1'000'000'000, 500);
        QVERIFY(setLastWriteTime(QStringLiteral("\\f.bin"), written));

        FindData data;
        QVERIFY(findEntry(QStringLiteral("\\f.bin"), data));
        QCOMPARE(data.name, QStringLiteral("f.bin"));
        QCOMPARE(data.sizeHigh, 0x1u);
        QCOMPARE(data.sizeLow, 0x23456789u);
        QCOMPARE(data.lastWriteTime, written);
        QCOMPARE(unixSecondsFromFileTime(data.lastWriteTime), 1'000'000'000);
        QVERIFY(data.creationTime > fileTimeFromUnix(1'600'000'000, 0));
        QCOMPARE(data.attributes, FILE_ATTRIBUTE_ARCHIVE);

        QVERIFY(findEntry(QStringLiteral("\\dir"), data));
        QCOMPARE(data.attributes, FILE_ATTRIBUTE_DIRECTORY);
        QCOMPARE(data.size(), quint64(0));
    }

    void symbolicLinks()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile(QStringLiteral("\\target\\inner.txt")));
        QVERIFY(root.makeFile(QStringLiteral("\\file.txt")));
        const QByteArray base = QFile::encodeName(root.hostPath());
        QVERIFY(::symlink("target", base + "/folderlink") == 0);
        QVERIFY(::symlink("file.txt", base + "/filelink") == 0);
        QVERIFY(::symlink("nowhere", base + "/dangling") == 0);

        FindData data;
        QVERIFY(findEntry(QStringLiteral("\\folderlink"), data));
        QCOMPARE(data.attributes, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
        QCOMPARE(data.size(), quint64(6)); // the link's own size
        QVERIFY(findEntry(QStringLiteral("\\filelink"), data));
        QCOMPARE(data.attributes, FILE_ATTRIBUTE_REPARSE_POINT);
        QVERIFY(findEntry(QStringLiteral("\\dangling"), data));
        QCOMPARE(data.attributes, FILE_ATTRIBUTE_REPARSE_POINT);
        // Browsing goes through a link to a folder.
        QCOMPARE(findAll(QStringLiteral("\\folderlink\\*")), QStringList {"inner.txt"});
    }

    void mountPointIsTemporary()
    {
        // A folder on another file system than its parent: /proc below /.
        struct stat top, proc;
        if (::stat("/", &top) != 0 || ::stat("/proc", &proc) != 0 || top.st_dev == proc.st_dev)
            QSKIP("no mount point below / to look at");
        const QString previous = deviceRoot();
        QVERIFY(setDeviceRoot(QStringLiteral("/")));
        FindData single, listed;
        const bool found = findEntry(QStringLiteral("\\proc"), single);
        FindFile find;
        bool more = find.first(QStringLiteral("\\pro?"), listed);
        while (more && listed.name != QLatin1String("proc"))
            more = find.next(listed);
        setDeviceRoot(previous);
        QVERIFY(found && more);
        QCOMPARE(single.attributes & ~FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY);
        QCOMPARE(listed.attributes, single.attributes);
    }

    void nonUtf8NamesSurvive()
    {
        testsupport::TempDeviceRoot root;
        const QByteArray base = QFile::encodeName(root.hostPath());
        const QByteArray raw = "caf\xe9 \\ x";
        const int fd = ::open(base + '/' + raw, O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "data", 4), ssize_t(4));
        ::close(fd);

        const QStringList names = findAll(QStringLiteral("\\*"));
        QCOMPARE(names.size(), 1);
        const QString name = names.first();
        QCOMPARE(name, deviceNameFromHost(raw));
        QVERIFY(findAll(QStringLiteral("\\CAF*")) == names);

        const QString path = QLatin1Char('\\') + name;
        QVERIFY(copyFile(path, path + QStringLiteral(".copy"), true));
        QVERIFY(moveFile(path, path + QStringLiteral(".moved")));
        QVERIFY(::access(base + '/' + raw + ".moved", F_OK) == 0);
        QVERIFY(::access(base + '/' + raw + ".copy", F_OK) == 0);
        QVERIFY(deleteFile(path + QStringLiteral(".moved")));
        QVERIFY(deleteFile(path + QStringLiteral(".copy")));
        QVERIFY(findAll(QStringLiteral("\\*")).isEmpty());
    }

};

FERRIX_TEST(FindFileTest)
#include "tst_findfile.moc"
