#pragma once
#include "app/cferrixdoc.h"
#include "app/cmainframe.h"
#include "app/commandmap.h"
#include "common/devicefixture.h"
#include "filelist/cfilelistviewex.h"
#include "platform/shell/shell.h"
#include "tree/cdirtreeview.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

namespace apptest {

using testsupport::Launches;

// A main frame on a device root of its own holding the given files, shown
// and active (ok), without the splash screen. The frame deletes itself
// when closed.
struct FrameFixture {
    explicit FrameFixture(const QStringList &files = {})
    {
        for (const QString &file : files)
            ok = root.makeFile(file, "content") && ok;
        frame = new CMainFrame;
        ok = frame->LoadFrame(&document, &appCommands) && ok;
        if (ok)
            frame->InitialUpdateFrame(true);
        ok = ok && QTest::qWaitForWindowActive(frame);
    }
    ~FrameFixture() { delete frame.data(); }

    // Selects a folder below the root in the tree ("": the root stays) and
    // gives the tree the focus; with a row, selects that row of the list
    // and gives the list the focus instead.
    void focusOn(const QString &folder, int row = -1) const
    {
        CDirTreeView *tree = frame->GetTreePane();
        QTreeWidgetItem *top = tree->topLevelItem(0);
        top->setExpanded(true);
        for (int i = 0; i < top->childCount(); ++i)
            if (top->child(i)->text(0) == folder)
                tree->setCurrentItem(top->child(i));
        CFileListViewEx *list = frame->GetListPane();
        QTRY_VERIFY(list->GetItemCount() > row);
        if (row >= 0)
            list->selectRow(row);
        QWidget *pane = row < 0 ? static_cast<QWidget *>(tree) : list;
        pane->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), pane);
    }

    testsupport::TempDeviceRoot root;
    CFerrixDoc document;
    CommandMap appCommands;
    QPointer<CMainFrame> frame;
    bool ok = true;
};

} // namespace apptest
