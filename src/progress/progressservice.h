#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class CProgressWnd;
class InputBlocker;
namespace platform {
struct WorkProgress;
}

// Watches the long work the platform layer runs: while it runs, input to
// the open windows is blocked; past about a second of the work itself the
// progress window shows over the owner and follows the work until it ends.
// Time the user spends on a message box is not the work's: the window does
// not first come up beside a question, and its rate and time left stand
// still while one waits. A stop answers the open question as a No. A window
// closed meanwhile closes once the work has ended; closing the owner (its
// close box, Exit, a termination signal) also stops the work.
class ProgressService : public QObject {
public:
    // Milliseconds on long work's clock (platform::steadyMs).
    static constexpr qint64 kDelayMs = 1000;
    static constexpr int kTickMs = 100;

    explicit ProgressService(QWidget *owner);
    ~ProgressService() override;

    static ProgressService *instance();
    // The window of the running work; null before its delay and after it.
    static CProgressWnd *window();
    // What the timer does: show the window once its delay is over, update it.
    void tick();
    // Milliseconds the running work has run, the waits for boxes left out.
    qint64 workMs() const;

private:
    void begin(platform::WorkProgress &work);
    void end();
    void stopped();
    void closeWanted(QWidget *window);
    void boxShown(bool open);

    QWidget *m_owner;
    QTimer m_timer;
    platform::WorkProgress *m_work = nullptr;
    qint64 m_begun = 0;
    qint64 m_waited = 0;   // in boxes that have closed again
    qint64 m_boxSince = 0; // when the outermost open box opened
    int m_boxes = 0;       // boxes open now (a box may open over a box)
    std::unique_ptr<InputBlocker> m_blocker;
    std::unique_ptr<CProgressWnd> m_window;
    QList<QPointer<QWidget>> m_closeAfter; // closed once the work has ended
};
