#pragma once
#include "platform/finddata.h"
#include "platform/imagelist.h"

#include <QString>

class QAbstractItemView;

// The listing core shared by the list pane and the Find Files result list:
// the folder shown, the control being filled, the small-icon image list and
// the sort state of the text sort.
class CFileLister {
public:
    CFileLister();
    virtual ~CFileLister();

    virtual void Populate(const QString &folder, bool force) = 0;

    void ShowFolder(const QString &folder, bool force) { Populate(folder, force); }
    void Refresh() { Populate(QString(m_strFolder), true); }
    const QString &GetFolder() const { return m_strFolder; }

protected:
    QString m_strFolder;
    QAbstractItemView *m_pListCtrl = nullptr;
    platform::ImageList m_imageList;
    int m_nBaseImageCount = 0;
    quint32 m_nSortState = 0;
};
