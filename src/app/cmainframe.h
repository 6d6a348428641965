#pragma once
#include "commandmap.h"
#include "commandrouter.h"
#include "fileops/fileclipboard.h"
#include "progress/progressservice.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class CCommandBar;
class CDirTreeView;
class CFerrixDoc;
class CFileListViewEx;
class QDialog;
class QSplitter;

// The program's one window: the command bar above, the folder tree and the
// file list in a splitter below it. Every menu, tool bar and keyboard
// command arrives here and is routed to the frame's own handlers first,
// then to the active pane, the document and the application.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Creates the command bar, the panes and their links; false when the
    // window could not be made (it must then be deleted unshown).
    bool LoadFrame(CFerrixDoc *document, const CommandMap *appCommands);
    // The panes' initial update and the active pane's first activation.
    void InitialUpdateFrame(bool makeVisible);
    // Brings the frame (or the Find or Properties dialog it runs) to the
    // front, shown normally.
    void ActivateFrame();
    // Gives the keyboard focus to the frame, which passes it to its pane.
    void SetFocus();

    // Switches between menu bar and full tool bar.
    void ToggleCommandBar();
    bool IsFullToolBar() const { return m_bFullToolBar; }

    // Whether the keyboard focus is in the tree (or the list) pane, its
    // viewport included. Neither holds when the focus is anywhere else.
    bool IsTreeFocused() const;
    bool IsListFocused() const;

    CDirTreeView *GetTreePane() const { return m_pTreePane; }
    CFileListViewEx *GetListPane() const { return m_pListPane; }
    CCommandBar *GetCommandBar() const { return m_wndCommandBar; }
    QSplitter *GetSplitter() const { return m_wndSplitter; }

    // The action of a command id (it carries the id in its "commandId"
    // property); null for an id the frame does not know.
    QAction *action(int id) const { return m_actions.value(id); }
    // The frame's own handlers: register a handler and an update handler
    // per command id here.
    CommandMap &commands() { return m_commands; }
    // Runs a command as if it had been chosen; false if it is disabled or
    // has no handler.
    bool OnCommand(int id);
    // Runs every update handler and sets the actions' states.
    void UpdateCommands();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    int OnCreate();
    bool OnCreateClient();
    void OnSetFocus();
    void CreateActions();
    void CreateAccelerators();
    void RegisterCommandHandlers();
    void RegisterEditCommands();
    void RegisterInfoCommands(); // Properties, Execute, Send IR, Receive IR
    void RegisterFindCommands();
    QList<const CommandMap *> RoutingChain() const;
    void OnFocusChanged(QWidget *old, QWidget *now);
    void ActivateOtherPane();
    QWidget *ActivePane() const;

    QPointer<QDialog> m_pFindDlg;       // set while the Find Files dialog runs
    QPointer<QDialog> m_pPropertiesDlg; // set while the Properties dialog runs
    QSplitter *m_wndSplitter = nullptr;
    QPointer<QObject> m_pDesktopKeys;  // the desktop's keys on the panes
    QPointer<QObject> m_pContextMenu;  // the panes' context menu
    CDirTreeView *m_pTreePane = nullptr;     // owned by the splitter
    CFileListViewEx *m_pListPane = nullptr;  // owned by the splitter
    FileClipboard m_clipboard;
    ProgressService m_progress{this}; // the window of long file work
    CCommandBar *m_wndCommandBar = nullptr;
    bool m_bFullToolBar = true; // so that the first switch shows the menu bar

    CFerrixDoc *m_pDocument = nullptr;
    const CommandMap *m_pAppCommands = nullptr;
    QWidget *m_pActivePane = nullptr;
    QHash<int, QAction *> m_actions;
    CommandMap m_commands;
    CommandMap m_treeCommands;
    CommandMap m_listCommands;
    CommandRouter m_router;
    QTimer m_idleUpdate;
    QMetaObject::Connection m_focusConnection;
    bool m_bSplitterPlaced = false;
};
