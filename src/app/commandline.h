#pragma once
#include <QString>
#include <QStringList>

// The program's command line: Qt's standard options (for QApplication) and
// at most one argument of our own, the host folder that stands for the
// device root.
struct CommandLine {
    enum Action { Run, ShowHelp, Fail };

    Action action = Run;
    QString deviceRoot; // as given, in the platform's codec; empty: the default root
    QString error;      // why the line was refused (Fail)

    // Arguments without the program name, each as platform::textFromBytes
    // gives it, so that a folder whose name is not UTF-8 is found.
    static CommandLine parse(const QStringList &arguments);
    static QString usage(const QString &program);

    // Makes the folder the device root; on failure the line becomes Fail
    // with the reason. Nothing to do without a folder.
    bool applyDeviceRoot();
};
