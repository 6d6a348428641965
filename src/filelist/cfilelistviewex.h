#pragma once
#include "cfilelistview.h"
#include "entrynameindex.h"
#include "fileentryarray.h"

class CFileListModel;
class LiveChanges;
namespace platform {
struct FolderChanges;
}

// The lower pane of the main window: the files of the tree's current folder.
// It keeps one entry per file and formats a row only when it is drawn.
class CFileListViewEx : public CFileListView {
    Q_OBJECT
public:
    explicit CFileListViewEx(QWidget *parent = nullptr);
    ~CFileListViewEx() override;

    void Populate(const QString &folder, bool force) override;

    // The row's text in a column, and its icon; nothing for a row that is
    // not there.
    QString GetItemText(int row, int column);
    QIcon GetItemIcon(int row);
    const FileEntry *GetEntry(int row) const;
    // The folder, a backslash and the row's name (the root gives "\name").
    QString GetItemPath(int row) const;

    // Sort key (0 none, 4 Name, 8 Size, 16 Changed, 24 Attrs, 48 Type) and
    // direction; both last for the life of the pane.
    int GetSortKey() const { return m_nSortKey; }
    bool IsSortAscending() const { return m_bSortAscending; }

    // A tap on a column heading.
    void OnColumnClick(int column);

    // The folders the last listing met (they are not rows), and how many
    // listings were read so far: the tree learns from a listing it saw
    // being read instead of reading the folder again.
    const QStringList &GetFolderNames() const { return m_folderNames; }
    int GetListingCount() const { return m_nListings; }

    // Follows what other programs change in the shown folder: rows come and
    // go at their sorted place, the sort, the selection, the focused row and
    // the rows in view stay.
    void ApplyLiveChanges(const platform::FolderChanges &changes);
    const LiveChanges &GetLiveChanges() const { return *m_pLive; }

private:
    void SortEntries();
    // A big folder's name index is made once it is shown, not when the
    // first change comes in a burst.
    void PrepareLiveChanges();
    // The shown folder as the watch names it (the root is "\\").
    QString WatchedFolder() const;

    CFileEntryArray m_entries;
    bool m_bSortAscending = false;
    int m_nSortKey = 0;
    QStringList m_folderNames;
    int m_nListings = 0;
    CFileListModel *m_pModel = nullptr;
    LiveChanges *m_pLive = nullptr;
    EntryNameIndex m_nameIndex; // made for live changes, once per listing
    int m_nIndexedListing = -1;
};
