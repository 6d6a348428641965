#include "appfixture.h"

#include "app/ccommandbar.h"
#include "app/cferrixapp.h"
#include "app/csplashdlg.h"
#include "common/messageboxscript.h"
#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QMenuBar>
#include <QWindow>
#include <QToolButton>

// The program's start-up, the frame's keyboard commands, its panes, the
// focus between them and its command bar.
class MainFrameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // One run of the program: start-up, Ctrl+N and Exit, without a message
    // box anywhere.
    void runOfTheProgram()
    {
        testsupport::TempDeviceRoot root;
        testsupport::MessageBoxScript boxes; // expects none
        const auto frameCount = [] {
            const QWidgetList all = QApplication::topLevelWidgets();
            return std::count_if(all.begin(), all.end(), [](QWidget *w) { return qobject_cast<CMainFrame *>(w); });
        };
        CFerrixApp app;
        const auto splashTapped = testsupport::whenModal<CSplashDlg>(
            [](CSplashDlg *splash) { QTest::mouseClick(splash->findChild<QWidget *>(QStringLiteral("picture")), Qt::LeftButton); });
        QVERIFY(app.InitInstance() && *splashTapped);
        QPointer<CMainFrame> frame = app.GetMainWnd();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        QCOMPARE(frameCount(), 1);
        QCOMPARE(frame->windowTitle(), QStringLiteral("Ferrix"));
        QTRY_VERIFY(frame->IsTreeFocused());
        // The first activation selected the root, so the list shows it.
        QTRY_COMPARE(frame->GetTreePane()->GetSelectedPath(), QStringLiteral("\\"));

        // A new document keeps the one frame and its one tree.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(frameCount(), 1);
        QCOMPARE(app.GetMainWnd(), frame);
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->GetTreePane()->topLevelItemCount(), 1);

        QVERIFY(frame->OnCommand(ids::ID_APP_EXIT));
        QTRY_VERIFY(frame.isNull());
    }

    // With two panes, next and previous pane both go to the other one. Back
    // from a program the list opened, the list has the focus again. Refresh
    // belongs to the tree, and reaches it from the list too. Minimising closes.
    void focusRefreshAndMinimise()
    {
        apptest::FrameFixture f;
        QVERIFY(f.ok);
        QTRY_COMPARE(f.frame->GetTreePane()->GetSelectedPath(), QStringLiteral("\\"));
        QTRY_VERIFY(f.frame->IsTreeFocused());
        for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier})
            for (const bool listNext : {true, false}) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, modifiers);
                QCOMPARE(f.frame->IsListFocused(), listNext);
                QCOMPARE(f.frame->IsTreeFocused(), !listNext);
            }
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        f.frame->GetListPane()->m_bReturnFocus = true;
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        QTRY_VERIFY(f.frame->IsListFocused());
        QVERIFY(!f.frame->GetListPane()->m_bReturnFocus);

        const int before = f.frame->GetListPane()->GetItemCount();
        QVERIFY(f.root.makeFile(QStringLiteral("\\new.txt")));
        QVERIFY(f.frame->OnCommand(ids::ID_REFRESH));
        QCOMPARE(f.frame->GetListPane()->GetItemCount(), before + 1);
        f.frame->showMinimized();
        QTRY_VERIFY(f.frame.isNull());
    }

    // Making the frame brings a window titled Ferrix that is already up to
    // the front, not whichever window is in front.
    void earlierWindowComesToFront()
    {
        QWindow earlier, other;
        earlier.setTitle(QStringLiteral("Ferrix"));
        other.setTitle(QStringLiteral("Other"));
        earlier.show();
        other.show();
        other.requestActivate();
        QTRY_COMPARE(QGuiApplication::focusWindow(), &other);
        testsupport::TempDeviceRoot root;
        CFerrixDoc document;
        CommandMap appCommands;
        const std::unique_ptr<CMainFrame> frame(new CMainFrame);
        QVERIFY(frame->LoadFrame(&document, &appCommands));
        QTRY_COMPARE(QGuiApplication::focusWindow(), &earlier);
    }

    // Toggling keeps the focus in the pane: no part of the bar takes it.
    void toggleSwitchesBetweenMenuAndToolBar()
    {
        apptest::FrameFixture f;
        QVERIFY(f.ok);
        CCommandBar *bar = f.frame->GetCommandBar();
        f.frame->GetListPane()->setFocus();
        QTRY_VERIFY(f.frame->IsListFocused());
        for (const bool full : {false, true, false}) {
            QCOMPARE(f.frame->IsFullToolBar(), full);
            QCOMPARE(bar->GetMenuBar() == nullptr, full);
            // The full bar's buttons are the frame's own commands.
            for (int id : {ids::ID_EDIT_CUT, ids::ID_EDIT_COPY, ids::ID_EDIT_PASTE, ids::ID_FILE_DELETE, ids::ID_NEW_FOLDER,
                           ids::ID_PROPERTIES, ids::ID_REFRESH})
                QCOMPARE(bar->widgetForAction(f.frame->action(id)) != nullptr, full);
            for (QWidget *child : bar->findChildren<QWidget *>())
                QCOMPARE(child->focusPolicy(), Qt::NoFocus);
            auto *toggle = qobject_cast<QToolButton *>(bar->widgetForAction(f.frame->action(ids::ID_TOGGLE_TOOLBAR)));
            QVERIFY(toggle);
            QTest::mouseClick(toggle, Qt::LeftButton);
            QCoreApplication::processEvents();
            QVERIFY(f.frame->IsListFocused());
        }
    }
};

FERRIX_TEST(MainFrameTest)
#include "tst_mainframe.moc"
