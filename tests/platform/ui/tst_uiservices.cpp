#include "platform/platformtest.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/messageboxstyle.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using namespace platform;

Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {
// results: what each button returns; escape: 0 when Escape is not tried.
struct StyleCase { unsigned type; QList<int> buttons; QList<int> results; QMessageBox::Icon icon; int enter; int escape; };
} // namespace

class UiServicesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The buttons, results and icon a type asks for, and a real box of that
    // type: Enter takes the default button, Escape the way out.
    void style_data()
    {
        using B = QMessageBox;
        QTest::addColumn<StyleCase>("row");
        QTest::newRow("0x30 warning") << StyleCase{0x30u, {B::Ok}, {IDOK}, B::Warning, IDOK, IDOK};
        QTest::newRow("0x24 question yes/no") << StyleCase{0x24u, {B::Yes, B::No}, {IDYES, IDNO}, B::Question, IDYES, 0};
        QTest::newRow("0x124 no is default") << StyleCase{0x124u, {B::Yes, B::No}, {IDYES, IDNO}, B::Question, IDNO, 0};
        QTest::newRow("0x21 ok/cancel") << StyleCase{0x21u, {B::Ok, B::Cancel}, {IDOK, IDCANCEL}, B::Question, IDOK, IDCANCEL};
        QTest::newRow("0x213 third default") << StyleCase{0x213u, {B::Yes, B::No, B::Cancel}, {IDYES, IDNO, IDCANCEL}, B::Critical,
            IDCANCEL, IDCANCEL};
    }

    void style()
    {
        auto [type, buttons, results, icon, enter, escape] = platformtest::fetchRow<StyleCase>();
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
        QCOMPARE(title, QStringLiteral("Ferrix")); // the application's name when no caption is given
        if (escape)
            QCOMPARE(answer(Qt::Key_Escape), escape);
    }
};

FERRIX_TEST(UiServicesTest)
#include "tst_uiservices.moc"
