#pragma once
#include "cfilelisttable.h"

// Base of the list pane: tap-and-hold, in-place rename and the remembered row.
class CFileListView : public CFileListTable {
    Q_OBJECT
public:
    explicit CFileListView(QWidget *parent = nullptr);
    ~CFileListView() override;

    // Remembers the focused row (or the row tapped last); true when one was
    // remembered.
    bool SaveFocusedItem();
    // Selects the remembered row, or with stepBack the nearest row before
    // it, and forgets it. A row that no longer exists stays remembered
    // (without stepBack).
    void RestoreFocusedItem(bool stepBack);
    void ForgetFocusedItem() { m_bFocusSaved = false; }
    void ResetTapState();

    bool IsFocusSaved() const { return m_bFocusSaved; }
    // A tap may still turn into a hold, or its hold action is running.
    bool IsHoldPending() const { return m_nHoldTimer != 0 || m_bHolding; }

    // Opens a row's file as a double tap on it does.
    void OpenRow(int row);

    int GetItemCount() const;
    QString GetItemName(int row) const;
    QList<int> GetSelectedRows() const; // ascending

    // Set by a double tap; read and cleared by the main frame when it gets
    // the focus back.
    bool m_bReturnFocus = false;

Q_SIGNALS:
    // Entries (device paths) dropped on the pane, for its folder (ending in
    // "\"), to be copied or moved once the drop is over.
    void entriesDropped(const QStringList &paths, bool move, const QString &folder);
    // A drag out of the pane is over: what the receiver did with it, and
    // whether the receiver was another program.
    void dragFinished(Qt::DropAction action, bool elsewhere);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void EndLabelEdit(int row, bool committed, const QString &newText) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Dragging the selected files out, and dropping entries in.
    void NoteDragPress(const QMouseEvent &event);
    void StartDrag();
    bool AcceptDrop(QDropEvent &event);

    void HoldAction();
    void OpenRowNow(int row);
    void KillHoldTimer();
    void TakeFocus();
    bool SelectRowIfPresent(int row);

    bool m_bMoved = false;
    bool m_bArmed = false;
    bool m_bFocusSaved = false;
    bool m_bHolding = false;
    int m_nLastRow = -1;
    int m_nCurRow = -1;
    int m_nHoldTimer = 0;
    int m_nSavedRow = -1;
    bool m_bDragPending = false; // pressed on a row with a mouse or a pen
    QPoint m_dragFrom;
    int m_nDragRow = -1;
    bool m_bDropUsable = false; // the drag over the pane offers entries
};
