#include "appfixture.h"

#include "app/ccommandbar.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

// The command bar: menu bar with the Toggle button, or the full tool bar.
class CommandBarTest : public QObject {
    Q_OBJECT

    static int idOf(QAction *action) { return action ? action->property("commandId").toInt() : -1; }

    // What the bar shows, as ids; "menu" and "gap:<width>" for the menu
    // bar and blank gaps, 0 for a separator.
    static QStringList contents(CCommandBar *bar)
    {
        QStringList out;
        for (QAction *action : bar->actions()) {
            QWidget *widget = bar->widgetForAction(action);
            if (qobject_cast<QMenuBar *>(widget))
                out << QStringLiteral("menu");
            else if (action->isSeparator())
                out << QStringLiteral("0");
            else if (idOf(action) == 0 && widget)
                out << QStringLiteral("gap:%1").arg(widget->width());
            else
                out << QString::number(idOf(action));
        }
        return out;
    }

    static void clickToggle(CMainFrame *frame)
    {
        auto *button = qobject_cast<QToolButton *>(
            frame->GetCommandBar()->widgetForAction(frame->action(ids::ID_TOGGLE_TOOLBAR)));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

private Q_SLOTS:
    void toggleSwitchesBetweenMenuAndToolBar()
    {
        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        CMainFrame *frame = fixture.frame;
        CCommandBar *bar = frame->GetCommandBar();
        const QStringList menuMode{QStringLiteral("menu"), QStringLiteral("gap:6"), QStringLiteral("32784")};
        const QStringList fullMode{QStringLiteral("57635"), QStringLiteral("57634"), QStringLiteral("57637"),
                                   QStringLiteral("32772"), QStringLiteral("32773"), QStringLiteral("32774"),
                                   QStringLiteral("32775"), QStringLiteral("0"), QStringLiteral("32784")};

        QCOMPARE(contents(bar), menuMode);
        QVERIFY(!frame->IsFullToolBar());
        clickToggle(frame);
        QCOMPARE(contents(bar), fullMode);
        QVERIFY(frame->IsFullToolBar());
        QVERIFY(!bar->GetMenuBar());
        clickToggle(frame);
        QCOMPARE(contents(bar), menuMode);
        QVERIFY(bar->GetMenuBar());
    }

    void buttonsLeaveTheFocusInThePane()
    {
        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        CMainFrame *frame = fixture.frame;
        frame->GetListPane()->setFocus();
        QTRY_VERIFY(frame->IsListFocused());
        clickToggle(frame); // full tool bar
        QCoreApplication::processEvents();
        QVERIFY(frame->IsListFocused());
        CCommandBar *bar = frame->GetCommandBar();
        QWidget *refresh = bar->widgetForAction(frame->action(ids::ID_REFRESH));
        QVERIFY(refresh);
        QTest::mouseClick(refresh, Qt::LeftButton);
        QVERIFY(frame->IsListFocused());
        const QList<QWidget *> children = bar->findChildren<QWidget *>();
        for (QWidget *child : children)
            QCOMPARE(child->focusPolicy(), Qt::NoFocus);
    }

    void menus_data()
    {
        QTest::addColumn<int>("menu");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("items"); // "text=id", "-" for a separator

        QTest::newRow("Tools") << 0 << "&Tools"
                               << QStringList{"&Find=32783", "-", "&About=57664", "-", "E&xit=57665"};
        QTest::newRow("Copy") << 1 << "&Copy"
                              << QStringList{"Cu&t=57635", "&Copy=57634", "&Paste=57637", "-",
                                             "Paste &Shortcut=32778", "Paste in &Menu=32779"};
        QTest::newRow("Files") << 2 << "&Files"
                               << QStringList{"&Delete=32772", "New &Folder=32773", "&Properties=32774",
                                              "&Refresh=32775", "&Execute=32792"};
        QTest::newRow("IR") << 3 << "&IR" << QStringList{"&Send Files(s)=32776", "&Receive Files(s)=32777"};
    }

    void menus()
    {
        QFETCH(int, menu);
        QFETCH(QString, title);
        QFETCH(QStringList, items);

        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        QMenuBar *menuBar = fixture.frame->GetCommandBar()->GetMenuBar();
        QVERIFY(menuBar);
        QCOMPARE(menuBar->actions().size(), 4);
        QAction *menuAction = menuBar->actions().at(menu);
        QCOMPARE(menuAction->text(), title);
        QStringList shown;
        for (QAction *item : menuAction->menu()->actions())
            shown << (item->isSeparator() ? QStringLiteral("-")
                                          : QStringLiteral("%1=%2").arg(item->text()).arg(idOf(item)));
        QCOMPARE(shown, items);
        for (QAction *item : menuAction->menu()->actions())
            if (!item->isSeparator())
                QCOMPARE(fixture.frame->action(idOf(item)), item);
    }

    // Commands whose handlers come later are there but cannot be chosen.
    void unhandledCommandsAreDisabled()
    {
        apptest::FrameFixture fixture;
        QVERIFY(fixture.open());
        CMainFrame *frame = fixture.frame;
        for (int id : {ids::ID_EDIT_CUT, ids::ID_FIND, ids::ID_SEND_IR, ids::ID_EXECUTE})
            QVERIFY2(!frame->action(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id : {ids::ID_TOGGLE_TOOLBAR, ids::ID_REFRESH})
            QVERIFY2(frame->action(id)->isEnabled(), qPrintable(QString::number(id)));

        bool ran = false;
        frame->commands().OnCommand(ids::ID_FIND, [&] { ran = true; });
        frame->UpdateCommands();
        QVERIFY(frame->action(ids::ID_FIND)->isEnabled());
        frame->action(ids::ID_FIND)->trigger();
        QVERIFY(ran);
    }
};

FERRIX_TEST(CommandBarTest)
#include "tst_commandbar.moc"
