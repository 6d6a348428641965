#pragma once
#include <QString>

class QWidget;

// Opens a file with the program registered for its type, following
// shortcuts. True when a process was started; otherwise the user was told
// why (except for an empty path).
bool OpenFile(const QString &path, QWidget *owner = nullptr);

// Opens a file with a desktop application's open command, the file's host
// path being one argument of it. True when the program was started;
// otherwise the user was told.
bool OpenFileWith(const QString &path, const QString &command, QWidget *owner = nullptr);
