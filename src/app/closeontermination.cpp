#include "closeontermination.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace {
// How often a window that is still up is asked again to go.
constexpr int kRetryMs = 10;
} // namespace

void CloseOnTermination(QWidget *frame)
{
    const QPointer<QWidget> target = frame;
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        // Once its loop has returned, the next one, or the frame.
        QTimer::singleShot(kRetryMs, qApp, [target] {
            if (target)
                CloseOnTermination(target);
        });
        return;
    }
    if (target)
        target->close();
}
