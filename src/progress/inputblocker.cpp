#include "inputblocker.h"

#include <QAction>
#include <QApplication>
#include <QEvent>

InputBlocker::InputBlocker(std::function<void(QWidget *)> closeWanted)
    : m_closeWanted(std::move(closeWanted))
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            m_windows.append(window);
    }
    qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker()
{
    qApp->removeEventFilter(this);
}

bool InputBlocker::isBlocked(QObject *receiver) const
{
    // A key the frame's actions know reaches them as a shortcut event.
    if (qobject_cast<QAction *>(receiver))
        return true;
    auto *widget = qobject_cast<QWidget *>(receiver);
    if (!widget)
        return false;
    const QWidget *window = widget->window();
    for (const QPointer<QWidget> &blocked : m_windows) {
        if (blocked == window)
            return true;
    }
    return false;
}

bool InputBlocker::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepted: the focused widget seems to want the key, so no shortcut fires.
        if (!isBlocked(watched))
            return false;
        event->accept();
        return true;
    case QEvent::Close:
        if (!isBlocked(watched))
            return false;
        event->ignore();
        // Closing a window is never dropped: it comes once the work has ended.
        if (auto *window = qobject_cast<QWidget *>(watched); window && window->isWindow() && m_closeWanted)
            m_closeWanted(window);
        return true;
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
        if (isBlocked(watched)) {
            event->ignore();
            return true;
        }
        return false;
    default:
        return false;
    }
}
