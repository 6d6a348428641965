#pragma once
#include "app/cferrixdoc.h"
#include "app/cmainframe.h"
#include "app/commandmap.h"
#include "common/devicefixture.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace apptest {

// A main frame on a device root of its own, shown and active, without the
// splash screen. The frame deletes itself when closed.
class FrameFixture {
public:
    FrameFixture();
    ~FrameFixture();

    // Creates the frame and waits until it is the active window.
    bool open();

    testsupport::TempDeviceRoot root;
    CFerrixDoc document;
    CommandMap appCommands;
    QPointer<CMainFrame> frame;
};

// Calls action with the modal dialog of class T as soon as one runs
// (checked from the event loop, so it works inside exec()).
template <class T>
void whenModal(std::function<void(T *)> action)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        if (T *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(dialog);
        }
    });
    poll->start();
}

// Taps the splash screen's picture as soon as it is up.
void tapSplashWhenShown();

// The main frames that exist right now.
QList<CMainFrame *> mainFrames();

} // namespace apptest
