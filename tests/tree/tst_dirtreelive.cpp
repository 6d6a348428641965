#include "common/testsuite.h"
#include "filelist/livechanges.h"
#include "treefixture.h"

#include <QProcess>

namespace {
// script: run by sh in \a, which holds the folders b and d (d selected, b
// with a subfolder) and the tree expanded down to \a; children: \a's
// children after it; selected: the tree's folder then, which the list shows.
struct LiveCase { QString script; QStringList children; QString selected; };
} // namespace

// The expanded branches follow what another program does on disk.
class DirTreeLiveTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followsOtherPrograms_data()
    {
        QTest::addColumn<LiveCase>("row");
        QTest::newRow("folders made and moved in, files ignored")
            << LiveCase{"mkdir c ../e ../e/f && mv ../e e && touch g.txt", {"b", "c", "d", "e"}, "\\a\\d\\"};
        QTest::newRow("selected folder renamed: its neighbour is selected")
            << LiveCase{"mv d A", {"A", "b"}, "\\a\\b\\"};
        QTest::newRow("all removed: the parent is selected") << LiveCase{"rm -r b d", {}, "\\a\\"};
        QTest::newRow("hostile name")
            << LiveCase{"mkdir \"$(printf 'x\\ny')\" 'p\\q'", {"b", "d", QStringLiteral("p\uF05Cq"), "x\ny"}, "\\a\\d\\"};
    }
    void followsOtherPrograms()
    {
        const auto [script, children, selected] = testsupport::fetchRow<LiveCase>();
        TreeFixture f;
        QVERIFY(f.start({"\\a", "\\a\\b", "\\a\\b\\inner", "\\a\\d"}));
        QVERIFY(nodeAt(f.tree, "\\a\\d\\", true));
        f.tap("\\a\\d\\");
        QTRY_VERIFY(f.tree.GetLiveChanges().watch().isLive("\\a\\"));
        QCOMPARE(QProcess::execute("sh", {"-c", "cd \"$0\" && " + script, f.device.host("\\a")}), 0);
        QTRY_COMPARE(f.children("\\a\\"), children);
        QCOMPARE(f.tree.GetSelectedPath(), selected);
        QCOMPARE(f.list.GetFolder() + "\\", selected == "\\" ? QString("\\") : selected);
        QVERIFY(f.tree.isConsistent());
        QProcess::execute("sh", {"-c", "rm -rf \"$0\"/*", f.device.host("\\a")});
    }
};

FERRIX_TEST(DirTreeLiveTest)
#include "tst_dirtreelive.moc"
