#pragma once
#include <QObject>

class CMainFrame;
class QKeyEvent;
class QWidget;

// The keys every desktop file manager shares, on the two panes: Delete,
// F5, Enter, Backspace and Alt+Up. Each runs what the menu command or the
// double tap runs; keys with a meaning of their own (the accelerators, F2,
// type-ahead) and keys typed into an editor are left alone.
class DesktopKeys : public QObject {
public:
    explicit DesktopKeys(CMainFrame *frame);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool OnKey(QWidget *pane, const QKeyEvent &key);
    void SelectParentFolder();

    CMainFrame *m_pFrame;
};

// Whether the pane itself (not an editor inside it) has the keyboard focus.
bool HasOwnFocus(const QWidget *pane);
