#include "common/testsuite.h"
#include "platform/devicepath.h"
#include "platform/faultinjection.h"
#include "platform/filesystem.h"
#include "platform/systeminfo.h"
#include "platform/ui/waitcursor.h"
#include "treefixture.h"

#include "filelist/visiblename.h"

#include <QDir>
#include <QFile>
#include <QStyledItemDelegate>

#include <sys/inotify.h>
#include <unistd.h>
#include <QScopeGuard>

namespace {
// Counts the times a host folder itself is opened for reading (each
// listing or scan of it opens it once). Closes are watched too: the kernel
// merges an event with an identical one queued just before it.
class FolderOpens {
public:
    explicit FolderOpens(const QString &hostFolder)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        m_ok = m_fd >= 0 && ::inotify_add_watch(m_fd, QFile::encodeName(hostFolder).constData(), IN_OPEN | IN_CLOSE_NOWRITE) >= 0;
    }
    ~FolderOpens() { ::close(m_fd); }
    bool isValid() const { return m_ok; }
    int count()
    {
        alignas(struct inotify_event) char buffer[4096];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (char *p = buffer; p < buffer + n;) {
                const auto *event = reinterpret_cast<const struct inotify_event *>(p);
                m_count += event->len == 0 && (event->mask & IN_OPEN); // the folder itself, not an entry in it
                p += sizeof(struct inotify_event) + event->len;
            }
        }
        return m_count;
    }

private:
    int m_fd;
    bool m_ok = false;
    int m_count = 0;
};

const QString kDummy = QStringLiteral("~Dummy Item");
const QString kUpdate = QStringLiteral("~Update this item");
} // namespace

class DirTreeBrowseTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { platform::faults::clear(); }

    // Disk steps: "+path" creates a folder, "-path" removes one with its
    // content, "@link=target" makes a symbolic link, "!path" makes a folder
    // unreadable. Tree steps: "refresh", "expand path", "collapse path",
    // "select path", "tap path" (its expand button); "?path" checks the
    // selected folder and the list's.
    void steps_data()
    {
        QTest::addColumn<QStringList>("disk");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("inspect");
        QTest::addColumn<QStringList>("expected");
        const QStringList ab{"\\A", "\\A\\b"};
        const QString bad = "\\" + platform::deviceNameFromHost(QByteArray("bad\xff" "name"));
        const QString slash = QStringLiteral("\\back") + QChar(0xF05C) + QStringLiteral("slash");
        QTest::newRow("empty device") << QStringList{} << QStringList{} << "\\" << QStringList{};
        QTest::newRow("files only") << QStringList{"\\a.txt"} << QStringList{} << "\\" << QStringList{};
        QTest::newRow("hidden folder") << QStringList{"\\.h"} << QStringList{} << "\\" << QStringList{kDummy};
        QTest::newRow("sorted, case ignored first") << QStringList{"\\b", "\\C", "\\a", "\\x.txt"}
            << QStringList{"expand \\"} << "\\" << QStringList{"a", "b", "C"};
        QTest::newRow("case variants distinct") << QStringList{"\\abc", "\\ABC", "\\Abc"}
            << QStringList{"expand \\"} << "\\" << QStringList{"ABC", "Abc", "abc"};
        QTest::newRow("odd names") << QStringList{"\\line\nbreak", bad, bad + "\\in", "\\  lead", slash, slash + "\\in"}
            << QStringList{"expand \\", "expand " + bad + "\\", "select " + bad + "\\in\\", "?" + bad + "\\in\\",
                           "expand " + slash + "\\", "select " + slash + "\\in\\", "?" + slash + "\\in\\"}
            << "\\" << QStringList{"  lead", slash.mid(1), bad.mid(1), "line\nbreak"};
        QTest::newRow("new under expanded node, added once") << QStringList{"\\A", "\\A\\b", "\\A\\d"}
            << QStringList{"expand \\", "expand \\A\\", "+\\A\\c", "refresh", "refresh"} << "\\A\\" << QStringList{"b", "c", "d"};
        QTest::newRow("new under collapsed node") << ab
            << QStringList{"expand \\", "+\\A\\a", "refresh", "expand \\A\\"} << "\\A\\" << QStringList{"a", "b"};
        QTest::newRow("removed folder disappears") << QStringList{"\\A", "\\A\\b", "\\A\\c"}
            << QStringList{"expand \\", "expand \\A\\", "-\\A\\b", "refresh"} << "\\A\\" << QStringList{"c"};
        QTest::newRow("leaf gains expand button") << QStringList{"\\A"}
            << QStringList{"expand \\", "+\\A\\x", "refresh"} << "\\A\\" << QStringList{kDummy};
        QTest::newRow("expand button goes") << ab << QStringList{"expand \\", "-\\A\\b", "refresh"} << "\\A\\" << QStringList{};
        QTest::newRow("expansion reads disk again") << ab
            << QStringList{"expand \\", "expand \\A\\", "collapse \\A\\", "+\\A\\c", "-\\A\\b", "expand \\A\\"} << "\\A\\" << QStringList{"c"};
        QTest::newRow("emptied expanded node collapses when refilled") << ab
            << QStringList{"expand \\", "expand \\A\\", "-\\A\\b", "refresh", "+\\A\\c", "refresh"} << "\\A\\" << QStringList{kDummy};
        QTest::newRow("link to a folder") << QStringList{"\\A", "\\B"}
            << QStringList{"@\\A\\l=\\B", "expand \\", "expand \\A\\"} << "\\A\\" << QStringList{"l"};
        QTest::newRow("unreadable folder is empty") << ab << QStringList{"!\\A", "expand \\"} << "\\A\\" << QStringList{};
        QTest::newRow("named like the expansion placeholder") << QStringList{"\\P", "\\P\\" + kDummy}
            << QStringList{"expand \\", "expand \\P\\", "refresh", "collapse \\P\\", "expand \\P\\", "refresh"} << "\\P\\" << QStringList{kDummy};
        QTest::newRow("named like the update placeholder") << QStringList{"\\P", "\\P\\" + kUpdate, "\\Q", "\\Q\\q"}
            << QStringList{"expand \\", "expand \\P\\", "expand \\Q\\", "refresh", "collapse \\P\\", "expand \\P\\"} << "\\P\\" << QStringList{kUpdate};
        QTest::newRow("removed selection goes to next sibling") << QStringList{"\\A", "\\B", "\\C"}
            << QStringList{"expand \\", "select \\B\\", "-\\B", "refresh", "?\\C\\"} << "\\" << QStringList{"A", "C"};
        QTest::newRow("removed selection from deep inside") << QStringList{"\\A", "\\A\\x", "\\A\\x\\y", "\\B"}
            << QStringList{"expand \\", "expand \\A\\", "expand \\A\\x\\", "select \\A\\x\\y\\", "-\\A", "refresh", "?\\B\\"} << "\\" << QStringList{"B"};
        QTest::newRow("collapse around the selection") << QStringList{"\\A", "\\A\\B", "\\A\\B\\C"}
            << QStringList{"expand \\", "expand \\A\\", "expand \\A\\B\\", "select \\A\\B\\C\\", "tap \\A\\", "?\\A\\"} << "\\A\\" << QStringList{kDummy};
    }
    void steps()
    {
        QFETCH(QStringList, disk);
        QFETCH(QStringList, steps);
        QFETCH(QString, inspect);
        TreeFixture f;
        // The temporary folder's own clean-up cannot take names that are not UTF-8.
        const auto removeFolders = qScopeGuard([&disk] {
            for (auto it = disk.crbegin(); it != disk.crend(); ++it)
                platform::removeDirectory(*it);
        });
        QVERIFY(f.start(disk));
        QString host;
        QCOMPARE(f.node("\\")->text(0), platform::getHostName(host) && !host.isEmpty() ? host : "Device");
        // The first walk reloads the list; the first activation selects the root.
        QCOMPARE(f.list.calls.size(), 2);
        QVERIFY(f.list.calls.at(0).force && !f.list.calls.at(1).force);
        QCOMPARE(f.list.GetFolder(), QString());
        QVERIFY(f.tree.isConsistent());

        for (const QString &step : steps) {
            const QString verb = step.section(' ', 0, 0), arg = step.section(' ', 1);
            const qsizetype before = f.list.calls.size();
            const QString selected = f.tree.GetSelectedPath();
            if (step.startsWith('+')) {
                QVERIFY(TreeFixture::make(step.mid(1)));
            } else if (step.startsWith('-')) {
                QVERIFY(QDir(f.device.host(step.mid(1))).removeRecursively());
            } else if (step.startsWith('@')) {
                QVERIFY(QFile::link(f.device.host(step.section('=', 1)), f.device.host(step.mid(1).section('=', 0, 0))));
            } else if (step.startsWith('!')) {
                platform::faults::inject(platform::FsOperation::Find, step.mid(1));
            } else if (step.startsWith('?')) {
                QCOMPARE(f.tree.GetSelectedPath(), step.mid(1));
                QTRY_COMPARE(f.list.GetFolder(), step.mid(1).chopped(1)); // keys list once they are all handled
            } else {
                if (verb == "refresh")
                    f.tree.OnRefresh();
                else if (verb == "select")
                    f.select(arg);
                else if (verb == "tap")
                    f.tapButton(arg);
                else
                    f.key(arg, verb == "expand" ? Qt::Key_Right : Qt::Key_Left);
                QVERIFY2(f.tree.isConsistent(), qPrintable(step));
                QCOMPARE(platform::waitCursorDepth(), 0);
                if (verb == "expand" || verb == "collapse")
                    QCOMPARE(f.node(arg)->isExpanded(), verb == "expand");
            }
            // A refresh reloads the list once; no walk starts another walk.
            if (verb == "refresh") {
                QVERIFY(f.list.calls.size() > before && f.list.calls.at(before).force);
                QCOMPARE(f.list.calls.at(before).folder, selected);
                if (f.tree.GetSelectedPath() == selected)
                    QCOMPARE(f.list.calls.size(), before + 1);
            } else if (verb == "tap") {
                QCOMPARE(f.list.calls.size(), before + 1);
                QCOMPARE(f.list.calls.last().folder, f.tree.GetSelectedPath());
            }
        }
        QTEST(f.children(inspect), "expected");
    }

    // Starting reads the root once, for the list; the tree learns from that
    // listing whether the root has folders. Refreshing reads the selected
    // folder once for both panes.
    void startReadsRootOnce_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("files only") << QStringList {"\\a.txt", "\\b.txt"};
        QTest::newRow("files and folders") << QStringList {"\\a.txt", "\\A", "\\B", "\\B\\c"};
    }
    void startReadsRootOnce()
    {
        QFETCH(QStringList, entries);
        TreeFixture f;
        for (const QString &entry : entries)
            QVERIFY(TreeFixture::make(entry));
        FolderOpens opens(f.device.hostPath());
        QVERIFY(opens.isValid());
        QVERIFY(f.start({}));
        QCOMPARE(opens.count(), 1);
        QCOMPARE(f.children("\\").isEmpty(), entries.size() == 2); // a button when there are folders
        f.tree.OnRefresh();
        QCOMPARE(opens.count(), 2);
        QVERIFY(f.tree.isConsistent());
    }

    // A label is drawn as its visible name and stays the folder's name.
    void oddLabelsDrawnVisibly()
    {
        TreeFixture f;
        const QString odd = QStringLiteral("\\rtl\u202Etxt.exe") + QChar(0xF05C) + "\nx";
        QVERIFY(f.start({odd}));
        f.key("\\", Qt::Key_Right);
        QTRY_VERIFY(f.node(odd + "\\"));
        const auto *delegate = qobject_cast<QStyledItemDelegate *>(f.tree.itemDelegate());
        QVERIFY(delegate);
        QCOMPARE(delegate->displayText(f.node(odd + "\\")->data(0, Qt::DisplayRole), QLocale()), visibleName(odd.mid(1)));
        f.select(odd + "\\");
        QCOMPARE(f.tree.GetSelectedPath(), odd + "\\");
    }

    // Keys that arrive before the list gets its turn (a held key) move the
    // selection, and only the folder where it stops is listed; a tap lists
    // at once.
    void heldKeyListsWhereItStops_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("stop");
        QTest::newRow("one press") << Qt::Key_Down << 1 << "\\B\\";
        QTest::newRow("held over five folders") << Qt::Key_Down << 5 << "\\F\\";
        QTest::newRow("there and back") << Qt::Key_Up << 0 << "\\C\\";
        QTest::newRow("to the end") << Qt::Key_End << 1 << "\\G\\";
    }
    void heldKeyListsWhereItStops()
    {
        QFETCH(Qt::Key, key);
        QFETCH(int, presses);
        QFETCH(QString, stop);
        TreeFixture f;
        QVERIFY(f.start({"\\A", "\\B", "\\C", "\\D", "\\E", "\\F", "\\G", "\\F\\f.txt"}));
        f.key("\\", Qt::Key_Right);
        QTRY_COMPARE(f.children("\\").size(), 7);
        f.select("\\A\\");
        QCOMPARE(f.list.calls.last().folder, QStringLiteral("\\A\\")); // a tap lists at once
        const qsizetype before = f.list.calls.size();

        if (key == Qt::Key_Up) { // down three, up one
            for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
                QTest::keyClick(&f.tree, k);
        }
        for (int i = 0; i < presses; ++i)
            QTest::keyClick(&f.tree, key);

        QCOMPARE(f.tree.GetSelectedPath(), stop);
        QTRY_COMPARE(f.list.GetFolder(), stop.chopped(1));
        QCOMPARE(f.list.calls.size(), before + 1);
        QCOMPARE(f.list.calls.last().folder, stop);
        QCOMPARE(f.list.GetItemCount(), stop == u"\\F\\" ? 1 : 0);
    }
};

FERRIX_TEST(DirTreeBrowseTest)
#include "tst_dirtreebrowse.moc"
