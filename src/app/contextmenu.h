#pragma once
#include <QObject>

class CMainFrame;
class QMenu;
class QPoint;
class QWidget;

// The panes' context menu, for the right button, the Menu key and
// Shift+F10: the frame's own commands for the place (a file, a folder, the
// empty part of a pane), so that texts, enabling and what they run are the
// menu bar's, plus Open and Open With for a file and Rename. A finger's hold
// keeps its own meaning: a context menu that a touch brought is ignored.
class PaneContextMenu : public QObject {
    Q_OBJECT
public:
    explicit PaneContextMenu(CMainFrame *frame);

    // Makes the place under at (pane viewport coordinates) the pane's
    // focus and selection, as a tap would, and builds its menu; the caller
    // owns it. A point outside any row or folder is the empty part.
    QMenu *Build(QWidget *pane, const QPoint &at);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *PaneOf(QObject *watched) const;
    void Popup(QWidget *pane, const QPoint &at, bool byKeyboard);
    void AddOpenWith(QMenu *menu, const QString &path);

    CMainFrame *m_pFrame;
    bool m_bFingerDown = false;
    bool m_bTouchPress = false; // the last press came from a finger
};
