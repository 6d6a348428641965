#include "appfixture.h"

#include "app/cexecutedlg.h"
#include "common/messageboxscript.h"
#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "platform/shell.h"
#include "platform/ui/messagebox.h"
#include "resources/resourceids.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace {
QLineEdit *field(QWidget *dialog, int id) { return testsupport::control<QLineEdit>(dialog, id); }
} // namespace

// Execute File: what is launched from what was typed.
class ExecuteDlgTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { platform::setProcessLauncher({}); }

    void launch_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QStringList>("launched"); // device path of the program, then its arguments
        QTest::addColumn<bool>("noFile");          // "No file selected" is shown

        QTest::newRow("root and a name") << "\\" << "calc.exe" << "" << QStringList{"\\calc.exe"} << false;
        QTest::newRow("both separators trimmed") << "\\Windows\\" << "\\pword.exe" << "" << QStringList{"\\Windows\\pword.exe"}
                                                 << false;
        QTest::newRow("name with a subfolder") << "\\Folder\\" << "Sub\\x.exe" << "" << QStringList{"\\Folder\\Sub\\x.exe"}
                                               << false;
        QTest::newRow("parameters split, quotes group") << "\\" << "calc.exe" << "-a \"two words\"  \\Windows\\pword.exe"
            << QStringList{"\\calc.exe", "-a", "two words", "<root>/Windows/pword.exe"} << false;
        QTest::newRow("no such file: nothing said") << "\\" << "nothing.exe" << "" << QStringList{} << false;
        QTest::newRow("empty Filename") << "\\Windows\\" << "" << "" << QStringList{} << true;
        QTest::newRow("a backslash alone") << "\\" << "\\" << "" << QStringList{} << true;
    }
    // The dialog stays open after OK, whatever happened.
    void launch()
    {
        QFETCH(QString, path);
        QFETCH(QString, file);
        QFETCH(QString, parameters);
        QFETCH(QStringList, launched);
        QFETCH(bool, noFile);
        testsupport::TempDeviceRoot root;
        for (const QString &program : {"\\calc.exe", "\\Windows\\pword.exe", "\\Folder\\Sub\\x.exe"}) {
            QVERIFY(root.makeFile(program, "#!/bin/sh\n"));
            QVERIFY(QFile::setPermissions(root.host(program), QFile::ReadOwner | QFile::ExeOwner));
        }
        QStringList started;
        platform::setProcessLauncher([&started](const QString &program, const QStringList &args) {
            started = QStringList{program} + args;
            return true;
        });
        testsupport::MessageBoxScript boxes;
        if (noFile)
            boxes.expect("No file selected", platform::IDOK);
        CExecuteDlg dialog;
        dialog.m_strPath = QStringLiteral("\\Folder\\");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(field(&dialog, 1004)->text(), QStringLiteral("\\Folder\\"));
        for (const auto &[id, text] : {std::pair{1004, path}, {1003, file}, {1005, parameters}}) {
            field(&dialog, id)->clear();
            QTest::keyClicks(field(&dialog, id), text);
        }
        QTest::keyClick(field(&dialog, 1005), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        if (!launched.isEmpty())
            launched[0] = root.host(launched[0]);
        QCOMPARE(started, launched.replaceInStrings("<root>", root.hostPath()));
        if (noFile)
            QCOMPARE(boxes.shown().first().type, 0u);
        QTest::mouseClick(dialog.findChild<QPushButton *>("2"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void prefilledByFrame_data()
    {
        QTest::addColumn<bool>("rowSelected");
        QTest::newRow("first selected row") << true;
        QTest::newRow("nothing selected") << false;
    }
    // The frame fills in the list's first selected row and the tree's folder.
    void prefilledByFrame()
    {
        QFETCH(bool, rowSelected);
        apptest::FrameFixture f({"\\a.txt", "\\b c.exe", "\\d.txt"});
        QVERIFY(f.ok);
        CFileListViewEx *list = f.frame->GetListPane();
        QTRY_COMPARE(list->GetItemCount(), 3);
        list->setFocus();
        for (int row : rowSelected ? QList<int>{2, 1} : QList<int>{})
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
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
};

FERRIX_TEST(ExecuteDlgTest)
#include "tst_executedlg.moc"
