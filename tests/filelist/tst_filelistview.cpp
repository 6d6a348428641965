#include "common/devicefixture.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filelist/cfilelistctrl.h"
#include "filelist/cfilelistdrag.h"
#include "filelist/cfilelistviewex.h"
#include "filelist/folderprefetch.h"
#include "filelist/rowtext.h"
#include "listtesthelpers.h"
#include "platform/desktop/fileuri.h"
#include "platform/registry/registry.h"
#include "platform/testing/faultinjection.h"
#include "platform/work/longwork.h"
#include "platform/ui/inputpanel.h"
#include "platform/ui/messagebox.h"

#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

using namespace listtest;

namespace {
// files: below the folder shown; readAhead: the folder read ahead of the pane ("" none), "+" after it: a file is
// added meanwhile.
struct ListingCase { QString shown; QStringList files, listed; QString readAhead; };
// taps: row numbers; -1 waits until the tap's hold time is over; 100 + row keeps a finger on the row until it is
// pressed; -2 drags a finger up from row 10.
struct HoldCase { bool finger; QList<int> taps; bool panelAnswers, holds; };
// view: "list" the result list, holding full paths; "finger" a tap on the selected row instead of F2.
struct RenameCase { QString view, typed; bool cancel; QString nameAfter; };
struct RestoreCase { int saved, rowsLeft; bool stepBack; int selected; };
// by: "mouse", "pen", "touch" (a mouse event made of a touch), "finger"; short: pixels short of the drag
// distance; selected: rows selected before the press on row 3; dragged: the rows the drag takes.
struct DragCase { QString by; int shortBy; QList<int> selected, dragged; };

const QPointingDevice *pen()
{
    static const QPointingDevice device("pen", 4711, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                                        QInputDevice::Capability::Position, 1, 2);
    return &device;
}
} // namespace

// The list pane (listing, heading taps, taps and holds, the remembered row)
// and the Find Files result list; both rename in place and open by double tap.
class TestFileListView : public QObject {
    Q_OBJECT

    testsupport::Launches m_launches;
    struct {
        QList<unsigned> requests;
        unsigned flags = platform::SIPF_OFF;
        int queries = 0;
        bool answers = true; // whether the panel reports its state
    } m_panel;
    QTemporaryDir m_regDir;

    // file0.txt .. in \f, listed by name in a shown pane.
    static void listFiles(testsupport::TempDeviceRoot &root, CFileListViewEx &pane, int count)
    {
        for (int i = 0; i < count; ++i)
            QVERIFY(root.makeFile(QStringLiteral("\\f\\file%1.txt").arg(i), "x"));
        QVERIFY(showForTest(pane));
        pane.ShowFolder("\\f", false);
        QVERIFY(clickHeading(pane, "Name"));
    }

private Q_SLOTS:
    // .txt files open with \viewer.exe; nothing else is registered.
    void initTestCase() { QVERIFY(useTxtViewerRegistry(m_regDir)); }

    void cleanupTestCase() { platform::Registry::configure({}, false); }

    void init()
    {
        m_launches.clear();
        m_panel = {};
        platform::setInputPanelHooks(
            {[this](unsigned *flags) { return ++m_panel.queries, *flags = m_panel.flags, m_panel.answers; },
             [this](unsigned flags) { return m_panel.requests.append(flags), m_panel.flags = flags, true; }});
    }

    void cleanup() { platform::setInputPanelHooks({}); }

    void listsFilesOfFolder_data()
    {
        QTest::addColumn<ListingCase>("row");
        QTest::newRow("root") << ListingCase{"\\", {"a.txt", "b", "sub\\inner.txt"}, {"a.txt", "b"}, ""};
        QTest::newRow("root read ahead") << ListingCase{"\\", {"a.txt", "sub\\b"}, {"a.txt"}, "\\"};
        QTest::newRow("read ahead, a file added since") << ListingCase{"\\r", {"a"}, {"a", "late"}, "\\r+"};
        QTest::newRow("another folder read ahead") << ListingCase{"\\r", {"a", "b\\c"}, {"a"}, "\\r\\b"};
        QTest::newRow("trailing backslash dropped") << ListingCase{"\\docs\\", {"x.doc"}, {"x.doc"}, ""};
        QTest::newRow("missing folder") << ListingCase{"\\gone", {}, {}, ""};
        const QStringList odd{" lead", "line\nbreak", "tab\there", ".hidden", QStringLiteral("back\uF05Cslash"), "_", "..x",
                              QStringLiteral("\u00e9t\u00e9.txt"), QStringLiteral("invoice\u202Etxt.exe"), "caf" + QString(QChar(0xDCE9))};
        QTest::newRow("odd names") << ListingCase{"\\o", odd, odd, ""};
    }
    // A folder that cannot be read lists empty and says nothing; any list
    // sorts; only a forced listing of the same folder reads it again. A
    // listing read ahead serves the folder's first listing only while the
    // folder is unchanged.
    void listsFilesOfFolder()
    {
        auto [shown, files, listed, readAhead] = testsupport::fetchRow<ListingCase>();
        const QString folder = shown.endsWith(u'\\') ? shown.chopped(1) : shown;
        testsupport::TempDeviceRoot root;
        // Device paths, as names that are not UTF-8 exist only as host bytes; removed
        // here, as the temporary folder's own clean-up cannot take those names.
        const auto remove = qScopeGuard([&] {
            for (const QString &file : files)
                platform::deleteFile(folder + "\\" + file);
        });
        for (const QString &file : files) {
            const QString path = folder + "\\" + file;
            QVERIFY(root.makeFolder(path.section(u'\\', 0, -2)) && platform::writeFileAtomically(path, "x", true));
        }
        if (!readAhead.isEmpty()) {
            folderprefetch::start(readAhead.endsWith(u'+') ? readAhead.chopped(1) : readAhead);
            if (readAhead.endsWith(u'+'))
                QVERIFY(root.makeFile(folder + "\\late", "x"));
        }
        const auto forget = qScopeGuard([] { folderprefetch::discard(); });
        testsupport::MessageBoxScript boxes;
        CFileListViewEx pane;
        pane.ShowFolder(shown, true);
        QCOMPARE(pane.GetFolder(), folder);
        QStringList names = columnTexts(pane);
        names.sort();
        listed.sort();
        QCOMPARE(names, listed);
        for (int row = 0; row < pane.GetItemCount(); ++row)
            QCOMPARE(pane.GetItemPath(row), folder + "\\" + pane.GetItemName(row));
        for (const char *heading : {"Name", "Size", "Type", "Changed", "Attrs"})
            QVERIFY(clickHeading(pane, QString::fromLatin1(heading)));
        QVERIFY(root.makeFile(folder + "\\new", "n"));
        pane.ShowFolder(pane.GetFolder(), false); // the same folder: nothing happens
        QCOMPARE(pane.GetItemCount(), listed.size());
        pane.Refresh();
        QCOMPARE(pane.GetItemCount(), listed.size() + 1);
    }

    // A listing stuck on a hung mount: the event loop turns meanwhile (the
    // user's timer fires), and a Cancel gives it up with nothing listed, as
    // a folder that cannot be read; once the mount answers, Refresh lists.
    void stuckListingCancelled()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\h\\a", "x") && root.makeFile("\\h\\b", "x"));
        platform::faults::injectHang(platform::FsOperation::Find, "\\h\\*");
        const auto clear = qScopeGuard([] { platform::faults::clear(); });
        bool cancelled = false, rescued = false;
        QTimer user, rescue;
        connect(&user, &QTimer::timeout, [&] {
            if (!cancelled && platform::faults::hanging() > 0) {
                cancelled = true;
                platform::requestStop(); // what the progress window's Cancel does
            }
        });
        connect(&rescue, &QTimer::timeout, [&] {
            rescued = true;
            platform::faults::releaseHangs();
        });
        user.start(5);
        rescue.start(5000);
        CFileListViewEx pane;
        pane.ShowFolder("\\h", true);
        QVERIFY(cancelled);
        QVERIFY(!rescued);
        QCOMPARE(pane.GetItemCount(), 0);
        QCOMPARE(platform::faults::hanging(), 1);
        platform::faults::releaseHangs();
        QTRY_COMPARE(platform::abandonedStepsRunning(), 0);
        pane.Refresh();
        QCOMPARE(pane.GetItemCount(), 2);
    }

    void headingClicks_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("key");
        const QStringList az{"a.txt", "B.doc", "c.log", "readme"};
        const QStringList za{"readme", "c.log", "B.doc", "a.txt"};
        QTest::newRow("Name") << QStringList{"Name"} << az << 4;
        QTest::newRow("Name twice") << QStringList{"Name", "Name"} << za << 4;
        QTest::newRow("Name then Size: largest first")
            << QStringList{"Name", "Size"} << QStringList{"c.log", "a.txt", "B.doc", "readme"} << 8;
        QTest::newRow("Changed: oldest first")
            << QStringList{"Changed"} << QStringList{"B.doc", "readme", "c.log", "a.txt"} << 16;
        QTest::newRow("Type: by extension, none first")
            << QStringList{"Type"} << QStringList{"readme", "B.doc", "c.log", "a.txt"} << 48;
    }
    // The sort applies at once, to every folder shown later and on Refresh.
    void headingClicks()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, expected);
        testsupport::TempDeviceRoot root;
        const struct { const char *name; int size, day; } files[] = {
            {"a.txt", 300, 30}, {"B.doc", 10, 2}, {"c.log", 2000, 20}, {"readme", 0, 10}};
        for (const char *folder : {"\\s\\", "\\t\\"}) {
            for (const auto &file : files) {
                const QString path = QString::fromLatin1(folder) + QLatin1String(file.name);
                QVERIFY(root.makeFile(path, QByteArray(file.size, 'x')));
                QVERIFY(platform::setLastWriteTime(path, dayTime(file.day)));
            }
        }
        CFileListViewEx pane;
        QVERIFY(showForTest(pane));
        pane.ShowFolder("\\s", false);
        for (const QString &heading : clicks)
            QVERIFY(clickHeading(pane, heading));
        QCOMPARE(columnTexts(pane), expected);
        QTEST(pane.GetSortKey(), "key");
        QCOMPARE(pane.IsSortAscending(), clicks.size() % 2 == 1);
        pane.ShowFolder("\\t", false);
        QCOMPARE(columnTexts(pane), expected);
        pane.Refresh();
        QCOMPARE(columnTexts(pane), expected);
    }

    // The result list sorts by the texts shown: a click sorts descending after an
    // ascending sort by a column sharing a key bit with it, else ascending. Item
    // data is renumbered and the selected row stays selected wherever it goes.
    void headingClicksSortResults_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("sorted"); // the last clicked column, top to bottom
        QTest::newRow("Attrs: texts the other way round") << QStringList{"Attrs"} << QStringList{"RHA", "RA", "A"};
        QTest::newRow("Size after Attrs up: down") << QStringList{"Attrs", "Size"} << QStringList{"1.0Mb", "1.0Kb", "512 b"};
        QTest::newRow("Name after Size up: up") << QStringList{"Size", "Name"} << QStringList{"\\a", "\\b", "\\c"};
        QTest::newRow("Changed after Type up: down") << QStringList{"Type", "Changed"}
                                                      << QStringList{"04-02-2004 00:00:00", "03-02-2004 09:05:07", "31-12-2003 23:59:59"};
        QTest::newRow("Type after Type down: up") << QStringList{"Type", "Type", "Type"} << QStringList{"TXT-File", "DOC-File", "ABC-File"};
    }
    void headingClicksSortResults()
    {
        QFETCH(QStringList, clicks);
        CFileListCtrl list;
        QVERIFY(showForTest(list));
        const QStringList rows[] = {{"\\b", "1.0Mb", "TXT-File", "04-02-2004 00:00:00", "A"},
                                    {"\\a", "512 b", "DOC-File", "31-12-2003 23:59:59", "RHA"},
                                    {"\\c", "1.0Kb", "ABC-File", "03-02-2004 09:05:07", "RA"}};
        for (const QStringList &texts : rows) {
            const int row = list.InsertItem(list.GetItemCount(), texts.at(0));
            for (int c = 1; c < texts.size(); ++c)
                QVERIFY(list.SetItemText(row, c, texts.at(c)));
        }
        list.selectRow(1);
        for (const QString &heading : clicks)
            QVERIFY(clickHeading(list, heading));
        const QStringList headings {"Name", "Size", "Type", "Changed", "Attrs"};
        QTEST(columnTexts(list, int(headings.indexOf(clicks.last()))), "sorted");
        for (int row = 0; row < list.GetItemCount(); ++row)
            QCOMPARE(list.GetItemData(row), qintptr(row));
        const QModelIndexList selected = list.selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(list.GetItemText(selected.first().row(), 0), QStringLiteral("\\a"));
    }

    void tapAndHold_data()
    {
        QTest::addColumn<HoldCase>("row");
        for (const bool finger : {false, true}) {
            const QByteArray by = finger ? "finger: " : "stylus: ";
            QTest::newRow(by + "same row again after the hold time") << HoldCase{finger, {3, -1, 3}, true, true};
            QTest::newRow(by + "same row twice at once") << HoldCase{finger, {3, 3}, true, false};
            QTest::newRow(by + "other row after the hold time") << HoldCase{finger, {3, -1, 5}, true, false};
            QTest::newRow(by + "last two taps at once") << HoldCase{finger, {3, -1, 3, 3}, true, false};
        }
        QTest::newRow("stylus: panel never reports itself") << HoldCase{false, {3, -1, 3}, false, true};
        QTest::newRow("finger: held on the row tapped before") << HoldCase{true, {3, -1, 103}, true, true};
        QTest::newRow("finger: drag scrolls, selects nothing") << HoldCase{true, {-2}, true, false};
        QTest::newRow("finger: drag after a tap holds nothing") << HoldCase{true, {10, -1, -2}, true, false};
    }
    void tapAndHold()
    {
        const auto [finger, taps, panelAnswers, holds] = testsupport::fetchRow<HoldCase>();
        m_panel.answers = panelAnswers;
        testsupport::TempDeviceRoot root;
        CFileListViewEx pane;
        listFiles(root, pane, 40);
        for (int tap : taps) {
            if (tap == -1) {
                QTRY_VERIFY(!pane.IsHoldPending());
            } else if (tap == -2) {
                pane.clearSelection();
                testsupport::fingerStroke(pane.viewport(), cellCentre(pane, 10), QList<QPoint>(6, QPoint(0, -30)));
                QTRY_VERIFY(pane.verticalScrollBar()->value() > 0);
                QVERIFY(pane.GetSelectedRows().isEmpty());
            } else if (tap >= 100) {
                QTest::touchEvent(pane.viewport(), testsupport::touchScreen()).press(0, cellCentre(pane, tap - 100));
                QTRY_VERIFY(pane.IsHoldPending());
                QTest::touchEvent(pane.viewport(), testsupport::touchScreen()).release(0, cellCentre(pane, tap - 100));
            } else {
                tapRow(pane, tap, 2, finger);
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(!pane.IsHoldPending(), 10000);
        QCOMPARE(m_panel.queries > 0, holds);
        QCOMPARE(m_panel.requests, holds && panelAnswers ? QList<unsigned>{platform::SIPF_ON} : QList<unsigned>{});
        if (holds) {
            QCOMPARE(pane.GetSelectedRows(), QList<int>{3});
            QVERIFY(pane.IsFocusSaved()); // the end of the edit selects row 3 again
        }
    }

    // A press on a row and a move past the drag distance drags, with the
    // mouse or a pen: the selection it landed in, or its row. A finger
    // scrolls and taps instead.
    void dragStarts_data()
    {
        QTest::addColumn<DragCase>("row");
        QTest::newRow("mouse short of the distance") << DragCase{"mouse", 1, {}, {}};
        QTest::newRow("mouse") << DragCase{"mouse", 0, {}, {3}};
        QTest::newRow("pen") << DragCase{"pen", 0, {}, {3}};
        QTest::newRow("mouse event of a touch") << DragCase{"touch", 0, {}, {}};
        QTest::newRow("finger") << DragCase{"finger", 0, {}, {}};
        QTest::newRow("mouse inside a selection") << DragCase{"mouse", 0, {1, 3, 5}, {1, 3, 5}};
        QTest::newRow("mouse outside a selection") << DragCase{"mouse", 0, {4, 5}, {3}};
    }
    void dragStarts()
    {
        const auto [by, shortBy, selected, dragged] = testsupport::fetchRow<DragCase>();
        testsupport::TempDeviceRoot root;
        CFileListViewEx pane;
        listFiles(root, pane, 8);
        QList<int> got;
        filedrag::SetDragRunner([&](QDrag &drag) {
            for (const QByteArray &uri : platform::fileListFromMimeData(drag.mimeData()).uris)
                for (int row = 0; row < pane.GetItemCount(); ++row)
                    if ("\\f\\" + pane.GetItemName(row) == platform::devicePathFromFileUri(uri))
                        got.append(row);
            return Qt::IgnoreAction;
        });
        const auto restore = qScopeGuard([] { filedrag::SetDragRunner({}); });
        for (int row : selected)
            pane.selectionModel()->select(pane.model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const QPoint at = cellCentre(pane, 3), to = at + QPoint(QApplication::startDragDistance() - shortBy, 0);
        if (by == "finger") {
            testsupport::fingerStroke(pane.viewport(), at, {to - at});
        } else {
            const QPointingDevice *device = by == "pen" ? pen() : by == "touch" ? testsupport::touchScreen()
                                                                                  : QPointingDevice::primaryPointingDevice();
            QMouseEvent press(QEvent::MouseButtonPress, at, at, pane.viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {}, device);
            QCoreApplication::sendEvent(pane.viewport(), &press);
            QMouseEvent move(QEvent::MouseMove, to, to, pane.viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {}, device);
            QCoreApplication::sendEvent(pane.viewport(), &move);
        }
        QCOMPARE(got, dragged);
        if (!dragged.isEmpty()) {
            QCOMPARE(pane.GetSelectedRows(), dragged);
            QVERIFY(!pane.IsHoldPending()); // a drag is no hold
        }
    }

    // The pane opens folder + name; the result list the full path of its row
    // (tapped twice by a finger here).
    void doubleTapOpens()
    {
        testsupport::TempDeviceRoot root;
        CFileListViewEx pane;
        listFiles(root, pane, 4);
        doubleTapRow(pane, 2);
        QVERIFY(pane.m_bReturnFocus);
        QCOMPARE(pane.GetSelectedRows(), QList<int>{2});
        QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, cellCentre(pane, 3) + QPoint(0, 100));
        CFileListCtrl list; // empty space above opened nothing
        QVERIFY(showForTest(list));
        list.InsertItem(0, "\\deep\\er\\notes.txt");
        doubleTapRow(list, 0, true);
        QCOMPARE(m_launches, (QList<QStringList>{{root.host("\\viewer.exe"), root.host("\\f\\file2.txt")},
                                                 {root.host("\\viewer.exe"), root.host("\\deep\\er\\notes.txt")}}));
    }

    void rename_data()
    {
        QTest::addColumn<RenameCase>("row");
        QTest::newRow("new name") << RenameCase{"pane", "b.txt", false, "b.txt"};
        QTest::newRow("same name") << RenameCase{"pane", "a.txt", false, "a.txt"};
        QTest::newRow("cancelled") << RenameCase{"pane", "z.txt", true, "a.txt"};
        QTest::newRow("other case") << RenameCase{"pane", "A.txt", false, "A.txt"};
        QTest::newRow("existing name") << RenameCase{"pane", "c.txt", false, "a.txt"};
        QTest::newRow("empty name") << RenameCase{"pane", "", false, "a.txt"};
        QTest::newRow("slash") << RenameCase{"pane", "d/e.txt", false, "a.txt"};
        QTest::newRow("NUL") << RenameCase{"pane", QStringLiteral("e") + QChar(0) + "x", false, "a.txt"};
        QTest::newRow("into a subfolder") << RenameCase{"pane", "d\\b.txt", false, "d\\b.txt"};
        QTest::newRow("result list: new name") << RenameCase{"list", "b.txt", false, "b.txt"};
        QTest::newRow("result list: into a subfolder") << RenameCase{"list", "d\\b.txt", false, "d\\b.txt"};
        QTest::newRow("finger: new name") << RenameCase{"finger", "b.txt", false, "b.txt"};
    }
    // The editor shows the name only. The pane lists the folder again and
    // selects the remembered row.
    void rename()
    {
        const auto [view, typed, cancel, nameAfter] = testsupport::fetchRow<RenameCase>();
        const bool resultList = view == u"list", fails = !cancel && nameAfter == "a.txt" && typed != "a.txt";
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\r\\a.txt", "first") && root.makeFile("\\r\\c.txt", "second") && root.makeFolder("\\r\\d"));
        testsupport::MessageBoxScript boxes;
        if (fails)
            boxes.expect("Failed to rename", platform::IDOK);
        CFileListViewEx pane;
        CFileListCtrl list;
        QTableView &shown = resultList ? static_cast<QTableView &>(list) : pane;
        QVERIFY(showForTest(shown));
        pane.ShowFolder("\\r", false);
        QVERIFY(clickHeading(pane, "Name"));
        list.InsertItem(0, "\\r\\a.txt");
        QCOMPARE(editFirstRow(shown, typed, cancel, view == u"finger"), QStringLiteral("a.txt"));
        if (resultList) {
            QCOMPARE(list.GetItemText(0, 0), "\\r\\" + nameAfter);
        } else {
            // A text with a backslash names a path from the folder: the file left it.
            QCOMPARE(columnTexts(pane), (nameAfter.contains(u'\\') ? QStringList{"c.txt"} : QStringList{nameAfter, "c.txt"}));
            QCOMPARE(pane.GetSelectedRows(), QList<int>{0});
            QVERIFY(!pane.IsFocusSaved());
        }
        QCOMPARE(root.read("\\r\\" + nameAfter), QByteArray("first"));
        QCOMPARE(root.read("\\r\\c.txt"), QByteArray("second"));
        QCOMPARE(boxes.shown().size(), fails ? 1 : 0);
        QVERIFY(!fails || boxes.shown().first().type == 0x30u);
    }

    void restoreFocusedItem_data()
    {
        QTest::addColumn<RestoreCase>("row");
        QTest::newRow("row still there") << RestoreCase{2, 5, false, 2};
        QTest::newRow("row gone") << RestoreCase{4, 3, false, -1};
        QTest::newRow("step back") << RestoreCase{2, 4, true, 1};
        QTest::newRow("step back from the first row") << RestoreCase{0, 4, true, 0};
        QTest::newRow("step back past missing rows") << RestoreCase{4, 2, true, 1};
        QTest::newRow("step back, list empty") << RestoreCase{1, 0, true, -1};
    }
    void restoreFocusedItem()
    {
        const auto [saved, rowsLeft, stepBack, selected] = testsupport::fetchRow<RestoreCase>();
        testsupport::TempDeviceRoot root;
        CFileListViewEx pane;
        listFiles(root, pane, 5);
        tapRow(pane, saved);
        QVERIFY(pane.SaveFocusedItem());
        for (int i = 4; i >= rowsLeft; --i)
            QVERIFY(platform::deleteFile(QStringLiteral("\\f\\file%1.txt").arg(i)));
        pane.Refresh();
        pane.RestoreFocusedItem(stepBack);
        QCOMPARE(pane.GetSelectedRows(), selected < 0 ? QList<int>{} : QList<int>{selected});
        QCOMPARE(pane.IsFocusSaved(), selected < 0); // kept until its row is back
    }
};

FERRIX_TEST(TestFileListView)
#include "tst_filelistview.moc"
