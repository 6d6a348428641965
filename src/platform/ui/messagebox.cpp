#include "messagebox.h"

#include "messageboxstyle.h"
#include "waitcursor.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {
MessageBoxHandler &handler()
{
    static MessageBoxHandler h;
    return h;
}
std::function<void(bool)> &watcher()
{
    static std::function<void(bool)> w;
    return w;
}

// The watcher hears of the box for exactly as long as it is up.
struct BoxShown {
    BoxShown()
    {
        if (watcher())
            watcher()(true);
    }
    ~BoxShown()
    {
        if (watcher())
            watcher()(false);
    }
};
} // namespace

void setMessageBoxWatcher(std::function<void(bool open)> newWatcher)
{
    watcher() = std::move(newWatcher);
}

void setMessageBoxHandler(MessageBoxHandler newHandler)
{
    handler() = std::move(newHandler);
}

int messageBox(QWidget *owner, const QString &text, const QString &caption, unsigned type)
{
    const QString title = caption.isEmpty() ? QCoreApplication::applicationName() : caption;
    const NormalCursor normal;
    const BoxShown shown;
    if (handler())
        return handler()(owner, text, title, type);
    const MessageBoxStyle style = messageBoxStyle(type);
    // Without a way out (Yes/No) the last button is the cautious answer.
    const QMessageBox::StandardButton wayOut =
        style.escapeButton != QMessageBox::NoButton ? style.escapeButton : style.buttons.last();
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return messageBoxResult(wayOut);

    // A box always has an owner window, so that it is placed over it and
    // stays with it (Wayland places a box only relative to its owner):
    // without one given, the window the user works in.
    if (!owner)
        owner = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    QMessageBox box(style.icon, title, text, QMessageBox::NoButton, owner);
    for (QMessageBox::StandardButton button : style.buttons)
        box.addButton(button);
    box.setDefaultButton(style.defaultButton);
    if (style.escapeButton != QMessageBox::NoButton)
        box.setEscapeButton(style.escapeButton);
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    return messageBoxResult(clicked ? box.standardButton(clicked) : wayOut);
}

} // namespace platform
