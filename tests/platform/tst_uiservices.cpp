#include "platformtest.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/messageboxstyle.h"
#include "platform/ui/waitcursor.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QTimer>

using namespace platform;

Q_DECLARE_METATYPE(QMessageBox::Icon)

class UiServicesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The buttons, results and icon a type asks for, and a real box of that
    // type: Enter takes the default button, Escape the way out.
    void style_data()
    {
        using B = QMessageBox;
        QTest::addColumn<unsigned>("type");
        QTest::addColumn<QList<int>>("buttons");
        QTest::addColumn<QList<int>>("results"); // what each button returns
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<int>("enter");
        QTest::addColumn<int>("escape"); // 0: Escape is not tried
        QTest::newRow("0x30 warning") << 0x30u << QList<int> {B::Ok} << QList<int> {IDOK} << B::Warning << IDOK << IDOK;
        QTest::newRow("0x24 question yes/no") << 0x24u << QList<int> {B::Yes, B::No} << QList<int> {IDYES, IDNO} << B::Question << IDYES << 0;
        QTest::newRow("0x124 no is default") << 0x124u << QList<int> {B::Yes, B::No} << QList<int> {IDYES, IDNO} << B::Question << IDNO << 0;
        QTest::newRow("0x21 ok/cancel") << 0x21u << QList<int> {B::Ok, B::Cancel} << QList<int> {IDOK, IDCANCEL} << B::Question << IDOK
                                        << IDCANCEL;
        QTest::newRow("0x213 third default") << 0x213u << QList<int> {B::Yes, B::No, B::Cancel} << QList<int> {IDYES, IDNO, IDCANCEL}
                                             << B::Critical << IDCANCEL << IDCANCEL;
    }

    void style()
    {
        QFETCH(unsigned, type);
        QFETCH(QList<int>, buttons);
        QFETCH(QList<int>, results);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(int, enter);
        QFETCH(int, escape);
        const MessageBoxStyle s = messageBoxStyle(type);
        QList<int> shown, returned;
        for (QMessageBox::StandardButton b : s.buttons) {
            shown.append(int(b));
            returned.append(messageBoxResult(b));
        }
        QCOMPARE(shown, buttons);
        QCOMPARE(returned, results);
        QCOMPARE(s.icon, icon);

        QString title;
        const auto answer = [&](Qt::Key key) {
            QTimer timer;
            connect(&timer, &QTimer::timeout, this, [&] {
                if (QWidget *box = QApplication::activeModalWidget()) {
                    title = box->windowTitle();
                    QTest::keyClick(box, key);
                }
            });
            timer.start(10);
            return messageBox(nullptr, QStringLiteral("Text"), QString(), type);
        };
        QCOMPARE(answer(Qt::Key_Return), enter);
        QCOMPARE(title, QCoreApplication::applicationName());
        if (escape)
            QCOMPARE(answer(Qt::Key_Escape), escape);
    }

    void waitCursor()
    {
        QVERIFY(!QGuiApplication::overrideCursor());
        beginWaitCursor();
        {
            WaitCursor nested;
            QCOMPARE(waitCursorDepth(), 2);
        }
        QCOMPARE(waitCursorDepth(), 1);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        endWaitCursor();
        QVERIFY(!QGuiApplication::overrideCursor());
        endWaitCursor(); // one end too many changes nothing
        QCOMPARE(waitCursorDepth(), 0);
    }
};

FERRIX_TEST(UiServicesTest)
#include "tst_uiservices.moc"
