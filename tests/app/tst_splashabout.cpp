#include "appfixture.h"

#include "app/caboutdlg.h"
#include "app/csplashdlg.h"
#include "common/finger.h"
#include "common/modaldialog.h"
#include "dialogs/dialogunits.h"
#include "common/testsuite.h"

#include <QSignalSpy>
#include <QTemporaryDir>

// The splash screen and the About box.
class SplashAboutTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_bin; // holds an xdg-open for the desktop lookup; it is never run
    testsupport::PathChange m_path{m_bin.path()};

private Q_SLOTS:
    void initTestCase() { QVERIFY(testsupport::writeHostFile(QFile::encodeName(m_bin.filePath("xdg-open")), {}, 0500)); }

    void splashCloses_data()
    {
        QTest::addColumn<bool>("tap");
        QTest::newRow("after its time") << false;
        QTest::newRow("at once on a tap") << true;
    }
    // It stays where it was put; the picture covers it.
    void splashCloses()
    {
        QFETCH(bool, tap);
        CSplashDlg splash;
        QSignalSpy finished(&splash, &QDialog::finished);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        const QRect placed = splash.geometry();
        splash.move(placed.topLeft() + QPoint(37, 21));
        splash.update();
        QTRY_COMPARE(splash.geometry(), placed);
        QWidget *picture = splash.findChild<QWidget *>(QStringLiteral("picture"));
        QVERIFY(picture);
        QCOMPARE(splash.size(), DialogUnits(splash.font()).toPixels(150, 63));
        QCOMPARE(picture->geometry(), splash.rect());
        QVERIFY(testsupport::savePicture(&splash, "app-splash"));
        if (tap)
            QTest::mouseClick(picture, Qt::LeftButton);
        else
            QVERIFY(finished.wait(CSplashDlg::kCloseAfterMs + 3000));
        QVERIFY(!splash.isVisible());
        QCOMPARE(finished.count(), 1);
        // Had the timer survived, its tick would end the dialog once more.
        QVERIFY(!finished.wait(CSplashDlg::kCloseAfterMs + 500));
    }

    void aboutTaps_data()
    {
        QTest::addColumn<QString>("target"); // a child by name, "" for the margin, or a key
        QTest::newRow("Visit Website") << "website";
        QTest::newRow("margin") << "";
        QTest::newRow("finger on the margin") << "finger";
        QTest::newRow("right click on the margin") << "right";
        QTest::newRow("Esc") << "key Escape";
        QTest::newRow("Enter") << "key Return";
    }
    // A tap anywhere closes the box, and so do Esc and Enter; only the
    // button opens the address, and the box stays, as it does for a right
    // click.
    void aboutTaps()
    {
        QFETCH(QString, target);
        const apptest::Launches started;
        CAboutDlg about;
        QSignalSpy finished(&about, &QDialog::finished);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        if (target.startsWith(QLatin1String("key "))) {
            QTest::keyClick(&about, target.endsWith(QLatin1String("Escape")) ? Qt::Key_Escape : Qt::Key_Return);
        } else if (target.isEmpty() || target == QLatin1String("right")) {
            QTest::mouseClick(&about, target.isEmpty() ? Qt::LeftButton : Qt::RightButton, {},
                              QPoint(2, about.height() - 2));
        } else if (target == QLatin1String("finger")) {
            QTest::touchEvent(&about, testsupport::touchScreen()).press(0, QPoint(2, about.height() - 2));
            QTest::touchEvent(&about, testsupport::touchScreen()).release(0, QPoint(2, about.height() - 2));
        } else {
            QWidget *child = about.findChild<QWidget *>(target);
            QVERIFY(child);
            QVERIFY(about.rect().contains(child->geometry()));
            // Where a real tap lands: whatever widget is under that point.
            const QPoint point = child->geometry().center();
            QWidget *hit = about.childAt(point);
            QTest::mouseClick(hit ? hit : &about, Qt::LeftButton, {}, hit ? hit->mapFrom(&about, point) : point);
        }
        const bool website = target == QLatin1String("website");
        const bool stays = website || target == QLatin1String("right");
        QVERIFY(!website || testsupport::savePicture(&about, "app-about"));
        QCOMPARE(about.isVisible(), stays);
        QCOMPARE(finished.count(), stays ? 0 : 1);
        const QStringList opened{m_bin.filePath(QStringLiteral("xdg-open")), "https://ferrix.example.org/"};
        QCOMPARE(started, website ? QList<QStringList>{opened} : QList<QStringList>{});
    }
};

FERRIX_TEST(SplashAboutTest)
#include "tst_splashabout.moc"
