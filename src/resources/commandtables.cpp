#include "commandtables.h"

#include "resourceids.h"

namespace resources {

const QList<Menu> &MainMenu()
{
    static const QList<Menu> menu = {
        {"&Tools", {{ids::ID_FIND, "&Find"}, {0, nullptr}, {ids::ID_APP_ABOUT, "&About"},
                    {0, nullptr}, {ids::ID_APP_EXIT, "E&xit"}}},
        {"&Copy", {{ids::ID_EDIT_CUT, "Cu&t"}, {ids::ID_EDIT_COPY, "&Copy"},
                   {ids::ID_EDIT_PASTE, "&Paste"}, {0, nullptr},
                   {ids::ID_PASTE_SHORTCUT, "Paste &Shortcut"},
                   {ids::ID_PASTE_IN_MENU, "Paste in &Menu"}}},
        {"&Files", {{ids::ID_FILE_DELETE, "&Delete"}, {ids::ID_NEW_FOLDER, "New &Folder"},
                    {ids::ID_PROPERTIES, "&Properties"}, {ids::ID_REFRESH, "&Refresh"},
                    {ids::ID_EXECUTE, "&Execute"}}},
        {"&IR", {{ids::ID_SEND_IR, "&Send Files(s)"}, {ids::ID_RECEIVE_IR, "&Receive Files(s)"}}},
    };
    return menu;
}

QList<int> ToolBarButtons(int toolBarId)
{
    switch (toolBarId) {
    case ids::IDR_MAINFRAME:
        return {ids::ID_EDIT_CUT,   ids::ID_EDIT_COPY,  ids::ID_EDIT_PASTE,
                ids::ID_FILE_DELETE, ids::ID_NEW_FOLDER, ids::ID_PROPERTIES,
                ids::ID_REFRESH,    0,                  ids::ID_TOGGLE_TOOLBAR};
    case ids::IDR_TOOLBAR_TOGGLE:
        return {ids::ID_TOGGLE_TOOLBAR};
    default:
        return {};
    }
}

int ToolBarImageIndex(int toolBarId, int commandId)
{
    // Separators take no image, so the images are the buttons in order.
    int index = 0;
    for (int id : ToolBarButtons(toolBarId)) {
        if (id == 0)
            continue;
        if (id == commandId)
            return index;
        ++index;
    }
    return -1;
}

const QList<Accelerator> &Accelerators()
{
    static const QList<Accelerator> table = {
        {Qt::CTRL | Qt::Key_N, ids::ID_FILE_NEW},
        {Qt::CTRL | Qt::Key_O, ids::ID_FILE_OPEN},
        {Qt::CTRL | Qt::Key_S, ids::ID_FILE_SAVE},
        {Qt::CTRL | Qt::Key_Z, ids::ID_EDIT_UNDO},
        {Qt::CTRL | Qt::Key_X, ids::ID_EDIT_CUT},
        {Qt::CTRL | Qt::Key_C, ids::ID_EDIT_COPY},
        {Qt::CTRL | Qt::Key_V, ids::ID_EDIT_PASTE},
        {Qt::ALT | Qt::Key_Backspace, ids::ID_EDIT_UNDO},
        {Qt::SHIFT | Qt::Key_Delete, ids::ID_EDIT_CUT},
        {Qt::CTRL | Qt::Key_Insert, ids::ID_EDIT_COPY},
        {Qt::SHIFT | Qt::Key_Insert, ids::ID_EDIT_PASTE},
        {QKeyCombination(Qt::Key_F6), ids::ID_NEXT_PANE},
        {Qt::SHIFT | Qt::Key_F6, ids::ID_PREV_PANE},
    };
    return table;
}

} // namespace resources
