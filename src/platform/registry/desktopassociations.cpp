#include "desktopassociations.h"

#include "regfile.h"

#include <QDir>
#include <QMimeDatabase>
#include <QStandardPaths>

#include <atomic>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace platform {

namespace {

const QString kOpenCommandSuffix = QStringLiteral("\\shell\\open\\command");
const QString kProgramKey = QStringLiteral(".exe");
const QString kProgramCommand = QStringLiteral("\"%1\" %*");

// Bumped whenever GIO sees the installed applications or the default
// applications change (delivered through the main loop).
std::atomic<unsigned> desktopGeneration {0};

void watchDesktopApplications()
{
    static const bool watching = [] {
        GAppInfoMonitor *monitor = g_app_info_monitor_get(); // kept for the program's life
        g_signal_connect(monitor, "changed", G_CALLBACK(+[](GAppInfoMonitor *, gpointer) { ++desktopGeneration; }),
                         nullptr);
        return true;
    }();
    Q_UNUSED(watching);
}

// The user's default applications, looked at with every question so that a
// changed default is seen without waiting for the main loop.
QByteArray userDefaultsStamp()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return fileChangeStamp(config + QStringLiteral("/mimeapps.list"));
}

QMimeType mimeTypeByName(const QString &name)
{
    QMimeDatabase db;
    // Key names are folded; the database names are lower case but for a few.
    QMimeType type = db.mimeTypeForName(name);
    if (type.isValid())
        return type;
    for (const QMimeType &candidate : db.allMimeTypes()) {
        if (candidate.name().compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return {};
}

bool hasGlobFor(const QMimeType &type, const QString &glob)
{
    for (const QString &pattern : type.globPatterns()) {
        if (pattern.compare(glob, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// An application that wants a terminal runs in the desktop's: the one the
// user chose through xdg-terminal-exec, else the system's alternative. With
// neither installed the start fails and says which program is missing.
QString inTerminal(const QString &command)
{
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-terminal-exec")).isEmpty())
        return QStringLiteral("xdg-terminal-exec ") + command;
    return QStringLiteral("x-terminal-emulator -e ") + command;
}

bool execTakesFileList(const QString &exec)
{
    for (qsizetype i = 0; i + 1 < exec.size(); ++i) {
        if (exec[i] != u'%')
            continue;
        const QChar code = exec[++i];
        if (code == u'F' || code == u'U')
            return true;
    }
    return false;
}

bool wantsTerminal(GAppInfo *app)
{
    return G_IS_DESKTOP_APP_INFO(app) && g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(app), "Terminal");
}

// An application's Exec line as an open command; run in a terminal when its
// entry asks for one.
QString commandOf(GAppInfo *app, bool *takesFileList)
{
    QString command;
    if (const char *line = g_app_info_get_commandline(app)) {
        const QString exec = QString::fromUtf8(line);
        command = openCommandFromDesktopExec(exec);
        if (takesFileList)
            *takesFileList = execTakesFileList(exec);
    }
    if (!command.isEmpty() && wantsTerminal(app))
        command = inTerminal(command);
    return command;
}

} // namespace

QString mimeTypeForExtension(const QString &extension)
{
    if (extension.isEmpty() || extension.contains(u'\\') || extension.contains(u'/'))
        return {};
    const QString glob = QStringLiteral("*.") + extension;
    const QString sample = QStringLiteral("x.") + extension.toLower();
    QMimeDatabase db;
    const QMimeType best = db.mimeTypeForFile(sample, QMimeDatabase::MatchExtension);
    if (best.isValid() && hasGlobFor(best, glob))
        return best.name();
    for (const QMimeType &type : db.mimeTypesForFileName(sample)) {
        if (hasGlobFor(type, glob))
            return type.name();
    }
    return {};
}

QString openCommandFromDesktopExec(const QString &exec)
{
    QString out;
    bool fileCodeSeen = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c != u'%' || i + 1 >= exec.size()) {
            out.append(c);
            continue;
        }
        const QChar code = exec[++i];
        if (code == u'%') {
            out.append(u'%');
        } else if (code == u'f' || code == u'F' || code == u'u' || code == u'U') {
            if (!fileCodeSeen)
                out.append(QStringLiteral("\"%1\""));
            fileCodeSeen = true;
        } else {
            // %i %c %k and the deprecated codes name nothing we can supply;
            // drop the blank before them too.
            if (out.endsWith(u' '))
                out.chop(1);
        }
    }
    out = out.trimmed();
    // An application whose line takes no file gets it appended, as the
    // desktop's launchers do.
    if (!fileCodeSeen && !out.isEmpty())
        out.append(QStringLiteral(" \"%1\""));
    return out;
}

QString desktopOpenCommand(const QString &mimeName, bool *takesFileList)
{
    QString command;
    if (takesFileList)
        *takesFileList = false;
    const QByteArray type = mimeName.toUtf8();
    if (GAppInfo *app = g_app_info_get_default_for_type(type.constData(), FALSE)) {
        command = commandOf(app, takesFileList);
        g_object_unref(app);
    }
    return command;
}

QList<DesktopApplication> desktopApplicationsFor(const QString &mimeName)
{
    QList<DesktopApplication> apps;
    const QByteArray type = mimeName.toUtf8();
    if (type.isEmpty())
        return apps;
    GAppInfo *byDefault = g_app_info_get_default_for_type(type.constData(), FALSE);
    GList *all = g_app_info_get_all_for_type(type.constData());
    const auto add = [&apps](GAppInfo *app) {
        DesktopApplication entry;
        entry.command = commandOf(app, nullptr);
        if (entry.command.isEmpty())
            return;
        entry.id = QString::fromUtf8(g_app_info_get_id(app));
        entry.name = QString::fromUtf8(g_app_info_get_name(app));
        if (GIcon *icon = g_app_info_get_icon(app)) {
            if (G_IS_THEMED_ICON(icon)) {
                for (const gchar *const *name = g_themed_icon_get_names(G_THEMED_ICON(icon)); name && *name; ++name)
                    entry.iconNames.append(QString::fromUtf8(*name));
            } else if (G_IS_FILE_ICON(icon)) {
                if (gchar *path = g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon)))) {
                    entry.iconFile = QString::fromLocal8Bit(path);
                    g_free(path);
                }
            }
        }
        apps.append(entry);
    };
    if (byDefault)
        add(byDefault);
    for (GList *item = all; item; item = item->next) {
        GAppInfo *app = G_APP_INFO(item->data);
        if (!byDefault || !g_app_info_equal(app, byDefault))
            add(app);
    }
    g_list_free_full(all, g_object_unref);
    if (byDefault)
        g_object_unref(byDefault);
    return apps;
}

DesktopAssociations::DesktopAssociations()
{
    watchDesktopApplications();
}

void DesktopAssociations::dropWhenChanged()
{
    const unsigned generation = desktopGeneration.load();
    QByteArray stamp = userDefaultsStamp();
    if (generation == m_generation && stamp == m_userDefaultsStamp)
        return;
    m_generation = generation;
    m_userDefaultsStamp = std::move(stamp);
    m_keys.clear();
    m_commands.clear();
}

std::optional<DesktopAssociations::Key> DesktopAssociations::lookup(const QString &foldedPath)
{
    QMutexLocker lock(&m_mutex);
    dropWhenChanged();
    const auto it = m_keys.constFind(foldedPath);
    if (it != m_keys.constEnd())
        return it.value();
    const std::optional<Key> key = resolve(foldedPath);
    m_keys.insert(foldedPath, key);
    return key;
}

std::optional<DesktopAssociations::Key> DesktopAssociations::resolve(const QString &path)
{
    if (path.startsWith(kProgramKey + u'\\')) {
        const QString rest = path.mid(kProgramKey.size());
        if (rest == kOpenCommandSuffix)
            return Key{true, kProgramCommand};
        if (kOpenCommandSuffix.startsWith(rest) && kOpenCommandSuffix[rest.size()] == u'\\')
            return Key{}; // "Shell" and "Shell\Open" hold no values
        return std::nullopt;
    }
    if (path.startsWith(u'.')) {
        if (path.contains(u'\\'))
            return std::nullopt;
        const QString mime = mimeTypeForExtension(path.mid(1));
        if (mime.isEmpty())
            return std::nullopt;
        return Key{true, mime};
    }
    const qsizetype cut = path.indexOf(u'\\');
    const QString typeName = cut < 0 ? path : path.left(cut);
    if (!typeName.contains(u'/'))
        return std::nullopt;
    const QMimeType type = mimeTypeByName(typeName);
    if (!type.isValid())
        return std::nullopt;
    if (cut < 0)
        return Key{true, type.comment()};
    const QString rest = path.mid(cut);
    if (!kOpenCommandSuffix.startsWith(rest) || (rest.size() < kOpenCommandSuffix.size()
                                                 && kOpenCommandSuffix[rest.size()] != u'\\'))
        return std::nullopt;
    const std::optional<QString> command = openCommand(type.name());
    if (!command)
        return std::nullopt;
    if (rest.size() < kOpenCommandSuffix.size())
        return Key{}; // "Shell" and "Shell\Open" hold no values
    return Key{true, *command};
}

std::optional<QString> DesktopAssociations::openCommand(const QString &mimeName)
{
    const auto it = m_commands.constFind(mimeName);
    if (it != m_commands.constEnd())
        return it.value();
    std::optional<QString> command;
    const QString converted = desktopOpenCommand(mimeName);
    if (!converted.isEmpty())
        command = converted;
    m_commands.insert(mimeName, command);
    return command;
}

} // namespace platform
