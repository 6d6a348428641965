#include "searchfixture.h"

#include "app/appfixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filelist/listtesthelpers.h"
#include "filelist/cfilelistctrl.h"
#include "filelist/cfilelistviewex.h"
#include "filelist/rowtext.h"
#include "find/cfindfilesdialog.h"
#include "platform/findfile.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "resources/resourceids.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>

namespace {

QLineEdit *edit(const QWidget &dialog, const char *name)
{
    return dialog.findChild<QLineEdit *>(QString::fromLatin1(name));
}

// Replaces an edit's text as a user does: select all, type.
void typeInto(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

QStringList results(const CFindFilesDialog &dialog, int column = 0)
{
    return listtest::columnTexts(dialog.Results(), column);
}

// The dialog shown on its own, as the Find command shows it.
struct Shown {
    CFindFilesDialog dialog;
    bool ok = false;
    Shown()
    {
        dialog.show();
        ok = QTest::qWaitForWindowExposed(&dialog);
    }
    QPushButton &button() const { return dialog.StartStopButton(); }
    QString state() const { return button().text(); }
    void press() const { QTest::mouseClick(&button(), Qt::LeftButton); }
    void start(const QString &pattern, const QString &folder, const QString &text) const
    {
        typeInto(edit(dialog, "filename"), pattern);
        typeInto(edit(dialog, "directory"), folder);
        typeInto(edit(dialog, "containing"), text);
        press();
    }
};

// Hooks that hold the worker, once, after the given block of a file, until
// the dialog asks it to stop; `reached` counts the holds.
SearchHooks holdAfterBlock(const QString &path, int block, std::atomic<int> &reached)
{
    SearchHooks hooks;
    hooks.afterBlock = [path, block, &reached](const QString &at, int number, const StopEvent &stop) {
        if (at == path && number == block && reached++ == 0)
            stop.WaitUntilSet();
    };
    return hooks;
}

// A file of many small blocks, searched after the files of its folder's
// parent: \d\first holds the text, \d\s\long holds it only at its end.
const QStringList kLongSearch{"\\d\\first=needle", "\\d\\s\\long=" + QString(200000, u'.') + "needle"};
const QString kLong = QStringLiteral("\\d\\s\\long");

} // namespace

// The Find Files dialog driven as a user drives it: typing into its edits,
// pressing Start, Stop and Cancel while the worker is held at known points.
class TestFindFilesDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_regDir;
    QList<QStringList> m_launches;

private Q_SLOTS:
    // .txt files open with \viewer.exe.
    void initTestCase() { QVERIFY(listtest::useTxtViewerRegistry(m_regDir)); }
    void cleanupTestCase() { platform::Registry::configure({}, false); }

    void init()
    {
        m_launches.clear();
        platform::setProcessLauncher([this](const QString &program, const QStringList &arguments) {
            m_launches.append(QStringList{program} + arguments);
            return true;
        });
    }

    void cleanup()
    {
        platform::faults::clear();
        platform::setProcessLauncher({});
    }

    void searches_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("names") << "*.txt" << "\\d\\" << "" << QStringList{"\\d\\a.txt", "\\d\\s\\c.txt"};
        QTest::newRow("contents") << "*.*" << "\\d" << "needle" << QStringList{"\\d\\s\\c.txt"};
        QTest::newRow("empty folder searches the root") << "*.doc" << "" << "" << QStringList{"\\e.doc", "\\d\\b.doc"};
        QTest::newRow("folder that does not exist") << "*.*" << "\\nowhere" << "" << QStringList{};
        QTest::newRow("only ?") << "?" << "\\" << "" << QStringList{"\\x"};
        QTest::newRow("2,000 characters") << "*.*" << "\\" << QString(2000, u'n') << QStringList{};
        QTest::newRow("unreadable file passed over") << "*.*" << "\\d" << "content" << QStringList{"\\d\\a.txt"};
    }

    // Start clears the last results and shows "Stop"; each file found gets
    // its full path and the other columns; "Start" comes back at the end;
    // no message is ever shown.
    void searches()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, folder);
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        testsupport::TempDeviceRoot root;
        QVERIFY(findtest::build(root, {"\\d\\a.txt", "\\d\\b.doc", "\\d\\s\\c.txt=a needle", "\\e.doc", "\\x"}));
        platform::faults::inject(platform::FsOperation::Read, "\\d\\b.doc");
        testsupport::MessageBoxScript boxes;
        Shown shown;
        QVERIFY(shown.ok);
        shown.start("*.*", "\\", "");
        QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
        QCOMPARE(results(shown.dialog).size(), 5);

        shown.start(pattern, folder, text);
        QCOMPARE(shown.state(), QStringLiteral("Stop"));
        QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
        QCOMPARE(findtest::walkOrder(results(shown.dialog)), findtest::walkOrder(found));
        for (int row = 0; row < found.size(); ++row) {
            platform::FindData data;
            QVERIFY(platform::findEntry(results(shown.dialog).at(row), data));
            QCOMPARE(results(shown.dialog, CFileLister::ColSize).at(row), FormatSizeText(data.sizeHigh, data.sizeLow));
            QCOMPARE(results(shown.dialog, CFileLister::ColAttrs).at(row), FormatAttrText(data.attributes));
        }
    }

    // Stop ends the search after the block being read; what was found stays.
    void stopEndsAfterTheCurrentBlock()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(findtest::build(root, kLongSearch));
        Shown shown;
        QVERIFY(shown.ok);
        std::atomic<int> reached{0};
        std::atomic<int> lastBlock{0};
        SearchHooks hooks = holdAfterBlock(kLong, 3, reached);
        const auto hold = hooks.afterBlock;
        hooks.afterBlock = [&, hold](const QString &at, int number, const StopEvent &stop) {
            if (at == kLong)
                lastBlock = number;
            hold(at, number, stop);
        };
        shown.dialog.SetSearchHooks(hooks);
        shown.start("*.*", "\\d", "needle");
        QTRY_COMPARE(reached.load(), 1);
        QCOMPARE(shown.state(), QStringLiteral("Stop"));
        shown.press();
        QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
        QTRY_VERIFY(!shown.dialog.IsSearchRunning());
        QCOMPARE(lastBlock.load(), 3);
        QCOMPARE(results(shown.dialog), QStringList{"\\d\\first"});
    }

    // Start pressed while the last worker has shown "Start" but not yet
    // ended begins a new search, with the fields of the last start, once
    // it has.
    void startWhileTheLastSearchEnds()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(findtest::build(root, {"\\a.txt", "\\b.doc"}));
        Shown shown;
        QVERIFY(shown.ok);
        std::atomic<int> ends{0};
        SearchHooks hooks;
        hooks.atEnd = [&ends](const StopEvent &stop) {
            if (ends++ == 0)
                stop.WaitUntilSet();
        };
        shown.dialog.SetSearchHooks(hooks);
        shown.start("*.txt", "\\", "");
        QTRY_COMPARE(ends.load(), 1);
        QCOMPARE(shown.state(), QStringLiteral("Start"));
        QVERIFY(shown.dialog.IsSearchRunning());
        typeInto(edit(shown.dialog, "filename"), "*.doc"); // not read by the restart
        shown.press();
        QTRY_COMPARE(ends.load(), 2);
        QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
        QCOMPARE(results(shown.dialog), QStringList{"\\a.txt"});
        QCOMPARE(shown.dialog.m_strFileName, QStringLiteral("*.txt"));
    }

    void closingEndsTheSearch_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("close box") << "close";
        QTest::newRow("Escape") << "escape";
    }

    // Cancel, the close box and Escape close the dialog at once, with the
    // worker stopped and joined before it returns.
    void closingEndsTheSearch()
    {
        QFETCH(QString, how);
        testsupport::TempDeviceRoot root;
        QVERIFY(findtest::build(root, kLongSearch));
        Shown shown;
        QVERIFY(shown.ok);
        std::atomic<int> reached{0};
        std::atomic<bool> ended{false};
        SearchHooks hooks = holdAfterBlock(kLong, 2, reached);
        hooks.atEnd = [&ended](const StopEvent &) { ended = true; };
        shown.dialog.SetSearchHooks(hooks);
        shown.start("*.*", "\\d", "needle");
        QTRY_COMPARE(reached.load(), 1);
        if (how == QLatin1String("cancel"))
            QTest::mouseClick(shown.dialog.findChild<QPushButton *>("cancel"), Qt::LeftButton);
        else if (how == QLatin1String("close"))
            shown.dialog.close();
        else
            QTest::keyClick(&shown.dialog, Qt::Key_Escape);
        QVERIFY(!shown.dialog.isVisible());
        QCOMPARE(shown.dialog.result(), int(QDialog::Rejected));
        QVERIFY(ended);
        QVERIFY(!shown.dialog.IsSearchRunning());
        QCOMPARE(shown.state(), QStringLiteral("Start"));
    }

    // A column tap sorts the results by its texts; a double tap opens the
    // file of the row with its registered program.
    void sortAndOpen()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(findtest::build(root, {"\\b.txt=bb", "\\f\\a.txt=aaaa", "\\f\\g\\c.txt=c"}));
        Shown shown;
        QVERIFY(shown.ok);
        shown.start("*.txt", "\\", "");
        QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
        CFileListCtrl &list = shown.dialog.Results();
        QVERIFY(listtest::clickHeading(list, "Name"));
        QCOMPARE(results(shown.dialog), (QStringList{"\\b.txt", "\\f\\a.txt", "\\f\\g\\c.txt"}));
        QVERIFY(listtest::clickHeading(list, "Size"));
        QCOMPARE(results(shown.dialog), (QStringList{"\\f\\g\\c.txt", "\\b.txt", "\\f\\a.txt"}));
        listtest::doubleTapRow(list, 2);
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches.first(), (QStringList{root.host("\\viewer.exe"), root.host("\\f\\a.txt")}));
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
        QStringList shownFields;
        std::atomic<int> reached{0};
        std::atomic<bool> ended{false};
        QPointer<CMainFrame> frame = f.frame;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<CFindFilesDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            for (const char *name : {"directory", "filename", "containing"})
                shownFields << edit(*dialog, name)->text();
            if (closeFrame) {
                SearchHooks hooks = holdAfterBlock(kLong, 2, reached);
                hooks.atEnd = [&ended](const StopEvent &) { ended = true; };
                dialog->SetSearchHooks(hooks);
                typeInto(edit(*dialog, "containing"), "needle");
                QTest::mouseClick(&dialog->StartStopButton(), Qt::LeftButton);
                if (QTest::qWaitFor([&] { return reached.load() == 1; }))
                    frame->close();
            }
            if (dialog == QApplication::activeModalWidget() && dialog->isVisible())
                dialog->reject();
        });
        QVERIFY(f.frame->OnCommand(ids::ID_FIND));
        QCOMPARE(shownFields, (QStringList{"\\", "*.*", ""}));
        if (closeFrame) {
            QVERIFY(ended);
            QTRY_VERIFY(!frame);
        } else {
            QTRY_VERIFY(f.frame->IsListFocused());
        }
    }

    // A picture of the dialog with a few results: test-output/find-dialog.png.
    void render()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(findtest::build(root, {"\\My Documents\\notes.txt=to do", "\\My Documents\\letter.doc",
                                       "\\Windows\\readme.txt"}));
        Shown shown;
        QVERIFY(shown.ok);
        shown.start("*.*", "\\", "");
        QTRY_COMPARE(shown.state(), QStringLiteral("Start"));
        QVERIFY(shown.dialog.grab().save(testsupport::outputFolder() + "/find-dialog.png"));
    }
};

FERRIX_TEST(TestFindFilesDialog)
#include "tst_findfilesdialog.moc"
