#pragma once
#include "devicefixture.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace testsupport {

// A dialog's control by its template id, and the text a label shows.
template <class T = QWidget>
T *control(QWidget *dialog, int id)
{
    return dialog->findChild<T *>(QString::number(id));
}
inline QString labelText(QWidget *dialog, int id)
{
    const QLabel *label = control<QLabel>(dialog, id);
    return label ? label->text() : QStringLiteral("<no label %1>").arg(id);
}

// A picture of the widget to look at, outputFolder()/<name>.png; a run at
// another scale (QT_SCALE_FACTOR) writes <name>@<ratio>x.png beside it.
inline bool savePicture(QWidget *widget, const QString &name)
{
    const qreal ratio = widget->devicePixelRatioF();
    const QString scale = ratio == 1 ? QString() : QStringLiteral("@%1x").arg(ratio);
    return widget->grab().save(QStringLiteral("%1/%2%3.png").arg(outputFolder(), name, scale));
}

// Acts on the next modal dialog of type T that the code under test runs,
// as soon as it is up, then rejects it if it is still open, so a test never
// hangs on it. The flag returned turns true once act has run.
template <class T>
std::shared_ptr<bool> whenModal(std::function<void(T *)> act)
{
    auto ran = std::make_shared<bool>(false);
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, ran] {
        QPointer<T> dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(dialog);
        *ran = true;
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    poll->start(5);
    return ran;
}

} // namespace testsupport
