#pragma once

class QWidget;

// Ends the program as Exit does when the session or another program asks
// it to (SIGTERM, SIGINT, SIGHUP), whatever window is open: each modal
// window first gets its way out (Cancel, No), and the frame is closed only
// once none is left, from the event loop, never from inside a dialog's own
// loop, which would return into a frame destroyed under it. Long work
// running then stops at its next safe point before the frame goes.
void CloseOnTermination(QWidget *frame);
