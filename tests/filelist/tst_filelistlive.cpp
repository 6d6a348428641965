#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "filelist/livechanges.h"
#include "listtesthelpers.h"
#include "platform/work/longwork.h"

#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>

#include <optional>

using namespace listtest;

namespace {
// clicks: headings tapped before; script: run by sh in the folder, which
// holds a.txt (1 byte), c.txt (3) and e.txt (5) and shows c.txt selected and
// focused; held: "edit" (a rename is being typed) or "work" (long work runs)
// while the script runs.
struct LiveCase { QStringList clicks; QString script, held; QStringList rows; };

bool runShell(const QString &folder, const QString &script)
{
    return QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("cd \"$0\" && ") + script, folder}) == 0;
}
} // namespace

// The pane follows what another program does in the shown folder.
class TestFileListLive : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void followsOtherPrograms_data()
    {
        QTest::addColumn<LiveCase>("row");
        QTest::newRow("files made, by name")
            << LiveCase{{"Name"}, "touch d.txt b.txt", "", {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}};
        QTest::newRow("removed and renamed, by name down")
            << LiveCase{{"Name", "Name"}, "rm a.txt && mv e.txt f.txt", "", {"f.txt", "c.txt"}};
        QTest::newRow("a grown file moves, by size")
            << LiveCase{{"Size"}, "printf 1234567 > a.txt", "", {"c.txt", "e.txt", "a.txt"}};
        QTest::newRow("a folder is no row")
            << LiveCase{{"Name"}, "mkdir b && touch d.txt", "", {"a.txt", "c.txt", "d.txt", "e.txt"}};
        QTest::newRow("hostile names")
            << LiveCase{{"Name"}, "touch \"$(printf 'line\\nbreak')\" 'back\\slash' \"$(printf 'caf\\351')\"", "",
                        {"a.txt", QStringLiteral("back\uF05Cslash"), "c.txt", "caf" + QString(QChar(0xDCE9)), "e.txt",
                         "line\nbreak"}};
        QTest::newRow("the folder itself removed") << LiveCase{{"Name"}, "rm -r ../f", "", {}};
        QTest::newRow("during a rename")
            << LiveCase{{"Name"}, "touch b.txt", "edit", {"a.txt", "b.txt", "c.txt", "e.txt"}};
        QTest::newRow("during long work") << LiveCase{{"Name"}, "rm e.txt", "work", {"a.txt", "c.txt"}};
    }
    // Rows come and go at their sorted place; the selected and focused row
    // stays; nothing is applied while the user edits or work runs.
    void followsOtherPrograms()
    {
        const auto [clicks, script, held, rows] = testsupport::fetchRow<LiveCase>();
        testsupport::TempDeviceRoot root;
        const QString host = root.host("\\f");
        const auto clean = qScopeGuard([&] { runShell(host, "rm -rf ./*"); });
        for (const auto &[name, size] : {std::pair{"a.txt", 1}, {"c.txt", 3}, {"e.txt", 5}})
            QVERIFY(root.makeFile(QStringLiteral("\\f\\") + name, QByteArray(size, 'x')));
        CFileListViewEx pane;
        QVERIFY(showForTest(pane));
        pane.ShowFolder("\\f", false);
        for (const QString &heading : clicks)
            QVERIFY(clickHeading(pane, heading));
        const int c = columnTexts(pane).indexOf("c.txt");
        pane.setCurrentIndex(pane.model()->index(c, 0));
        QTRY_VERIFY(pane.GetLiveChanges().watch().isLive("\\f"));

        std::optional<platform::LongWork> work;
        if (held == "work")
            work.emplace(platform::WorkKind::Copying);
        if (held == "edit") {
            QTest::keyClick(&pane, Qt::Key_F2);
            QTRY_VERIFY(pane.findChild<QLineEdit *>());
        }
        const QStringList before = columnTexts(pane);
        QVERIFY(runShell(host, script));
        if (!held.isEmpty()) {
            QTRY_VERIFY(pane.GetLiveChanges().hasPending());
            QCOMPARE(columnTexts(pane), before);
            work.reset();
            if (QWidget *editor = pane.findChild<QLineEdit *>())
                QTest::keyClick(editor, Qt::Key_Escape);
        }
        QTRY_COMPARE(columnTexts(pane), rows);
        if (rows.contains("c.txt")) {
            QCOMPARE(pane.GetItemName(pane.currentIndex().row()), QString("c.txt"));
            QCOMPARE(pane.GetSelectedRows(), QList<int>{int(rows.indexOf("c.txt"))});
        }
    }

    // Changes spread all over a big list come as one layout change: the
    // rows still end sorted, the selected, focused row stays, and so does
    // the row at the top of the scrolled view.
    void spreadChangesKeepSelection()
    {
        testsupport::TempDeviceRoot root;
        QStringList names;
        for (int i = 0; i < 200; i += 2)
            QVERIFY(root.makeFile(QStringLiteral("\\f\\n%1").arg(i, 3, 10, QChar('0'))));
        CFileListViewEx pane;
        QVERIFY(showForTest(pane));
        pane.ShowFolder("\\f", false);
        QVERIFY(clickHeading(pane, "Name"));
        pane.setCurrentIndex(pane.model()->index(25, 0)); // n050
        pane.scrollTo(pane.model()->index(60, 0), QAbstractItemView::PositionAtTop); // n120
        QTRY_VERIFY(pane.GetLiveChanges().watch().isLive("\\f"));
        QVERIFY(runShell(root.host("\\f"), "for i in $(seq -w 1 2 199); do touch n$i; done; rm n010 n100"));
        QTRY_COMPARE(pane.GetItemCount(), 198);
        for (int i = 0; i < 200; ++i)
            if (i != 10 && i != 100)
                names.append(QStringLiteral("n%1").arg(i, 3, 10, QChar('0')));
        QCOMPARE(columnTexts(pane), names);
        QCOMPARE(pane.GetItemName(pane.currentIndex().row()), QString("n050"));
        QCOMPARE(pane.GetSelectedRows(), QList<int>{49});
        QCOMPARE(pane.GetItemName(pane.rowAt(0)), QString("n120"));
    }

    // The program's own change, listed by its refresh, is not shown again;
    // a later change still is, on its own.
    void ownChangeShownOnce()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFile("\\f\\a.txt"));
        CFileListViewEx pane;
        QVERIFY(showForTest(pane));
        pane.ShowFolder("\\f", false);
        QVERIFY(clickHeading(pane, "Name"));
        QTRY_VERIFY(pane.GetLiveChanges().watch().isLive("\\f"));
        QSignalSpy inserted(pane.model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(pane.model(), &QAbstractItemModel::modelReset);
        {
            platform::LongWork work(platform::WorkKind::Copying);
            QVERIFY(root.makeFile("\\f\\b.txt"));
            QTRY_VERIFY(pane.GetLiveChanges().hasPending());
            pane.Refresh();
        }
        QVERIFY(runShell(root.host("\\f"), "touch z.txt"));
        QTRY_COMPARE(columnTexts(pane), QStringList({"a.txt", "b.txt", "z.txt"}));
        QCOMPARE(reset.count(), 1);
        QCOMPARE(inserted.count(), 1);
    }
};

FERRIX_TEST(TestFileListLive)
#include "tst_filelistlive.moc"
