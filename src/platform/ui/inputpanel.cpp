#include "inputpanel.h"

#include <QGuiApplication>
#include <QInputMethod>

namespace platform {

namespace {
InputPanelHooks hooks;
// A desktop has no on-screen keyboard to show: there the panel counts as
// shown once it was asked for, so callers waiting for it go on.
bool requestedOn = false;

QInputMethod *inputMethod()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::inputMethod() : nullptr;
}
} // namespace

void setInputPanelHooks(InputPanelHooks newHooks)
{
    hooks = std::move(newHooks);
}

bool getInputPanelFlags(unsigned *flags)
{
    if (!flags)
        return false;
    if (hooks.get)
        return hooks.get(flags);
    QInputMethod *method = inputMethod();
    if (!method)
        return false;
    *flags = (method->isVisible() || requestedOn) ? SIPF_ON : SIPF_OFF;
    return true;
}

bool setInputPanelFlags(unsigned flags)
{
    if (hooks.set)
        return hooks.set(flags);
    QInputMethod *method = inputMethod();
    if (!method)
        return false;
    requestedOn = (flags & SIPF_ON) != 0;
    if (requestedOn)
        method->show();
    else
        method->hide();
    return true;
}

} // namespace platform
