#include "app/caboutdlg.h"
#include "app/csplashdlg.h"
#include "common/testsuite.h"
#include "platform/shell.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The splash screen and the About box.
class SplashAboutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void splashClosesByItself()
    {
        CSplashDlg splash;
        QSignalSpy finished(&splash, &QDialog::finished);
        splash.show();
        QVERIFY(finished.wait(CSplashDlg::kCloseAfterMs + 3000));
        QVERIFY(!splash.isVisible());
        QCOMPARE(finished.count(), 1);
    }

    void splashTapClosesAtOnceWithoutLateTick()
    {
        CSplashDlg splash;
        QSignalSpy finished(&splash, &QDialog::finished);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QWidget *picture = splash.findChild<QWidget *>(QStringLiteral("picture"));
        QVERIFY(picture);
        QCOMPARE(picture->geometry(), splash.rect());
        QTest::mouseClick(picture, Qt::LeftButton);
        QVERIFY(!splash.isVisible());
        QCOMPARE(finished.count(), 1);
        // Had the timer survived, its tick would end the dialog once more.
        QVERIFY(!finished.wait(CSplashDlg::kCloseAfterMs + 500));
    }

    void splashStaysWhereItWasPut()
    {
        CSplashDlg splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        const QRect placed = splash.geometry();
        splash.move(placed.topLeft() + QPoint(37, 21));
        splash.update();
        QTRY_COMPARE(splash.geometry(), placed);
    }

    void visitWebsiteOpensTheBrowserAndStays()
    {
        // xdg-open must be found on PATH; it is never run.
        QTemporaryDir bin;
        QFile fake(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\n");
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
        QStringList started;
        platform::setProcessLauncher([&started](const QString &program, const QStringList &arguments) {
            started << program << arguments;
            return true;
        });

        CAboutDlg about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto *website = about.findChild<QPushButton *>(QStringLiteral("website"));
        QVERIFY(website);
        QTest::mouseClick(website, Qt::LeftButton);
        platform::setProcessLauncher({});
        qputenv("PATH", path);

        QCOMPARE(started.size(), 2);
        QVERIFY(started.at(0).endsWith(QLatin1String("/xdg-open")));
        QCOMPARE(started.at(1), QStringLiteral("https://ferrix.example.org/"));
        QVERIFY(about.isVisible());
    }

    void aboutClosesOnAnyTap_data()
    {
        QTest::addColumn<QString>("target"); // a child by name, or "" for the dialog's margin
        QTest::newRow("version text") << "version";
        QTest::newRow("address") << "address";
        QTest::newRow("picture") << "picture";
        QTest::newRow("icon") << "icon";
        QTest::newRow("margin") << "";
    }

    void aboutClosesOnAnyTap()
    {
        QFETCH(QString, target);
        CAboutDlg about;
        QSignalSpy finished(&about, &QDialog::finished);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        if (target.isEmpty()) {
            QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(2, about.height() - 2));
        } else {
            QWidget *child = about.findChild<QWidget *>(target);
            QVERIFY(child);
            QVERIFY(about.rect().contains(child->geometry()));
            // Where a real tap lands: whatever widget is under that point.
            const QPoint point = child->geometry().center();
            QWidget *hit = about.childAt(point);
            QTest::mouseClick(hit ? hit : &about, Qt::LeftButton, {},
                              hit ? hit->mapFrom(&about, point) : point);
        }
        QVERIFY(!about.isVisible());
        QCOMPARE(finished.count(), 1);
    }

    void aboutClosesOnKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }

    void aboutClosesOnKeys()
    {
        QFETCH(int, key);
        CAboutDlg about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key(key));
        QVERIFY(!about.isVisible());
    }
};

FERRIX_TEST(SplashAboutTest)
#include "tst_splashabout.moc"
