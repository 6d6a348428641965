#pragma once

// The application's wait cursor; calls nest, the cursor goes at the last end.
namespace platform {

void beginWaitCursor();
void endWaitCursor();
int waitCursorDepth();

class WaitCursor {
public:
    WaitCursor() { beginWaitCursor(); }
    ~WaitCursor() { endWaitCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace platform
