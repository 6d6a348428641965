#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "platform/fileattributes.h"
#include "platform/ui/messagebox.h"
#include "treefixture.h"

#include <QDir>
#include <QLineEdit>
#include <QPointer>

class DirTreeRenameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Editing a folder's name in place. "m" and its "sub" are expanded and stay so. Results:
    // "renamed", "failed" (with a message), "cancelled" (Escape) or "refused" (no editor).
    void rename_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("setup"); // "tap", "finger": a tap on the selected node instead of F2
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("expected");
        const QStringList same{"b", "m", "y"};
        QTest::newRow("sorts before its siblings") << "\\m\\" << "" << "a" << "renamed" << QStringList{"a", "b", "y"};
        QTest::newRow("letter case only") << "\\m\\" << "" << "M" << "renamed" << QStringList{"b", "M", "y"};
        QTest::newRow("leading blanks kept") << "\\m\\" << "" << "  m" << "renamed" << QStringList{"  m", "b", "y"};
        QTest::newRow("existing name") << "\\m\\" << "" << "b" << "failed" << same;
        QTest::newRow("empty name") << "\\m\\" << "" << "" << "failed" << same;
        QTest::newRow("same name") << "\\m\\" << "" << "m" << "renamed" << same;
        QTest::newRow("slash") << "\\m\\" << "" << "x/y" << "failed" << same;
        QTest::newRow("finger tap, new name") << "\\m\\" << "finger" << "a" << "renamed" << QStringList{"a", "b", "y"};
        QTest::newRow("tap, Escape") << "\\m\\" << "tap" << "Z" << "cancelled" << same;
        QTest::newRow("root") << "\\" << "" << "Z" << "refused" << same;
        QTest::newRow("vanished folder") << "\\m\\" << "gone" << "Z" << "refused" << same;
        QTest::newRow("mount point") << "\\m\\" << "mount" << "Z" << "refused" << same;
    }
    void rename()
    {
        QFETCH(QString, path);
        QFETCH(QString, setup);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        QFETCH(QStringList, expected);
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
