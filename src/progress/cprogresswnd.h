#pragma once
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
namespace platform {
struct WorkProgress;
}

// The small window of a long file operation: what it does, the device path
// it is at (elided in the middle), files and bytes done and, once the whole
// is known, a bar, the rate and the time left. Cancel, Escape and the close
// box ask the operation to stop at its next safe point.
class CProgressWnd : public QDialog {
    Q_OBJECT
public:
    CProgressWnd(const platform::WorkProgress &work, QWidget *owner);

    // Shows the state of the work after elapsedMs of it.
    void Update(qint64 elapsedMs);

    QLabel *nameLabel() const { return m_name; }
    QProgressBar *bar() const { return m_bar; }
    QPushButton *cancelButton() const { return m_cancel; }

public Q_SLOTS:
    void reject() override; // Escape

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Cancel();

    const platform::WorkProgress &m_work;
    const bool m_bBytes; // whether bytes are counted (copies), or files only
    QLabel *m_what = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_counts = nullptr;
    QLabel *m_rate = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
};
