#pragma once
#include "cfilelistview.h"

// The lower pane of the main window: the files of the tree's current folder.
class CFileListViewEx : public CFileListView {
    Q_OBJECT
public:
    explicit CFileListViewEx(QWidget *parent = nullptr);
    ~CFileListViewEx() override;

    void Populate(const QString &folder, bool force) override;
};
