#include "common/testsuite.h"
#include "platform/ui/inputpanel.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/messageboxstyle.h"
#include "platform/ui/waitcursor.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace platform;

Q_DECLARE_METATYPE(QMessageBox::Icon)

class UiServicesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void style_data()
    {
        using B = QMessageBox;
        QTest::addColumn<unsigned>("type");
        QTest::addColumn<QList<int>>("buttons");
        QTest::addColumn<QList<int>>("results"); // what each button returns
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<int>("defaultButton");
        QTest::newRow("0x30 warning") << 0x30u << QList<int>{B::Ok} << QList<int>{IDOK} << B::Warning << int(B::Ok);
        QTest::newRow("0x24 question yes/no") << 0x24u << QList<int>{B::Yes, B::No} << QList<int>{IDYES, IDNO} << B::Question << int(B::Yes);
        QTest::newRow("0x124 no is default") << 0x124u << QList<int>{B::Yes, B::No} << QList<int>{IDYES, IDNO} << B::Question << int(B::No);
        QTest::newRow("0x21 ok/cancel") << 0x21u << QList<int>{B::Ok, B::Cancel} << QList<int>{IDOK, IDCANCEL} << B::Question << int(B::Ok);
        QTest::newRow("0x213 third default") << 0x213u << QList<int>{B::Yes, B::No, B::Cancel} << QList<int>{IDYES, IDNO, IDCANCEL}
                                             << B::Critical << int(B::Cancel);
        QTest::newRow("0x2 abort/retry/ignore") << 0x2u << QList<int>{B::Abort, B::Retry, B::Ignore}
                                                << QList<int>{IDABORT, IDRETRY, IDIGNORE} << B::NoIcon << int(B::Abort);
    }

    void style()
    {
        QFETCH(unsigned, type);
        QFETCH(QList<int>, buttons);
        QFETCH(QList<int>, results);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(int, defaultButton);
        const MessageBoxStyle s = messageBoxStyle(type);
        QList<int> shown, returned;
        for (QMessageBox::StandardButton b : s.buttons) {
            shown.append(int(b));
            returned.append(messageBoxResult(b));
        }
        QCOMPARE(shown, buttons);
        QCOMPARE(returned, results);
        QCOMPARE(s.icon, icon);
        QCOMPARE(int(s.defaultButton), defaultButton);
    }

    // A real box: Enter takes the default button, Escape the way out.
    void realBox_data()
    {
        QTest::addColumn<unsigned>("type");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("0x124 enter") << 0x124u << int(Qt::Key_Return) << IDNO;
        QTest::newRow("0x23 escape") << 0x23u << int(Qt::Key_Escape) << IDCANCEL;
        QTest::newRow("0x30 escape") << 0x30u << int(Qt::Key_Escape) << IDOK;
    }

    void realBox()
    {
        QFETCH(unsigned, type);
        QFETCH(int, key);
        QFETCH(int, result);
        QString title;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [&] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                title = box->windowTitle();
                QTest::keyClick(box, Qt::Key(key));
            }
        });
        timer.start();
        QCOMPARE(messageBox(nullptr, QStringLiteral("Text"), QString(), type), result);
        QCOMPARE(title, QCoreApplication::applicationName());
    }

    void waitCursor()
    {
        QCOMPARE(waitCursorDepth(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        beginWaitCursor();
        {
            WaitCursor nested;
            QCOMPARE(waitCursorDepth(), 2);
        }
        QCOMPARE(waitCursorDepth(), 1);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        endWaitCursor();
        QCOMPARE(waitCursorDepth(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        endWaitCursor(); // one end too many changes nothing
        QCOMPARE(waitCursorDepth(), 0);
    }

    void inputPanel()
    {
        unsigned flags = 0xFF;
        QVERIFY(setInputPanelFlags(SIPF_ON));
        QVERIFY(getInputPanelFlags(&flags));
        QCOMPARE(flags & SIPF_ON, SIPF_ON);
        QVERIFY(setInputPanelFlags(SIPF_OFF));
        QVERIFY(getInputPanelFlags(&flags));
        QCOMPARE(flags & SIPF_ON, SIPF_OFF);
    }
};

FERRIX_TEST(UiServicesTest)
#include "tst_uiservices.moc"
