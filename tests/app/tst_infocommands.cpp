#include "appfixture.h"

#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "platform/fileattributes.h"
#include "platform/filesystem.h"
#include "properties/cfilepropertiesdialog.h"
#include "properties/systeminfosheet.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using testsupport::labelText;

// The Properties command: the sheet for the root, the file dialog otherwise.
class InfoCommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void enabled_data()
    {
        QTest::addColumn<QString>("focus"); // tree, list, other
        QTest::addColumn<bool>("rowSelected");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("tree") << "tree" << false << true;
        QTest::newRow("list with a selected row") << "list" << true << true;
        QTest::newRow("list without one") << "list" << false << false;
        QTest::newRow("neither pane") << "other" << true << false;
    }
    void enabled()
    {
        QFETCH(QString, focus);
        QFETCH(bool, rowSelected);
        apptest::FrameFixture f({"\\a.txt"});
        QVERIFY(f.ok);
        CFileListViewEx *list = f.frame->GetListPane();
        QTRY_COMPARE(list->GetItemCount(), 1);
        if (rowSelected)
            list->selectRow(0);
        else
            list->clearSelection();
        QLineEdit other(f.frame);
        other.show();
        QWidget *target = focus == "tree" ? static_cast<QWidget *>(f.frame->GetTreePane())
                        : focus == "list" ? static_cast<QWidget *>(list) : &other;
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        f.frame->UpdateCommands();
        QTEST(f.frame->action(ids::ID_PROPERTIES)->isEnabled(), "enabled");
        for (int id : {ids::ID_EXECUTE, ids::ID_SEND_IR, ids::ID_RECEIVE_IR})
            QVERIFY(f.frame->action(id)->isEnabled());
    }

    void treeTargets_data()
    {
        QTest::addColumn<QString>("folder"); // below the root, "" for the root itself
        QTest::newRow("root: the sheet, Power in front") << "";
        QTest::newRow("folder: its path with the backslash dropped") << "Docs";
    }
    void treeTargets()
    {
        QFETCH(QString, folder);
        apptest::FrameFixture f({"\\Docs\\a.txt"});
        QVERIFY(f.ok);
        CDirTreeView *tree = f.frame->GetTreePane();
        tree->topLevelItem(0)->setExpanded(true);
        if (!folder.isEmpty())
            tree->setCurrentItem(tree->topLevelItem(0)->child(0));
        QTRY_COMPARE(tree->GetSelectedPath(), folder.isEmpty() ? QStringLiteral("\\") : "\\" + folder + "\\");
        tree->setFocus();
        QTRY_VERIFY(f.frame->IsTreeFocused());
        const auto ran = testsupport::whenModal<QDialog>([folder](QDialog *d) {
            if (auto *sheet = qobject_cast<SystemInfoSheet *>(d)) {
                QVERIFY(folder.isEmpty());
                QCOMPARE(sheet->GetTabControl()->tabText(sheet->GetTabControl()->currentIndex()), QStringLiteral("Power"));
            } else {
                QCOMPARE(qobject_cast<CFilePropertiesDialog *>(d)->GetPath(), "\\" + folder);
                QCOMPARE(labelText(d, 1001), QStringLiteral("7b"));
            }
        });
        QVERIFY(f.frame->OnCommand(ids::ID_PROPERTIES));
        QVERIFY(*ran);
    }

    // From the list: the focused row's file; afterwards the list shows the
    // change and the row keeps the focus.
    void listRowShowsTheDialog()
    {
        apptest::FrameFixture f({"\\a.txt", "\\b.txt", "\\c.txt"});
        QVERIFY(f.ok);
        CFileListViewEx *list = f.frame->GetListPane();
        QTRY_COMPARE(list->GetItemCount(), 3);
        list->setFocus();
        list->selectRow(1);
        QTRY_VERIFY(f.frame->IsListFocused());
        const QString name = list->GetItemName(1);
        const auto ran = testsupport::whenModal<CFilePropertiesDialog>([name](CFilePropertiesDialog *d) {
            QCOMPARE(d->GetPath(), "\\" + name);
            QTest::mouseClick(d->findChild<QCheckBox *>("1004"), Qt::LeftButton);
            QTest::mouseClick(d->findChild<QPushButton *>("1"), Qt::LeftButton);
        });
        QVERIFY(f.frame->OnCommand(ids::ID_PROPERTIES));
        QVERIFY(*ran);
        QVERIFY(platform::getFileAttributes("\\" + name) & platform::FILE_ATTRIBUTE_READONLY);
        QCOMPARE(list->currentIndex().row(), 1);
        QVERIFY(list->GetItemText(1, CFileLister::ColAttrs).contains(u'R'));
    }
};

FERRIX_TEST(InfoCommandsTest)
#include "tst_infocommands.moc"
