#include "searchfixture.h"

#include "app/appfixture.h"
#include "common/messageboxscript.h"
#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "filelist/cfilelistctrl.h"
#include "filelist/listtesthelpers.h"
#include "find/cfindfilesdialog.h"
#include "platform/registry/registry.h"
#include "resources/resourceids.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>

namespace {

// Replaces an edit's text as a user does: select all, type.
void typeInto(QDialog &dialog, const char *name, const QString &text)
{
    auto *field = dialog.findChild<QLineEdit *>(QString::fromLatin1(name));
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

QStringList results(const CFindFilesDialog &dialog)
{
    return listtest::columnTexts(dialog.Results());
}

// A file of many small blocks, searched after the files of its folder's
// parent: \d\first holds the text, \d\s\long holds it only at its end.
const QStringList kLongSearch{"\\d\\first=needle", "\\d\\s\\long=" + QString(200000, u'.') + "needle"};
const QString kLong = QStringLiteral("\\d\\s\\long");

// Holds the worker, once, after the given block of kLong until the dialog
// asks it to stop; records the last block of kLong read and the end.
struct Hold {
    std::atomic<int> reached{0}, lastBlock{0};
    std::atomic<bool> ended{false};
    SearchHooks hooks(int block)
    {
        SearchHooks hooks;
        hooks.afterBlock = [this, block](const QString &at, int number, const StopEvent &stop) {
            if (at == kLong && (lastBlock = number) == block && reached++ == 0)
                stop.WaitUntilSet();
        };
        hooks.atEnd = [this](const StopEvent &) { ended = true; };
        return hooks;
    }
};

// The dialog shown on its own, as the Find command shows it.
struct Shown {
    CFindFilesDialog dialog;
    bool ok = false;
    Shown()
    {
        dialog.show();
        ok = QTest::qWaitForWindowExposed(&dialog);
    }
    QString state() const { return dialog.StartStopButton().text(); }
    void press() { QTest::mouseClick(&dialog.StartStopButton(), Qt::LeftButton); }
    void start(const QString &pattern, const QString &folder, const QString &text)
    {
        typeInto(dialog, "filename", pattern);
        typeInto(dialog, "directory", folder);
        typeInto(dialog, "containing", text);
        press();
    }
};

} // namespace

// The Find Files dialog driven as a user drives it: typing into its edits,
// pressing Start, Stop and Cancel while the worker is held at known points.
class TestFindFilesDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_regDir;

private Q_SLOTS:
    // .txt files open with \viewer.exe.
    void initTestCase() { QVERIFY(listtest::useTxtViewerRegistry(m_regDir)); }
    void cleanupTestCase() { platform::Registry::configure({}, false); }

    void ending_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"Stop", "Cancel", "close box", "Escape"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }

    // Stop ends the search after the block being read; what was found stays.
    // Cancel, the close box and Escape also close the dialog at once, with
    // the worker stopped and joined before it returns.
    void ending()
    {
        QFETCH(QString, how);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build(kLongSearch));
        Shown shown;
        QVERIFY(shown.ok);
        Hold hold;
        shown.dialog.SetSearchHooks(hold.hooks(3));
        shown.start("*.*", "\\d", "needle");
        QTRY_COMPARE(hold.reached.load(), 1);
        QCOMPARE(shown.state(), QStringLiteral("Stop"));
        if (how == "Stop")
            shown.press();
        else if (how == "Cancel")
            QTest::mouseClick(shown.dialog.findChild<QPushButton *>("cancel"), Qt::LeftButton);
        else if (how == "close box")
            shown.dialog.close();
        else
            QTest::keyClick(&shown.dialog, Qt::Key_Escape);
        QCOMPARE(shown.dialog.isVisible(), how == "Stop");
        if (how != "Stop")
            QVERIFY(!shown.dialog.IsSearchRunning());
        QTRY_VERIFY(hold.ended);
        QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
        QTRY_VERIFY(!shown.dialog.IsSearchRunning());
        QCOMPARE(hold.lastBlock.load(), 3);
        QCOMPARE(results(shown.dialog), QStringList{"\\d\\first"});
    }

    // A worker stuck in a call that does not return (held here past its
    // stop, as a read on a dead mount would be): Stop shows "Start" again,
    // Cancel and the close box close the dialog, all at once; the worker,
    // let go, later finds nothing of the dialog to write to, even when the
    // dialog is gone.
    void stuckWorker_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"Stop", "Cancel", "close box"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void stuckWorker()
    {
        QFETCH(QString, how);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build(kLongSearch));
        struct Stuck {
            std::atomic<bool> reached {false}, released {false}, ended {false};
        };
        const auto stuck = std::make_shared<Stuck>();
        SearchHooks hooks;
        hooks.afterBlock = [stuck](const QString &at, int number, const StopEvent &) {
            if (at == kLong && number == 2 && !stuck->reached.exchange(true)) {
                stuck->released.wait(false); // deaf to the stop
            }
        };
        hooks.atEnd = [stuck](const StopEvent &) { stuck->ended = true; };
        auto shown = std::make_unique<Shown>();
        QVERIFY(shown->ok);
        shown->dialog.SetSearchHooks(hooks);
        shown->start("*.*", "\\d", "needle");
        QTRY_VERIFY(stuck->reached.load());
        if (how == "Stop") {
            shown->press();
            QTRY_COMPARE(shown->state(), QStringLiteral("Start"));
            QVERIFY(shown->dialog.isVisible());
        } else {
            if (how == "Cancel")
                QTest::mouseClick(shown->dialog.findChild<QPushButton *>("cancel"), Qt::LeftButton);
            else
                shown->dialog.close();
            QVERIFY(!shown->dialog.isVisible());
        }
        QVERIFY(!shown->dialog.IsSearchRunning());
        if (how != "Stop")
            shown.reset();
        stuck->released = true;
        stuck->released.notify_all();
        QTRY_VERIFY(stuck->ended.load());
        QCoreApplication::processEvents(); // the worker's last queued call
        if (shown) {
            QCOMPARE(results(shown->dialog), QStringList{"\\d\\first"});
            QCOMPARE(shown->state(), QStringLiteral("Start"));
        }
    }

    // Presses in quick succession, each row a sequence of steps: "Start",
    // "Stop", "Cancel" press those buttons (without running events first);
    // "hold" makes later searches wait in their first block until asked to
    // stop, "quick" lets them run but wait as they end until "ended", which
    // lets a search end and leaves its last signals undelivered; "events"
    // delivers them. "paused": the last search shows "Start" but has not
    // ended; "type x" edits the file name; "restarted": the search begun by
    // a Start pressed meanwhile has run, with the fields of the last Start.
    // The dialog must close, every worker ended.
    void rapidPresses_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("late end of the last search, then Cancel")
            << QStringList{"quick", "Start", "ended", "hold", "Start", "events", "Cancel"};
        QTest::newRow("late end of the last search, then Stop, Start, Cancel")
            << QStringList{"quick", "Start", "ended", "hold", "Start", "events", "Stop", "events", "Start", "Cancel"};
        QTest::newRow("Start Stop Start Cancel at once") << QStringList{"hold", "Start", "Stop", "Start", "Cancel"};
        QTest::newRow("Start again while the last one ends")
            << QStringList{"hold", "Start", "events", "Stop", "events", "Start", "events", "Cancel"};
        QTest::newRow("Start while the last search ends, then edits")
            << QStringList{"type *.*", "quick", "Start", "paused", "type *.doc", "Start", "ended", "restarted", "Cancel"};
    }
    void rapidPresses()
    {
        QFETCH(QStringList, steps);
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build(kLongSearch));
        Shown shown;
        QVERIFY(shown.ok);
        std::atomic<bool> hold{false}, pauseAtEnd{false}, paused{false};
        std::atomic<int> ends{0};
        SearchHooks hooks;
        hooks.afterBlock = [&hold](const QString &, int, const StopEvent &stop) {
            if (hold)
                stop.WaitUntilSet();
        };
        hooks.atEnd = [&](const StopEvent &) {
            ++ends;
            paused = pauseAtEnd.load();
            pauseAtEnd.wait(true);
        };
        shown.dialog.SetSearchHooks(hooks);
        typeInto(shown.dialog, "directory", "\\d");
        typeInto(shown.dialog, "containing", "needle");
        int starts = 0;
        for (const QString &step : steps) {
            if (step == "hold" || step == "quick") {
                hold = step == "hold";
                pauseAtEnd = step == "quick";
            } else if (step == "Start" || step == "Stop") {
                starts += shown.state() == "Start" && !shown.dialog.IsSearchRunning();
                shown.dialog.StartStopButton().click();
            } else if (step == "paused") {
                QTRY_VERIFY(paused);
                QCOMPARE(shown.state(), QStringLiteral("Start"));
                QVERIFY(shown.dialog.IsSearchRunning());
            } else if (step.startsWith("type ")) {
                typeInto(shown.dialog, "filename", step.mid(5));
            } else if (step == "restarted") {
                ++starts;
                QTRY_COMPARE(ends.load(), starts);
                QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
                QTRY_COMPARE(findtest::walkOrder(results(shown.dialog)), (QStringList{"\\d\\first", kLong}));
            } else if (step == "ended") {
                QTRY_VERIFY(paused);
                pauseAtEnd = false;
                pauseAtEnd.notify_all();
                while (shown.dialog.IsSearchRunning())
                    QThread::yieldCurrentThread();
            } else if (step == "events") {
                QCoreApplication::processEvents();
            } else {
                shown.dialog.findChild<QPushButton *>("cancel")->click();
            }
        }
        QVERIFY(!shown.dialog.isVisible());
        QVERIFY(!shown.dialog.IsSearchRunning());
        QTRY_COMPARE(ends.load(), starts);
    }

    // Start clears the last results and shows "Stop"; each file found gets
    // its full path, and "Start" comes back at the end, without a message.
    // A column tap sorts by its texts (the sizes are filled); a double tap
    // opens the row's file with its registered program. The picture goes to
    // test-output/find-dialog.png.
    void resultsSortAndOpen()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.build({"\\b.txt=bb", "\\f\\a.txt=aaaa", "\\f\\g\\c.txt=c", "\\f\\d.doc"}));
        const apptest::Launches launches;
        testsupport::MessageBoxScript boxes;
        Shown shown;
        QVERIFY(shown.ok);
        shown.start("*.doc", "", "");
        QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
        QCOMPARE(results(shown.dialog), QStringList{"\\f\\d.doc"});
        shown.start("*.txt", "\\", "");
        QCOMPARE(shown.state(), QStringLiteral("Stop"));
        QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
        QCOMPARE(findtest::walkOrder(results(shown.dialog)), (QStringList{"\\b.txt", "\\f\\a.txt", "\\f\\g\\c.txt"}));
        CFileListCtrl &list = shown.dialog.Results();
        QVERIFY(listtest::clickHeading(list, "Size"));
        QCOMPARE(results(shown.dialog), (QStringList{"\\f\\g\\c.txt", "\\b.txt", "\\f\\a.txt"}));
        QVERIFY(testsupport::savePicture(&shown.dialog, "find-dialog"));
        listtest::doubleTapRow(list, 2);
        QCOMPARE(launches, (QList<QStringList>{{root.host("\\viewer.exe"), root.host("\\f\\a.txt")}}));
    }

    // The frame's Find command fills the dialog from the tree and gives the
    // focus back to the list pane; closing the frame ends a running search.
    void findCommand_data()
    {
        QTest::addColumn<bool>("closeFrame");
        QTest::newRow("Cancel") << false;
        QTest::newRow("frame closed during a search") << true;
    }
    void findCommand()
    {
        QFETCH(bool, closeFrame);
        apptest::FrameFixture f({"\\My Documents\\a.txt", "\\b.txt"});
        QVERIFY(f.ok);
        QVERIFY(f.root.makeFile(kLong, QByteArray(200000, '.')));
        f.frame->GetListPane()->setFocus();
        QTRY_VERIFY(f.frame->IsListFocused());
        QStringList shownFields; // directory, file name, containing
        Hold hold;
        QPointer<CMainFrame> frame = f.frame;
        const auto ran = testsupport::whenModal<CFindFilesDialog>([&](CFindFilesDialog *dialog) {
            for (const char *name : {"directory", "filename", "containing"})
                shownFields << dialog->findChild<QLineEdit *>(name)->text();
            if (!closeFrame)
                return;
            dialog->SetSearchHooks(hold.hooks(2));
            typeInto(*dialog, "containing", "needle");
            QTest::mouseClick(&dialog->StartStopButton(), Qt::LeftButton);
            if (QTest::qWaitFor([&] { return hold.reached.load() == 1; }))
                frame->close();
        });
        QVERIFY(f.frame->OnCommand(ids::ID_FIND));
        QVERIFY(*ran);
        QCOMPARE(shownFields, (QStringList{"\\", "*.*", ""}));
        if (closeFrame) {
            QTRY_VERIFY(hold.ended);
            QTRY_VERIFY(!frame);
        } else {
            QTRY_VERIFY(f.frame->IsListFocused());
        }
    }
};

FERRIX_TEST(TestFindFilesDialog)
#include "tst_findfilesdialog.moc"
