#pragma once
#include <QString>

class QWidget;

// Opens a file with the program registered for its type, following
// shortcuts. True when a process was started; otherwise the user was told
// why (except for an empty path).
bool OpenFile(const QString &path, QWidget *owner = nullptr);
