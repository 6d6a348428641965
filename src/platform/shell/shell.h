#pragma once
#include <QIcon>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// Small (16x16) icon for a device path: the icon theme's icon of its MIME
// type, guessed from the name only, else a generic file icon. Folders get
// the folder icon. Icons are cached per icon name. False when no icon at all
// could be found.
bool getSmallFileIcon(const QString &devicePath, QIcon &icon);
// The same for a path whose caller knows whether it is a folder: nothing is
// read from the disk, so it costs nothing on a slow or hung mount (rows are
// drawn on the UI thread).
bool getSmallFileIcon(const QString &devicePath, bool folder, QIcon &icon);

// Splits an argument string by the handheld's rules: blanks separate,
// double quotes group (and are removed); backslashes are literal except
// before a quote, where 2n of them give n and the quote groups, and 2n+1
// give n and a literal quote. Text marked by literalCommandText is taken
// as it is, whatever it holds.
QStringList splitArguments(const QString &arguments);

// Marks text put into a command line (a file's path) so that splitting
// keeps it inside the one argument it was put in and nothing scans it for
// quotes, blanks or placeholders again.
QString literalCommandText(const QString &text);
// The command line as a person reads it: the marks taken out.
QString readableCommandLine(const QString &command);
// Position of the first c at or after from that is not inside marked text;
// -1 when there is none.
qsizetype indexOutsideLiterals(const QString &command, QChar c, qsizetype from = 0);

// Starts program with an argument string, not waiting for it. A program
// given as a device path (leading backslash) is translated to its host path;
// a bare name is looked up on PATH. Arguments that are device paths are
// passed as host paths, as their exact bytes. A program that is a regular
// file nobody may execute is a document: it opens with the desktop's
// default application for its content. False (last error set) when it
// cannot be started.
bool createProcess(const QString &program, const QString &arguments);

// Starts the program and waits until it ends. exitCode gets its exit status.
bool runProcessAndWait(const QString &program, const QString &arguments, int *exitCode);

// Executable files run with the parameters; other files open with their
// registered command (classes root open command, else the desktop default),
// which takes the parameters at %* (all) or %2 to %9 (one each); a desktop
// application that accepts a list of files gets them after the file.
bool shellExecute(const QString &file, const QString &parameters);

// Opens a web address in the desktop's browser (xdg-open).
bool openUrl(const QString &url);

// Where a program name resolves on PATH; empty when not found.
QString findProgramOnPath(const QString &name);

// Tests replace the real process start: the launcher gets the host program
// and host arguments (host bytes as textFromBytes gives them, so names that
// are not UTF-8 survive) and says whether the start succeeded. An empty
// function restores real starts.
using ProcessLauncher = std::function<bool(const QString &hostProgram, const QStringList &hostArguments)>;
void setProcessLauncher(ProcessLauncher launcher);

} // namespace platform
