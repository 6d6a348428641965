#pragma once
#include <QKeyCombination>
#include <QList>
#include <QString>

// The main frame's menu, tool bars and accelerator table (all id 128, the
// Toggle tool bar 130).
namespace resources {

struct MenuItem {
    int id;           // 0: separator
    const char *text; // with & mnemonic
};

struct Menu {
    const char *title;
    QList<MenuItem> items;
};

struct Accelerator {
    QKeyCombination key;
    int id;
};

// Menu 128: Tools, Copy, Files, IR.
const QList<Menu> &MainMenu();

// The buttons of tool bar 128 or 130 in order, 0 for a separator; empty for
// an unknown id.
QList<int> ToolBarButtons(int toolBarId);

// Which image of the tool bar's bitmap a button shows; -1 when the id is not
// on that tool bar.
int ToolBarImageIndex(int toolBarId, int commandId);

// Accelerator table 128.
const QList<Accelerator> &Accelerators();

} // namespace resources
