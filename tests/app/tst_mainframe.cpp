#include "appfixture.h"

#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

// The frame's keyboard commands, its panes and the focus between them.
class MainFrameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void accelerators_data()
    {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<int>("id");

        QTest::newRow("Ctrl+N") << (Qt::CTRL | Qt::Key_N) << 57600;
        QTest::newRow("Ctrl+O") << (Qt::CTRL | Qt::Key_O) << 57601;
        QTest::newRow("Ctrl+S") << (Qt::CTRL | Qt::Key_S) << 57603;
        QTest::newRow("Ctrl+Z") << (Qt::CTRL | Qt::Key_Z) << 57643;
        QTest::newRow("Ctrl+X") << (Qt::CTRL | Qt::Key_X) << 57635;
        QTest::newRow("Ctrl+C") << (Qt::CTRL | Qt::Key_C) << 57634;
        QTest::newRow("Ctrl+V") << (Qt::CTRL | Qt::Key_V) << 57637;
        QTest::newRow("Alt+Backspace") << (Qt::ALT | Qt::Key_Backspace) << 57643;
        QTest::newRow("Shift+Delete") << (Qt::SHIFT | Qt::Key_Delete) << 57635;
        QTest::newRow("Ctrl+Insert") << (Qt::CTRL | Qt::Key_Insert) << 57634;
        QTest::newRow("Shift+Insert") << (Qt::SHIFT | Qt::Key_Insert) << 57637;
        QTest::newRow("F6") << QKeyCombination(Qt::Key_F6) << 57680;
        QTest::newRow("Shift+F6") << (Qt::SHIFT | Qt::Key_F6) << 57681;
    }
    // Each key reaches its command, from either pane.
    void accelerators()
    {
        QFETCH(QKeyCombination, key);
        QFETCH(int, id);
        apptest::FrameFixture f;
        QVERIFY(f.ok);
        int received = 0;
        f.frame->commands().OnCommand(id, [&received] { ++received; });
        f.frame->commands().OnUpdate(id, [](CCmdUI &ui) { ui.Enable(); });
        for (QWidget *pane : {static_cast<QWidget *>(f.frame->GetTreePane()),
                              static_cast<QWidget *>(f.frame->GetListPane())}) {
            received = 0;
            pane->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), pane);
            QTest::keyClick(pane, key.key(), key.keyboardModifiers());
            QCOMPARE(received, 1);
        }
    }

    // With two panes, next and previous pane both go to the other one.
    void nextAndPreviousPane()
    {
        apptest::FrameFixture f;
        QVERIFY(f.ok);
        QTRY_VERIFY(f.frame->IsTreeFocused());
        for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier})
            for (const bool listNext : {true, false}) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, modifiers);
                QCOMPARE(f.frame->IsListFocused(), listNext);
                QCOMPARE(f.frame->IsTreeFocused(), !listNext);
            }
    }

    void minimisingCloses()
    {
        apptest::FrameFixture f;
        QVERIFY(f.ok);
        f.frame->showMinimized();
        QTRY_VERIFY(f.frame.isNull());
    }

    // Back from a program the list opened, the list has the focus again.
    // Refresh belongs to the tree, and reaches it from the list too.
    void activationReturnsFocusToList()
    {
        apptest::FrameFixture f;
        QVERIFY(f.ok);
        QTRY_COMPARE(f.frame->GetTreePane()->GetSelectedPath(), QStringLiteral("\\"));
        QVERIFY(f.frame->IsTreeFocused());
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        f.frame->GetListPane()->m_bReturnFocus = true;
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        QTRY_VERIFY(f.frame->IsListFocused());
        QVERIFY(!f.frame->GetListPane()->m_bReturnFocus);

        const int before = f.frame->GetListPane()->GetItemCount();
        QVERIFY(f.root.makeFile(QStringLiteral("\\new.txt")));
        QVERIFY(f.frame->OnCommand(ids::ID_REFRESH));
        QCOMPARE(f.frame->GetListPane()->GetItemCount(), before + 1);
    }
};

FERRIX_TEST(MainFrameTest)
#include "tst_mainframe.moc"
