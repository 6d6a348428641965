#include "appfixture.h"

#include "app/cferrixapp.h"
#include "app/csplashdlg.h"
#include "common/messageboxscript.h"
#include "common/testsuite.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QTimer>

// Start-up and the application's own commands.
class FerrixAppTest : public QObject {
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
        // Taps the splash away as soon as it runs.
        auto *poll = new QTimer(&app);
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            if (auto *splash = qobject_cast<CSplashDlg *>(QApplication::activeModalWidget())) {
                poll->stop();
                QTest::mouseClick(splash->findChild<QWidget *>(QStringLiteral("picture")), Qt::LeftButton);
            }
        });
        poll->start(10);
        QVERIFY(app.InitInstance());
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
};

FERRIX_TEST(FerrixAppTest)
#include "tst_ferrixapp.moc"
