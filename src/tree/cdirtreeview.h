#pragma once
#include "folderlisting.h"

#include <QIcon>
#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeWidget>

#include <optional>

class CFileListViewEx;
class LiveChanges;
namespace platform {
class SubfolderProbe;
struct FolderChanges;
}

// The upper pane: the device's folder tree, filled lazily. The selected node
// is the program's current folder. A collapsed folder with subfolders holds a
// single "~Dummy Item" child so that it shows an expand button; expanding it
// reads the folder from disk, collapsing it drops what was read.
class CDirTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit CDirTreeView(QWidget *parent = nullptr);
    ~CDirTreeView() override;

    void SetListView(CFileListViewEx *listView) { m_pListView = listView; }
    void OnInitialUpdate();   // root node, images, first walk
    void OnActivateView();    // selects the root on the first activation
    QString GetSelectedPath() const;
    QString GetItemPath(QTreeWidgetItem *node) const;
    // Fills what is marked for filling; with check it also drops nodes whose
    // folders are gone and adds folders that appeared under expanded nodes.
    void SyncBranch(QTreeWidgetItem *node, const QString &path, bool check);
    void RefreshTree();
    bool HasSubfolder(const QString &path) const;
    void DeleteChildren(QTreeWidgetItem *node);
    void SelectRoot();

    // True when the tree follows its rules and agrees with the disk (as it is
    // after a refresh): a collapsed node with subfolders holds exactly one
    // "~Dummy Item", a node without subfolders holds nothing, an expanded node
    // holds its subfolders and nothing else, sorted, and no "~Update this item"
    // is left anywhere.
    bool isConsistent() const;

    // The folder a drag over the tree would drop on, highlighted; none
    // while nothing is dragged over a folder.
    QTreeWidgetItem *DropTargetItem() const;
    // Repairs the one branch whose folder other programs changed, as a
    // checking walk would: folders come in sorted place, vanished ones go.
    void ApplyLiveChanges(const platform::FolderChanges &changes);
    const LiveChanges &GetLiveChanges() const { return *m_pLive; }

public Q_SLOTS:
    void OnRefresh(); // the Refresh command

Q_SIGNALS:
    // Entries (device paths) dropped on a folder (ending in "\"), to be
    // copied or moved once the drop is over.
    void entriesDropped(const QStringList &paths, bool move, const QString &folder);
    // A drag out of the tree is over: what the receiver did with it, and
    // whether the receiver was another program.
    void dragFinished(Qt::DropAction action, bool elsewhere);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Dragging a folder out, and dropping entries on a folder.
    void InitDragDrop();
    void StartDrag();
    QTreeWidgetItem *FolderAt(const QPoint &at) const;
    bool AcceptDrop(QDropEvent &event);
    void SetDropTarget(QTreeWidgetItem *item);

    QTreeWidgetItem *rootItem() const;
    QTreeWidgetItem *newFolderItem(const QString &name, platform::SubfolderProbe &probe) const;
    void syncNode(QTreeWidgetItem *node, const QString &path, bool check, platform::SubfolderProbe *parentProbe);
    void addSubfolders(QTreeWidgetItem *node, const QStringList &folders, bool check,
                       platform::SubfolderProbe &probe);
    void insertSorted(QTreeWidgetItem *node, const QStringList &sortedNames, platform::SubfolderProbe &probe);
    void deleteNode(QTreeWidgetItem *node);
    void collapseQuietly(QTreeWidgetItem *node);
    bool isNodeConsistent(QTreeWidgetItem *node, const QString &path) const;
    QTreeWidgetItem *itemAtPath(const QString &path) const;
    void updateWatchedFolders(); // the expanded folders, nothing else

    void OnItemExpanded(QTreeWidgetItem *node);
    void OnItemCollapsed(QTreeWidgetItem *node);
    void OnSelChanged();
    void showSelectedFolder();
    bool OnBeginLabelEdit(QTreeWidgetItem *node) const;
    void OnEndLabelEdit(QTreeWidgetItem *node, const QString &text);
    void OnLabelEdited(const QPersistentModelIndex &index, const QString &text);
    void finishLabelEdit();

    CFileListViewEx *m_pListView = nullptr;
    bool m_bDeletingChildren = false;
    bool m_bRootSelected = false;
    int m_nQuietCollapse = 0;       // collapses made by a walk, not by the user
    int m_nWalks = 0;               // SyncBranch calls under way
    QIcon m_folderIcon;
    QIcon m_deviceIcon;
    QPersistentModelIndex m_editedIndex; // label typed, rename not yet carried out
    QString m_strEditedText;
    bool m_bEditPending = false;
    // Moving with the keys lists the folder once the keys queued so far are
    // handled: holding Down over huge folders lists only where it stops.
    bool m_bKeySelecting = false;
    // The list's listing when it was read by the current walk: the walk
    // takes that folder's subfolders from it instead of reading it again.
    std::optional<FolderListing> m_listedByList;
    QString m_strListedPath;
    QTimer m_listTimer;
    bool m_bDragPending = false; // pressed on a folder with a mouse or a pen
    QPoint m_dragFrom;
    QPersistentModelIndex m_dragIndex;
    bool m_bDropUsable = false; // the drag over the tree offers entries
    QPersistentModelIndex m_dropIndex;
    QTimer *m_pOpenTimer = nullptr; // opens the folder a drag rests on
    LiveChanges *m_pLive = nullptr;
};
