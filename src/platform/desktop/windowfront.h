#pragma once
#include <QString>

class QWindow;

namespace platform {

// Bringing a top-level window to the foreground by its title, the way a
// program finds its earlier instance's window and puts it in front.
//
// A window of this process is asked directly: raise and activation, which
// Qt turns into the window manager's activation request on X11 and into
// xdg-activation on Wayland (with the launcher's token when there is one).
// Another instance's window can only be raised by that instance, so the
// first instance of a user on a display listens for requests from later
// ones. A compositor may still refuse; nothing is reported then.

// Asks for the visible top-level window titled title to come to the front:
// this process's own, or else the earlier instance's. True when a window of
// this process was asked, or a request went to an earlier instance.
bool bringWindowToFront(const QString &title);

// Makes this process the one later instances ask, unless an earlier one
// already is. Does nothing where windows share no desktop (offscreen).
void listenForFrontRequests();

// The visible top-level window of this process titled title, or null.
QWindow *findTopLevelWindow(const QString &title);

// Tests give the channel a name of their own; it then works offscreen too.
// An empty name restores the user's and display's channel.
void setFrontChannelName(const QString &name);
// True while this process listens for requests.
bool isListeningForFrontRequests();

} // namespace platform
