#include "platform/fs/devicepath.h"
#include "platform/fs/findfile.h"
#include "platform/fs/folderwatch.h"
#include "platform/platformtest.h"
#include "platform/testing/faultinjection.h"
#include "platform/base/procfile.h"

#include <QSignalSpy>

#include <optional>

#include <fcntl.h>
#include <unistd.h>

using namespace platform;

// The watch tells what other programs change in a folder, each name as a
// listing shows it.
class FolderWatchTest : public QObject {
    Q_OBJECT

    // Waits for changes until every name is told; the newest look at each.
    static QHash<QString, WatchedEntry> collect(FolderWatch &watch, const QStringList &names)
    {
        QHash<QString, WatchedEntry> seen;
        QSignalSpy ready(&watch, &FolderWatch::changesReady);
        const auto all = [&] {
            for (FolderChanges &changes : watch.takeChanges())
                for (WatchedEntry &entry : changes.entries)
                    seen.insert(entry.name, entry);
            return std::all_of(names.begin(), names.end(), [&](const QString &n) { return seen.contains(n); });
        };
        while (!all() && ready.wait(5000)) {
        }
        return seen;
    }

private Q_SLOTS:
    void namesAsListed_data()
    {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<QString>("name");
        QTest::newRow("newline") << QByteArray("a\nb") << QStringLiteral("a\nb");
        QTest::newRow("backslash") << QByteArray("a\\b") << QStringLiteral("a\uF05Cb");
        QTest::newRow("not UTF-8") << QByteArray("caf\xe9") << ("caf" + QString(QChar(0xDCE9)));
        QTest::newRow("quotes and stars") << QByteArray("\"*?'") << QStringLiteral("\"*?'");
    }
    // A file, a folder and a link to the file under the name come and go;
    // each is told as findEntry reports it, then as gone.
    void namesAsListed()
    {
        QFETCH(QByteArray, host);
        QFETCH(QString, name);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder("\\w"));
        FolderWatch watch;
        watch.setFolders({"\\w"});
        QTRY_VERIFY(watch.isLive("\\w"));
        const QByteArray dir = QFile::encodeName(root.host("\\w")) + '/';
        QVERIFY(testsupport::writeHostFile(dir + host, "12345"));
        QVERIFY(::mkdir(dir + host + "-d", 0755) == 0);
        QVERIFY(::symlink(host.constData(), dir + host + "-l") == 0);
        const QStringList names{name, name + "-d", name + "-l"};
        QHash<QString, WatchedEntry> seen = collect(watch, names);
        for (const QString &n : names) {
            FindData listed;
            QVERIFY(findEntry("\\w\\" + n, listed));
            const WatchedEntry told = seen.value(n);
            QVERIFY2(told.present, qPrintable(n));
            QCOMPARE(told.data.name, listed.name);
            QCOMPARE(told.data.attributes, listed.attributes);
            QCOMPARE(told.data.size(), listed.size());
            QCOMPARE(told.data.lastWriteTime, listed.lastWriteTime);
        }
        QVERIFY(::unlink(dir + host + "-l") == 0 && ::rmdir(dir + host + "-d") == 0 && ::unlink(dir + host) == 0);
        seen = collect(watch, names);
        for (const QString &n : names)
            QVERIFY2(!seen.value(n).present, qPrintable(n));
    }

    // Events that come faster than they are read are dropped by the kernel;
    // the folder is then read again whole. The watch's thread is held in a
    // look at a new folder while more files come than the kernel keeps events for.
    void overflowReadsFolderAgain()
    {
        const int queued = readSmallTextFile("/proc/sys/fs/inotify/max_queued_events").trimmed().toInt();
        QVERIFY(queued > 0);
        if (queued > 100000)
            QSKIP("the kernel keeps too many events here to overflow them in a test");
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder("\\w"));
        FolderWatch watch;
        watch.setFolders({"\\w"});
        QTRY_VERIFY(watch.isLive("\\w"));
        // Let go before the watch is, however the test ends: it waits for its thread.
        const struct Release {
            ~Release() { faults::clear(); }
        } release;
        faults::injectHang(FsOperation::Find, "\\w\\held");
        const QByteArray dir = QFile::encodeName(root.host("\\w")) + '/';
        QVERIFY(::mkdir(dir + "held", 0755) == 0);
        QTRY_COMPARE(faults::hanging(), 1);
        const int files = queued / 2 + 100; // each tells its creation and its close
        for (int i = 0; i < files; ++i)
            QVERIFY(testsupport::writeHostFile(dir + QByteArray::number(i), ""));
        faults::releaseHangs();
        QSignalSpy ready(&watch, &FolderWatch::changesReady);
        std::optional<FolderChanges> whole;
        while (!whole && (ready.count() > 0 || ready.wait(10000))) {
            ready.clear();
            for (FolderChanges &changes : watch.takeChanges())
                if (changes.complete)
                    whole = std::move(changes);
        }
        QVERIFY(whole);
        QCOMPARE(whole->folder, QStringLiteral("\\w"));
        QCOMPARE(qsizetype(whole->entries.size()), qsizetype(files + 1));
    }

    // A file system that tells no changes (here the kernel's own) is not
    // watched, and so is not polled either.
    void silentFileSystemsNotLive()
    {
        const int proc = ::open("/proc", O_PATH | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(proc >= 0);
        QVERIFY(!fileSystemTellsChanges(proc));
        ::close(proc);
        testsupport::TempDeviceRoot root;
        const int local = ::open(QFile::encodeName(root.hostPath()).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(fileSystemTellsChanges(local));
        ::close(local);
    }
};

FERRIX_TEST(FolderWatchTest)
#include "tst_folderwatch.moc"
