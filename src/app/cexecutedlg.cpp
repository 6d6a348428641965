#include "cexecutedlg.h"

#include "dialogs/dialogtemplate.h"
#include "dialogs/dialogunits.h"
#include "platform/shell/shell.h"
#include "platform/ui/messagebox.h"
#include "resources/dialogtemplates.h"
#include "resources/resourceids.h"

#include <QLineEdit>
#include <QShowEvent>
#include <QPushButton>

CExecuteDlg::CExecuteDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("execute"));
    setModal(true);
    m_controls = CreateDialogControls(*this, ids::IDD_EXECUTE);
    setWindowTitle(QString::fromUtf8(resources::FindDialogTemplate(ids::IDD_EXECUTE)->title));
    if (auto *ok = qobject_cast<QPushButton *>(m_controls.value(1)))
        connect(ok, &QPushButton::clicked, this, &CExecuteDlg::OnOK);
    if (auto *cancel = qobject_cast<QPushButton *>(m_controls.value(2)))
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

CExecuteDlg::~CExecuteDlg() = default;

void CExecuteDlg::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        DoDataExchange(false);
        centreOnScreen(*this);
    }
    QDialog::showEvent(event);
}

void CExecuteDlg::DoDataExchange(bool save)
{
    const std::pair<int, QString *> fields[] = {
        {1003, &m_strFileName}, {1005, &m_strParameters}, {1004, &m_strPath}};
    for (const auto &[id, text] : fields) {
        auto *edit = qobject_cast<QLineEdit *>(m_controls.value(id));
        if (!edit)
            continue;
        if (save)
            *text = edit->text();
        else
            edit->setText(*text);
    }
}

void CExecuteDlg::OnOK()
{
    DoDataExchange(true);
    // One separator each, so that folder and name join with exactly one.
    if (m_strPath.endsWith(u'\\'))
        m_strPath.chop(1);
    if (m_strFileName.startsWith(u'\\'))
        m_strFileName.remove(0, 1);
    if (m_strFileName.isEmpty()) {
        platform::messageBox(this, QStringLiteral("No file selected"), QString(), platform::MB_OK);
        return;
    }
    m_strFullPath = m_strPath + u'\\' + m_strFileName;
    // A failed launch is the shell's business; the dialog stays for another go.
    platform::shellExecute(m_strFullPath, m_strParameters);
}
