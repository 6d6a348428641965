#include "platform/attributes/listedattribs.h"
#include "platform/fs/subfolderprobe.h"
#include "platform/platformtest.h"
#include "platform/testing/faultinjection.h"

#include <QSet>

#include <optional>

using namespace platform;
using namespace platformtest;

namespace {
struct SubfolderCase { QString name; bool expected; int error; };
} // namespace

class FindFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Big folders are read ahead on helper threads: every entry comes once,
    // in the folder's order, with its own stored attributes, across batches
    // and whoever read it; a folder that keeps none reports the default.
    void bigFolders_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("ramfs");
        QTest::newRow("fewer than a helper takes") << 100 << false;
        QTest::newRow("several batches") << 3000 << false;
        QTest::newRow("several batches, nothing stored") << 3000 << true;
    }

    void bigFolders()
    {
        QFETCH(int, files);
        QFETCH(bool, ramfs);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder("\\big"));
        std::optional<Mount> mount;
        if (ramfs && !mount.emplace("ramfs", root.host("\\big"), "ramfs").ok())
            QSKIP("cannot mount a ramfs here");
        QSet<QString> hidden;
        for (int i = 0; i < files; ++i) {
            const QString path = QStringLiteral("\\big\\f%1").arg(i);
            QVERIFY(root.makeFile(path));
            if (i % 7 == 3 && !ramfs) {
                QVERIFY(setFileAttributes(path, FILE_ATTRIBUTE_HIDDEN));
                hidden.insert(path.mid(5));
            }
        }
        const QStringList order = QDir(root.host("\\big")).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
        QStringList listed;
        FindFile find;
        FindData data;
        for (bool more = find.first("\\big\\*", data); more; more = find.next(data)) {
            listed.append(data.name);
            QCOMPARE(data.attributes, hidden.contains(data.name) ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_ARCHIVE);
        }
        QCOMPARE(lastError().code, ENOENT);
        QCOMPARE(listed, order);
        // The whole listing is kept, one place per entry, for the folder's next one.
        struct statx folder;
        QVERIFY(::statx(AT_FDCWD, QFile::encodeName(root.host("\\big")).constData(), 0, STATX_BASIC_STATS, &folder) == 0);
        const auto kept = detail::recallListing(folder);
        QVERIFY(kept && kept->size() == size_t(files));
    }

    void patterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");

        const QStringList all {"README", "a.b.c", "notes.txt", "Other.TXT", "x", "xy", "sub"};
        QTest::newRow("star dot star matches names without a dot") << "*.*" << all;
        QTest::newRow("extension ignores case") << "*.TXT" << QStringList {"notes.txt", "Other.TXT"};
        QTest::newRow("question mark is one character") << "?" << QStringList {"x"};
        QTest::newRow("exact name keeps case") << "readme" << QStringList();
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
            QVERIFY(root.makeFile("\\d\\" + QLatin1String(name)));
        QVERIFY(root.makeFolder("\\d\\sub"));
        expected.sort();
        detail::forgetListings();
        QCOMPARE(findAll("\\d\\" + pattern), expected);
        struct statx folder; // a listing of some names is never kept as the folder's
        QVERIFY(::statx(AT_FDCWD, QFile::encodeName(root.host("\\d")).constData(), 0, STATX_BASIC_STATS, &folder) == 0);
        QCOMPARE(detail::recallListing(folder) != nullptr, pattern == "*.*");
        FindFile find;
        FindData data;
        QCOMPARE(find.first("\\d\\" + pattern, data), !expected.isEmpty());
        QCOMPARE(find.isOpen(), !expected.isEmpty());
        QCOMPARE(lastError().code, expected.isEmpty() ? ENOENT : 0);
    }

    // Whether a folder holds a folder, asked of the folder alone and through a
    // probe on its parent: both agree, also on the reason for "no".
    void subfolders_data()
    {
        QTest::addColumn<SubfolderCase>("row");
        QTest::newRow("a subfolder") << SubfolderCase{"sub", true, 0};
        QTest::newRow("only files") << SubfolderCase{"files", false, ENOENT};
        QTest::newRow("a link to a folder") << SubfolderCase{"folderlink", true, 0};
        QTest::newRow("a link to a file") << SubfolderCase{"filelink", false, ENOENT};
        QTest::newRow("a dangling link") << SubfolderCase{"dangling", false, ENOENT};
        QTest::newRow("backslash in the name") << SubfolderCase{QString::fromUtf16(u"a\uF05Cb"), true, 0};
        QTest::newRow("missing") << SubfolderCase{"none", false, ENOENT};
        QTest::newRow("a file") << SubfolderCase{"files\\a.txt", false, ENOTDIR};
        QTest::newRow("injected fault") << SubfolderCase{"faulty", false, EROFS};
    }

    void subfolders()
    {
        auto [name, expected, error] = fetchRow<SubfolderCase>();
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build({"\\p\\sub\\x\\", "\\p\\empty\\", "\\p\\faulty\\x\\", QString::fromUtf16(u"\\p\\a\uF05Cb\\x\\"), "\\p\\files\\a.txt",
                            "\\p\\files\\b.txt", "\\p\\files\\.hidden", "\\p\\folderlink\\a.txt", "\\p\\folderlink\\l->../sub",
                            "\\p\\filelink\\a.txt", "\\p\\filelink\\l->a.txt", "\\p\\dangling\\l->nowhere"}));
        faults::inject(FsOperation::Find, "\\p\\faulty", EROFS);

        QCOMPARE(hasSubfolder("\\p\\" + name + "\\"), expected);
        QCOMPARE(lastError().code, error);
        SubfolderProbe probe("\\p\\");
        QCOMPARE(probe.hasSubfolder(name), expected);
        QCOMPARE(lastError().code, error);
        faults::clear();
    }
};

FERRIX_TEST(FindFileTest)
#include "tst_findfile.moc"
