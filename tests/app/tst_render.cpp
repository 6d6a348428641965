#include "appfixture.h"

#include "app/caboutdlg.h"
#include "app/csplashdlg.h"
#include "common/testsuite.h"
#include "resources/resourceids.h"

#include <QTest>

// Pictures of the windows, to look at: test-output/app-*.png.
class RenderTest : public QObject {
    Q_OBJECT

    static bool save(QWidget *widget, const QString &name)
    {
        return widget->grab().save(testsupport::outputFolder() + QStringLiteral("/app-%1.png").arg(name));
    }

private Q_SLOTS:
    void mainWindow()
    {
        apptest::FrameFixture fixture;
        for (const char *file : {"\\notes.txt", "\\photo.jpg", "\\setup.exe", "\\My Documents\\a.doc"})
            QVERIFY(fixture.root.makeFile(QString::fromLatin1(file), "content"));
        QVERIFY(fixture.open());
        fixture.frame->resize(320, 400);
        QTRY_VERIFY(fixture.frame->IsTreeFocused());
        QVERIFY(save(fixture.frame, QStringLiteral("mainframe-menu")));
        QVERIFY(fixture.frame->OnCommand(ids::ID_TOGGLE_TOOLBAR));
        QCoreApplication::processEvents();
        QVERIFY(save(fixture.frame, QStringLiteral("mainframe-toolbar")));
    }

    void dialogs()
    {
        CSplashDlg splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QVERIFY(save(&splash, QStringLiteral("splash")));
        splash.close();

        CAboutDlg about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(save(&about, QStringLiteral("about")));
    }

};

FERRIX_TEST(RenderTest)
#include "tst_render.moc"
