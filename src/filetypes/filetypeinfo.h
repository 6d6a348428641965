#pragma once
#include "platform/imagelist.h"
#include "platform/registry.h"

#include <QString>

// Answers questions about one path: extension, type text, small icon,
// shortcut target and open command, from the registry, the shell's icons
// and shortcut files. Lives for one question; nothing is remembered.
class FileTypeInfo {
public:
    FileTypeInfo();
    virtual ~FileTypeInfo();

    void SetPath(const QString &path);
    const QString &GetPath() const { return m_strPath; }

    QString GetExtension(const QString &path = QString()) const;
    QString GetDirectory() const;
    QString GetTypeText() const;
    bool AddSmallIcon(platform::ImageList &images, int *index, int defaultIndex) const;
    QString ResolveShortcut(const QString &path) const;
    long ReadRegString(platform::RegRoot root, const QString &subKey, const QString &valueName,
                       QString &value) const;

    QString GetOpenCommand() const;
    bool SplitOpenCommand(QString &program, QString &arguments) const;

private:
    QString m_strPath;
};
