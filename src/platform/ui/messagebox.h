#pragma once
#include <QString>

#include <functional>

class QWidget;

// The handheld's message box: numeric type in, numeric button out.
namespace platform {

constexpr unsigned MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4;
constexpr unsigned MB_ICONHAND = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30,
                   MB_ICONASTERISK = 0x40;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;

// Shows a modal box (caption empty: the application's name) and returns the
// button pressed.
int messageBox(QWidget *owner, const QString &text, const QString &caption, unsigned type);

// Told as a box opens (true) and as it closes (false), a box a test answers
// too: long work keeps its clock still while the user reads a question.
void setMessageBoxWatcher(std::function<void(bool open)> watcher); // empty: none

// While long work blocks input to the windows it began with, a box needs
// no modality of its own: the progress window beside it stays usable.
void setBoxesBesideWork(bool on);
// Answers every open box with its way out (No, Cancel, or the one OK), as
// when the user stops the work that asked.
void answerOpenBoxes();
// Puts the open boxes above a window shown after them.
void raiseOpenBoxes();
// While on, a box is answered with its way out at once, unseen (the
// program is closing).
void setBoxesRefused(bool on);

// Tests answer boxes instead of showing them.
using MessageBoxHandler = std::function<int(QWidget *owner, const QString &text,
                                            const QString &caption, unsigned type)>;
void setMessageBoxHandler(MessageBoxHandler handler); // empty: real boxes again

} // namespace platform
