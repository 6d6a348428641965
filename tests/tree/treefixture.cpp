#include "treefixture.h"

#include "platform/filesystem.h"

bool TreeFixture::start(const QStringList &entries)
{
    if (!device.isValid())
        return false;
    for (const QString &entry : entries)
        if (!make(entry))
            return false;
    tree.SetListView(&list);
    tree.resize(320, 480);
    tree.show();
    tree.OnInitialUpdate();
    tree.OnActivateView();
    return true;
}

bool TreeFixture::make(const QString &entry)
{
    if (entry.endsWith(QLatin1String(".txt")))
        return platform::writeFileAtomically(entry, "text", true);
    return platform::createDirectory(entry);
}

QTreeWidgetItem *TreeFixture::node(const QString &path) const
{
    QTreeWidgetItem *item = tree.topLevelItem(0);
    for (const QString &label : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        QTreeWidgetItem *parent = item;
        item = nullptr;
        for (int i = 0; parent && i < parent->childCount() && !item; ++i)
            if (parent->child(i)->text(0) == label)
                item = parent->child(i);
    }
    return item;
}

QStringList TreeFixture::children(const QString &path) const
{
    QStringList labels;
    QTreeWidgetItem *item = node(path);
    for (int i = 0; item && i < item->childCount(); ++i)
        labels.append(item->child(i)->text(0));
    return labels;
}

void TreeFixture::select(const QString &path)
{
    QTreeWidgetItem *item = node(path);
    QVERIFY2(item, qPrintable(path));
    if (tree.currentItem() == item)
        return; // a second tap would start a rename
    tree.scrollToItem(item);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(item).center());
    QCOMPARE(tree.currentItem(), item);
}

void TreeFixture::tapButton(const QString &path)
{
    QTreeWidgetItem *item = node(path);
    QVERIFY2(item, qPrintable(path));
    tree.scrollToItem(item);
    const QRect rect = tree.visualItemRect(item);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      QPoint(rect.left() - tree.indentation() / 2, rect.center().y()));
}
