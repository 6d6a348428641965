// The frame's Edit and Files commands: which pane they are about, the
// clipboard operation that does the work, and when they are enabled.
#include "cmainframe.h"

#include "filelist/cfilelistviewex.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

void CMainFrame::RegisterEditCommands()
{
    const auto treeBelowRoot = [this] {
        return m_pTreePane && m_pTreePane->GetSelectedPath() != QLatin1String("\\");
    };
    const auto listSelection = [this] { return m_pListPane && !m_pListPane->GetSelectedRows().isEmpty(); };

    // Cut and Copy: with the focus in neither pane their state stays as it was.
    const auto cutCopyUpdate = [=, this](CCmdUI &ui) {
        if (IsTreeFocused())
            ui.Enable(treeBelowRoot());
        else if (IsListFocused())
            ui.Enable(listSelection());
    };
    // The tree's or the list's variant, by the focus; nothing with neither.
    const auto byPane = [this](void (FileClipboard::*tree)(), void (FileClipboard::*list)()) {
        return [=, this] {
            if (IsTreeFocused())
                (m_clipboard.*tree)();
            else if (IsListFocused())
                (m_clipboard.*list)();
        };
    };
    m_commands.OnCommand(ids::ID_EDIT_CUT, byPane(&FileClipboard::CutFromTree, &FileClipboard::CutFromList));
    m_commands.OnUpdate(ids::ID_EDIT_CUT, cutCopyUpdate);
    m_commands.OnCommand(ids::ID_EDIT_COPY, byPane(&FileClipboard::CopyFromTree, &FileClipboard::CopyFromList));
    m_commands.OnUpdate(ids::ID_EDIT_COPY, cutCopyUpdate);

    m_commands.OnCommand(ids::ID_EDIT_PASTE, [this] {
        const bool list = IsListFocused();
        if (list)
            m_pListPane->SaveFocusedItem();
        m_clipboard.Paste();
        if (list)
            m_pListPane->RestoreFocusedItem(false);
    });
    m_commands.OnUpdate(ids::ID_EDIT_PASTE, [this](CCmdUI &ui) { ui.Enable(m_clipboard.CanPaste()); });

    m_commands.OnCommand(ids::ID_FILE_DELETE, [this] {
        if (IsTreeFocused()) {
            m_clipboard.DeleteFromTree();
        } else if (IsListFocused()) {
            m_pListPane->SaveFocusedItem();
            const bool reloaded = m_clipboard.DeleteFromList();
            m_pListPane->RestoreFocusedItem(reloaded);
        }
    });
    m_commands.OnUpdate(ids::ID_FILE_DELETE, [=, this](CCmdUI &ui) {
        ui.Enable((IsTreeFocused() && treeBelowRoot()) || (IsListFocused() && listSelection()));
    });

    const auto shortcutUpdate = [this](CCmdUI &ui) { ui.Enable(m_clipboard.CanPasteShortcut()); };
    m_commands.OnCommand(ids::ID_PASTE_SHORTCUT, [this] { m_clipboard.PasteShortcut(); });
    m_commands.OnUpdate(ids::ID_PASTE_SHORTCUT, shortcutUpdate);
    m_commands.OnCommand(ids::ID_PASTE_IN_MENU, [this] { m_clipboard.PasteInStartMenu(); });
    m_commands.OnUpdate(ids::ID_PASTE_IN_MENU, shortcutUpdate);

    m_commands.OnCommand(ids::ID_NEW_FOLDER, [this] { m_clipboard.NewFolder(); });
    m_commands.OnUpdate(ids::ID_NEW_FOLDER, [this](CCmdUI &ui) { ui.Enable(IsTreeFocused()); });
}
