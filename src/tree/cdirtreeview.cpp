#include "cdirtreeview.h"

#include "dirtreeitem.h"
#include "filelist/cfilelistviewex.h"
#include "filelist/livechanges.h"
#include "platform/system/systeminfo.h"
#include "platform/ui/touchtaps.h"
#include "platform/work/longwork.h"
#include "treeimages.h"
#include "treelabeldelegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>

namespace {
// The root's label when the host name cannot be read.
const char *const kUnnamedDevice = "Device";

bool isInside(const QTreeWidgetItem *item, const QTreeWidgetItem *ancestor)
{
    for (; item; item = item->parent())
        if (item == ancestor)
            return true;
    return false;
}
} // namespace

CDirTreeView::CDirTreeView(QWidget *parent)
    : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false); // siblings are inserted in order; see insertSorted
    // A tap on the selected node or F2 starts a rename.
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);

    auto *delegate = new TreeLabelDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &TreeLabelDelegate::labelEdited, this, &CDirTreeView::OnLabelEdited);
    connect(this, &QTreeWidget::itemExpanded, this, &CDirTreeView::OnItemExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &CDirTreeView::OnItemCollapsed);
    connect(this, &QTreeWidget::currentItemChanged, this, &CDirTreeView::OnSelChanged);
    m_listTimer.setSingleShot(true);
    m_listTimer.setInterval(0);
    // A long operation's event loop may fire it: the list follows when the work is done.
    connect(&m_listTimer, &QTimer::timeout, this, [this] {
        platform::afterLongWork([tree = QPointer<CDirTreeView>(this)] {
            if (tree)
                tree->showSelectedFolder();
        });
    });
    platform::TouchTaps::install(this);
    InitDragDrop();
    m_pLive = new LiveChanges(
        [this] {
            return state() == QAbstractItemView::EditingState || m_bEditPending || m_nWalks > 0
                || LiveChanges::programBusy();
        },
        [this](const platform::FolderChanges &changes) { ApplyLiveChanges(changes); }, this);
}

CDirTreeView::~CDirTreeView()
{
    delete m_pLive;
}

void CDirTreeView::OnInitialUpdate()
{
    const QList<QPixmap> images = treeimages::load();
    m_folderIcon = treeimages::folderIcon(images);
    m_deviceIcon = treeimages::deviceIcon(images);

    if (!rootItem()) {
        QString host;
        if (platform::getHostName(host) && host.contains(QChar(0)))
            host.truncate(host.indexOf(QChar(0)));
        if (host.isEmpty())
            host = QString::fromLatin1(kUnnamedDevice);
        auto *root = new DirTreeItem(DirTreeItem::Root, host);
        root->setIcon(0, m_deviceIcon);
        root->addChild(new DirTreeItem(DirTreeItem::Placeholder, DirTreeItem::expandPlaceholderLabel()));
        addTopLevelItem(root);
    }
    SyncBranch(nullptr, QStringLiteral("\\"), true);
}

void CDirTreeView::OnActivateView()
{
    if (!m_bRootSelected) {
        SelectRoot();
        m_bRootSelected = true;
    }
}

void CDirTreeView::SelectRoot()
{
    if (QTreeWidgetItem *root = rootItem())
        setCurrentItem(root);
}

QTreeWidgetItem *CDirTreeView::rootItem() const
{
    return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr;
}

QString CDirTreeView::GetItemPath(QTreeWidgetItem *node) const
{
    // The root stands for the device: its label never enters a path.
    QString path;
    for (; node && node->parent(); node = node->parent())
        path = node->text(0) + QLatin1Char('\\') + path;
    return QLatin1Char('\\') + path;
}

QString CDirTreeView::GetSelectedPath() const
{
    return GetItemPath(currentItem());
}

void CDirTreeView::RefreshTree()
{
    SyncBranch(nullptr, QStringLiteral("\\"), true);
    // Long work runs the event loop every frame, so the tree is painted by
    // the next one: a folder copy refreshes once per folder, thousands of
    // times a second, and would otherwise paint each time.
    if (platform::currentWork())
        viewport()->update();
    else
        viewport()->repaint();
}

void CDirTreeView::OnRefresh()
{
    RefreshTree();
}

void CDirTreeView::OnSelChanged()
{
    if (!m_pListView)
        return;
    m_pListView->ForgetFocusedItem();
    if (m_bDeletingChildren)
        return; // the walk that follows shows the folder selected in the end
    if (m_bKeySelecting) {
        m_listTimer.start();
        return;
    }
    showSelectedFolder();
}

void CDirTreeView::showSelectedFolder()
{
    m_listTimer.stop();
    if (!m_pListView)
        return;
    m_pListView->ResetTapState();
    m_pListView->ShowFolder(GetSelectedPath(), false);
    m_pListView->viewport()->repaint();
}

// Every expansion reads the folder again: the node is marked with the update
// placeholder and a walk from the root fills it.
void CDirTreeView::OnItemExpanded(QTreeWidgetItem *node)
{
    if (!node)
        return;
    DeleteChildren(node);
    node->addChild(new DirTreeItem(DirTreeItem::Placeholder, DirTreeItem::updatePlaceholderLabel()));
    SyncBranch(nullptr, QStringLiteral("\\"), false);
}

// A collapsed branch keeps nothing loaded; the walk gives the node a fresh
// expansion placeholder when it still has subfolders.
void CDirTreeView::OnItemCollapsed(QTreeWidgetItem *node)
{
    if (!node || m_nQuietCollapse > 0)
        return;
    DeleteChildren(node);
    SyncBranch(nullptr, QStringLiteral("\\"), false);
}

void CDirTreeView::collapseQuietly(QTreeWidgetItem *node)
{
    ++m_nQuietCollapse;
    node->setExpanded(false);
    --m_nQuietCollapse;
}

void CDirTreeView::DeleteChildren(QTreeWidgetItem *node)
{
    m_bDeletingChildren = true;
    if (!node)
        node = rootItem();
    if (node) {
        // The selection cannot stay inside what goes: it moves to the node.
        QTreeWidgetItem *current = currentItem();
        if (current && current != node && isInside(current, node))
            setCurrentItem(node);
        qDeleteAll(node->takeChildren());
    }
    m_bDeletingChildren = false;
}

// Deletes one node; a selection inside it moves to a neighbour first, the
// next sibling, else the previous one, else the parent.
void CDirTreeView::deleteNode(QTreeWidgetItem *node)
{
    QTreeWidgetItem *current = currentItem();
    if (current && isInside(current, node)) {
        QTreeWidgetItem *parent = node->parent();
        const int row = parent ? parent->indexOfChild(node) : indexOfTopLevelItem(node);
        QTreeWidgetItem *next = nullptr;
        if (parent) {
            if (row + 1 < parent->childCount())
                next = parent->child(row + 1);
            else if (row > 0)
                next = parent->child(row - 1);
            else
                next = parent;
        }
        setCurrentItem(next);
    }
    delete node;
}

void CDirTreeView::keyPressEvent(QKeyEvent *event)
{
    // '*' would expand every branch below the node, reading the whole disk.
    if (event->key() == Qt::Key_Asterisk) {
        event->ignore();
        return;
    }
    m_bKeySelecting = true;
    QTreeWidget::keyPressEvent(event);
    m_bKeySelecting = false;
}
