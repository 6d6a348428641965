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

QLineEdit *field(QWidget *dialog, int id)
{
    return dialog->findChild<QLineEdit *>(QString::number(id));
}

struct Launch {
    QString program;
    QStringList arguments;
};

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
        QTest::addColumn<QString>("launched"); // device path, empty: nothing
        QTest::addColumn<QStringList>("arguments");

        QTest::newRow("root and a name") << "\\" << "calc.exe" << "" << "\\calc.exe" << QStringList();
        QTest::newRow("both separators trimmed") << "\\Windows\\" << "\\pword.exe" << "" << "\\Windows\\pword.exe"
                                                 << QStringList();
        QTest::newRow("path without separator") << "\\Windows" << "pword.exe" << "" << "\\Windows\\pword.exe"
                                                << QStringList();
        QTest::newRow("name with a subfolder") << "\\Folder\\" << "Sub\\x.exe" << "" << "\\Folder\\Sub\\x.exe"
                                               << QStringList();
        QTest::newRow("parameters split, quotes group")
            << "\\" << "calc.exe" << "-a \"two words\"  \\Windows\\pword.exe" << "\\calc.exe"
            << QStringList{"-a", "two words", "<root>/Windows/pword.exe"};
        QTest::newRow("no such file") << "\\" << "nothing.exe" << "" << "" << QStringList();
    }
    // The dialog stays open after OK, whether or not anything started.
    void launch()
    {
        QFETCH(QString, path);
        QFETCH(QString, file);
        QFETCH(QString, parameters);
        QFETCH(QString, launched);
        QFETCH(QStringList, arguments);
        testsupport::TempDeviceRoot root;
        for (const QString &program : {"\\calc.exe", "\\Windows\\pword.exe", "\\Folder\\Sub\\x.exe"}) {
            QVERIFY(root.makeFile(program, "#!/bin/sh\n"));
            QVERIFY(QFile::setPermissions(root.host(program), QFile::ReadOwner | QFile::ExeOwner));
        }
        QList<Launch> launches;
        platform::setProcessLauncher([&launches](const QString &program, const QStringList &args) {
            launches.append({program, args});
            return true;
        });
        CExecuteDlg dialog;
        dialog.m_strPath = QStringLiteral("\\Folder\\");
        dialog.m_strFileName = QStringLiteral("x.exe");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(field(&dialog, 1004)->text(), QStringLiteral("\\Folder\\"));
        QCOMPARE(field(&dialog, 1003)->text(), QStringLiteral("x.exe"));
        QCOMPARE(field(&dialog, 1005)->text(), QString());
        for (const auto &[id, text] : {std::pair{1004, path}, {1003, file}, {1005, parameters}}) {
            field(&dialog, id)->clear();
            QTest::keyClicks(field(&dialog, id), text);
        }
        QTest::mouseClick(dialog.findChild<QPushButton *>("1"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(launches.size(), launched.isEmpty() ? 0 : 1);
        if (!launched.isEmpty()) {
            QCOMPARE(launches.first().program, root.host(launched));
            arguments.replaceInStrings("<root>", root.hostPath());
            QCOMPARE(launches.first().arguments, arguments);
        }
    }

    void noFileSelected_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("empty") << "";
        QTest::newRow("a backslash alone") << "\\";
    }
    void noFileSelected()
    {
        QFETCH(QString, file);
        testsupport::TempDeviceRoot root;
        int launches = 0;
        platform::setProcessLauncher([&launches](const QString &, const QStringList &) { return ++launches, true; });
        testsupport::MessageBoxScript boxes;
        boxes.expect("No file selected", platform::IDOK);
        CExecuteDlg dialog;
        dialog.m_strPath = QStringLiteral("\\");
        dialog.m_strFileName = file;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(field(&dialog, 1003), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().type, 0u);
        QCOMPARE(launches, 0);
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
        if (rowSelected) {
            list->selectionModel()->select(list->model()->index(2, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
            list->selectionModel()->select(list->model()->index(1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
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
