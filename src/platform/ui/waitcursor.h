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

// The normal cursor for as long as it lives, over a wait cursor too: a
// question is never asked under the busy cursor.
class NormalCursor {
public:
    NormalCursor();
    ~NormalCursor();
    NormalCursor(const NormalCursor &) = delete;
    NormalCursor &operator=(const NormalCursor &) = delete;

private:
    bool m_set = false;
};

} // namespace platform
