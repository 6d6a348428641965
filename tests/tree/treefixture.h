#pragma once
#include "common/devicefixture.h"
#include "common/finger.h"
#include "filelist/cfilelistviewex.h"
#include "platform/fs/filesystem.h"
#include "tree/cdirtreeview.h"

#include <QTest>

#include <algorithm>

// The node of a folder path ("\" the root, "\a\b\" below), each folder on the way
// expanded first when asked; null when there is none.
inline QTreeWidgetItem *nodeAt(QTreeWidget &tree, const QString &path, bool expand = false)
{
    QTreeWidgetItem *item = tree.topLevelItem(0);
    for (const QString &label : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        QTreeWidgetItem *parent = item;
        item = nullptr;
        if (parent && expand)
            tree.expandItem(parent);
        for (int i = 0; parent && i < parent->childCount() && !item; ++i)
            if (parent->child(i)->text(0) == label)
                item = parent->child(i);
    }
    return item;
}

// The list pane, recording every folder the tree asks it to show.
class RecordingList : public CFileListViewEx {
public:
    struct Call { QString folder; bool force; };
    QList<Call> calls;

    void Populate(const QString &folder, bool force) override
    {
        calls.append({folder, force});
        CFileListViewEx::Populate(folder, force);
    }
};

// Both panes as the frame pairs them, on a device root of their own.
struct TreeFixture {
    testsupport::TempDeviceRoot device;
    RecordingList list;
    CDirTreeView tree;

    // Creates folders (parents first) and files (names ending in ".txt"),
    // then starts the tree as the frame does.
    bool start(const QStringList &entries)
    {
        if (!device.isValid() || !std::all_of(entries.begin(), entries.end(), make)) // never outside the temporary root
            return false;
        tree.SetListView(&list);
        tree.resize(320, 480);
        tree.show();
        tree.OnInitialUpdate();
        tree.OnActivateView();
        return device.isValid();
    }
    static bool make(const QString &entry)
    {
        return entry.endsWith(QLatin1String(".txt")) ? platform::writeFileAtomically(entry, "text", true)
                                                     : platform::createDirectory(entry);
    }

    QTreeWidgetItem *node(const QString &path) { return nodeAt(tree, path); }
    QStringList children(const QString &path)
    {
        QStringList labels;
        QTreeWidgetItem *item = node(path);
        for (int i = 0; item && i < item->childCount(); ++i)
            labels.append(item->child(i)->text(0));
        return labels;
    }

    // As the user does it: a tap on the node or on its expand button (by a
    // finger when the fixture says so), keys.
    bool finger = false;
    void tap(const QString &path, bool button = false)
    {
        QTreeWidgetItem *item = node(path);
        QVERIFY2(item, qPrintable(path));
        if (!button && tree.currentItem() == item)
            return; // a second tap would start a rename
        tree.scrollToItem(item);
        const QRect rect = tree.visualItemRect(item);
        const QPoint at = button ? QPoint(rect.left() - tree.indentation() / 2, rect.center().y()) : rect.center();
        finger ? testsupport::fingerStroke(tree.viewport(), at) : QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
        QVERIFY(button || tree.currentItem() == item);
    }
    void key(const QString &path, Qt::Key key)
    {
        tap(path);
        QTest::keyClick(&tree, key);
    }
};
