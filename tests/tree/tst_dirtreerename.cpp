#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "platform/attributes/fileattributes.h"
#include "platform/ui/messagebox.h"
#include "treefixture.h"

#include <QDir>
#include <QLineEdit>
#include <QPointer>

namespace {
// setup: "tap" or "finger" for a tap on the selected node instead of F2, "gone" the folder vanished, "mount" it
// is a mount point; result: "renamed", "failed" (with a message), "cancelled" (Escape) or "refused" (no editor).
struct RenameCase { QString path, setup, typed, result; QStringList expected; };
} // namespace

class DirTreeRenameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Editing a folder's name in place. "m" and its "sub" are expanded and stay so.
    void rename_data()
    {
        QTest::addColumn<RenameCase>("row");
        const QStringList same{"b", "m", "y"};
        const QString m = "\\m\\";
        QTest::newRow("sorts before its siblings") << RenameCase{m, "", "a", "renamed", {"a", "b", "y"}};
        QTest::newRow("letter case only") << RenameCase{m, "", "M", "renamed", {"b", "M", "y"}};
        QTest::newRow("leading blanks kept") << RenameCase{m, "", "  m", "renamed", {"  m", "b", "y"}};
        QTest::newRow("existing name") << RenameCase{m, "", "b", "failed", same};
        QTest::newRow("empty name") << RenameCase{m, "", "", "failed", same};
        QTest::newRow("same name") << RenameCase{m, "", "m", "renamed", same};
        QTest::newRow("slash") << RenameCase{m, "", "x/y", "failed", same};
        QTest::newRow("finger tap, new name") << RenameCase{m, "finger", "a", "renamed", {"a", "b", "y"}};
        QTest::newRow("tap, Escape") << RenameCase{m, "tap", "Z", "cancelled", same};
        QTest::newRow("root") << RenameCase{"\\", "", "Z", "refused", same};
        QTest::newRow("vanished folder") << RenameCase{m, "gone", "Z", "refused", same};
        QTest::newRow("mount point") << RenameCase{m, "mount", "Z", "refused", same};
    }
    void rename()
    {
        const auto [path, setup, typed, result, expected] = testsupport::fetchRow<RenameCase>();
        testsupport::MessageBoxScript boxes;
        if (result == "failed")
            boxes.expect(QStringLiteral("Failed to rename"), platform::IDOK);
        TreeFixture f;
        QVERIFY(f.start({"\\b", "\\m", "\\m\\sub", "\\m\\sub\\deep", "\\y"}));
        for (const QString expand : {"\\", "\\m\\", "\\m\\sub\\"})
            f.key(expand, Qt::Key_Right);
        f.tap(path);
        f.list.calls.clear();
        if (setup == "gone")
            QVERIFY(QDir(f.device.host("\\m")).removeRecursively());
        if (setup == "mount" && !platform::setFileAttributes("\\m", platform::FILE_ATTRIBUTE_TEMPORARY))
            QSKIP("stored attributes unsupported here");

        QPointer<QLineEdit> editor;
        if (setup == "tap" || setup == "finger") {
            const QPoint at = f.tree.visualItemRect(f.node(path)).center();
            setup == "finger" ? testsupport::fingerStroke(f.tree.viewport(), at)
                              : QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, at);
            QTRY_VERIFY((editor = f.tree.viewport()->findChild<QLineEdit *>()));
        } else {
            QTest::keyClick(&f.tree, Qt::Key_F2);
            editor = f.tree.viewport()->findChild<QLineEdit *>();
        }
        QCOMPARE(editor.isNull(), result == "refused");
        if (editor) {
            QCOMPARE(editor->text(), QStringLiteral("m"));
            editor->selectAll();
            QTest::keyClick(editor, Qt::Key_Backspace);
            QTest::keyClicks(editor, typed);
            QTest::keyClick(editor, result == "cancelled" ? Qt::Key_Escape : Qt::Key_Return);
        }
        QTRY_COMPARE(boxes.shown().size(), result == "failed" ? 1 : 0);
        QVERIFY(boxes.shown().isEmpty() || boxes.shown().at(0).type == 0x30u);
        QTRY_COMPARE(f.children("\\"), expected);
        const QString name = result == "renamed" ? "\\" + typed + "\\" : "\\m\\";
        QCOMPARE(f.device.exists(name + "sub\\deep"), setup != "gone");
        QCOMPARE(f.tree.GetItemPath(f.node(name + "sub\\deep\\")), name + "sub\\deep\\");
        QVERIFY(f.node(name)->isExpanded() && f.node(name + "sub\\")->isExpanded());
        QCOMPARE(f.tree.currentItem(), f.node(result == "renamed" ? name : path));
        QVERIFY(f.list.calls.isEmpty()); // the list is not told
        QVERIFY(setup == "gone" || f.tree.isConsistent());
        if (result == "cancelled")
            QTRY_VERIFY(editor.isNull());
    }
};

FERRIX_TEST(DirTreeRenameTest)
#include "tst_dirtreerename.moc"
