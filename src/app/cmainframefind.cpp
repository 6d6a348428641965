// The frame's Find command: the Find Files dialog, run modally, searching
// from the folder selected in the tree.
#include "cmainframe.h"

#include "filelist/cfilelistviewex.h"
#include "find/cfindfilesdialog.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

void CMainFrame::RegisterFindCommands()
{
    m_commands.OnCommand(ids::ID_FIND, [this] {
        const bool listHadFocus = IsListFocused();
        // The frame owns the dialog (placed over it) and may delete it, with
        // itself, while it runs.
        QPointer<CFindFilesDialog> dialog = new CFindFilesDialog(this);
        m_pFindDlg = dialog.data();
        dialog->m_strDirectory = m_pTreePane ? m_pTreePane->GetSelectedPath() : QString();
        dialog->m_strFileName = QStringLiteral("*.*");
        dialog->m_strContaining = QString();
        // Closing the frame ends the dialog first; the frame may be gone
        // by the time the dialog has returned.
        const QPointer<CMainFrame> self(this);
        dialog->exec();
        delete dialog.data();
        if (!self)
            return;
        m_pFindDlg = nullptr;
        activateWindow();
        if (listHadFocus && m_pListPane)
            m_pListPane->setFocus(Qt::OtherFocusReason);
    });
}
