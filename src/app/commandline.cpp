#include "commandline.h"

#include "platform/base/lasterror.h"
#include "platform/fs/devicepath.h"

#include <QRegularExpression>

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

// A desktop hands its folder over as a URI (the desktop entry's %u). A local
// one ("file:///path", "file://localhost/path", "file:/path") gives its path,
// percent-escapes decoded to the name's bytes; anything else with a scheme
// is not a folder we can open. A plain path comes back as it is.
enum class UriKind { NotUri, Local, Remote };

UriKind folderFromUri(const QString &argument, QString &folder)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):(//)?"));
    const QRegularExpressionMatch match = scheme.match(argument);
    if (!match.hasMatch())
        return UriKind::NotUri;
    const bool file = match.captured(1).compare(u"file", Qt::CaseInsensitive) == 0;
    const bool authority = !match.captured(2).isEmpty();
    QString rest = argument.mid(match.capturedLength());
    if (!authority && !(file && rest.startsWith(u'/')))
        return UriKind::NotUri; // "name:with-colon" is a folder's name
    if (!file)
        return UriKind::Remote;
    if (authority) {
        const qsizetype slash = rest.indexOf(u'/');
        const QString host = rest.left(slash < 0 ? rest.size() : slash);
        if (!host.isEmpty() && host.compare(u"localhost", Qt::CaseInsensitive) != 0)
            return UriKind::Remote;
        rest = slash < 0 ? QStringLiteral("/") : rest.mid(slash);
    }
    // Query and fragment are no part of a file's path ('?' and '#' in a
    // name come escaped).
    const qsizetype end = rest.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (end >= 0)
        rest.truncate(end);
    folder = platform::textFromBytes(QByteArray::fromPercentEncoding(platform::bytesFromText(rest)));
    return UriKind::Local;
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
    switch (folderFromUri(folders.first(), line.deviceRoot)) {
    case UriKind::NotUri:
        line.deviceRoot = folders.first();
        break;
    case UriKind::Local:
        break;
    case UriKind::Remote:
        line.action = Fail;
        line.error = QStringLiteral("'%1' is not a local folder: only file:// addresses can be opened").arg(folders.first());
        break;
    }
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
               "device's root folder \"\\\" (default: /), as a path or a file:// URI.\n"
               "\n"
               "  -h, --help  show this help and exit\n"
               "\n"
               "Qt's standard options (-platform, -style, -stylesheet, -reverse, ...)\n"
               "work as in every Qt program.\n"
               "File types can be set in %2.\n")
        .arg(program, QStringLiteral("$XDG_CONFIG_HOME/ferrix/registry.reg"));
}
