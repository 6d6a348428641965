#pragma once
#include "common/devicefixture.h"
#include "filelist/cfilelistviewex.h"
#include "tree/cdirtreeview.h"

#include <QTest>

// The list pane, recording every folder the tree asks it to show.
class RecordingList : public CFileListViewEx {
public:
    struct Call {
        QString folder;
        bool force;
    };
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
    bool start(const QStringList &entries);
    static bool make(const QString &entry);

    QTreeWidgetItem *node(const QString &path) const; // "\" is the root, "\a\b\" below
    QStringList children(const QString &path) const;

    // As the user does it: a tap on the node, a tap on its expand button, keys.
    void select(const QString &path);
    void tapButton(const QString &path);
    void key(const QString &path, Qt::Key key)
    {
        select(path);
        QTest::keyClick(&tree, key);
    }
};
