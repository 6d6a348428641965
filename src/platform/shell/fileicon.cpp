#include "shell.h"

#include "platform/fs/devicepath.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMimeDatabase>
#include <QMutex>
#include <QPainter>
#include <QPixmap>
#include <QStandardPaths>
#include <QtMath>

#include <sys/stat.h>

namespace platform {

namespace {

QMutex iconMutex;
QHash<QString, QIcon> iconCache;  // by theme icon name
QHash<QString, QIcon> iconByKey;  // by extension (or name), what the first look-up found

// Desktops set the theme; with none (a bare session, a test run) Qt knows
// neither a theme nor where themes live, so add the XDG icon folders and
// pick the theme the package set installs.
void ensureIconTheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QStringList searchPaths = QIcon::themeSearchPaths();
    QStringList candidates{QDir::homePath() + QStringLiteral("/.icons")};
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates.append(data + QStringLiteral("/icons"));
    for (const QString &folder : std::as_const(candidates)) {
        if (!searchPaths.contains(folder) && QFileInfo(folder).isDir())
            searchPaths.append(folder);
    }
    QIcon::setThemeSearchPaths(searchPaths);
    const QString current = QIcon::themeName();
    if (current.isEmpty() || current == QLatin1String("hicolor")) {
        for (const QString &base : QIcon::themeSearchPaths()) {
            if (QFileInfo::exists(base + QStringLiteral("/Adwaita/index.theme"))) {
                QIcon::setThemeName(QStringLiteral("Adwaita"));
                break;
            }
        }
    }
    if (QIcon::fallbackThemeName().isEmpty())
        QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

// A plain page with a folded corner, for machines without an icon theme.
QIcon drawnFileIcon()
{
    const qreal ratio = qGuiApp->devicePixelRatio(); // sharp at any scale
    QPixmap pixmap(qCeil(16 * ratio), qCeil(16 * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QPolygon page({QPoint(2, 0), QPoint(10, 0), QPoint(14, 4), QPoint(14, 15), QPoint(2, 15)});
    painter.setPen(Qt::darkGray);
    painter.setBrush(Qt::white);
    painter.drawPolygon(page);
    painter.drawPolyline(QPolygon({QPoint(10, 0), QPoint(10, 4), QPoint(14, 4)}));
    return QIcon(pixmap);
}

QIcon themeIcon(const QString &name)
{
    const auto it = iconCache.constFind(name);
    if (it != iconCache.constEnd())
        return it.value();
    QIcon icon;
    if (name.isEmpty())
        icon = drawnFileIcon();
    else if (QIcon::hasThemeIcon(name))
        icon = QIcon::fromTheme(name);
    iconCache.insert(name, icon);
    return icon;
}

} // namespace

bool getSmallFileIcon(const QString &devicePath, QIcon &icon)
{
    // Icons and pixmaps need the GUI application.
    if (devicePath.isEmpty() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    struct stat st {};
    const QByteArray host = hostPathFromDevice(devicePath);
    return getSmallFileIcon(devicePath, !host.isEmpty() && ::stat(host.constData(), &st) == 0 && S_ISDIR(st.st_mode),
                            icon);
}

bool getSmallFileIcon(const QString &devicePath, bool folder, QIcon &icon)
{
    if (devicePath.isEmpty() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    // Files are told apart by their extension alone, as the handheld's shell
    // did; names without one (README, Makefile) by the whole name.
    const QString name = devicePath.mid(devicePath.lastIndexOf(u'\\') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString key = folder ? QStringLiteral("/") : dot > 0 ? name.mid(dot).toLower() : name.toLower();

    QMutexLocker lock(&iconMutex);
    const auto known = iconByKey.constFind(key);
    if (known != iconByKey.constEnd()) {
        icon = known.value();
        return !icon.isNull();
    }
    ensureIconTheme();
    QStringList names;
    if (folder) {
        names.append(QStringLiteral("folder"));
    } else {
        const QString sample = dot > 0 ? QStringLiteral("x") + key : name;
        const QMimeType type = QMimeDatabase().mimeTypeForFile(sample, QMimeDatabase::MatchExtension);
        names = {type.iconName(), type.genericIconName()};
        if (type.name().startsWith(QLatin1String("text/")))
            names.append(QStringLiteral("text-x-generic"));
    }
    names.append(QStringLiteral("application-x-generic"));
    names.append(QString()); // the drawn page
    icon = QIcon();
    for (const QString &iconName : std::as_const(names)) {
        icon = themeIcon(iconName);
        if (!icon.isNull())
            break;
    }
    iconByKey.insert(key, icon);
    return !icon.isNull();
}

} // namespace platform
