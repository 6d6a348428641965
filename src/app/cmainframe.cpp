#include "cmainframe.h"

#include "ccommandbar.h"
#include "cferrixdoc.h"
#include "contextmenu.h"
#include "desktopkeys.h"
#include "filelist/cfilelistviewex.h"
#include "platform/desktop/desktopclipboard.h"
#include "platform/desktop/windowfront.h"
#include "platform/work/longwork.h"
#include "resources/resourceids.h"
#include "resources/strings.h"
#include "tree/cdirtreeview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMenu>
#include <QScreen>
#include <QSplitter>

namespace {
constexpr int kTreePaneHeight = 100;
const QSize kDefaultSize(480, 640);

// A menu walked with the keys takes the focus while it is open; the pane
// that had it before is still the one its commands are about.
QWidget *focusedWidget(const QWidget *frame)
{
    QWidget *focus = QApplication::focusWidget();
    return qobject_cast<QMenu *>(focus) ? frame->focusWidget() : focus;
}
} // namespace

CMainFrame::CMainFrame()
    : m_router([this] { return RoutingChain(); })
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("mainFrame"));
}

CMainFrame::~CMainFrame()
{
    // Panes go before QObject drops the connections; no update may run on
    // a half-destroyed frame.
    QObject::disconnect(m_focusConnection);
    m_idleUpdate.stop();
    // The key and menu filters ask the frame for its panes: they go while
    // it is still whole, not when QWidget's part hides the panes.
    delete m_pDesktopKeys.data();
    delete m_pContextMenu.data();
    m_pTreePane = nullptr;
    m_pListPane = nullptr;
    m_pActivePane = nullptr;
}

bool CMainFrame::LoadFrame(CFerrixDoc *document, const CommandMap *appCommands)
{
    m_pDocument = document;
    m_pAppCommands = appCommands;
    setWindowTitle(resources::LoadDocString(resources::DocString::WindowTitle));

    CreateActions();
    if (OnCreate() == -1 || !OnCreateClient())
        return false;
    CreateAccelerators();
    RegisterCommandHandlers();
    m_pDesktopKeys = new DesktopKeys(this);
    m_pContextMenu = new PaneContextMenu(this);

    QSize size = kDefaultSize;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);

    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    // Commands also become possible or impossible without any event of
    // ours (a selection, a file appearing): look again now and then.
    // Not while long work runs: its commands change the panes only when it ends.
    const auto updateWhenIdle = [this] {
        if (!platform::currentWork())
            UpdateCommands();
    };
    m_idleUpdate.setInterval(250);
    connect(&m_idleUpdate, &QTimer::timeout, this, updateWhenIdle);
    m_idleUpdate.start();
    // Another program putting files on the desktop's clipboard can enable Paste.
    connect(&platform::DesktopClipboard::instance(), &platform::DesktopClipboard::changed, this, updateWhenIdle);
    UpdateCommands();
    return true;
}

int CMainFrame::OnCreate()
{
    m_wndCommandBar = new CCommandBar([this](int id) { return action(id); }, this);
    addToolBar(Qt::TopToolBarArea, m_wndCommandBar);
    connect(m_wndCommandBar, &CCommandBar::menuAboutToShow, this, &CMainFrame::UpdateCommands);
    ToggleCommandBar();
    return m_wndCommandBar->actions().isEmpty() ? -1 : 0;
}

bool CMainFrame::OnCreateClient()
{
    m_wndSplitter = new QSplitter(Qt::Vertical, this);
    m_wndSplitter->setObjectName(QStringLiteral("splitter"));
    m_wndSplitter->setChildrenCollapsible(false);

    m_pTreePane = new CDirTreeView;
    m_pListPane = new CFileListViewEx;
    m_wndSplitter->addWidget(m_pTreePane);
    m_wndSplitter->addWidget(m_pListPane);
    // The tree keeps its height when the window grows; the list takes the rest.
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 1);
    setCentralWidget(m_wndSplitter);

    m_pTreePane->SetListView(m_pListPane);
    m_clipboard.SetFileList(m_pListPane);
    m_clipboard.SetTreeView(m_pTreePane);

    // A window titled Ferrix already up (an earlier instance's) comes to the
    // front; this frame, not shown yet, is not among them.
    platform::bringWindowToFront(QStringLiteral("Ferrix"));

    m_pActivePane = m_pTreePane;
    m_pTreePane->setFocus();
    return true;
}

void CMainFrame::InitialUpdateFrame(bool makeVisible)
{
    m_pTreePane->OnInitialUpdate();
    if (makeVisible)
        ActivateFrame();
}

void CMainFrame::ActivateFrame()
{
    for (QDialog *dialog : {m_pFindDlg.data(), m_pPropertiesDlg.data()}) {
        if (dialog && dialog->isVisible()) {
            dialog->activateWindow();
            dialog->setFocus();
            return;
        }
    }
    if (!isVisible() || isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void CMainFrame::SetFocus()
{
    activateWindow();
    OnSetFocus();
}

void CMainFrame::OnSetFocus()
{
    // The focus goes on to the active pane, unless Qt already put it back
    // where it was inside the frame.
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus == this || !isAncestorOf(focus)) {
        if (QWidget *pane = ActivePane())
            pane->setFocus(Qt::ActiveWindowFocusReason);
    }
    // Back from a program the list opened: the list gets its row back.
    if (m_pListPane && m_pListPane->m_bReturnFocus) {
        m_pListPane->setFocus(Qt::ActiveWindowFocusReason);
        m_pListPane->RestoreFocusedItem(false);
        m_pListPane->m_bReturnFocus = false;
    }
}

void CMainFrame::ToggleCommandBar()
{
    CCommandBar *bar = m_wndCommandBar;
    if (m_bFullToolBar) {
        m_bFullToolBar = false;
        bar->Clear();
        bar->InsertMenuBar();
        bar->AddSeparator(6);
        bar->LoadToolBar(ids::IDR_TOOLBAR_TOGGLE);
    } else {
        m_bFullToolBar = true;
        bar->Clear();
        bar->LoadToolBar(ids::IDR_MAINFRAME);
    }
}

bool CMainFrame::IsTreeFocused() const
{
    const QWidget *focus = focusedWidget(this);
    return focus && m_pTreePane && (focus == m_pTreePane || focus == m_pTreePane->viewport());
}

bool CMainFrame::IsListFocused() const
{
    const QWidget *focus = focusedWidget(this);
    return focus && m_pListPane && (focus == m_pListPane || focus == m_pListPane->viewport());
}

QWidget *CMainFrame::ActivePane() const
{
    return m_pActivePane ? m_pActivePane : m_pTreePane;
}

void CMainFrame::OnFocusChanged(QWidget *, QWidget *now)
{
    if (!m_pTreePane || !m_pListPane)
        return;
    if (now == m_pTreePane || now == m_pTreePane->viewport())
        m_pActivePane = m_pTreePane;
    else if (now == m_pListPane || now == m_pListPane->viewport())
        m_pActivePane = m_pListPane;
    UpdateCommands();
}

// With two panes, the next pane and the previous pane are the same one.
void CMainFrame::ActivateOtherPane()
{
    QWidget *target = ActivePane() == m_pTreePane ? static_cast<QWidget *>(m_pListPane)
                                                  : static_cast<QWidget *>(m_pTreePane);
    m_pActivePane = target;
    target->setFocus(Qt::ShortcutFocusReason);
}

bool CMainFrame::event(QEvent *event)
{
    const bool result = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate && m_pTreePane) {
        OnSetFocus();
        if (ActivePane() == m_pTreePane)
            m_pTreePane->OnActivateView();
    }
    return result;
}

void CMainFrame::showEvent(QShowEvent *event)
{
    // The tree's row is placed once the splitter knows its real height.
    if (!m_bSplitterPlaced && m_wndSplitter) {
        m_bSplitterPlaced = true;
        const int total = m_wndSplitter->height() - m_wndSplitter->handleWidth();
        m_wndSplitter->setSizes({kTreePaneHeight, qMax(0, total - kTreePaneHeight)});
    }
    QMainWindow::showEvent(event);
}

void CMainFrame::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimising ends the program.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        close();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    // Ending the Find dialog stops its search and waits for the worker.
    if (m_pFindDlg)
        m_pFindDlg->done(0);
    QMainWindow::closeEvent(event);
}
