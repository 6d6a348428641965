#include "appfixture.h"

#include "app/caboutdlg.h"
#include "app/closeontermination.h"
#include "app/cexecutedlg.h"
#include "common/testsuite.h"
#include "platform/shell/terminationrequests.h"
#include "resources/resourceids.h"

#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <csignal>

namespace {
// A row: where the modal window comes from (the list row or tree folder
// given the focus, the menu and the menu's key that opens it), and the
// modal window the signal arrives in (a box may stand over a dialog).
struct ModalCase {
    QString focus;
    int row;
    QString menu;
    char key;
    QString over;
};

QMenu *menuTitled(QWidget *frame, const QString &title)
{
    for (QAction *action : frame->findChild<QMenuBar *>(QStringLiteral("menuBar"))->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}
} // namespace

// SIGTERM (a logout, a shutdown, kill) while a modal window is open ends the
// program as Exit does: every window gets its way out, and the frame goes
// only once none is left. Each window is opened as the user opens it, by
// its menu's key: the window's loop then runs inside the menu's key
// handler, and a frame deleted from that loop took the menu with it.
class TerminationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whateverIsOpen_data()
    {
        QTest::addColumn<ModalCase>("row");
        QTest::newRow("a question") << ModalCase{"d", -1, "&Files", 'd', "QMessageBox"};
        QTest::newRow("About") << ModalCase{"", -1, "&Tools", 'a', "CAboutDlg"};
        QTest::newRow("Execute File") << ModalCase{"d", -1, "&Files", 'e', "CExecuteDlg"};
        QTest::newRow("No file selected, over Execute File") << ModalCase{"d", -1, "&Files", 'e', "QMessageBox"};
        QTest::newRow("Find Files") << ModalCase{"", -1, "&Tools", 'f', "CFindFilesDialog"};
        QTest::newRow("file properties") << ModalCase{"d", 0, "&Files", 'p', "CFilePropertiesDialog"};
        QTest::newRow("system information") << ModalCase{"", -1, "&Files", 'p', "SystemInfoSheet"};
    }
    void whateverIsOpen()
    {
        const ModalCase row = testsupport::fetchRow<ModalCase>();
        apptest::FrameFixture f({"\\d\\a.txt"});
        QVERIFY(f.ok);
        QPointer<CMainFrame> frame = f.frame;
        f.appCommands.OnCommand(ids::ID_APP_ABOUT, [frame] { ShowAboutBox(frame); });
        platform::TerminationRequests termination;
        QVERIFY(termination.isListening());
        QObject::connect(&termination, &platform::TerminationRequests::requested, [&] { CloseOnTermination(frame); });
        // The frame must go from the program's own loop, never from a
        // window's loop still running over it.
        int loopLevelAtDestroy = -1;
        QObject::connect(frame, &QObject::destroyed, [&] { loopLevelAtDestroy = QThread::currentThread()->loopLevel(); });

        // The signal comes while the window is up and stays up: nothing
        // but the termination request may take it down. A dialog under it
        // gets OK pressed once.
        bool signalled = false;
        QPointer<QWidget> confirmed;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *window = QApplication::activeModalWidget();
            if (signalled || !window || !window->isVisible() || window == confirmed)
                return;
            if (QString::fromLatin1(window->metaObject()->className()) == row.over) {
                signalled = true;
                ::raise(SIGTERM);
                return;
            }
            confirmed = window;
            // Clicked from the event loop: a box it opens must not run
            // inside this timer, which would then stay blocked.
            for (QPushButton *button : window->findChildren<QPushButton *>())
                if (button->text().remove(u'&') == QLatin1String("OK"))
                    QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
        });
        poll.start(5);
        f.focusOn(row.focus, row.row);
        QPointer<QMenu> menu = menuTitled(frame, row.menu);
        QVERIFY(menu);
        // Run from the program's own event loop, which ends with the last window.
        QTimer::singleShot(0, frame, [&] {
            menu->popup(frame->mapToGlobal(QPoint(0, 0)));
            QTest::keyClick(menu, row.key);
        });
        QApplication::exec();
        QVERIFY(signalled);
        QTRY_VERIFY(!frame); // closed, and deleted with it
        QCOMPARE(loopLevelAtDestroy, 1);
        QVERIFY(f.root.exists("\\d\\a.txt")); // the question got its No
    }
};

FERRIX_TEST(TerminationTest)
#include "tst_termination.moc"
