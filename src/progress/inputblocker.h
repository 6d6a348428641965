#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <QList>

#include <functional>

// While long work runs, swallows the user's input to the windows that were
// open when it began, so no second command can start. Windows that open
// later (the progress window, a question box) take input as usual. A close
// request to a blocked window is held back and handed to closeWanted.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(std::function<void(QWidget *)> closeWanted);
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isBlocked(QObject *receiver) const;

    QList<QPointer<QWidget>> m_windows;
    std::function<void(QWidget *)> m_closeWanted;
};
