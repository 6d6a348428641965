#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "platform/fileattributes.h"
#include "platform/filesystem.h"
#include "platform/ui/messagebox.h"
#include "treefixture.h"

#include <QDir>
#include <QLineEdit>
#include <QPointer>

class DirTreeRenameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // "m" and its "sub" are expanded; both must stay so after a rename.
    void rename_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("renamed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("sorts before its siblings") << "a" << true << QStringList{"a", "b", "y"};
        QTest::newRow("sorts after its siblings") << "z" << true << QStringList{"b", "y", "z"};
        QTest::newRow("letter case only") << "M" << true << QStringList{"b", "M", "y"};
        QTest::newRow("leading blanks kept") << "  m" << true << QStringList{"  m", "b", "y"};
        QTest::newRow("existing name") << "b" << false << QStringList{"b", "m", "y"};
        QTest::newRow("empty name") << "" << false << QStringList{"b", "m", "y"};
        QTest::newRow("same name") << "m" << false << QStringList{"b", "m", "y"};
        QTest::newRow("slash") << "x/y" << false << QStringList{"b", "m", "y"};
    }
    void rename()
    {
        QFETCH(QString, typed);
        QFETCH(bool, renamed);
        QFETCH(QStringList, expected);
        testsupport::MessageBoxScript boxes;
        if (!renamed)
            boxes.expect(QStringLiteral("Failed to rename"), platform::IDOK);
        TreeFixture f;
        QVERIFY(f.start({"\\b", "\\m", "\\m\\sub", "\\m\\sub\\deep", "\\y"}));
        for (const QString path : {"\\", "\\m\\", "\\m\\sub\\"})
            f.key(path, Qt::Key_Right);
        f.select("\\m\\");
        f.list.calls.clear();

        QTest::keyClick(&f.tree, Qt::Key_F2);
        QLineEdit *editor = f.tree.viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("m"));
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);

        const QString name = renamed ? typed : QStringLiteral("m");
        if (renamed) {
            QTRY_COMPARE(f.children("\\"), expected);
        } else {
            QTRY_COMPARE(boxes.shown().size(), 1);
            QCOMPARE(boxes.shown().at(0).type, 0x30u);
            QCOMPARE(f.children("\\"), expected);
        }
        QVERIFY(f.device.exists("\\" + name + "\\sub\\deep"));
        QCOMPARE(f.tree.GetItemPath(f.node("\\" + name + "\\sub\\deep\\")), "\\" + name + "\\sub\\deep\\");
        QVERIFY(f.node("\\" + name + "\\")->isExpanded() && f.node("\\" + name + "\\sub\\")->isExpanded());
        QCOMPARE(f.tree.currentItem(), f.node("\\" + name + "\\"));
        QVERIFY(f.list.calls.isEmpty()); // the list is not told
        QVERIFY(f.tree.isConsistent());
    }

    // An allowed edit is cancelled with Escape: nothing changes, no box.
    void beginEdit_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("setup"); // "tap" edits by a tap instead of F2
        QTest::addColumn<bool>("allowed");
        QTest::newRow("folder") << "\\A\\" << "" << true;
        QTest::newRow("folder, tap on the selected node") << "\\A\\" << "tap" << true;
        QTest::newRow("root") << "\\" << "" << false;
        QTest::newRow("vanished folder") << "\\A\\" << "gone" << false;
        QTest::newRow("mount point") << "\\A\\" << "mount" << false;
    }
    void beginEdit()
    {
        QFETCH(QString, path);
        QFETCH(QString, setup);
        QFETCH(bool, allowed);
        testsupport::MessageBoxScript boxes;
        TreeFixture f;
        QVERIFY(f.start({"\\A", "\\B"}));
        f.key("\\", Qt::Key_Right);
        f.select(path);
        if (setup == "gone")
            QVERIFY(QDir(f.device.host("\\A")).removeRecursively());
        if (setup == "mount" && !platform::setFileAttributes("\\A", platform::FILE_ATTRIBUTE_TEMPORARY))
            QSKIP("stored attributes unsupported here");

        QPointer<QLineEdit> editor;
        if (setup == "tap") {
            QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, f.tree.visualItemRect(f.node(path)).center());
            QTRY_VERIFY((editor = f.tree.viewport()->findChild<QLineEdit *>()));
        } else {
            QTest::keyClick(&f.tree, Qt::Key_F2);
            editor = f.tree.viewport()->findChild<QLineEdit *>();
        }
        QCOMPARE(!editor.isNull(), allowed);
        if (editor) {
            QTest::keyClicks(editor, "Z");
            QTest::keyClick(editor, Qt::Key_Escape);
            QTRY_VERIFY(editor.isNull());
        }
        QCOMPARE(f.children("\\"), QStringList({"A", "B"}));
        QCOMPARE(f.device.exists("\\A"), setup != "gone");
    }
};

FERRIX_TEST(DirTreeRenameTest)
#include "tst_dirtreerename.moc"
