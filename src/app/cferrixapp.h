#pragma once
#include "commandmap.h"

#include <QObject>
#include <QPointer>

#include <memory>

class CFerrixDoc;
class CMainFrame;

// The application object: start-up, and the commands no window handles
// (About, New, Exit).
class CFerrixApp : public QObject {
    Q_OBJECT
public:
    CFerrixApp();
    ~CFerrixApp() override;

    // Splash screen, then the document and the main window, shown and
    // focused. False when the window could not be made; nothing is shown
    // then.
    bool InitInstance();

    CMainFrame *GetMainWnd() const;

    void OnAppAbout();
    // The single-document New: the one document starts over in the one frame.
    bool OnFileNew();
    void OnAppExit();

private:
    bool OpenNewDocument();

    std::unique_ptr<CFerrixDoc> m_pDocument;
    QPointer<CMainFrame> m_pMainWnd;
    CommandMap m_commands;
};
