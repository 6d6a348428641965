#pragma once
#include "filesearch.h"

#include <QDialog>
#include <QString>

class CFileListCtrl;
class QLineEdit;
class QPushButton;
class QThread;

// The Find Files dialog: a file name pattern, a folder and an optional text,
// Start/Stop, and the files found in a result list that sorts by a column
// tap and opens a file by a double tap. The search runs on a worker thread
// that writes into the list and the button through blocking queued calls;
// whatever ends the dialog first stops the worker and waits for it while
// still processing events, so the worker never outlives them.
class CFindFilesDialog : public QDialog, private SearchResults {
    Q_OBJECT
public:
    explicit CFindFilesDialog(QWidget *parent = nullptr);
    ~CFindFilesDialog() override;

    // Shown in the edits when the dialog opens, read back at each Start.
    QString m_strContaining;
    QString m_strFileName;
    QString m_strDirectory;

    // True while a worker thread exists and has not ended.
    bool IsSearchRunning() const;
    // Asks the worker to stop and waits for it, processing events; true.
    bool KillSearchThread();

    CFileListCtrl &Results() const { return *m_listResults; }
    QPushButton &StartStopButton() const { return *m_btnStartStop; }
    // Observers called on the worker thread; for tests that must hold a
    // search at a known point.
    void SetSearchHooks(SearchHooks hooks) { m_hooks = std::move(hooks); }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    // SearchResults, on the worker thread.
    bool AddResult(const QString &path) override;

    void UpdateData(bool saveAndValidate);
    void OnStartStop();
    void StartSearchThread();
    void SetButtonText(const QString &text);

    CFileListCtrl *m_listResults = nullptr;
    QPushButton *m_btnStartStop = nullptr;
    QLineEdit *m_editContaining = nullptr;
    QLineEdit *m_editFileName = nullptr;
    QLineEdit *m_editDirectory = nullptr;
    int m_nTimer = 0;
    QThread *m_hThread = nullptr;
    bool m_bThreadEnded = true; // set on this thread once the worker has finished
    int m_nGeneration = 0;      // counts the workers started
    StopEvent m_pStopEvent;
    bool m_bRestart = false;
    bool m_bInitialised = false;
    SearchHooks m_hooks;
};
