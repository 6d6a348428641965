#include "appfixture.h"

#include "app/caboutdlg.h"
#include "app/cferrixapp.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QTest>

// Start-up and the application's own commands.
class FerrixAppTest : public QObject {
    Q_OBJECT

    // Starts the program (tapping the splash away) on a device root of its own.
    static bool start(CFerrixApp &app)
    {
        apptest::tapSplashWhenShown();
        return app.InitInstance() && QTest::qWaitForWindowActive(app.GetMainWnd());
    }

private Q_SLOTS:
    void startUpShowsTheFrameWithTheTreeFocused()
    {
        testsupport::TempDeviceRoot root;
        QVERIFY(root.makeFolder(QStringLiteral("\\Temp")));
        CFerrixApp app;
        QVERIFY(start(app));
        CMainFrame *frame = app.GetMainWnd();
        QCOMPARE(apptest::mainFrames(), QList<CMainFrame *>{frame});
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Ferrix"));
        QTRY_VERIFY(frame->IsTreeFocused());
        // The first activation selected the root, so the list shows it.
        QTRY_COMPARE(frame->GetTreePane()->GetSelectedPath(), QStringLiteral("\\"));
    }

    void exitClosesWithoutAQuestion()
    {
        testsupport::TempDeviceRoot root;
        testsupport::MessageBoxScript boxes; // expects none
        CFerrixApp app;
        QVERIFY(start(app));
        QPointer<CMainFrame> frame = app.GetMainWnd();
        QVERIFY(frame->OnCommand(ids::ID_APP_EXIT));
        QTRY_VERIFY(frame.isNull());
        QVERIFY(boxes.shown().isEmpty());
    }

    void newDocumentKeepsTheOneFrame()
    {
        testsupport::TempDeviceRoot root;
        CFerrixApp app;
        QVERIFY(start(app));
        CMainFrame *frame = app.GetMainWnd();
        QTRY_VERIFY(frame->IsTreeFocused());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(apptest::mainFrames(), QList<CMainFrame *>{frame});
        QCOMPARE(app.GetMainWnd(), frame);
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->GetTreePane()->topLevelItemCount(), 1);
    }

    void aboutRunsModally()
    {
        testsupport::TempDeviceRoot root;
        CFerrixApp app;
        QVERIFY(start(app));
        bool seen = false;
        apptest::whenModal<CAboutDlg>([&seen](CAboutDlg *about) {
            seen = about->isVisible();
            QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(3, 3));
        });
        QVERIFY(app.GetMainWnd()->OnCommand(ids::ID_APP_ABOUT));
        QVERIFY(seen);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

FERRIX_TEST(FerrixAppTest)
#include "tst_ferrixapp.moc"
