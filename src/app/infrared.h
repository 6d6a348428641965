#pragma once
#include <QString>

class QWidget;

// Sending and receiving files through the outside transfer tool, found on
// PATH as "irsquirt". The tool runs to its end while the window waits. Its
// environment names the device root's host folder in FERRIX_DEVICE_ROOT; a
// send passes the file's host path as its one argument, a receive passes
// none and expects the tool to store what it receives in the device root
// with the archive attribute set.
namespace infrared {

inline constexpr char kToolName[] = "irsquirt";
inline constexpr char kRootVariable[] = "FERRIX_DEVICE_ROOT";

// Sends one file (or whatever path it is given) without asking; false when
// the tool cannot be started, after saying so.
bool SendFile(QWidget *owner, const QString &path);

// Asks for each file below folder (ending with "\"), depth first, and sends
// those agreed to; false when the user cancelled, at a question or while a
// file was being sent, which ends the transfer.
bool SendFolder(QWidget *owner, const QString &folder);

// Clears the archive attribute on the root's entries, runs the tool, then
// moves every root entry that has it again into destination (ending with
// "\"), reporting each move that fails. A receive cancelled while the tool
// runs moves nothing.
void ReceiveFiles(QWidget *owner, const QString &destination);

} // namespace infrared
