#include "cfilelistviewex.h"

#include "cfilelistmodel.h"
#include "cfilelisttextsort.h"
#include "entrysort.h"
#include "folderprefetch.h"
#include "livechanges.h"
#include "platform/attributes/fileattributes.h"
#include "platform/fs/findfile.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/waitcursor.h"
#include "platform/work/readstep.h"

#include <QHeaderView>

namespace {
struct SortColumn {
    quint32 key;
    void (*sort)(CFileEntryArray &, bool);
};
constexpr SortColumn kSortColumns[] = {
    {textsort::kName, SortByName},   {textsort::kSize, SortBySize}, {textsort::kChanged, SortByChanged},
    {textsort::kAttrs, SortByAttrs}, {textsort::kType, SortByType},
};
} // namespace

CFileListViewEx::CFileListViewEx(QWidget *parent)
    : CFileListView(parent)
    , m_pModel(new CFileListModel(this))
{
    setModel(m_pModel);
    SetupColumns(*this);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CFileListViewEx::OnColumnClick);
    m_pLive = new LiveChanges(
        [this] {
            // Not while a listing is under way either: it may wait for a
            // worker and let events in.
            return state() == QAbstractItemView::EditingState || m_pModel->IsListing() || LiveChanges::programBusy();
        },
        [this](const platform::FolderChanges &changes) { ApplyLiveChanges(changes); }, this);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, &CFileListViewEx::PrepareLiveChanges,
            Qt::QueuedConnection);
}

CFileListViewEx::~CFileListViewEx()
{
    delete m_pLive;
    m_pLive = nullptr;
    // The model asks this pane for texts; let it go before the entries do.
    setModel(nullptr);
    delete m_pModel;
    m_entries.DeleteAllEntries();
    m_folderNames.clear();
    ++m_nListings;
}

void CFileListViewEx::Populate(const QString &folder, bool force)
{
    // Compared before its final backslash goes: the tree names folders with
    // one, so each of its walks and expansions lists the folder again.
    if (!force && folder == m_strFolder)
        return;
    QString path = folder;
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);

    platform::WaitCursor wait;
    m_strFolder = path;
    m_pLive->listingBegins(WatchedFolder());
    m_pLive->setFolders({WatchedFolder()});
    TrimImageList();
    m_pModel->BeginListing();
    m_entries.DeleteAllEntries();
    m_folderNames.clear();
    ++m_nListings;

    // One step for the whole listing: a slow or hung mount never holds the
    // window, and a local folder costs one trip to the worker.
    folderprefetch::Listing listing = platform::readStep(m_strFolder, [folder = m_strFolder] {
        folderprefetch::Listing ahead;
        if (folderprefetch::take(folder, ahead))
            return ahead;
        return folderprefetch::read(folder);
    });
    m_entries.Entries() = std::exchange(listing.files, {});
    m_folderNames = std::move(listing.folders);

    SortEntries();
    m_pModel->EndListing(m_entries.GetSize());
}

void CFileListViewEx::SortEntries()
{
    for (const SortColumn &column : kSortColumns) {
        if (int(column.key) == m_nSortKey) {
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
    } else if (const quint32 code = textsort::ColumnCode(heading.toString()); code != 0) {
        m_nSortKey = int(code);
        SortEntries();
    } else {
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
        return LookupRowType(GetItemPath(row), entry->GetName(), false).text;
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
    return m_imageList.icon(LookupRowType(GetItemPath(row), entry->GetName(), false).image);
}
