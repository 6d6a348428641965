#include "opsstory.h"

#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/longwork.h"
#include "progress/cprogresswnd.h"
#include "progress/progressservice.h"

#include <QAccessible>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using L = QStringList;

// The progress window of a paste, looked at while the paste asks whether
// to go on after a failed file: when it shows, what it tells a screen
// reader, and what Cancel and Escape do to the rest of the paste.
class ProgressWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { ProgressService::setClock({}); }

    void atQuestion_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QStringList>("checks");
        QTest::newRow("not before its delay") << qint64(999) << "" << L{"/t/c.txt=C"};
        QTest::newRow("past its delay") << qint64(1000) << "" << L{"/t/c.txt=C"};
        QTest::newRow("Cancel stops before the next file") << qint64(1500) << "cancel" << L{"/t/a.txt", "!/t/c.txt", "row a.txt"};
        QTest::newRow("Escape stops before the next file") << qint64(1500) << "escape" << L{"/t/a.txt", "!/t/c.txt"};
    }
    void atQuestion()
    {
        QFETCH(qint64, elapsed);
        QFETCH(QString, press);
        QFETCH(QStringList, checks);
        qint64 clock = 0;
        ProgressService::setClock([&] { return clock; });
        opstest::Story story;
        bool shown = false;
        story.probe = [&] {
            // A second paste cannot start: the frame takes no input meanwhile.
            QTest::keyClick(story.list(), Qt::Key_V, Qt::ControlModifier);
            QTRY_VERIFY(platform::currentWork()->totalBytes.load() >= 0);
            clock = elapsed;
            ProgressService *service = ProgressService::instance();
            service->tick();
            CProgressWnd *window = ProgressService::window();
            shown = window && window->isVisible();
            if (!shown)
                return;
            QAccessibleInterface *dialog = QAccessible::queryAccessibleInterface(window);
            QCOMPARE(dialog->role(), QAccessible::Dialog);
            QCOMPARE(dialog->text(QAccessible::Name), QStringLiteral("Copying"));
            QCOMPARE(QAccessible::queryAccessibleInterface(window->nameLabel())->text(QAccessible::Name),
                     QStringLiteral("\\s\\b.txt"));
            QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(window->bar());
            QCOMPARE(bar->role(), QAccessible::ProgressBar);
            QCOMPARE(bar->valueInterface()->currentValue().toInt(), 4 * 1000 / 6); // a.txt of a, b and c
            if (press.isEmpty()) // a picture to look at
                QVERIFY(window->grab().save(testsupport::outputFolder() + QStringLiteral("/fileops-progress.png")));
            if (press == QLatin1String("cancel"))
                QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
            else if (press == QLatin1String("escape"))
                QTest::keyClick(window, Qt::Key_Escape);
        };
        story.play({"+/s/a.txt=AAAA", "+/s/b.txt=B", "+/s/c.txt=C", "+/t/", "fault Copy /s/b.txt", "tree /s/",
                    "list a.txt,b.txt,c.txt", "^C", "tree /t/", "^V"},
                   {"Y Failed to copy /s/b.txt\nContinue Copy?"}, checks);
        QCOMPARE(shown, elapsed >= ProgressService::kDelayMs);
        QVERIFY(!ProgressService::window()); // gone with the paste
    }
};

FERRIX_TEST(ProgressWindowTest)
#include "tst_progresswindow.moc"
