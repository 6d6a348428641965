#include "appfixture.h"

#include "app/ccommandbar.h"
#include "app/cexecutedlg.h"
#include "common/messageboxscript.h"
#include "common/modaldialog.h"
#include "common/testsuite.h"
#include "platform/ui/messagebox.h"
#include "resources/resourceids.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

namespace {

// place: list (the row "run" of \Docs selected), tree (\Docs selected), list editor and tree editor (a
// rename open there), dialog (the Execute File dialog's name field). effect: what the key did; "kept":
// nothing at all (no question, no launch, no change of folder or clipboard, no new listing).
struct KeyCase { QString place; int key; Qt::KeyboardModifiers modifiers; QString effect; };

// place: list row, list empty, tree folder, tree root, tree empty; how: mouse, menu key, shift f10, touch.
// items: the menu's texts in order, "-" before a disabled one, "|" a separator; empty: no menu.
struct MenuCase { QString place, how, items; };

const QStringList kFiles{"\\Docs\\run", "\\Docs\\a.txt", "\\Docs\\b.txt", "\\Docs\\Sub\\s.txt"};

int rowNamed(CFileListViewEx *list, const QString &name)
{
    for (int row = 0; row < list->GetItemCount(); ++row)
        if (list->GetItemName(row) == name)
            return row;
    return -1;
}

// \Docs selected in the tree; with list, its row "run" selected and the list focused.
void focusDocs(apptest::FrameFixture &f, bool list)
{
    f.focusOn(QStringLiteral("Docs"));
    if (list) {
        CFileListViewEx *pane = f.frame->GetListPane();
        QTRY_VERIFY(rowNamed(pane, "run") >= 0);
        pane->selectRow(rowNamed(pane, "run"));
        pane->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), pane);
    }
}

QString menuText(const QMenu *menu)
{
    QStringList items;
    for (const QAction *action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("|") : (action->isEnabled() ? "" : "-") + action->text());
    return items.join(u' ');
}

} // namespace

// The desktop's keys on the panes, and the panes' context menu.
class DesktopKeysTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keys_data()
    {
        QTest::addColumn<KeyCase>("row");
        const auto none = Qt::NoModifier;
        QTest::newRow("list Delete asks") << KeyCase{"list", Qt::Key_Delete, none, "ask:Delete all selected files?"};
        QTest::newRow("tree Delete asks") << KeyCase{"tree", Qt::Key_Delete, none, "ask:Delete '\\Docs' and everything in it?"};
        QTest::newRow("list F5 lists again") << KeyCase{"list", Qt::Key_F5, none, "listed"};
        QTest::newRow("tree F5 lists again") << KeyCase{"tree", Qt::Key_F5, none, "listed"};
        QTest::newRow("list Enter opens") << KeyCase{"list", Qt::Key_Return, none, "opened"};
        QTest::newRow("list keypad Enter opens") << KeyCase{"list", Qt::Key_Enter, Qt::KeypadModifier, "opened"};
        QTest::newRow("tree Enter expands") << KeyCase{"tree", Qt::Key_Return, none, "expanded"};
        QTest::newRow("list Backspace") << KeyCase{"list", Qt::Key_Backspace, none, "parent"};
        QTest::newRow("tree Alt+Up") << KeyCase{"tree", Qt::Key_Up, Qt::AltModifier, "parent"};
        QTest::newRow("list F2 renames") << KeyCase{"list", Qt::Key_F2, none, "editing"};
        QTest::newRow("list Ctrl+A") << KeyCase{"list", Qt::Key_A, Qt::ControlModifier, "all"};
        QTest::newRow("list type-ahead") << KeyCase{"list", Qt::Key_B, none, "typed"};
        QTest::newRow("Shift+Delete stays Cut") << KeyCase{"list", Qt::Key_Delete, Qt::ShiftModifier, "cut"};
        QTest::newRow("Alt+Backspace stays unhandled") << KeyCase{"list", Qt::Key_Backspace, Qt::AltModifier, "kept"};
        QTest::newRow("Ctrl+Z stays unhandled") << KeyCase{"tree", Qt::Key_Z, Qt::ControlModifier, "kept"};
        QTest::newRow("Ctrl+Delete means nothing") << KeyCase{"list", Qt::Key_Delete, Qt::ControlModifier, "kept"};
        QTest::newRow("list editor Delete") << KeyCase{"list editor", Qt::Key_Delete, none, "kept"};
        QTest::newRow("list editor F5") << KeyCase{"list editor", Qt::Key_F5, none, "kept"};
        QTest::newRow("tree editor Delete") << KeyCase{"tree editor", Qt::Key_Delete, none, "kept"};
        QTest::newRow("tree editor Backspace") << KeyCase{"tree editor", Qt::Key_Backspace, none, "kept"};
        QTest::newRow("tree editor F5") << KeyCase{"tree editor", Qt::Key_F5, none, "kept"};
        QTest::newRow("tree editor Menu key") << KeyCase{"tree editor", Qt::Key_Menu, none, "kept"};
        QTest::newRow("dialog Delete") << KeyCase{"dialog", Qt::Key_Delete, none, "kept"};
        QTest::newRow("dialog F5") << KeyCase{"dialog", Qt::Key_F5, none, "kept"};
    }
    void keys()
    {
        auto [place, key, modifiers, effect] = testsupport::fetchRow<KeyCase>();
        apptest::FrameFixture f(kFiles);
        QVERIFY(f.ok);
        QVERIFY(QFile::setPermissions(f.root.host("\\Docs\\run"), QFile::ReadOwner | QFile::ExeOwner));
        CDirTreeView *tree = f.frame->GetTreePane();
        CFileListViewEx *list = f.frame->GetListPane();
        focusDocs(f, place.startsWith("list"));
        QWidget *target = QApplication::focusWidget();
        QTreeWidgetItem *docs = tree->currentItem();
        std::unique_ptr<CExecuteDlg> dialog;
        if (place.endsWith("editor")) {
            QTest::keyClick(target, Qt::Key_F2);
            QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
            target = QApplication::focusWidget();
        } else if (place == "dialog") {
            dialog = std::make_unique<CExecuteDlg>(f.frame);
            dialog->show();
            QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
            target = testsupport::control<QLineEdit>(dialog.get(), 1003);
            target->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), target);
        }
        QGuiApplication::clipboard()->clear();
        QVERIFY(f.root.makeFile("\\Docs\\new.txt"));
        const int rows = list->GetItemCount();
        const apptest::Launches launches;
        testsupport::MessageBoxScript boxes;
        if (effect.startsWith("ask:"))
            boxes.expect(effect.mid(4), platform::IDNO, QString());

        QTest::keyClick(target, Qt::Key(key), modifiers);

        QWidget *focus = QApplication::focusWidget();
        const bool editing = qobject_cast<QLineEdit *>(focus) && (list->isAncestorOf(focus) || tree->isAncestorOf(focus));
        if (editing) // cancelled, or the end of the test would rename
            QTest::keyClick(focus, Qt::Key_Escape);
        QCOMPARE(editing, place.endsWith("editor") || effect == "editing");
        if (effect != "parent" && effect != "expanded") // both list another folder, or list again
            QCOMPARE(list->GetItemCount(), effect == "listed" ? rows + 1 : rows);
        QCOMPARE(launches.size(), effect == "opened" ? 1 : 0);
        if (effect == "opened")
            QCOMPARE(launches.first().first(), f.root.host("\\Docs\\run"));
        QCOMPARE(tree->GetSelectedPath(), effect == "parent" ? QStringLiteral("\\") : QStringLiteral("\\Docs\\"));
        QCOMPARE(docs->isExpanded(), effect == "expanded");
        const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(clip && clip->hasUrls(), effect == "cut");
        QVERIFY(f.root.exists("\\Docs\\run") && f.root.exists("\\Docs\\Sub\\s.txt"));
        if (effect == "all")
            QCOMPARE(list->GetSelectedRows().size(), rows);
        if (effect == "typed")
            QCOMPARE(list->GetItemName(list->currentIndex().row()), QStringLiteral("b.txt"));
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(boxes.shown().size(), effect.startsWith("ask:") ? 1 : 0);
    }

    void contextMenu_data()
    {
        QTest::addColumn<MenuCase>("row");
        const QString fileMenu = "&Open Open &With | Cu&t &Copy -&Paste | &Delete &Rename | &Properties";
        QTest::newRow("list row, right button") << MenuCase{"list row", "mouse", fileMenu};
        QTest::newRow("list row, Menu key") << MenuCase{"list row", "menu key", fileMenu};
        QTest::newRow("list row, finger") << MenuCase{"list row", "touch", ""};
        QTest::newRow("list empty part") << MenuCase{"list empty", "mouse", "-&Paste | &Refresh"};
        QTest::newRow("list, Menu key, nothing selected") << MenuCase{"list empty", "menu key", "-&Paste | &Refresh"};
        QTest::newRow("tree folder") << MenuCase{"tree folder", "mouse",
                                                 "Cu&t &Copy -&Paste | &Delete &Rename New &Folder | &Properties"};
        QTest::newRow("tree folder, Shift+F10") << MenuCase{"tree folder", "shift f10",
                                                 "Cu&t &Copy -&Paste | &Delete &Rename New &Folder | &Properties"};
        QTest::newRow("tree root") << MenuCase{"tree root", "mouse",
                                               "-Cu&t -&Copy -&Paste | -&Delete -&Rename New &Folder | &Properties"};
        QTest::newRow("tree empty part") << MenuCase{"tree empty", "mouse", "-&Paste New &Folder | &Refresh"};
        QTest::newRow("tree folder, finger") << MenuCase{"tree folder", "touch", ""};
    }
    // The menu holds the menu bar's own actions, so their texts, enabling
    // and commands are the menu bar's for the same focus.
    void contextMenu()
    {
        auto [place, how, items] = testsupport::fetchRow<MenuCase>();
        apptest::FrameFixture f(kFiles);
        QVERIFY(f.ok);
        QGuiApplication::clipboard()->clear();
        CDirTreeView *tree = f.frame->GetTreePane();
        CFileListViewEx *list = f.frame->GetListPane();
        const bool inList = place.startsWith("list");
        focusDocs(f, inList);
        if (place == "list empty")
            list->clearSelection();
        QAbstractItemView *pane = inList ? static_cast<QAbstractItemView *>(list) : tree;
        QTreeWidgetItem *docs = tree->currentItem();
        if (place == "tree root")
            tree->setCurrentItem(tree->topLevelItem(0));
        QModelIndex at = inList ? list->model()->index(rowNamed(list, "run"), 0) : tree->currentIndex();
        if (place == "list empty" || place == "tree empty")
            at = QModelIndex();
        const QPoint point = at.isValid() ? pane->visualRect(at).center() : QPoint(pane->viewport()->width() - 2, pane->viewport()->height() - 2);
        if (place == "tree folder" && how != "shift f10") // a right click selects the folder under it
            tree->setCurrentItem(tree->topLevelItem(0));

        if (how == "mouse" || how == "touch") {
            if (how == "touch") {
                QPointingDevice *screen = QTest::createTouchDevice();
                QTest::touchEvent(pane->viewport(), screen).press(0, point);
            }
            QContextMenuEvent request(QContextMenuEvent::Mouse, point, pane->viewport()->mapToGlobal(point));
            QApplication::sendEvent(pane->viewport(), &request);
        } else {
            QTest::keyClick(pane, how == "menu key" ? Qt::Key_Menu : Qt::Key_F10,
                            how == "menu key" ? Qt::NoModifier : Qt::ShiftModifier);
        }

        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QCOMPARE(menu != nullptr, !items.isEmpty());
        if (!menu)
            return;
        QCOMPARE(menuText(menu), items);
        QVERIFY(testsupport::savePicture(menu, "contextmenu-" + QString::fromLatin1(QTest::currentDataTag())));
        QCOMPARE(QApplication::focusWidget(), pane);
        // Walking the menu with the keys gives it the focus: the commands stay the pane's.
        QTest::keyClick(menu, Qt::Key_Down);
        f.frame->UpdateCommands();
        QCOMPARE(menuText(menu), items);
        if (place == "tree folder")
            QCOMPARE(tree->currentItem(), docs);
        if (place == "tree empty")
            QCOMPARE(tree->currentItem(), docs);
        // Every command item is the frame's action, as the menu bar shows it.
        QSet<QAction *> menuBarActions;
        for (const QAction *title : f.frame->GetCommandBar()->GetMenuBar()->actions())
            for (QAction *action : title->menu()->actions())
                menuBarActions.insert(action);
        for (QAction *action : menu->actions()) {
            const int id = action->property("commandId").toInt();
            if (id != 0)
                QVERIFY2(menuBarActions.contains(action), qPrintable(action->text()));
            if (id != 0)
                QCOMPARE(action, f.frame->action(id));
        }
        menu->close();
    }
};

FERRIX_TEST(DesktopKeysTest)
#include "tst_desktopkeys.moc"
