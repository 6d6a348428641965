#include "cfilelistviewex.h"

#include "cfilelistmodel.h"
#include "entrysort.h"
#include "platform/fileattributes.h"
#include "platform/findfile.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/waitcursor.h"

#include <QHeaderView>

namespace {
struct SortColumn {
    const char *heading;
    int key;
    void (*sort)(CFileEntryArray &, bool);
};
constexpr SortColumn kSortColumns[] = {
    {"Name", 4, SortByName},     {"Size", 8, SortBySize},  {"Changed", 16, SortByChanged},
    {"Attrs", 24, SortByAttrs}, {"Type", 48, SortByType},
};
} // namespace

CFileListViewEx::CFileListViewEx(QWidget *parent)
    : CFileListView(parent)
    , m_pModel(new CFileListModel(this))
{
    setModel(m_pModel);
    SetupColumns();
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CFileListViewEx::OnColumnClick);
}

CFileListViewEx::~CFileListViewEx()
{
    // The model asks this pane for texts; let it go before the entries do.
    setModel(nullptr);
    delete m_pModel;
    m_entries.DeleteAllEntries();
}

void CFileListViewEx::Populate(const QString &folder, bool force)
{
    if (!force && folder == m_strFolder)
        return;
    QString path = folder;
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);

    platform::WaitCursor wait;
    m_strFolder = path;
    TrimImageList();
    m_pModel->BeginListing();
    m_entries.DeleteAllEntries();

    platform::FindFile find;
    platform::FindData data;
    if (find.first(m_strFolder + QStringLiteral("\\*"), data)) {
        do {
            if (data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY)
                continue;
            m_entries.Add(new FileEntry(data));
        } while (find.next(data));
        find.close();
    }

    SortEntries();
    m_pModel->EndListing(m_entries.GetSize());
}

void CFileListViewEx::SortEntries()
{
    for (const SortColumn &column : kSortColumns) {
        if (column.key == m_nSortKey) {
            column.sort(m_entries, m_bSortAscending);
            return;
        }
    }
}

void CFileListViewEx::OnColumnClick(int column)
{
    platform::WaitCursor wait;
    m_bSortAscending = !m_bSortAscending;

    const QVariant heading = model()->headerData(column, Qt::Horizontal, Qt::DisplayRole);
    if (!heading.isValid()) {
        platform::messageBox(this, QStringLiteral("Sorting on this column failed"), QString(), 0);
    } else {
        const QString text = heading.toString();
        bool matched = false;
        for (const SortColumn &candidate : kSortColumns) {
            if (text == QLatin1String(candidate.heading)) {
                m_nSortKey = candidate.key;
                candidate.sort(m_entries, m_bSortAscending);
                matched = true;
                break;
            }
        }
        if (!matched)
            platform::messageBox(this, QStringLiteral("Sorting on this column is not posible"),
                                 QString(), 0);
    }
    m_pModel->InvalidateAll();
    viewport()->update();
}

const FileEntry *CFileListViewEx::GetEntry(int row) const
{
    if (row < 0 || row >= m_entries.GetSize())
        return nullptr;
    return m_entries.GetAt(row);
}

QString CFileListViewEx::GetItemPath(int row) const
{
    const FileEntry *entry = GetEntry(row);
    return entry ? m_strFolder + QLatin1Char('\\') + entry->GetName() : QString();
}

QString CFileListViewEx::GetItemText(int row, int column)
{
    const FileEntry *entry = GetEntry(row);
    if (!entry)
        return QString();
    switch (column) {
    case ColName:
        return entry->GetName();
    case ColSize:
        return entry->GetSizeText();
    case ColType:
        return LookupRowType(GetItemPath(row), entry->GetName()).text;
    case ColChanged:
        return entry->GetChangedText();
    case ColAttrs:
        return entry->GetAttrText();
    default:
        return QString();
    }
}

QIcon CFileListViewEx::GetItemIcon(int row)
{
    const FileEntry *entry = GetEntry(row);
    if (!entry)
        return QIcon();
    return m_imageList.icon(LookupRowType(GetItemPath(row), entry->GetName()).image);
}
