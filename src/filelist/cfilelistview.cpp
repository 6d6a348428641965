#include "cfilelistview.h"

CFileListView::CFileListView(QWidget *parent)
    : QTableView(parent)
{
    m_pListCtrl = this;
}

CFileListView::~CFileListView() = default;

bool CFileListView::SaveFocusedItem() { return false; }
void CFileListView::RestoreFocusedItem(bool) {}
void CFileListView::ForgetFocusedItem() {}
void CFileListView::ResetTapState() {}
