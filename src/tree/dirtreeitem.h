#pragma once
#include <QString>
#include <QTreeWidgetItem>

// Nodes of the folder tree. The kind is kept only so that the consistency
// check can tell a real folder from a placeholder; the tree itself recognises
// placeholders by their labels alone, so a folder that happens to carry one of
// those labels is taken for a placeholder when it is the first child.
class DirTreeItem : public QTreeWidgetItem {
public:
    enum Kind { Root = QTreeWidgetItem::UserType + 1, Folder, Placeholder };

    DirTreeItem(Kind kind, const QString &label);

    // Siblings are kept in labelLessThan order.
    bool operator<(const QTreeWidgetItem &other) const override;

    static const QString &expandPlaceholderLabel(); // "~Dummy Item"
    static const QString &updatePlaceholderLabel(); // "~Update this item"
    static bool isExpandPlaceholder(const QTreeWidgetItem *item);
    static bool isUpdatePlaceholder(const QTreeWidgetItem *item);
};

// Order of sibling labels: letter case is ignored first, then decides, so the
// order is total and names that differ only in case stay distinct neighbours.
bool labelLessThan(const QString &a, const QString &b);
