#include "common/testsuite.h"
#include "filelist/visiblename.h"
#include "platform/desktop/fileuri.h"
#include "platform/fs/devicepath.h"
#include "platform/system/systeminfo.h"
#include "platform/testing/faultinjection.h"
#include "platform/ui/waitcursor.h"
#include "treefixture.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTimer>
#include <QScopeGuard>
#include <QStyledItemDelegate>

#include <sys/inotify.h>
#include <unistd.h>

namespace {
// Counts the times a host folder itself is opened for reading (each listing
// or scan of it opens it once). Closes are watched too: the kernel merges an
// event with an identical one queued just before it.
struct FolderOpens {
    int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    int opens = 0;
    ~FolderOpens() { ::close(fd); }
    bool watch(const QString &hostFolder)
    {
        return ::inotify_add_watch(fd, QFile::encodeName(hostFolder).constData(), IN_OPEN | IN_CLOSE_NOWRITE) >= 0;
    }
    int count()
    {
        alignas(struct inotify_event) char buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
            for (char *p = buffer; p < buffer + n;) {
                const auto *event = reinterpret_cast<const struct inotify_event *>(p);
                opens += event->len == 0 && (event->mask & IN_OPEN); // the folder itself, not an entry in it
                p += sizeof(struct inotify_event) + event->len;
            }
        }
        return opens;
    }
};

const QString kDummy = QStringLiteral("~Dummy Item");
const QString kUpdate = QStringLiteral("~Update this item");
} // namespace

class DirTreeBrowseTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { platform::faults::clear(); }

    // Disk steps: "+path" makes a folder, "-path" removes one, "@link=target"
    // links, "!path" makes a folder unreadable. Tree steps: "refresh", "expand
    // path", "collapse path", "select path", "tap path" (its expand button),
    // "keys Down Up End" (sent before the list gets its turn, as by a held key);
    // "?path" checks the selected folder and the list's, "=n" that the last
    // refresh read the root n times; "finger": the taps after it are a finger's.
    void steps_data()
    {
        QTest::addColumn<QStringList>("disk");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("inspect");
        QTest::addColumn<QStringList>("expected");
        const QStringList ab{"\\A", "\\A\\b"};
        const QString bad = "\\" + platform::deviceNameFromHost(QByteArray("bad\xff" "name"));
        const QString slash = QStringLiteral("\\back") + QChar(0xF05C) + QStringLiteral("slash");
        const QString rtl = QStringLiteral("\\rtl\u202Etxt.exe");
        // A refresh of the selected root reads it once for both panes.
        QTest::newRow("files only") << QStringList{"\\a.txt"} << QStringList{"refresh", "=1"} << "\\" << QStringList{};
        QTest::newRow("hidden folder") << QStringList{"\\.h"} << QStringList{"refresh", "=1"} << "\\" << QStringList{kDummy};
        QTest::newRow("sorted, case ignored first") << QStringList{"\\b", "\\C", "\\a", "\\x.txt"}
            << QStringList{"expand \\"} << "\\" << QStringList{"a", "b", "C"};
        QTest::newRow("case variants distinct") << QStringList{"\\abc", "\\ABC", "\\Abc"}
            << QStringList{"expand \\"} << "\\" << QStringList{"ABC", "Abc", "abc"};
        QTest::newRow("odd names") << QStringList{"\\line\nbreak", bad, bad + "\\in", "\\  lead", slash, slash + "\\in", rtl}
            << QStringList{"expand \\", "expand " + bad + "\\", "select " + bad + "\\in\\", "?" + bad + "\\in\\",
                           "expand " + slash + "\\", "select " + slash + "\\in\\", "?" + slash + "\\in\\"}
            << "\\" << QStringList{"  lead", slash.mid(1), bad.mid(1), "line\nbreak", rtl.mid(1)};
        QTest::newRow("new under expanded node, added once") << QStringList{"\\A", "\\A\\b", "\\A\\d"}
            << QStringList{"expand \\", "expand \\A\\", "+\\A\\c", "refresh", "refresh"} << "\\A\\" << QStringList{"b", "c", "d"};
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
        QTest::newRow("by finger") << ab << QStringList{"finger", "tap \\", "select \\A\\", "tap \\A\\", "?\\A\\"}
            << "\\A\\" << QStringList{"b"};
        const QStringList seven{"\\A", "\\B", "\\C", "\\D", "\\E", "\\F", "\\G"}, labels{"A", "B", "C", "D", "E", "F", "G"};
        QTest::newRow("held key over five folders") << seven
            << QStringList{"expand \\", "select \\A\\", "keys Down Down Down Down Down", "?\\F\\"} << "\\" << labels;
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
        FolderOpens rootOpens;
        QVERIFY(rootOpens.watch(f.device.hostPath()));
        QVERIFY(f.start(disk));
        // Starting reads the root twice, for the list: the first walk lists it,
        // and so does the first selection, whose path ends with a backslash
        // and so is never the list's folder as the list keeps it. The tree
        // learns from those listings whether the root has folders.
        QCOMPARE(rootOpens.count(), 2);
        int refreshReads = 0; // times the last refresh read the root
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
            const int listings = f.list.GetListingCount();
            const QString selected = f.tree.GetSelectedPath();
            if (step == "finger") {
                f.finger = true;
                continue;
            }
            if (step.startsWith('+')) {
                QVERIFY(TreeFixture::make(step.mid(1)));
            } else if (step.startsWith('-')) {
                QVERIFY(QDir(f.device.host(step.mid(1))).removeRecursively());
            } else if (step.startsWith('@')) {
                QVERIFY(QFile::link(f.device.host(step.section('=', 1)), f.device.host(step.mid(1).section('=', 0, 0))));
            } else if (step.startsWith('!')) {
                platform::faults::inject(platform::FsOperation::Find, step.mid(1));
            } else if (step.startsWith('=')) {
                QCOMPARE(refreshReads, step.mid(1).toInt());
            } else if (step.startsWith('?')) {
                QCOMPARE(f.tree.GetSelectedPath(), step.mid(1));
                QTRY_COMPARE(f.list.GetFolder(), step.mid(1).chopped(1)); // keys list once they are all handled
            } else {
                if (verb == "refresh") {
                    const int opened = rootOpens.count();
                    f.tree.OnRefresh();
                    refreshReads = rootOpens.count() - opened;
                }
                else if (verb == "select" || verb == "tap")
                    f.tap(arg, verb == "tap");
                else if (verb == "keys")
                    for (const QString &name : arg.split(u' '))
                        QTest::keyClick(&f.tree, name == u"Up" ? Qt::Key_Up : name == u"End" ? Qt::Key_End : Qt::Key_Down);
                else
                    f.key(arg, verb == "expand" ? Qt::Key_Right : Qt::Key_Left);
                QVERIFY2(f.tree.isConsistent(), qPrintable(step));
                QCOMPARE(platform::waitCursorDepth(), 0);
                if (verb == "expand" || verb == "collapse")
                    QCOMPARE(f.node(arg)->isExpanded(), verb == "expand");
                // An expansion's walk lists the selected folder again.
                if (verb == "expand")
                    QVERIFY(f.list.GetListingCount() > listings);
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
            } else if (verb == "select" && f.tree.GetSelectedPath() != selected) {
                QCOMPARE(f.list.calls.last().folder, f.tree.GetSelectedPath()); // a tap lists at once
            } else if (verb == "keys") { // only the folder where the keys stop is listed
                QTRY_COMPARE(f.list.GetFolder(), f.tree.GetSelectedPath().chopped(1));
                QCOMPARE(f.list.calls.size(), before + 1);
            }
        }
        QTEST(f.children(inspect), "expected");
        // A label is drawn as its visible name and stays the folder's name.
        const auto *delegate = qobject_cast<QStyledItemDelegate *>(f.tree.itemDelegate());
        for (const QString &label : f.children(inspect))
            QCOMPARE(delegate->displayText(label, QLocale()), visibleName(label));
    }

    // A drag resting on a folder highlights it and opens it after a moment;
    // off the folders nothing is highlighted and nothing can be dropped. A
    // drop names the folder it was let go on, and how.
    void dragOverFolders()
    {
        TreeFixture f;
        QVERIFY(f.start({"\\A", "\\A\\b", "\\c.txt"}));
        f.tap("\\", true);
        QMimeData data;
        data.setData("text/uri-list", platform::fileUriFromDevice("\\c.txt") + "\r\n");
        QSignalSpy dropped(&f.tree, &CDirTreeView::entriesDropped);
        QTreeWidgetItem *folder = f.node("\\A");
        const QPoint onA = f.tree.visualItemRect(folder).center();
        const QPoint offAll(onA.x(), f.tree.viewport()->height() - 2);
        const auto send = [&](QDropEvent &&event) {
            QCoreApplication::sendEvent(f.tree.viewport(), &event);
            return event.isAccepted();
        };
        // A drag comes in over the edge, off the folders, and moves on to one.
        QVERIFY(send(QDragEnterEvent(offAll, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {})));
        QCOMPARE(f.tree.DropTargetItem(), nullptr);
        QVERIFY(send(QDragMoveEvent(onA, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {})));
        QCOMPARE(f.tree.DropTargetItem(), folder);
        QVERIFY(!folder->isExpanded());
        QTimer *open = f.tree.findChild<QTimer *>("openTimer");
        QVERIFY(open && open->isActive());
        open->start(0); // the moment, without the wait
        QTRY_VERIFY(folder->isExpanded());
        QCOMPARE(f.children("\\A"), QStringList{"b"});
        QVERIFY(!send(QDragMoveEvent(offAll, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {})));
        QCOMPARE(f.tree.DropTargetItem(), nullptr);
        QVERIFY(send(QDropEvent(f.tree.visualItemRect(f.node("\\A\\b")).center(), Qt::CopyAction | Qt::MoveAction, &data,
                                Qt::LeftButton, Qt::ShiftModifier)));
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped.first(), (QVariantList{QStringList{"\\c.txt"}, true, "\\A\\b\\"}));
        QCOMPARE(f.tree.DropTargetItem(), nullptr);
    }
};

FERRIX_TEST(DirTreeBrowseTest)
#include "tst_dirtreebrowse.moc"
