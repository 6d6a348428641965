#include "messageboxstyle.h"

#include "messagebox.h"

namespace platform {

MessageBoxStyle messageBoxStyle(unsigned type)
{
    using B = QMessageBox;
    MessageBoxStyle style;
    switch (type & 0xF) {
    case MB_OKCANCEL:
        style.buttons = {B::Ok, B::Cancel};
        style.escapeButton = B::Cancel;
        break;
    case MB_ABORTRETRYIGNORE:
        style.buttons = {B::Abort, B::Retry, B::Ignore};
        break;
    case MB_YESNOCANCEL:
        style.buttons = {B::Yes, B::No, B::Cancel};
        style.escapeButton = B::Cancel;
        break;
    case MB_YESNO:
        style.buttons = {B::Yes, B::No};
        break;
    case MB_RETRYCANCEL:
        style.buttons = {B::Retry, B::Cancel};
        style.escapeButton = B::Cancel;
        break;
    default:
        style.buttons = {B::Ok};
        style.escapeButton = B::Ok;
        break;
    }
    switch (type & 0xF0) {
    case MB_ICONHAND:
        style.icon = B::Critical;
        break;
    case MB_ICONQUESTION:
        style.icon = B::Question;
        break;
    case MB_ICONEXCLAMATION:
        style.icon = B::Warning;
        break;
    case MB_ICONASTERISK:
        style.icon = B::Information;
        break;
    default:
        break;
    }
    // A default beyond the last button falls back to the first, as the
    // handheld's did.
    const int defaultIndex = (type & 0xF00) == MB_DEFBUTTON2 ? 1 : (type & 0xF00) == MB_DEFBUTTON3 ? 2 : 0;
    style.defaultButton = style.buttons.value(defaultIndex, style.buttons.first());
    return style;
}

int messageBoxResult(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    default:
        return IDCANCEL;
    }
}

} // namespace platform
