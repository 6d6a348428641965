#include "waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

namespace {
int depth = 0;
bool cursorSet = false; // whether the override is ours to restore
} // namespace

// Used on the user-interface thread only, like the cursor itself.
void beginWaitCursor()
{
    if (depth++ == 0 && qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        cursorSet = true;
    }
}

void endWaitCursor()
{
    if (depth == 0)
        return;
    if (--depth == 0 && cursorSet) {
        cursorSet = false;
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            QGuiApplication::restoreOverrideCursor();
    }
}

NormalCursor::NormalCursor()
{
    if (cursorSet) {
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        m_set = true;
    }
}

NormalCursor::~NormalCursor()
{
    if (m_set && qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
}

int waitCursorDepth()
{
    return depth;
}

} // namespace platform
