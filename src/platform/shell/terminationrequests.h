#pragma once
#include <QObject>

class QSocketNotifier;

namespace platform {

// SIGTERM, SIGINT and SIGHUP delivered as a Qt signal on the UI thread, so
// that `kill`, Ctrl+C in a terminal or the end of the session close the
// program the way its Exit command does instead of killing it mid-way.
// One object at a time; its destruction restores the default handling.
class TerminationRequests : public QObject {
    Q_OBJECT
public:
    explicit TerminationRequests(QObject *parent = nullptr);
    ~TerminationRequests() override;

    bool isListening() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void requested(int signalNumber);

private:
    void readPending();

    int m_readEnd = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace platform
