#include "appfixture.h"

#include "app/ccommandbar.h"
#include "common/testsuite.h"
#include "filelist/cfilelistviewex.h"
#include "resources/resourceids.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

// The command bar: menu bar with the Toggle button, or the full tool bar.
class CommandBarTest : public QObject {
    Q_OBJECT

    static int idOf(QAction *action) { return action ? action->property("commandId").toInt() : -1; }

    // What the bar shows, as ids; "menu" and "gap:<width>" for the menu
    // bar and blank gaps, 0 for a separator.
    static QString contents(CCommandBar *bar)
    {
        QStringList out;
        for (QAction *action : bar->actions()) {
            QWidget *widget = bar->widgetForAction(action);
            if (qobject_cast<QMenuBar *>(widget))
                out << QStringLiteral("menu");
            else if (!action->isSeparator() && idOf(action) == 0 && widget)
                out << QStringLiteral("gap:%1").arg(widget->width());
            else
                out << QString::number(idOf(action));
        }
        return out.join(u' ');
    }

private Q_SLOTS:
    // Toggling keeps the focus in the pane: no part of the bar takes it.
    void toggleSwitchesBetweenMenuAndToolBar()
    {
        apptest::FrameFixture f;
        QVERIFY(f.ok);
        CCommandBar *bar = f.frame->GetCommandBar();
        f.frame->GetListPane()->setFocus();
        QTRY_VERIFY(f.frame->IsListFocused());
        const QString menuMode = QStringLiteral("menu gap:6 32784");
        const QString fullMode = QStringLiteral("57635 57634 57637 32772 32773 32774 32775 0 32784");
        for (const QString &expected : {menuMode, fullMode, menuMode}) {
            QCOMPARE(contents(bar), expected);
            QCOMPARE(f.frame->IsFullToolBar(), expected == fullMode);
            QCOMPARE(bar->GetMenuBar() != nullptr, expected == menuMode);
            for (QWidget *child : bar->findChildren<QWidget *>())
                QCOMPARE(child->focusPolicy(), Qt::NoFocus);
            auto *toggle = qobject_cast<QToolButton *>(bar->widgetForAction(f.frame->action(ids::ID_TOGGLE_TOOLBAR)));
            QVERIFY(toggle);
            QTest::mouseClick(toggle, Qt::LeftButton);
            QCoreApplication::processEvents();
            QVERIFY(f.frame->IsListFocused());
        }
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
        apptest::FrameFixture f;
        QVERIFY(f.ok);
        QMenuBar *menuBar = f.frame->GetCommandBar()->GetMenuBar();
        QVERIFY(menuBar);
        QCOMPARE(menuBar->actions().size(), 4);
        QAction *menuAction = menuBar->actions().at(menu);
        QTEST(menuAction->text(), "title");
        QStringList shown;
        for (QAction *item : menuAction->menu()->actions()) {
            shown << (item->isSeparator() ? QStringLiteral("-")
                                          : QStringLiteral("%1=%2").arg(item->text()).arg(idOf(item)));
            QVERIFY(item->isSeparator() || f.frame->action(idOf(item)) == item);
        }
        QTEST(shown, "items");
    }
};

FERRIX_TEST(CommandBarTest)
#include "tst_commandbar.moc"
