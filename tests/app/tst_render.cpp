#include "appfixture.h"

#include "app/caboutdlg.h"
#include "app/csplashdlg.h"
#include "common/testsuite.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QSplitter>

// Pictures of the windows, to look at: test-output/app-*.png.
class RenderTest : public QObject {
    Q_OBJECT

    static bool save(QWidget *w, const char *name)
    {
        if (!w->isVisible()) {
            w->show();
            if (!QTest::qWaitForWindowExposed(w))
                return false;
        }
        return w->grab().save(QStringLiteral("%1/app-%2.png").arg(testsupport::outputFolder(), QLatin1String(name)));
    }

private Q_SLOTS:
    void windows()
    {
        apptest::FrameFixture f({"\\notes.txt", "\\photo.jpg", "\\setup.exe", "\\My Documents\\a.doc"});
        QVERIFY(f.ok);
        f.frame->resize(320, 400);
        QTRY_VERIFY(f.frame->IsTreeFocused());
        // The tree keeps its height above the list, whatever the frame's.
        QCOMPARE(f.frame->GetSplitter()->widget(0), static_cast<QWidget *>(f.frame->GetTreePane()));
        QTRY_COMPARE(f.frame->GetSplitter()->sizes().at(0), 100);
        QVERIFY(save(f.frame, "mainframe-menu"));
        QVERIFY(f.frame->OnCommand(ids::ID_TOGGLE_TOOLBAR));
        QCoreApplication::processEvents();
        QVERIFY(save(f.frame, "mainframe-toolbar"));

        CSplashDlg splash;
        QVERIFY(save(&splash, "splash"));
        CAboutDlg about;
        QVERIFY(save(&about, "about"));
    }
};

FERRIX_TEST(RenderTest)
#include "tst_render.moc"
