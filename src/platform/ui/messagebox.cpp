#include "messagebox.h"

#include "messageboxstyle.h"
#include "waitcursor.h"

#include <QApplication>
#include <QEventLoop>
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

// A box being shown; answered when the user stops the work that asked.
struct OpenBox {
    QMessageBox *box = nullptr; // null: a test's handler answers it
    bool answered = false;
};
QList<OpenBox *> g_open;
bool g_besideWork = false;
bool g_refused = false;

struct Opened {
    explicit Opened(OpenBox &box) : m_box(box) { g_open.append(&box); }
    ~Opened() { g_open.removeOne(&m_box); }
    OpenBox &m_box;
};
} // namespace

void setMessageBoxWatcher(std::function<void(bool open)> newWatcher)
{
    watcher() = std::move(newWatcher);
}

void setBoxesBesideWork(bool on)
{
    g_besideWork = on;
}

void answerOpenBoxes()
{
    for (OpenBox *open : std::as_const(g_open)) {
        open->answered = true;
        if (open->box)
            open->box->done(0);
    }
}

void raiseOpenBoxes()
{
    for (OpenBox *open : std::as_const(g_open)) {
        if (open->box) {
            open->box->raise();
            open->box->activateWindow();
        }
    }
}

void setBoxesRefused(bool on)
{
    g_refused = on;
}

void setMessageBoxHandler(MessageBoxHandler newHandler)
{
    handler() = std::move(newHandler);
}

int messageBox(QWidget *owner, const QString &text, const QString &caption, unsigned type)
{
    const QString title = caption.isEmpty() ? QCoreApplication::applicationName() : caption;
    const MessageBoxStyle style = messageBoxStyle(type);
    // Without a way out (Yes/No) the last button is the cautious answer.
    const QMessageBox::StandardButton wayOut =
        style.escapeButton != QMessageBox::NoButton ? style.escapeButton : style.buttons.last();
    if (g_refused)
        return messageBoxResult(wayOut);
    const NormalCursor normal;
    const BoxShown shown;
    OpenBox open;
    if (handler()) {
        const Opened opened(open);
        const int answer = handler()(owner, text, title, type);
        return open.answered ? messageBoxResult(wayOut) : answer;
    }
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
    open.box = &box;
    const Opened opened(open);
    if (g_besideWork) {
        QEventLoop loop;
        QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
        box.show();
        box.activateWindow();
        loop.exec();
    } else {
        box.exec();
    }
    QAbstractButton *clicked = box.clickedButton();
    if (open.answered || !clicked)
        return messageBoxResult(wayOut);
    return messageBoxResult(box.standardButton(clicked));
}

} // namespace platform
