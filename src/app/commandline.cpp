#include "commandline.h"

#include <QDir>
#include <QFileInfo>

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    QStringList folders;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == QLatin1String("-h") || argument == QLatin1String("--help"))) {
            line.action = ShowHelp;
            return line;
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            line.action = Fail;
            line.error = QStringLiteral("unknown option '%1'").arg(argument);
            return line;
        } else {
            folders.append(argument);
        }
    }
    if (folders.size() > 1) {
        line.action = Fail;
        line.error = QStringLiteral("too many arguments: only one device root folder can be given");
        return line;
    }
    if (folders.isEmpty())
        return line;

    const QFileInfo info(folders.first());
    if (folders.first().isEmpty() || !info.exists()) {
        line.action = Fail;
        line.error = QStringLiteral("'%1' does not exist").arg(folders.first());
    } else if (!info.isDir()) {
        line.action = Fail;
        line.error = QStringLiteral("'%1' is not a folder").arg(folders.first());
    } else {
        line.deviceRoot = QDir::cleanPath(info.absoluteFilePath());
    }
    return line;
}

QString CommandLine::usage(const QString &program)
{
    return QStringLiteral(
               "Usage: %1 [DEVICE-ROOT]\n"
               "Two-pane file manager. DEVICE-ROOT is the host folder shown as the\n"
               "device's root folder \"\\\" (default: /).\n"
               "\n"
               "  -h, --help  show this help and exit\n"
               "\n"
               "File types can be set in %2.\n")
        .arg(program, QStringLiteral("$XDG_CONFIG_HOME/ferrix/registry.reg"));
}
