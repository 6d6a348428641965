#pragma once
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// The desktop's file associations seen as classes-root keys:
//   ".ext"                        default value: the MIME type name
//   "type/subtype"                default value: the type's description
//   "type/subtype\Shell\Open\Command"  default value: the default application's command
//   ".exe\Shell\Open\Command"     "%1" %*: where files without an extension
//                                 go; a program runs, and a document (one
//                                 nobody may execute) opens by its content
// Answers are cached per key until the desktop's applications or the
// user's default applications change.
class DesktopAssociations {
public:
    struct Key {
        bool hasDefault = false;
        QString defaultValue;
    };

    // Starts watching the desktop's applications (once per program): make
    // the first one on the user-interface thread, whose main loop delivers
    // the news.
    DesktopAssociations();

    // key: a folded classes-root key path (see foldRegKeyPath).
    std::optional<Key> lookup(const QString &foldedPath);

private:
    std::optional<Key> resolve(const QString &foldedPath);
    std::optional<QString> openCommand(const QString &mimeName);
    void dropWhenChanged();

    QMutex m_mutex;
    unsigned m_generation = 0;
    QByteArray m_userDefaultsStamp;
    QHash<QString, std::optional<Key>> m_keys;
    QHash<QString, std::optional<QString>> m_commands; // by MIME type name
};

// A desktop entry's Exec line as an open command: %f %F %u %U become "%1"
// (appended when the line has none), other field codes go, %% is a percent.
QString openCommandFromDesktopExec(const QString &exec);

// The desktop's default application for a MIME type as an open command
// (run in a terminal when its entry asks for one); empty when there is
// none. Not cached. *takesFileList: its Exec line accepts several files
// (%F or %U).
QString desktopOpenCommand(const QString &mimeName, bool *takesFileList = nullptr);

// One application the desktop lists for a MIME type.
struct DesktopApplication {
    QString id;            // its desktop entry's id
    QString name;
    QStringList iconNames; // theme icon names, best first
    QString iconFile;      // or an image file
    QString command;       // its open command, as desktopOpenCommand gives it
};

// The applications the desktop offers for a MIME type: the default first,
// then the others it lists for the type. Not cached.
QList<DesktopApplication> desktopApplicationsFor(const QString &mimeName);

// The MIME type whose globs hold "*.<extension>" in any letter case; empty
// when there is none.
QString mimeTypeForExtension(const QString &extension);

} // namespace platform
