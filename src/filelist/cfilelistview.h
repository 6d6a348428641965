#pragma once
#include "cfilelister.h"

#include <QTableView>

// Base of the list pane: tap-and-hold, in-place rename and the remembered row.
class CFileListView : public QTableView, public CFileLister {
    Q_OBJECT
public:
    explicit CFileListView(QWidget *parent = nullptr);
    ~CFileListView() override;

    bool SaveFocusedItem();
    void RestoreFocusedItem(bool stepBack);
    void ForgetFocusedItem();
    void ResetTapState();

    // Set by a double tap; read and cleared by the main frame when it gets
    // the focus back.
    bool m_bReturnFocus = false;
};
