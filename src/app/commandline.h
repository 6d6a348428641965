#pragma once
#include <QString>
#include <QStringList>

// The program's command line: at most one argument, the host folder that
// stands for the device root.
struct CommandLine {
    enum Action { Run, ShowHelp, Fail };

    Action action = Run;
    QString deviceRoot; // empty: the default root
    QString error;      // why the line was refused (Fail)

    // arguments without the program name
    static CommandLine parse(const QStringList &arguments);
    static QString usage(const QString &program);
};
