#include "appfixture.h"

#include "app/cexecutedlg.h"
#include "common/messageboxscript.h"
#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "platform/attributes/fileattributes.h"
#include "platform/fs/filesystem.h"
#include "platform/ui/messagebox.h"
#include "properties/cfilepropertiesdialog.h"
#include "properties/systeminfosheet.h"
#include "resources/resourceids.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using testsupport::labelText;

namespace {
QLineEdit *field(QWidget *dialog, int id) { return testsupport::control<QLineEdit>(dialog, id); }
// launched: device path of the program, then its arguments; noFile: "No file selected" is shown.
struct LaunchCase { QString path, file, parameters; QStringList launched; bool noFile; };
} // namespace

// The Properties and Execute File commands: the sheet for the root, the
// file dialog otherwise, and what Execute File launches from what was typed.
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
    // Execute File, whatever has the focus, is filled in with the list's
    // first selected row and the tree's folder.
    void enabled()
    {
        QFETCH(QString, focus);
        QFETCH(bool, rowSelected);
        apptest::FrameFixture f({"\\a.txt", "\\b c.exe", "\\d.txt"});
        QVERIFY(f.ok);
        CFileListViewEx *list = f.frame->GetListPane();
        QTRY_COMPARE(list->GetItemCount(), 3);
        list->clearSelection();
        for (int row : rowSelected ? QList<int>{2, 1} : QList<int>{})
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
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

        const QString expected = rowSelected ? list->GetItemName(1) : QString();
        const auto ran = testsupport::whenModal<CExecuteDlg>([expected](CExecuteDlg *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Execute File"));
            QCOMPARE(field(d, 1003)->text(), expected);
            QCOMPARE(field(d, 1004)->text(), QStringLiteral("\\"));
            QCOMPARE(field(d, 1005)->text(), QString());
        });
        QVERIFY(f.frame->OnCommand(ids::ID_EXECUTE));
        QVERIFY(*ran);
    }

    void targets_data()
    {
        QTest::addColumn<QString>("folder"); // the tree's, below the root
        QTest::addColumn<int>("row");        // the list's focused row, -1: the tree has the focus
        QTest::newRow("root: the sheet, Power in front") << "" << -1;
        QTest::newRow("folder: its path with the backslash dropped") << "Docs" << -1;
        QTest::newRow("list: the focused row's file") << "" << 1;
    }
    // From the list, a change made in the dialog shows in the list and the
    // row keeps the focus.
    void targets()
    {
        QFETCH(QString, folder);
        QFETCH(int, row);
        apptest::FrameFixture f({"\\Docs\\a.txt", "\\b.txt", "\\c.txt"});
        QVERIFY(f.ok);
        f.focusOn(folder, row);
        CFileListViewEx *list = f.frame->GetListPane();
        const QString path = row >= 0 ? "\\" + list->GetItemName(row) : folder.isEmpty() ? QString() : "\\" + folder;
        const auto ran = testsupport::whenModal<QDialog>([path, row](QDialog *d) {
            if (auto *sheet = qobject_cast<SystemInfoSheet *>(d)) {
                QVERIFY(path.isEmpty());
                QCOMPARE(sheet->GetTabControl()->tabText(sheet->GetTabControl()->currentIndex()), QStringLiteral("Power"));
                return;
            }
            QCOMPARE(qobject_cast<CFilePropertiesDialog *>(d)->GetPath(), path);
            QCOMPARE(labelText(d, 1001), row < 0 ? QStringLiteral("7b") : QStringLiteral("7 bytes"));
            if (row < 0)
                return;
            QTest::mouseClick(d->findChild<QCheckBox *>("1004"), Qt::LeftButton);
            QTest::mouseClick(d->findChild<QPushButton *>("1"), Qt::LeftButton);
        });
        QVERIFY(f.frame->OnCommand(ids::ID_PROPERTIES));
        QVERIFY(*ran);
        if (row >= 0) {
            QVERIFY(platform::getFileAttributes(path) & platform::FILE_ATTRIBUTE_READONLY);
            QCOMPARE(list->currentIndex().row(), row);
            QVERIFY(list->GetItemText(row, CFileLister::ColAttrs).contains(u'R'));
        }
    }

    void launch_data()
    {
        QTest::addColumn<LaunchCase>("row");
        QTest::newRow("root and a name") << LaunchCase{"\\", "calc.exe", "", {"\\calc.exe"}, false};
        QTest::newRow("both separators trimmed") << LaunchCase{"\\Windows\\", "\\pword.exe", "", {"\\Windows\\pword.exe"}, false};
        QTest::newRow("parameters split, quotes group") << LaunchCase{"\\", "calc.exe", "-a \"two words\"  \\Windows\\pword.exe",
            {"\\calc.exe", "-a", "two words", "<root>/Windows/pword.exe"}, false};
        QTest::newRow("no such file: nothing said") << LaunchCase{"\\", "nothing.exe", "", {}, false};
        QTest::newRow("empty Filename") << LaunchCase{"\\Windows\\", "", "", {}, true};
    }
    // The dialog stays open after OK, whatever happened.
    void launch()
    {
        auto [path, file, parameters, launched, noFile] = testsupport::fetchRow<LaunchCase>();
        testsupport::TempDeviceRoot root;
        for (const QString program : {"\\calc.exe", "\\Windows\\pword.exe"}) {
            QVERIFY(root.makeFile(program, "#!/bin/sh\n"));
            QVERIFY(QFile::setPermissions(root.host(program), QFile::ReadOwner | QFile::ExeOwner));
        }
        const apptest::Launches started;
        testsupport::MessageBoxScript boxes;
        if (noFile)
            boxes.expect("No file selected", platform::IDOK);
        CExecuteDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const auto &[id, text] : {std::pair{1004, path}, {1003, file}, {1005, parameters}}) {
            field(&dialog, id)->clear();
            QTest::keyClicks(field(&dialog, id), text);
        }
        QVERIFY(testsupport::savePicture(&dialog, "info-execute-" + QString::fromLatin1(QTest::currentDataTag())));
        QTest::keyClick(field(&dialog, 1005), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        if (!launched.isEmpty())
            launched[0] = root.host(launched[0]);
        launched.replaceInStrings("<root>", root.hostPath());
        QCOMPARE(started, launched.isEmpty() ? QList<QStringList>{} : QList<QStringList>{launched});
        if (noFile)
            QCOMPARE(boxes.shown().first().type, 0u);
        QTest::mouseClick(dialog.findChild<QPushButton *>("2"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
};

FERRIX_TEST(InfoCommandsTest)
#include "tst_infocommands.moc"
