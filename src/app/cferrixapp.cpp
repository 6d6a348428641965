#include "cferrixapp.h"

#include "caboutdlg.h"
#include "cferrixdoc.h"
#include "cmainframe.h"
#include "csplashdlg.h"
#include "filelist/folderprefetch.h"
#include "platform/desktop/windowfront.h"
#include "resources/resourceids.h"

#include <QCoreApplication>

CFerrixApp::CFerrixApp()
{
    m_commands.OnCommand(ids::ID_APP_ABOUT, [this] { OnAppAbout(); });
    m_commands.OnCommand(ids::ID_FILE_NEW, [this] { OnFileNew(); });
    m_commands.OnCommand(ids::ID_APP_EXIT, [this] { OnAppExit(); });
    // No Open: the command line names the device root, not a document, and
    // the document has nothing to read. Ctrl+O therefore does nothing.
}

CFerrixApp::~CFerrixApp()
{
    delete m_pMainWnd.data();
}

CMainFrame *CFerrixApp::GetMainWnd() const
{
    return m_pMainWnd.data();
}

bool CFerrixApp::InitInstance()
{
    // A later instance asks this one, the first, to bring its window up.
    platform::listenForFrontRequests();
    // The list's first folder is the root: it is read while the splash is
    // up, so that the main window shows its rows from its first frame.
    folderprefetch::start(QStringLiteral("\\"));
    CSplashDlg splash;
    splash.exec();

    // The framework's profile key; the program itself stores nothing there.
    QCoreApplication::setOrganizationName(QStringLiteral("Norvik"));

    const bool made = OpenNewDocument();
    folderprefetch::discard(); // taken by the list, unless it listed elsewhere
    if (!made)
        return false;
    if (CMainFrame *frame = m_pMainWnd) {
        frame->showNormal();
        frame->repaint();
        frame->SetFocus();
    }
    return true;
}

bool CFerrixApp::OpenNewDocument()
{
    if (!m_pDocument)
        m_pDocument = std::make_unique<CFerrixDoc>();
    if (!m_pDocument->OnNewDocument())
        return false;
    if (m_pMainWnd) {
        // One frame only: it is brought up to date, not made again.
        m_pMainWnd->InitialUpdateFrame(true);
        return true;
    }
    auto *frame = new CMainFrame;
    if (!frame->LoadFrame(m_pDocument.get(), &m_commands)) {
        delete frame;
        return false;
    }
    m_pMainWnd = frame;
    frame->InitialUpdateFrame(true);
    return true;
}

void CFerrixApp::OnAppAbout()
{
    ShowAboutBox(m_pMainWnd);
}

bool CFerrixApp::OnFileNew()
{
    return OpenNewDocument();
}

void CFerrixApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->close();
}
