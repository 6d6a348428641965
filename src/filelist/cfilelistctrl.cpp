#include "cfilelistctrl.h"

#include "cfilelistctrlmodel.h"
#include "cfilelisttextsort.h"
#include "filetypes/openfile.h"
#include "platform/attributes/fileattributes.h"
#include "platform/fs/findfile.h"
#include "platform/ui/messagebox.h"
#include "rowtext.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QThread>

CFileListCtrl::CFileListCtrl(QWidget *parent)
    : CFileListTable(parent)
    , m_pModel(new CFileListCtrlModel(this))
{
    setModel(m_pModel);
    SetupColumns(*this);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CFileListCtrl::OnColumnClick);
}

CFileListCtrl::~CFileListCtrl()
{
    setModel(nullptr);
    delete m_pModel;
}

template <typename Function>
void CFileListCtrl::RunOnOwnThread(Function function) const
{
    if (QThread::currentThread() == thread())
        function();
    else
        QMetaObject::invokeMethod(const_cast<CFileListCtrl *>(this), function,
                                  Qt::BlockingQueuedConnection);
}

int CFileListCtrl::GetItemCount() const
{
    int count = 0;
    RunOnOwnThread([&] { count = m_pModel->rowCount(); });
    return count;
}

int CFileListCtrl::InsertItem(int row, const QString &text)
{
    int index = -1;
    RunOnOwnThread([&] { index = m_pModel->InsertRow(row, text, m_imageList.icon(0)); });
    return index;
}

void CFileListCtrl::DeleteAllItems()
{
    RunOnOwnThread([&] {
        m_pModel->Clear();
        TrimImageList();
    });
}

QString CFileListCtrl::GetItemText(int row, int column) const
{
    return m_pModel->Text(row, column);
}

bool CFileListCtrl::SetItemText(int row, int column, const QString &text)
{
    return m_pModel->SetText(row, column, text);
}

qintptr CFileListCtrl::GetItemData(int row) const
{
    return m_pModel->Data(row);
}

QIcon CFileListCtrl::GetItemIcon(int row) const
{
    return m_pModel->index(row, ColName).data(Qt::DecorationRole).value<QIcon>();
}

bool CFileListCtrl::FillRow(int row, const QString &folder, const platform::FindData &data)
{
    RowTexts texts;
    texts.fullPath = JoinPath(folder, data.name);
    texts.name = data.name;
    texts.size = FormatSizeText(data.sizeHigh, data.sizeLow);
    texts.changed = FormatChangedText(data.lastWriteTime);
    texts.attrs = FormatAttrText(data.attributes);
    texts.folder = data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY;
    bool filled = false;
    RunOnOwnThread([&] { filled = ApplyRow(row, texts); });
    return filled;
}

bool CFileListCtrl::ApplyRow(int row, const RowTexts &texts)
{
    if (!m_pModel->IsRow(row))
        return false;
    // Type texts and icons come through the lister's cache, which only
    // this thread touches.
    const RowType &type = LookupRowType(texts.fullPath, texts.name, texts.folder);
    m_pModel->SetText(row, ColType, type.text);
    if (type.image > 0)
        m_pModel->SetIcon(row, m_imageList.icon(type.image));
    m_pModel->SetText(row, ColSize, texts.size);
    m_pModel->SetText(row, ColChanged, texts.changed);
    m_pModel->SetText(row, ColAttrs, texts.attrs);
    return true;
}

bool CFileListCtrl::AddFoundFile(int row, const QString &fullPath)
{
    platform::FindData data;
    return platform::findEntry(fullPath, data) && AddFoundFile(row, fullPath, data);
}

bool CFileListCtrl::AddFoundFile(int row, const QString &fullPath, const platform::FindData &data)
{
    const int slash = int(fullPath.lastIndexOf(QLatin1Char('\\')));
    return FillRow(row, fullPath.left(slash + 1), data);
}

void CFileListCtrl::SortByColumnText(int column)
{
    const QString heading = model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    const quint32 code = textsort::ColumnCode(heading);
    if (code != 0) {
        const quint32 state = textsort::NextSortState(m_nSortState, code);
        m_nSortState = state;
        m_pModel->ReorderRows(textsort::SortOrder(m_pModel->ColumnTexts(column), state));
    } else {
        platform::messageBox(this, QStringLiteral("Sorting on this column is not posible"),
                             QString(), 0);
    }
    m_pModel->RenumberData();
}

void CFileListCtrl::OnColumnClick(int column)
{
    setFocus(Qt::OtherFocusReason);
    SortByColumnText(column);
}

void CFileListCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        const QModelIndex hit = indexAt(event->position().toPoint());
        if (hit.isValid()) {
            const QString path = m_pModel->Text(hit.row(), ColName);
            if (!path.isEmpty())
                OpenFile(path, this);
        }
    }
    QTableView::mouseDoubleClickEvent(event);
}

void CFileListCtrl::EndLabelEdit(int row, bool committed, const QString &newName)
{
    setFocus(Qt::OtherFocusReason);
    if (!committed || row < 0)
        return;
    // Column 0 holds the full path; the edit names the file in its folder.
    const QString oldPath = m_pModel->Text(row, ColName);
    const int slash = int(oldPath.lastIndexOf(QLatin1Char('\\')));
    const QString folder = oldPath.left(slash + 1);
    if (oldPath.mid(slash + 1) == newName)
        return;
    const QString newPath = folder + newName;
    if (RenameOrWarn(oldPath, newPath, newName))
        m_pModel->SetText(row, ColName, newPath);
}
