#include "commandline.h"

#include "platform/devicepath.h"
#include "platform/lasterror.h"

#include <cerrno>

namespace {

// Qt's standard options, which QApplication takes from the command line
// itself ("-style fusion", "--style=fusion", "-reverse", ...). Only their
// shape matters here: which of them take the next argument as their value.
const char *const kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowicon", "icon", "qwindowtitle", "title", "session", "display", "name", "style", "stylesheet",
};
const char *const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "qmljsdebugger", "testability"};

// 0: not a Qt option; 1: a Qt option alone; 2: a Qt option and its value.
int qtOptionLength(const QString &argument, bool hasNext)
{
    if (!argument.startsWith(u'-') || argument == u"-" || argument == u"--")
        return 0;
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(u'=');
    const bool valueAttached = equals >= 0;
    if (valueAttached)
        name.truncate(equals);
    for (const char *option : kQtOptionsWithValue) {
        if (name == QLatin1String(option))
            return valueAttached || !hasNext ? 1 : 2;
    }
    for (const char *flag : kQtFlags) {
        if (name == QLatin1String(flag))
            return 1;
    }
    return 0;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    QStringList folders;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded) {
            folders.append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            line.action = ShowHelp;
            return line;
        } else if (const int length = qtOptionLength(argument, i + 1 < arguments.size())) {
            i += length - 1; // QApplication's
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
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
    if (folders.first().isEmpty()) {
        line.action = Fail;
        line.error = QStringLiteral("'' does not exist");
        return line;
    }
    line.deviceRoot = folders.first();
    return line;
}

bool CommandLine::applyDeviceRoot()
{
    if (action != Run || deviceRoot.isEmpty())
        return action == Run;
    if (platform::setDeviceRoot(deviceRoot))
        return true;
    action = Fail;
    const int code = platform::lastError().code;
    if (code == ENOENT)
        error = QStringLiteral("'%1' does not exist").arg(deviceRoot);
    else if (code == ENOTDIR)
        error = QStringLiteral("'%1' is not a folder").arg(deviceRoot);
    else
        error = QStringLiteral("cannot use '%1' as the device root: %2").arg(deviceRoot, platform::lastError().message);
    return false;
}

QString CommandLine::usage(const QString &program)
{
    return QStringLiteral(
               "Usage: %1 [QT-OPTIONS] [DEVICE-ROOT]\n"
               "Two-pane file manager. DEVICE-ROOT is the host folder shown as the\n"
               "device's root folder \"\\\" (default: /).\n"
               "\n"
               "  -h, --help  show this help and exit\n"
               "\n"
               "Qt's standard options (-platform, -style, -stylesheet, -reverse, ...)\n"
               "work as in every Qt program.\n"
               "File types can be set in %2.\n")
        .arg(program, QStringLiteral("$XDG_CONFIG_HOME/ferrix/registry.reg"));
}
