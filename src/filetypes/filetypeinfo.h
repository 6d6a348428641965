#pragma once
#include "platform/registry/registry.h"
#include "platform/shell/imagelist.h"

#include <QString>

// Answers questions about one path: extension, type text, small icon,
// shortcut target and open command, from the registry, the shell's icons
// and shortcut files. Lives for one question; nothing is remembered.
class FileTypeInfo {
public:
    FileTypeInfo();
    virtual ~FileTypeInfo();

    void SetPath(const QString &path);
    // Whether the path is a folder, when the caller knows: the icon is then
    // found without reading the disk.
    void SetFolder(bool folder) { m_folder = folder ? 1 : 0; }

    // Upper-case text after the last dot of path (or of the stored path when
    // path is empty); empty when there is no dot or only one at the start.
    QString GetExtension(const QString &path = QString()) const;
    // The stored path up to and including its last backslash.
    QString GetDirectory() const;
    // Registered type description, the class name, or "EXT-File".
    QString GetTypeText() const;
    // Appends the path's small icon to images; *index gets its position, or
    // defaultIndex (and false) when there was no icon to add.
    bool AddSmallIcon(platform::ImageList &images, int *index, int defaultIndex) const;
    // The target of a .lnk file (empty when unreadable), else path itself.
    QString ResolveShortcut(const QString &path) const;
    // Status of opening and closing the key: 0 whenever the key exists. value
    // changes only when the value exists and could be read.
    long ReadRegString(platform::RegRoot root, const QString &subKey, const QString &valueName,
                       QString &value) const;

    // The command line that opens the stored path; empty when none is
    // registered. The path put into it is marked (platform::literalCommandText):
    // show it through platform::readableCommandLine.
    QString GetOpenCommand() const;
    // Splits the open command into program and arguments; true when a
    // program name was found. The arguments keep the marks, for
    // platform::createProcess.
    bool SplitOpenCommand(QString &program, QString &arguments) const;

private:
    QString m_strPath;
    int m_folder = -1; // unknown
};
