#include "filetypeinfo.h"

#include "platform/fs/file.h"
#include "platform/shell/shell.h"
#include "shortcutfile.h"

namespace {

// A shortcut is a few dozen bytes; anything beyond this is not worth
// reading into memory and is treated like a file that cannot be read.
constexpr qint64 kMaxShortcutSize = 64 * 1024 * 1024;

} // namespace

FileTypeInfo::FileTypeInfo() = default;

FileTypeInfo::~FileTypeInfo() = default;

void FileTypeInfo::SetPath(const QString &path)
{
    m_strPath = path;
}

QString FileTypeInfo::GetExtension(const QString &path) const
{
    const QString &source = path.isEmpty() ? m_strPath : path;
    const qsizetype dot = source.lastIndexOf(u'.');
    if (dot <= 0)
        return QString();
    return source.mid(dot + 1).toUpper();
}

QString FileTypeInfo::GetDirectory() const
{
    const qsizetype slash = m_strPath.lastIndexOf(u'\\');
    return slash < 0 ? QString() : m_strPath.left(slash + 1);
}

QString FileTypeInfo::GetTypeText() const
{
    const QString extension = GetExtension();
    if (extension.isEmpty())
        return QString();

    QString text;
    if (ReadRegString(platform::RegRoot::ClassesRoot, u'.' + extension, QString(), text)
        != platform::ERROR_SUCCESS)
        return extension + QStringLiteral("-File");

    // The class key's description replaces the class name when it has one.
    const QString className = text;
    ReadRegString(platform::RegRoot::ClassesRoot, className, QString(), text);
    return text;
}

bool FileTypeInfo::AddSmallIcon(platform::ImageList &images, int *index, int defaultIndex) const
{
    int added = -1;
    QIcon icon;
    if (m_folder < 0 ? platform::getSmallFileIcon(m_strPath, icon)
                     : platform::getSmallFileIcon(m_strPath, m_folder == 1, icon))
        added = images.replaceIcon(-1, icon);

    const bool ok = added > -1;
    if (index)
        *index = ok ? added : defaultIndex;
    return ok;
}

QString FileTypeInfo::ResolveShortcut(const QString &path) const
{
    if (GetExtension(path) != QStringLiteral("LNK"))
        return path;

    platform::File file;
    if (!file.openForReading(path))
        return QString();
    const qint64 size = file.size();
    if (size < 0 || size > kMaxShortcutSize)
        return QString();

    QByteArray content(size + 1, '\0');
    qint64 bytesRead = 0;
    if (!file.read(content.data(), size, &bytesRead) || bytesRead < size)
        return QString();
    file.close();
    return ShortcutFile::Parse(content, size);
}

long FileTypeInfo::ReadRegString(platform::RegRoot root, const QString &subKey,
                                 const QString &valueName, QString &value) const
{
    platform::RegKey key = 0;
    const long opened = platform::regOpenKey(root, subKey, &key);
    if (opened != platform::ERROR_SUCCESS)
        return opened;

    quint32 size = 0;
    if (platform::regQueryValue(key, valueName, nullptr, &size) == platform::ERROR_SUCCESS
        && size > 0) {
        quint32 bufferSize = size + 2;
        QString text;
        if (platform::regQueryValue(key, valueName, &text, &bufferSize)
            == platform::ERROR_SUCCESS) {
            const qsizetype zero = text.indexOf(QChar(0));
            value = zero < 0 ? text : text.left(zero);
        }
    }
    return platform::regCloseKey(key);
}
