#include "dirtreeitem.h"

DirTreeItem::DirTreeItem(Kind kind, const QString &label)
    : QTreeWidgetItem(int(kind))
{
    setText(0, label);
    if (kind != Placeholder)
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
}

bool DirTreeItem::operator<(const QTreeWidgetItem &other) const
{
    return labelLessThan(text(0), other.text(0));
}

const QString &DirTreeItem::expandPlaceholderLabel()
{
    static const QString label = QStringLiteral("~Dummy Item");
    return label;
}

const QString &DirTreeItem::updatePlaceholderLabel()
{
    static const QString label = QStringLiteral("~Update this item");
    return label;
}

bool DirTreeItem::isExpandPlaceholder(const QTreeWidgetItem *item)
{
    return item && item->text(0) == expandPlaceholderLabel();
}

bool DirTreeItem::isUpdatePlaceholder(const QTreeWidgetItem *item)
{
    return item && item->text(0) == updatePlaceholderLabel();
}

bool labelLessThan(const QString &a, const QString &b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}
