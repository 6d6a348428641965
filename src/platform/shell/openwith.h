#pragma once
#include <QIcon>
#include <QList>
#include <QString>

// Opening a file with another of the desktop's applications than its default.
namespace platform {

struct OpenWithApplication {
    QString id;
    QString name;
    QIcon icon;
    QString command; // an open command: "%1" takes the file
};

// The desktop's applications for the file's type (by its name, and by its
// content when it is a regular file), the default first. Empty for a path
// that has no host file.
QList<OpenWithApplication> openWithApplications(const QString &devicePath);

// Starts command with the file's host path as one argument, its exact
// bytes. False (last error set) when it cannot be started.
bool openWithApplication(const QString &command, const QString &devicePath);

} // namespace platform
