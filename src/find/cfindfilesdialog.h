#pragma once
#include "filesearch.h"

#include <QDialog>
#include <QString>

#include <memory>

class CFileListCtrl;
class QEventLoop;
class QLineEdit;
class QPushButton;

// The Find Files dialog: a file name pattern, a folder and an optional text,
// Start/Stop, and the files found in a result list that sorts by a column
// tap and opens a file by a double tap. The search runs on a worker thread
// that writes into the list and the button through blocking calls run on
// the dialog's thread. Stop, Cancel and the close box end a search at once:
// the worker is asked to stop and, should it not end within a moment (stuck
// in a call on a mount that does not answer), it is let go. A worker let go
// reaches nothing of the dialog again, whenever its call comes back.
struct SearchRun;

class CFindFilesDialog : public QDialog {
    Q_OBJECT
public:
    explicit CFindFilesDialog(QWidget *parent = nullptr);
    ~CFindFilesDialog() override;

    // Shown in the edits when the dialog opens, read back at each Start.
    QString m_strContaining;
    QString m_strFileName;
    QString m_strDirectory;

    // How long a worker asked to stop may take before it is let go.
    static constexpr int kLetGoMs = 500;

    // True while a worker runs that the dialog has not let go.
    bool IsSearchRunning() const;
    // Asks the worker to stop and waits for it, processing events, for at
    // most kLetGoMs; then lets it go. True.
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
    friend struct SearchRun;
    // A found file, on the dialog's thread.
    bool AddResult(const QString &path, const platform::FindData *data);

    void UpdateData(bool saveAndValidate);
    void OnStartStop();
    void StartSearchThread();
    void SetButtonText(const QString &text);
    // Lets the worker go after kLetGoMs when it has not ended by then.
    void LetGoUnlessEnded();
    void LetGo();

    CFileListCtrl *m_listResults = nullptr;
    QPushButton *m_btnStartStop = nullptr;
    QLineEdit *m_editContaining = nullptr;
    QLineEdit *m_editFileName = nullptr;
    QLineEdit *m_editDirectory = nullptr;
    int m_nTimer = 0;
    std::shared_ptr<SearchRun> m_run; // the worker's, until it is let go
    QEventLoop *m_endWait = nullptr;  // KillSearchThread's wait, ended by the worker's end
    bool m_bRestart = false;
    bool m_bInitialised = false;
    SearchHooks m_hooks;
};
