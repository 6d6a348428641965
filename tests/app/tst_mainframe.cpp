#include "appfixture.h"

#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QSplitter>
#include <QTest>

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

        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        CMainFrame *frame = fixture.frame;
        QList<int> received;
        for (const int command : {57600, 57601, 57603, 57643, 57635, 57634, 57637, 57680, 57681})
            frame->commands().OnCommand(command, [&received, command] { received.append(command); });

        for (QWidget *pane : {static_cast<QWidget *>(frame->GetTreePane()),
                              static_cast<QWidget *>(frame->GetListPane())}) {
            received.clear();
            pane->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), pane);
            QTest::keyClick(pane, key.key(), key.keyboardModifiers());
            QCOMPARE(received, QList<int>{id});
        }
    }

    void nextAndPreviousPane_data()
    {
        QTest::addColumn<QKeyCombination>("key");
        QTest::newRow("F6") << QKeyCombination(Qt::Key_F6);
        QTest::newRow("Shift+F6") << (Qt::SHIFT | Qt::Key_F6);
    }

    void nextAndPreviousPane()
    {
        QFETCH(QKeyCombination, key);

        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        CMainFrame *frame = fixture.frame;
        QTRY_VERIFY(frame->IsTreeFocused());
        QVERIFY(!frame->IsListFocused());
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        QVERIFY(frame->IsListFocused());
        QVERIFY(!frame->IsTreeFocused());
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        QVERIFY(frame->IsTreeFocused());
    }

    void focusedPaneTest_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("tree");
        QTest::addColumn<bool>("list");

        QTest::newRow("tree") << "tree" << true << false;
        QTest::newRow("tree viewport") << "tree viewport" << true << false;
        QTest::newRow("list") << "list" << false << true;
        QTest::newRow("list viewport") << "list viewport" << false << true;
        QTest::newRow("splitter") << "splitter" << false << false;
    }

    void focusedPaneTest()
    {
        QFETCH(QString, target);
        QFETCH(bool, tree);
        QFETCH(bool, list);

        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        CMainFrame *frame = fixture.frame;
        QWidget *widget = frame->GetSplitter();
        if (target.startsWith(QLatin1String("tree")))
            widget = target.endsWith(QLatin1String("viewport")) ? frame->GetTreePane()->viewport()
                                                                 : frame->GetTreePane();
        else if (target.startsWith(QLatin1String("list")))
            widget = target.endsWith(QLatin1String("viewport")) ? frame->GetListPane()->viewport()
                                                                 : frame->GetListPane();
        // A viewport hands its focus to its view; here it is to keep it.
        widget->setFocusProxy(nullptr);
        widget->setFocusPolicy(Qt::StrongFocus);
        widget->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), widget);
        QCOMPARE(frame->IsTreeFocused(), tree);
        QCOMPARE(frame->IsListFocused(), list);
    }

    void treeAboveListBelow()
    {
        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        CMainFrame *frame = fixture.frame;
        QSplitter *splitter = frame->GetSplitter();
        QCOMPARE(splitter->orientation(), Qt::Vertical);
        QCOMPARE(splitter->widget(0), static_cast<QWidget *>(frame->GetTreePane()));
        QCOMPARE(splitter->widget(1), static_cast<QWidget *>(frame->GetListPane()));
        QCOMPARE(splitter->sizes().at(0), 100);
        const int listHeight = splitter->sizes().at(1);
        frame->resize(frame->width(), frame->height() + 50);
        QTRY_COMPARE(splitter->sizes().at(1), listHeight + 50);
        QCOMPARE(splitter->sizes().at(0), 100);
    }

    // Refresh belongs to the tree, and reaches it from the list too: the
    // list shows a file that appeared on disk.
    void refreshFromEitherPane()
    {
        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        CMainFrame *frame = fixture.frame;
        CFileListViewEx *list = frame->GetListPane();
        QTRY_COMPARE(frame->GetTreePane()->GetSelectedPath(), QStringLiteral("\\"));
        const int before = list->GetItemCount();
        QVERIFY(fixture.root.makeFile(QStringLiteral("\\new.txt")));
        list->setFocus();
        QTRY_VERIFY(frame->IsListFocused());
        QVERIFY(frame->OnCommand(ids::ID_REFRESH));
        QCOMPARE(list->GetItemCount(), before + 1);
    }

    void minimisingCloses()
    {
        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        fixture.frame->showMinimized();
        QTRY_VERIFY(fixture.frame.isNull());
    }

    // Back from a program the list opened, the list has the focus again.
    void activationReturnsFocusToList()
    {
        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        CMainFrame *frame = fixture.frame;
        QTRY_VERIFY(frame->IsTreeFocused());
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        frame->GetListPane()->m_bReturnFocus = true;
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        QTRY_VERIFY(frame->IsListFocused());
        QVERIFY(!frame->GetListPane()->m_bReturnFocus);
    }
};

FERRIX_TEST(MainFrameTest)
#include "tst_mainframe.moc"
