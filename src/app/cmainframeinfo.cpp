// The frame's Properties, Execute, Send IR and Receive IR commands.
#include "cmainframe.h"

#include "cexecutedlg.h"
#include "filelist/cfilelistviewex.h"
#include "infrared.h"
#include "properties/cfilepropertiesdialog.h"
#include "properties/systeminfosheet.h"
#include "resources/resourceids.h"
#include "tree/cdirtreeview.h"

void CMainFrame::RegisterInfoCommands()
{
    // The file properties dialog for path, modally; the frame knows it while
    // it runs.
    auto showFileProperties = [this](const QString &path) {
        // Dialogs belong to the frame (placed over it), which may go while
        // they run.
        QPointer<CFilePropertiesDialog> dialog = new CFilePropertiesDialog(this);
        m_pPropertiesDlg = dialog.data();
        dialog->ShowProperties(path);
        delete dialog.data();
    };

    m_commands.OnCommand(ids::ID_PROPERTIES, [this, showFileProperties] {
        if (IsTreeFocused() && m_pTreePane) {
            const QString folder = m_pTreePane->GetSelectedPath();
            if (folder == QLatin1String("\\")) {
                QPointer<SystemInfoSheet> sheet = new SystemInfoSheet(this);
                sheet->exec();
                delete sheet.data();
            } else {
                showFileProperties(folder);
            }
        } else if (IsListFocused() && m_pListPane) {
            const QModelIndex focused = m_pListPane->currentIndex();
            if (!focused.isValid())
                return;
            m_pListPane->SaveFocusedItem();
            showFileProperties(m_pListPane->GetFolder() + u'\\' + m_pListPane->GetItemName(focused.row()));
            m_pListPane->Refresh();
            m_pListPane->RestoreFocusedItem(false);
        }
    });
    m_commands.OnUpdate(ids::ID_PROPERTIES, [this](CCmdUI &ui) {
        ui.Enable(IsTreeFocused() || (IsListFocused() && m_pListPane && !m_pListPane->GetSelectedRows().isEmpty()));
    });

    m_commands.OnCommand(ids::ID_EXECUTE, [this] {
        const QList<int> selected = m_pListPane ? m_pListPane->GetSelectedRows() : QList<int>();
        QPointer<CExecuteDlg> dialog = new CExecuteDlg(this);
        dialog->m_strFileName = selected.isEmpty() ? QString() : m_pListPane->GetItemName(selected.first());
        dialog->m_strPath = m_pTreePane ? m_pTreePane->GetSelectedPath() : QString();
        dialog->exec();
        delete dialog.data();
    });

    m_commands.OnCommand(ids::ID_SEND_IR, [this] {
        if (IsTreeFocused() && m_pTreePane) {
            const QString folder = m_pTreePane->GetSelectedPath();
            if (folder != QLatin1String("\\"))
                infrared::SendFolder(this, folder);
        } else if (IsListFocused() && m_pListPane) {
            const QList<int> selected = m_pListPane->GetSelectedRows();
            if (!selected.isEmpty())
                infrared::SendFile(this, m_pListPane->GetFolder() + u'\\' + m_pListPane->GetItemName(selected.first()));
        }
    });

    m_commands.OnCommand(ids::ID_RECEIVE_IR, [this] {
        if (m_pTreePane)
            infrared::ReceiveFiles(this, m_pTreePane->GetSelectedPath());
        if (m_pListPane)
            m_pListPane->Refresh();
    });
}
