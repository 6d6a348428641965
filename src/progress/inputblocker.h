#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <QList>

// While long work runs, swallows the user's input (and close requests) to
// the windows that were open when it began, so no second command can start.
// Windows that open later (the progress window, a question box) take input
// as usual.
class InputBlocker : public QObject {
public:
    InputBlocker();
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isBlocked(QObject *receiver) const;

    QList<QPointer<QWidget>> m_windows;
};
