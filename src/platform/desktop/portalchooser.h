#pragma once
#include <QString>

// The desktop's own "open with" chooser, through its portal on the session
// bus (org.freedesktop.portal.OpenURI with ask set).
namespace platform {

// A desktop portal is running, or can be started, on the session bus. The
// bus is asked once, in the background: false until it has answered, so
// ask early.
bool canChooseApplication();

// Asks the portal to let the user choose a program for the file and open
// it; the file goes as an open descriptor, so its name is never parsed.
// Does not wait for the user. False when the file cannot be opened or the
// request not sent.
bool chooseApplication(const QString &devicePath);

} // namespace platform
