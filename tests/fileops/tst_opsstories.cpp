#include "opsstory.h"

#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "platform/work/longwork.h"
#include "progress/cprogresswnd.h"
#include "progress/progressservice.h"

#include <QAccessible>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidgetItem>

using L = QStringList;

namespace {
// What a shortcut file to target holds: N#"target" and a zero byte.
QString shortcut(const QString &target)
{
    return QString::number(target.size() + 2) + "#\"" + target + '"' + QChar(0);
}
} // namespace

// Paste, Delete, New Folder and the shortcut commands as the user meets them,
// when each Edit and Files command can be chosen, and a paste's progress window.
class OpsStoriesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stories_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("checks");
        pasteRows();
        deleteRows();
        commandRows();
        desktopRows();
        dragDropRows();
    }
    void stories()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, checks);
        opstest::Story().play(steps, boxes, checks);
    }

    void cleanup() { platform::setSteadyClock({}); }

    // The progress window of long work: when it first shows, with the time a
    // box waits for the user left out (the window never comes up beside a
    // question, its rate and time left stand still meanwhile), what it tells
    // a screen reader, and what Cancel and Escape ask of the work.
    void progressWindow_data()
    {
        QTest::addColumn<qint64>("before"); // the work's time before a box opens
        QTest::addColumn<qint64>("inBox");  // how long the box waits
        QTest::addColumn<qint64>("after");  // the work's time after it closed
        QTest::addColumn<bool>("shownAtBox");
        QTest::addColumn<bool>("shownAfter");
        QTest::addColumn<QString>("press");
        QTest::newRow("not before its delay") << qint64(999) << qint64(0) << qint64(0) << false << false << "";
        QTest::newRow("past its delay") << qint64(1000) << qint64(0) << qint64(0) << true << true << "";
        QTest::newRow("not first beside a question") << qint64(500) << qint64(5000) << qint64(0) << false << false << "";
        QTest::newRow("once the work's own time is up") << qint64(500) << qint64(5000) << qint64(500) << false << true << "";
        QTest::newRow("up before a question, it stays") << qint64(1500) << qint64(5000) << qint64(0) << true << true << "";
        QTest::newRow("Cancel asks the work to stop") << qint64(1500) << qint64(0) << qint64(0) << true << true << "cancel";
        QTest::newRow("Escape asks the work to stop") << qint64(1500) << qint64(0) << qint64(0) << true << true << "escape";
    }
    void progressWindow()
    {
        QFETCH(qint64, before);
        QFETCH(qint64, inBox);
        QFETCH(qint64, after);
        QFETCH(bool, shownAtBox);
        QFETCH(bool, shownAfter);
        QFETCH(QString, press);
        qint64 clock = 0;
        platform::setSteadyClock([&] { return clock; });
        QWidget owner;
        ProgressService service(&owner);
        const auto shown = [] { return ProgressService::window() && ProgressService::window()->isVisible(); };
        {
            platform::LongWork work(platform::WorkKind::Copying);
            platform::WorkProgress &progress = *platform::currentWork();
            progress.setCurrent(QStringLiteral("\\s\\b.txt"));
            progress.totalFiles = 3;
            progress.totalBytes = 6;
            progress.files = 1;
            progress.bytes = 4;
            clock = before;
            service.tick();
            bool atBox = false;
            qint64 workAtBox = -1;
            platform::setMessageBoxHandler([&](QWidget *, const QString &, const QString &, unsigned) {
                clock += inBox;
                service.tick();
                atBox = shown();
                workAtBox = service.workMs();
                return platform::IDNO;
            });
            platform::messageBox(nullptr, QStringLiteral("Go on?"), QString(), platform::MB_YESNO);
            platform::setMessageBoxHandler({});
            QCOMPARE(atBox, shownAtBox);
            QCOMPARE(workAtBox, before); // the rate's time stood still
            clock += after;
            service.tick();
            QCOMPARE(shown(), shownAfter);
            QCOMPARE(service.workMs(), before + after);
            CProgressWnd *window = ProgressService::window();
            if (window && press.isEmpty() && !inBox) {
                QAccessibleInterface *dialog = QAccessible::queryAccessibleInterface(window);
                QCOMPARE(dialog->role(), QAccessible::Dialog);
                QCOMPARE(dialog->text(QAccessible::Name), QStringLiteral("Copying"));
                QCOMPARE(QAccessible::queryAccessibleInterface(window->nameLabel())->text(QAccessible::Name),
                         QStringLiteral("\\s\\b.txt"));
                QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(window->bar());
                QCOMPARE(bar->role(), QAccessible::ProgressBar);
                QCOMPARE(bar->valueInterface()->currentValue().toInt(), 4 * 1000 / 6);
                QVERIFY(testsupport::savePicture(window, "fileops-progress")); // a picture to look at
            }
            if (press == QLatin1String("cancel"))
                QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
            else if (press == QLatin1String("escape"))
                QTest::keyClick(window, Qt::Key_Escape);
            QCOMPARE(platform::stopRequested(), !press.isEmpty());
        }
        QVERIFY(!ProgressService::window()); // gone with the work
    }

    // A paste that asks after a failed file: the frame takes no second paste
    // meanwhile, and however long the question waits, no progress window
    // comes up beside it (a tap meant for the box would land on it).
    void noWindowBesideQuestion()
    {
        qint64 clock = 0;
        platform::setSteadyClock([&] { return clock; });
        opstest::Story story;
        bool shown = true;
        story.probe = [&] {
            QTest::keyClick(story.list(), Qt::Key_V, Qt::ControlModifier);
            QTRY_VERIFY(platform::currentWork()->totalBytes.load() >= 0);
            clock += 60000;
            ProgressService::instance()->tick();
            shown = ProgressService::window() != nullptr;
        };
        story.play({"+/s/a.txt=AAAA", "+/s/b.txt=B", "+/s/c.txt=C", "+/t/", "fault Copy /s/b.txt", "tree /s/",
                    "list a.txt,b.txt,c.txt", "^C", "tree /t/", "^V"},
                   {"Y Failed to copy /s/b.txt\nContinue Copy?"}, {"/t/a.txt=AAAA", "!/t/b.txt", "/t/c.txt=C"});
        QVERIFY(!shown);
    }

    // A move across top-level folders counts each file once, copied and
    // then deleted, never past the whole counted beside it.
    void moveCountsEachFileOnce()
    {
        opstest::Story story;
        qint64 files = -1, total = -1;
        story.probe = [&] {
            QTRY_VERIFY(platform::currentWork()->totalFiles.load() >= 0);
            files = platform::currentWork()->files.load();
            total = platform::currentWork()->totalFiles.load();
        };
        story.play({"+/A/a.txt=A", "+/A/b.txt=B", "+/A/sub/c.txt=C", "+/T/", "copied +/A/late.txt=L", "tree /A/", "^X", "tree /T/", "^V"},
                   {"O Error moving directory A"}, {"/T/A/sub/c.txt=C", "!/A/a.txt", "/A/late.txt=L"});
        QCOMPARE(files, qint64(3));
        QCOMPARE(total, qint64(3));
    }

    // A folder paste refused as a copy into its source counts nothing beside
    // it and shows no progress window, however long its box waits.
    void refusedPasteCountsNothing_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("copy into itself") << L{"+/A/f.txt=F", "tree /A/", "^C", "^V"} << L{"O Can not copy into source."};
        QTest::newRow("move into a longer name") << L{"+/A/f.txt=F", "+/AB/", "tree /A/", "^X", "tree /AB/", "^V"}
            << L{"O Can not copy into source.", "O Error moving directory A"};
    }
    void refusedPasteCountsNothing()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, boxes);
        qint64 clock = 0;
        platform::setSteadyClock([&] { return clock; });
        opstest::Story story;
        bool counted = false, shown = false;
        story.probe = [&] {
            counted = counted || platform::detail::hasBesideWork();
            clock += 60000;
            ProgressService::instance()->tick();
            shown = shown || ProgressService::window();
        };
        story.play(steps, boxes, {"/A/f.txt=F"});
        QVERIFY(!counted);
        QVERIFY(!shown);
    }

    // During long work a refresh of the tree asked for within a frame of the
    // last one waits; it has run by the time a question comes, so the tree
    // shows every folder made so far. The clock stands still: only the
    // first refresh of the paste could run on its own.
    void treeUpToDateAtQuestion()
    {
        platform::setSteadyClock([] { return qint64(0); });
        opstest::Story story;
        int shownUnderCopy = -1;
        story.probe = [&] {
            QTreeWidgetItem *target = story.node(QStringLiteral("\\T")); // loaded and open, left as it is
            for (int i = 0; target && i < target->childCount(); ++i)
                if (target->child(i)->text(0) == QLatin1String("A"))
                    shownUnderCopy = target->child(i)->childCount(); // its expand button, once x is there
        };
        story.play({"+/A/x/f.txt=F", "+/T/old/", "fault Copy /A/x/f.txt", "tree /A/", "^C", "tree /T/old/", "tree /T/", "^V"},
                   {"N Failed to copy /A/x/f.txt\nContinue Copy?"}, {"/T/A/x", "!/T/A/x/f.txt"});
        QCOMPARE(shownUnderCopy, 1);
    }

private:
    static void pasteRows()
    {
        const L abc{"+/s/a.txt=AAAA", "+/s/b.txt=B", "+/s/c.txt=C", "+/t/"};
        const L copyAbc = abc + L{"tree /s/", "list a.txt,b.txt,c.txt", "^C", "tree /t/"};
        const QString bad = platform::deviceNameFromHost("bad\xff\xfe.txt");
        const QString slash = QStringLiteral("back") + QChar(0xF05C) + QStringLiteral("slash");
        const QString late = platform::deviceNameFromHost("late\x80 *?\n.txt");

        QTest::newRow("cut into its own folder") << L{"+/s/a.txt=A", "tree /s/", "list a.txt", "^X", "^V"}
            << L{"Y /s/a.txt already exists, do you want to overwrite it?", "O Failed to copy /s/a.txt"}
            << L{"/s/a.txt=A", "disabled 57637", "disabled 32778"};
        QTest::newRow("second of three fails, go on") << copyAbc + L{"fault Copy /s/b.txt", "^V"}
            << L{"Y Failed to copy /s/b.txt\nContinue Copy?"} << L{"/t/a.txt=AAAA", "!/t/b.txt", "/t/c.txt=C"};
        QTest::newRow("second of three fails, stop") << copyAbc + L{"fault Copy /s/b.txt", "^V"}
            << L{"N Failed to copy /s/b.txt\nContinue Copy?"} << L{"/t/a.txt", "!/t/b.txt", "!/t/c.txt", "row a.txt"};
        QTest::newRow("No to the second overwrite") << copyAbc + L{"+/t/b.txt=old", "^V"} << L{"N /t/b.txt already exists, do you want to overwrite it?"}
            << L{"/t/a.txt=AAAA", "/t/b.txt=old", "!/t/c.txt", "row a.txt", "/s/a.txt"};
        QTest::newRow("cut files go, Paste goes") << abc + L{"tree /s/", "list a.txt,c.txt", "^X", "tree /t/", "^V"}
            << L{} << L{"/t/a.txt=AAAA", "/t/c.txt=C", "!/s/a.txt", "!/s/c.txt", "/s/b.txt", "disabled 57637", "disabled 32778"};
        QTest::newRow("cut file written after its copy stays") << abc + L{"copied +/s/a.txt=changed", "tree /s/", "list a.txt,c.txt", "^X", "tree /t/", "^V"}
            << L{"O Could not delete file /s/a.txt"} << L{"/s/a.txt=changed", "/t/a.txt=AAAA", "!/s/c.txt", "/t/c.txt=C"};
        QTest::newRow("cut file goes from the folder it was found in")
            << abc + L{"copied mv /s=/s.old", "copied +/s/a.txt=AAAA", "tree /s/", "list a.txt", "^X", "tree /t/", "^V"}
            << L{} << L{"!/s.old/a.txt", "/s.old/b.txt=B", "/s/a.txt=AAAA", "/t/a.txt=AAAA"};
        QTest::newRow("cut file that cannot go") << abc + L{"fault Delete /s/a.txt", "tree /s/", "list a.txt", "^X", "tree /t/", "^V"}
            << L{"O Could not delete file /s/a.txt"} << L{"/s/a.txt=AAAA", "/t/a.txt=AAAA"};
        QTest::newRow("Cancel mid-file leaves no part of it") << L{"+/s/big=" + QString(600000, u'x'), "+/t/", "fault Stop /s/big|0|300000",
                                                                    "tree /s/", "list big", "^X", "tree /t/", "^V"}
            << L{} << L{"empty /t/", "/s/big", "disabled 57637"};
        QTest::newRow("Cancel between cut files keeps the rest") << abc + L{"fault Stop /s/b.txt", "tree /s/", "list a.txt,b.txt,c.txt", "^X", "tree /t/", "^V"}
            << L{} << L{"/t/a.txt=AAAA", "!/s/a.txt", "/s/b.txt=B", "!/t/b.txt", "/s/c.txt=C", "!/t/c.txt", "row a.txt", "disabled 57637"};
        QTest::newRow("Yes to overwrite a read-only file: it stays") << abc + L{"+/t/a.txt=old", "ro /t/a.txt", "tree /s/", "list a.txt", "^X", "tree /t/", "^V"}
            << L{"Y /t/a.txt already exists, do you want to overwrite it?", "O Failed to copy /s/a.txt"} << L{"/t/a.txt=old", "/s/a.txt=AAAA"};
        QTest::newRow("odd names") << L{"+/s/ a b.txt=1", "+/s/'q\".txt=2", "+/s/.dot=3", "+/s/" + bad + "=4", "+/s/" + slash + "=5", "+/t/",
                                        "tree /s/", "list  a b.txt,'q\".txt,.dot," + bad + "," + slash, "^X", "tree /t/", "^V"}
            << L{} << L{"/t/ a b.txt=1", "/t/'q\".txt=2", "/t/.dot=3", "/t/" + bad + "=4", "/t/" + slash + "=5", "!/s/.dot", "!/s/" + bad};

        QTest::newRow("folder copy keeps odd names, files before and after a subfolder")
            << L{"+/A/ a b.txt=1", "+/A/'q\".txt=2", "+/A/line\nbreak=3", "+/A/" + bad + "=4", "+/A/" + slash + "=5",
                 "+/A/st*r?.txt=6", "+/A/sub/x=7", "+/A/z.txt=8", "+/T/", "tree /A/", "^C", "tree /T/", "^V"}
            << L{} << L{"/T/A/ a b.txt=1", "/T/A/'q\".txt=2", "/T/A/line\nbreak=3", "/T/A/" + bad + "=4",
                         "/T/A/" + slash + "=5", "/T/A/st*r?.txt=6", "/T/A/sub/x=7", "/T/A/z.txt=8", "/A/z.txt=8"};

        const L refused{"O Can not copy into source."};
        QTest::newRow("folder into itself") << L{"+/A/f.txt=F", "tree /A/", "^C", "^V"} << refused << L{"!/A/A"};
        QTest::newRow("folder into a longer name") << L{"+/A/", "+/AB/", "tree /A/", "^X", "tree /AB/", "^V"}
            << L{"O Can not copy into source.", "O Error moving directory A"} << L{"!/AB/A", "/A"};
        QTest::newRow("folder into itself through a link") << L{"+/A/B/", "@/L=/A/B", "tree /A/", "^C", "tree /L/", "^V"} << refused << L{"!/A/B/A"};
        QTest::newRow("folders never merged") << L{"+/A/f.txt=F", "+/T/A/", "tree /A/", "^C", "tree /T/", "^V"}
            << L{"O Failed to create folder"} << L{"!/T/A/f.txt"};
        QTest::newRow("empty folders and dot files moved across") << L{"+/A/x/y/", "+/A/.h=H", "+/A/x/.d/", "+/T/", "tree /A/", "^X", "tree /T/", "^V"}
            << L{} << L{"/T/A/x/y", "/T/A/.h=H", "/T/A/x/.d", "!/A"};
        QTest::newRow("move within a top-level folder across a mount copies")
            << L{"+/M/a/f.txt=F", "+/M/a/s/g.txt=G", "+/M/b/", "+/X/", "bind /M/b=/X", "tree /M/a/", "^X", "tree /M/b/", "^V"}
            << L{} << L{"/X/a/f.txt=F", "/X/a/s/g.txt=G", "!/M/a"};
        QTest::newRow("move within a top-level folder renames") << L{"+/M/A/f.txt=F", "+/M/B/", "inode /M/A", "tree /M/A/", "^X", "tree /M/B/", "^V"}
            << L{} << L{"/M/B/A/f.txt=F", "!/M/A", "same-inode /M/B/A"};
        QTest::newRow("No deep in a move stops all, source stays")
            << L{"+/A/f.txt=F", "+/A/x/g.txt=G", "+/A/x/y/h.txt=H", "+/T/", "fault Copy /A/f.txt", "fault Copy /A/x/g.txt",
                 "fault Copy /A/x/y/h.txt", "tree /A/", "^X", "tree /T/", "^V"}
            << L{"N ", "O Error moving directory A"} << L{"/A/f.txt=F", "/A/x/g.txt=G", "/A/x/y/h.txt=H"};
        const L cancelled{"+/A/f.txt=F", "+/A/x/g.txt=G", "+/A/x/y/h.txt=H", "+/T/", "fault Stop /A/x/g.txt", "tree /A/", "^X",
                          "tree /T/", "^V"};
        QTest::newRow("Cancel deep in a move loses nothing, takes its copy back, says nothing")
            << cancelled << L{} << L{"/A/f.txt=F", "/A/x/g.txt=G", "/A/x/y/h.txt=H", "!/T/A", "empty /T/"};
        QTest::newRow("a cancelled move goes through when tried again")
            << cancelled + L{"nofault", "tree /T/", "^V"} << L{} << L{"!/A", "/T/A/f.txt=F", "/T/A/x/g.txt=G", "/T/A/x/y/h.txt=H"};
        // A copy's steps go on down the tree ahead of it for a few
        // milliseconds: slow files end them at a file, in a subfolder and
        // after it, and the copy goes on from there.
        const L slowTree{"+/A/a.txt=A", "+/A/b.txt=B", "+/A/s/c.txt=C", "+/A/s/t/d.txt=D", "+/A/s/t/e.txt=E",
                         "+/A/u/f.txt=F", "+/T/", "slow /A/b.txt|12", "slow /A/s/c.txt|12", "slow /A/s/t/e.txt|12",
                         "tree /A/", "^X", "tree /T/"};
        const L slowMoved{"/T/A/a.txt=A", "/T/A/b.txt=B", "/T/A/s/c.txt=C", "/T/A/s/t/d.txt=D", "/T/A/s/t/e.txt=E", "/T/A/u/f.txt=F"};
        QTest::newRow("a move in many steps records all it copied") << slowTree + L{"^V"} << L{} << slowMoved + L{"!/A"};
        QTest::newRow("a move in many steps, a failure deep down")
            << slowTree + L{"fault Copy /A/s/t/d.txt", "^V"}
            << L{"Y Failed to copy /A/s/t/d.txt\nContinue Copy?", "O Error moving directory A"}
            << L{"/T/A/a.txt=A", "/T/A/s/c.txt=C", "!/T/A/s/t/d.txt", "/T/A/s/t/e.txt=E", "/T/A/u/f.txt=F", "/A/s/t/d.txt=D"};
        QTest::newRow("a move in many steps, cancelled deep down, takes back all it made")
            << slowTree + L{"fault Stop /A/s/t/e.txt", "^V"} << L{} << L{"empty /T/", "/A/a.txt=A", "/A/s/t/d.txt=D", "/A/u/f.txt=F"};
        // Several files of a folder are written two at a time and named in order.
        L many{"+/T/"}, manyCopied, manyKept;
        for (const QString &name : {QStringLiteral("f1"), QStringLiteral("f2"), QStringLiteral("f3"), QStringLiteral("f4"),
                                    QStringLiteral("line\nbreak"), QStringLiteral("st*r?"), bad, slash}) {
            many << "+/A/" + name + "=" + name.left(2);
            manyCopied << "/T/A/" + name + "=" + name.left(2);
            manyKept << "/A/" + name + "=" + name.left(2);
        }
        many << "tree /A/";
        QTest::newRow("a move of many files") << many + L{"^X", "tree /T/", "^V"} << L{} << manyCopied + L{"!/A"};
        QTest::newRow("many files, one fails, go on")
            << many + L{"^C", "tree /T/", "fault Copy /A/f3", "^V"} << L{"Y Failed to copy /A/f3\nContinue Copy?"}
            << manyKept + manyCopied.filter(QRegularExpression("^(?!/T/A/f3)")) + L{"!/T/A/f3"};
        QTest::newRow("a move of many files, cancelled, takes back all it made")
            << many + L{"^X", "tree /T/", "fault Stop /A/f4", "^V"} << L{} << manyKept + L{"empty /T/"};
        QTest::newRow("Cancel in a folder copy keeps what it copied")
            << L{"+/A/x/g.txt=G", "+/A/x/y/h.txt=H", "+/T/", "fault Stop /A/x/y/h.txt", "tree /A/", "^C", "tree /T/", "^V"}
            << L{} << L{"/T/A/x/g.txt=G", "/T/A/x/y", "!/T/A/x/y/h.txt", "/A/x/y/h.txt=H"};
        QTest::newRow("a move deletes only what it copied, as it was")
            << L{"+/A/keep.txt=K", "+/A/chg.txt=C", "+/A/gone.txt=G", "+/A/sub/s.txt=S", "+/A/sub/deep/d.txt=D",
                 "+/A/old/o.txt=O", "+/A/" + bad + "=B", "+/T/", "copied +/A/late.txt=L", "copied +/A/" + late + "=N",
                 "copied +/A/sub/deep/late/x=X", "copied +/A/chg.txt=changed", "copied -/A/gone.txt",
                 "copied -/A/old/o.txt", "tree /A/", "^X", "tree /T/", "^V"}
            << L{"O Error moving directory A"}
            << L{"/T/A/keep.txt=K", "!/A/keep.txt", "/T/A/" + bad + "=B", "!/A/" + bad, "/A/late.txt=L", "/A/" + late + "=N",
                 "/A/chg.txt=changed", "/T/A/chg.txt=C", "/T/A/gone.txt=G", "!/A/gone.txt", "!/A/sub/s.txt",
                 "!/A/sub/deep/d.txt", "/A/sub/deep/late/x=X", "/T/A/sub/deep/d.txt=D", "!/A/old", "/T/A/old/o.txt=O"};
        QTest::newRow("a move with odd names leaves nothing behind")
            << L{"+/A/ a b.txt=1", "+/A/'q\".txt=2", "+/A/line\nbreak=3", "+/A/" + bad + "=4", "+/A/" + slash + "=5",
                 "+/A/st*r?.txt=6", "+/A/d *?\n'\"/x=7", "@/A/l=/A/d *?\n'\"", "+/T/", "tree /A/", "^X", "tree /T/", "^V"}
            << L{} << L{"!/A", "/T/A/ a b.txt=1", "/T/A/'q\".txt=2", "/T/A/line\nbreak=3", "/T/A/" + bad + "=4",
                         "/T/A/" + slash + "=5", "/T/A/st*r?.txt=6", "/T/A/d *?\n'\"/x=7", "link /T/A/l"};
        QTest::newRow("a move whose card is pulled deletes nothing")
            << L{"+/cardfs/DCIM/a.jpg=A", "+/cardfs/DCIM/b/c.jpg=C", "+/card/DCIM/u1=1", "+/card/DCIM/u2=2",
                 "+/card/DCIM/u3=3", "+/local/", "bind /card=/cardfs", "copied umount /card", "tree /card/DCIM/", "^X",
                 "tree /local/", "^V"}
            << L{"O Error moving directory DCIM"}
            << L{"/card/DCIM/u1=1", "/card/DCIM/u2=2", "/card/DCIM/u3=3", "/local/DCIM/a.jpg=A", "/local/DCIM/b/c.jpg=C",
                 "/cardfs/DCIM/a.jpg=A", "/cardfs/DCIM/b/c.jpg=C"};
        QTest::newRow("links copied as links") << L{"+/out/o.txt=O", "+/A/", "@/A/l=/out", "@/A/f=/out/o.txt", "+/T/", "tree /A/", "^X", "tree /T/", "^V"}
            << L{} << L{"link /T/A/l", "link /T/A/f", "/T/A/f=O", "!/A", "/out/o.txt=O"};
        QTest::newRow("a bind mount inside is not copied, a cut keeps it all")
            << L{"+/out/o.txt=O", "+/A/a.txt=A", "+/A/m/", "bind /A/m=/out", "+/T/", "tree /A/", "^X", "tree /T/", "^V"}
            << L{"Y Failed to copy /A/m\nContinue Copy?", "O Error moving directory A"}
            << L{"/T/A/a.txt=A", "!/T/A/m", "/A/a.txt=A", "/A/m/o.txt=O", "/out/o.txt=O"};
        QTest::newRow("an unreadable subfolder is not copied, a cut keeps it")
            << L{"+/A/a.txt=A", "+/A/sub/s.txt=S", "+/T/", "unreadable /A/sub", "tree /A/", "^X", "tree /T/", "^V"}
            << L{"Y Failed to copy /A/sub\nContinue Copy?", "O Error moving directory A"}
            << L{"/T/A/a.txt=A", "!/T/A/sub/s.txt", "/A/sub/s.txt=S", "/A/a.txt=A"};
        QTest::newRow("a copied folder that went away leaves its empty copy, no word")
            << L{"+/A/a.txt=A", "+/T/", "tree /A/", "^C", "-/A", "tree /T/", "^V"} << L{} << L{"/T/A", "!/T/A/a.txt"};
    }

    static void deleteRows()
    {
        const L abc{"+/s/a.txt=A", "+/s/b.txt=B", "+/s/c.txt=C", "tree /s/"};
        const QString askA = "Y Delete '/A' and everything in it?";
        const L deep{"+/A/r.txt=R", "+/A/x/y/f.txt=F", "+/A/x/.h=H", "ro /A/r.txt", "ro /A/x/y/f.txt"};

        QTest::newRow("tree: No keeps it") << deep + L{"tree /A/", "del"} << L{"N Delete '/A' and everything in it?"} << L{"/A/x/y/f.txt=F"};
        QTest::newRow("tree: everything in it, read-only too") << deep + L{"tree /A/", "del"} << L{askA} << L{"!/A", "disabled 32772"};
        QTest::newRow("tree: stops at a file it cannot delete") << deep + L{"fault Delete /A/x/y/f.txt", "tree /A/", "del"}
            << L{askA, "O Failed to delete"} << L{"/A/x/y/f.txt=F", "/A/x"};
        QTest::newRow("tree: Cancel mid-delete stops without a word") << deep + L{"fault Stop /A/x/y/f.txt", "tree /A/", "del"}
            << L{askA} << L{"/A/x/y/f.txt=F", "/A/x/y"};
        QTest::newRow("tree: another folder put in its place while asked stays")
            << L{"+/A/f.txt=F", "tree /A/", "asked mv /A=/A.old", "asked +/A/g.txt=G", "del"}
            << L{askA, "O Failed to delete"} << L{"/A.old/f.txt=F", "/A/g.txt=G"};
        QTest::newRow("tree: links go, their targets stay") << L{"+/out/o.txt=O", "+/out/d/k.txt=K", "+/A/", "@/A/l=/out/d", "@/A/f=/out/o.txt",
                                                               "ro /out/o.txt", "tree /A/", "del"}
            << L{askA} << L{"!/A", "/out/o.txt=O", "/out/d/k.txt=K"};
        const L bound{"+/out/o.txt=O", "+/out/d/k.txt=K", "+/A/m/", "bind /A/m=/out"};
        QTest::newRow("tree: a bind mount inside is not entered") << bound + L{"tree /A/", "del"}
            << L{askA, "O Failed to delete"} << L{"/out/o.txt=O", "/out/d/k.txt=K", "/A/m/o.txt"};
        QTest::newRow("tree: a bind-mounted folder itself") << bound + L{"tree /A/m/", "del"}
            << L{"Y Delete '/A/m' and everything in it?", "O Failed to delete"} << L{"/out/o.txt=O", "/out/d/k.txt=K"};
        QTest::newRow("tree: a file mounted inside keeps its attributes") << L{"+/out/o.txt=O", "ro /out/o.txt", "+/A/f=x", "bind /A/f=/out/o.txt", "tree /A/", "del"}
            << L{askA, "O Failed to delete"} << L{"/out/o.txt=O", "ro /out/o.txt"};
        QTest::newRow("tree: a link to a folder goes alone") << L{"+/out/k.txt=K", "@/L=/out", "tree /L/", "del"}
            << L{"Y Delete '/L' and everything in it?"} << L{"!/L", "/out/k.txt=K"};

        QTest::newRow("list: second of three fails, go on") << abc + L{"fault Delete /s/b.txt", "list a.txt,b.txt,c.txt", "del"}
            << L{"Y Delete all selected files?", "Y Failed to delete b.txt. Continue deleting?"} << L{"!/s/a.txt", "/s/b.txt", "!/s/c.txt", "!row a.txt"};
        QTest::newRow("list: second of three fails, stop") << abc + L{"fault Delete /s/b.txt", "list a.txt,b.txt,c.txt", "del"}
            << L{"Y Delete all selected files?", "N Failed to delete b.txt. Continue deleting?"} << L{"!/s/a.txt", "/s/b.txt", "/s/c.txt", "!row a.txt"};
        QTest::newRow("list: Cancel before the second keeps the rest") << abc + L{"fault Stop /s/b.txt", "list a.txt,b.txt,c.txt", "del"}
            << L{"Y Delete all selected files?"} << L{"!/s/a.txt", "/s/b.txt", "/s/c.txt", "!row a.txt"};
        QTest::newRow("list: a hard link keeps the attributes") << abc + L{"&/s/h.txt=/s/b.txt", "ro /s/b.txt", "list b.txt", "del"}
            << L{"Y Delete all selected files?"} << L{"!/s/b.txt", "/s/h.txt=B", "ro /s/h.txt"};
        QTest::newRow("list: read-only, and Paste forgets") << abc + L{"ro /s/b.txt", "list a.txt", "^C", "list b.txt", "del"}
            << L{"Y Delete all selected files?"} << L{"!/s/b.txt", "disabled 57637", "disabled 32778"};
    }

    // Files with names other programs mangle easily, made in /s/ (make),
    // as they read after a copy into /t/ (copied), and their paths as one
    // comma-separated list (paths).
    struct OddFiles {
        QStringList names{" a b.txt", "q'\"x.txt", "line\nbreak", "100%.txt", platform::deviceNameFromHost("bad\xff.txt"),
                          "#h.txt", "what?.txt"};
        L make{"+/t/"}, copied;
        QString paths = "/s/" + names.join(",/s/");
        OddFiles()
        {
            for (const QString &name : names) {
                make << "+/s/" + name + "=" + QString::number(make.size());
                copied << "/t/" + name + "=" + QString::number(copied.size() + 1);
            }
        }
    };

    // The desktop's clipboard: what Cut and Copy offer other programs, and
    // what Paste takes from them when the program's own clipboard is empty.
    static void desktopRows()
    {
        const OddFiles files;
        const QStringList &odd = files.names;
        const L &make = files.make, &pasted = files.copied;
        const QString &oddPaths = files.paths;
        const L ab{"+/s/a.txt=A", "+/s/b.txt=B", "+/t/"};

        QTest::newRow("desktop: list cut offers odd names") << make + L{"tree /s/", "list " + odd.join(','), "^X"} << L{}
            << L{"desktop cut " + oddPaths};
        QTest::newRow("desktop: tree copy offers the folder") << L{"+/A/", "tree /A/", "^C"} << L{} << L{"desktop copy /A"};
        QTest::newRow("desktop: folder cut, pasted here, taken back") << L{"+/A/f.txt=F", "+/T/", "tree /A/", "^X", "tree /T/", "^V"}
            << L{} << L{"/T/A/f.txt=F", "desktop empty"};
        QTest::newRow("desktop: list delete takes the copy back") << ab + L{"tree /s/", "list a.txt", "^C", "list b.txt", "del"}
            << L{"Y Delete all selected files?"} << L{"desktop empty", "disabled 57637"};
        QTest::newRow("desktop: other program's copy, same question") << ab + L{"+/t/a.txt=old", "gnome copy /s/a.txt", "tree /t/", "^V"}
            << L{"Y /t/a.txt already exists, do you want to overwrite it?"} << L{"/t/a.txt=A", "/s/a.txt=A", "enabled 57637", "disabled 32778"};
        QTest::newRow("desktop: other program's cut moves once") << ab + L{"kde cut /s/a.txt,/s/b.txt", "tree /t/", "^V"}
            << L{} << L{"/t/a.txt=A", "/t/b.txt=B", "!/s/a.txt", "!/s/b.txt", "row b.txt", "desktop empty", "disabled 57637"};
        QTest::newRow("desktop: other program's folder copied") << L{"+/A/f.txt=F", "+/T/", "kde copy /A", "tree /T/", "^V"}
            << L{} << L{"/T/A/f.txt=F", "/A/f.txt=F"};
        QTest::newRow("desktop: the newest copy wins") << ab + L{"tree /s/", "list a.txt", "^C", "gnome copy /s/b.txt", "tree /t/", "^V"}
            << L{} << L{"/t/b.txt=B", "!/t/a.txt", "disabled 32778"};
        QTest::newRow("desktop: our cut pasted elsewhere, emptied there") << ab + L{"tree /s/", "list a.txt", "^X", "emptied", "tree /t/"}
            << L{} << L{"disabled 57637", "disabled 32778"};
        QTest::newRow("desktop: a name cut then emptied elsewhere is not moved later")
            << ab + L{"tree /s/", "list a.txt", "^X", "emptied", "-/s/a.txt", "+/s/a.txt=new", "tree /t/", "^V"} << L{}
            << L{"/s/a.txt=new", "!/t/a.txt"};
        QTest::newRow("desktop: a clipboard manager keeps our copy ours") << ab + L{"tree /s/", "list a.txt", "^C", "manager", "tree /t/"}
            << L{} << L{"enabled 57637", "enabled 32778"};
        QTest::newRow("desktop: a folder cut stays after its move, until taken")
            << L{"+/A/f.txt=F", "+/T/", "+/U/", "tree /A/", "^X", "tree /T/", "^V", "tree /U/", "^V"}
            << L{"O Error moving directory A"} << L{"/T/A/f.txt=F", "empty /U/A"};
        QTest::newRow("desktop: odd names from another program") << make + L{"gnome cut " + oddPaths, "tree /t/", "^V"} << L{} << pasted;
        QTest::newRow("desktop: not a local file") << ab + L{"uri https://host/s/a.txt", "tree /t/"} << L{} << L{"disabled 57637"};
        QTest::newRow("desktop: folders and files copied whole") << ab + L{"+/s/F/f.txt=F", "+/s/G/g.txt=G", "gnome copy /s/F,/s/a.txt,/s/G", "tree /t/", "^V"}
            << L{} << L{"/t/F/f.txt=F", "/t/G/g.txt=G", "/t/a.txt=A", "!/t/b.txt", "/s/F/f.txt=F", "/s/a.txt=A"};
        QTest::newRow("desktop: folders and files moved whole") << ab + L{"+/s/F/f.txt=F", "+/s/G/", "kde cut /s/F,/s/b.txt,/s/G", "tree /t/", "^V"}
            << L{} << L{"/t/F/f.txt=F", "/t/G", "/t/b.txt=B", "!/s/F", "!/s/G", "!/s/b.txt", "/s/a.txt=A", "desktop empty"};
        QTest::newRow("desktop: a folder into itself refused, the others go") << ab + L{"+/s/F/f.txt=F", "+/s/G/g.txt=G", "gnome copy /s/F,/s/G", "tree /s/G/", "^V"}
            << L{"O Can not copy into source."} << L{"/s/G/F/f.txt=F", "!/s/G/G"};
        QTest::newRow("desktop: No in a folder stops the rest") << ab + L{"+/s/F/f.txt=F", "+/s/G/g.txt=G", "fault Copy /s/F/f.txt", "gnome copy /s/F,/s/G,/s/a.txt", "tree /t/", "^V"}
            << L{"N Failed to copy /s/F/f.txt\nContinue Copy?"} << L{"/t/F", "!/t/G", "!/t/a.txt"};
        QTest::newRow("desktop: files of two folders") << ab + L{"+/t/c.txt", "gnome copy /s/a.txt,/t/c.txt", "tree /t/"} << L{}
            << L{"disabled 57637"};
    }

    // Drag and drop: a drop pastes as the desktop's clipboard does, into the
    // folder dropped on, and leaves the program's own clipboard alone; a
    // drag out offers what a copy offers.
    static void dragDropRows()
    {
        const OddFiles files;
        const QStringList &odd = files.names;
        const L &make = files.make, &dropped = files.copied;
        const QString &oddPaths = files.paths;
        const L ab{"+/s/a.txt=A", "+/s/b.txt=B", "+/s/F/f.txt=F", "+/t/"};

        QTest::newRow("drop: files onto a tree folder copy") << ab + L{"tree /s/", "drop tree /t/ <- /s/a.txt,/s/b.txt"} << L{}
            << L{"/t/a.txt=A", "/t/b.txt=B", "/s/a.txt=A", "/s/b.txt=B"};
        QTest::newRow("drop: Shift moves into the list's folder") << ab + L{"tree /t/", "shift drop list <- /s/F,/s/a.txt"} << L{}
            << L{"/t/F/f.txt=F", "/t/a.txt=A", "!/s/F", "!/s/a.txt", "/s/b.txt=B", "row a.txt"};
        QTest::newRow("drop: a source offering only a move") << ab + L{"move-only drop tree /t/ <- /s/b.txt"} << L{}
            << L{"/t/b.txt=B", "!/s/b.txt"};
        QTest::newRow("drop: a folder onto itself") << ab + L{"drop tree /s/F/ <- /s/F"} << L{"O Can not copy into source."}
            << L{"!/s/F/F", "/s/F/f.txt=F"};
        QTest::newRow("drop: a folder inside itself") << ab + L{"+/s/F/G/", "drop tree /s/F/G/ <- /s/F"}
            << L{"O Can not copy into source."} << L{"!/s/F/G/F"};
        QTest::newRow("drop: No to overwriting stops") << ab + L{"+/t/a.txt=old", "drop tree /t/ <- /s/a.txt,/s/b.txt"}
            << L{"N /t/a.txt already exists, do you want to overwrite it?"} << L{"/t/a.txt=old", "!/t/b.txt"};
        QTest::newRow("drop: another program's files and folders, of two folders")
            << ab + L{"+/u/c.txt=C", "+/u/G/g.txt=G", "tree /t/", "uri-list drop list <- /s/F,/s/a.txt,/u/G,/u/c.txt"} << L{}
            << L{"/t/F/f.txt=F", "/t/a.txt=A", "/t/G/g.txt=G", "/t/c.txt=C", "/u/c.txt=C", "row c.txt"};
        QTest::newRow("drop: the clipboard stays as it was") << ab + L{"tree /s/", "list a.txt", "^C", "shift drop tree /t/ <- /s/b.txt"}
            << L{} << L{"/t/b.txt=B", "!/s/b.txt", "desktop copy /s/a.txt", "enabled 32778"};
        QTest::newRow("drop: odd names") << make + L{"drop tree /t/ <- " + oddPaths} << L{} << dropped;
        QTest::newRow("drag: the list's rows, odd names") << make + L{"tree /s/", "drag list " + odd.join(',')} << L{}
            << L{"dragged " + oddPaths, "disabled 57637"};
        QTest::newRow("drag: a tree folder") << ab + L{"drag tree /s/F/"} << L{} << L{"dragged /s/F"};
        QTest::newRow("drag: rows onto a tree folder, pasted after the drag") << ab + L{"+/t/b.txt=old", "tree /s/", "drag list a.txt,b.txt -> /t/"}
            << L{"Y /t/b.txt already exists, do you want to overwrite it?"} << L{"/t/a.txt=A", "/t/b.txt=B", "/s/a.txt=A"};
    }

    static void commandRows()
    {
        const QString name95(95, u'n');
        const L files{"+/s/a.txt=A", "+/s/a.doc=D", "+/s/" + name95 + "=N", "+/t/", "tree /s/"};

        QTest::newRow("New Folder, 1, 2") << L{"+/f/", "tree /f/", "new", "new", "new"} << L{}
            << L{"/f/New Folder", "/f/New Folder 1", "/f/New Folder 2", "!/f/New Folder 3"};
        QTest::newRow("New Folder past a file") << L{"+/f/New Folder=x", "tree /f/", "new"} << L{} << L{"/f/New Folder=x", "/f/New Folder 1"};
        QTest::newRow("New Folder fails") << L{"+/f/", "fault Create /f/New Folder", "tree /f/", "new"}
            << L{"O Failed to create folder"} << L{"!/f/New Folder"};
        QTest::newRow("shortcut counts 10 and 100") << files + L{"list a.txt," + name95, "^C", "tree /t/", "lnk"} << L{}
            << L{"/t/a.lnk=" + shortcut("\\s\\a.txt"), "/t/" + name95 + ".lnk=" + shortcut("\\s\\" + name95),
                 "row a.lnk", "enabled 32778"};
        QTest::newRow("same shortcut name, No keeps the first") << files + L{"list a.txt,a.doc", "^C", "lnk"}
            << L{"N Overwrite existing file ?"} << L{"/s/a.lnk=" + shortcut("\\s\\a.doc")};
        QTest::newRow("a read-only shortcut is not replaced") << files + L{"+/t/a.lnk=old", "ro /t/a.lnk", "list a.txt", "^C", "tree /t/", "lnk"}
            << L{"Y Overwrite existing file ?"} << L{"/t/a.lnk=old", "ro /t/a.lnk"};
        QTest::newRow("Paste in Menu, list not reloaded") << files + L{"+/Windows/Start menu/", "list a.txt", "^X", "tree /t/", "+/t/z.txt=Z", "menu"}
            << L{} << L{"/Windows/Start menu/a.lnk=" + shortcut("\\s\\a.txt"), "!row z.txt", "enabled 57637"};

        // Ids: Cut 57635, Copy 57634, Paste 57637, Delete 32772, New Folder
        // 32773, Paste Shortcut 32778, Paste in Menu 32779.
        QTest::newRow("tree on the root") << L{"+/s/", "tree /"} << L{}
            << L{"disabled 57635", "disabled 57634", "disabled 32772", "enabled 32773"};
        QTest::newRow("tree on a folder, nothing cut or copied") << L{"+/s/", "tree /s/"} << L{}
            << L{"enabled 57635", "enabled 57634", "enabled 32772", "enabled 32773", "disabled 57637", "disabled 32778", "disabled 32779"};
        QTest::newRow("list with a selection") << files + L{"list a.txt"} << L{}
            << L{"enabled 57635", "enabled 57634", "enabled 32772", "disabled 32773"};
        QTest::newRow("list without a selection") << files + L{"focus list"}
            << L{} << L{"disabled 57635", "disabled 57634", "disabled 32772", "disabled 32773"};
        QTest::newRow("neither focused after the tree") << L{"+/s/", "tree /s/", "focus none"} << L{}
            << L{"enabled 57635", "enabled 57634", "disabled 32772", "disabled 32773"};
    }
};

FERRIX_TEST(OpsStoriesTest)
#include "tst_opsstories.moc"
