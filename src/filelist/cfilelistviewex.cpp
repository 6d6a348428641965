#include "cfilelistviewex.h"

CFileListViewEx::CFileListViewEx(QWidget *parent)
    : CFileListView(parent)
{
}

CFileListViewEx::~CFileListViewEx() = default;

void CFileListViewEx::Populate(const QString &folder, bool force)
{
    if (!force && folder == m_strFolder)
        return;
    m_strFolder = folder;
}
