#include "filesearch.h"

#include "platform/attributes/fileattributes.h"
#include "platform/fs/devicepath.h"
#include "platform/fs/file.h"
#include "platform/fs/walkguard.h"

#include <cstring>

namespace {

QString withBackslash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('\\')) ? folder : folder + QLatin1Char('\\');
}

// Fills buffer[0..wanted) as far as the file goes; false on a read error.
bool readBlock(platform::File &file, char *buffer, qint64 wanted, qint64 *got)
{
    *got = 0;
    while (*got < wanted) {
        qint64 n = 0;
        if (!file.read(buffer + *got, wanted - *got, &n))
            return false;
        if (n == 0)
            break;
        *got += n;
    }
    return true;
}

} // namespace

CFileSearch::CFileSearch(const StopEvent &stop, SearchResults &results, SearchHooks hooks)
    : m_stop(stop)
    , m_results(results)
    , m_hooks(std::move(hooks))
{
}

void CFileSearch::Search(const QString &pattern, const QString &folder, const QString &text)
{
    m_strPattern = pattern;
    m_text = platform::bytesFromText(text);
    const QString start = withBackslash(folder);
    // A search started inside /proc or /sys has nothing of the user's to find.
    if (!platform::isPseudoFileSystem(start))
        SearchFolder(start);
    m_block = {};
}

void CFileSearch::SearchFolder(const QString &folder)
{
    if (Stopped())
        return;
    platform::FolderHandle handle;
    if (handle.open(folder))
        SearchFolder(handle);
}

// One listing by entry type serves both the folder's own files and its
// subfolders: only the names that match are read further.
void CFileSearch::SearchFolder(platform::FolderHandle &folder)
{
    if (Stopped())
        return;
    const QString &path = folder.path();
    std::vector<platform::FolderEntry> subfolders;
    platform::FolderEntry entry;
    platform::FindData data;
    bool read = false;
    for (bool more = folder.first(m_strPattern, entry); more; more = folder.next(entry)) {
        if (entry.type == platform::EntryType::Folder)
            subfolders.push_back(entry);
        else if (entry.matches && Reportable(folder, entry, data, read))
            m_results.AddResult(path + entry.name, read ? &data : nullptr);
        if (Stopped())
            return;
    }
    platform::FolderHandle subfolder;
    for (const platform::FolderEntry &sub : subfolders) {
        // A mount inside the folder (another file system, a bind mount) is not searched.
        if (subfolder.open(folder, sub) && !subfolder.isMountPoint())
            SearchFolder(subfolder);
        if (Stopped())
            return;
    }
}

bool CFileSearch::Reportable(const platform::FolderHandle &folder, const platform::FolderEntry &entry,
                             platform::FindData &data, bool &read)
{
    // The entry is read relative to the open folder, once: the result list
    // needs it anyway, and a slow file system pays for every look-up.
    if (m_text.isEmpty()) {
        read = folder.find(entry, data);
        // A link to a folder is a folder by name, and folders are not reported.
        if (entry.type == platform::EntryType::Link)
            return read && !(data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY);
        return true;
    }
    // Only regular files are read, a link's when it leads to one; a FIFO,
    // socket or device is never opened, and a link is never walked through.
    if (entry.type != platform::EntryType::File && entry.type != platform::EntryType::Link)
        return false;
    platform::File file;
    if (!file.openForReading(folder, entry) || !FileContains(file, folder.path() + entry.name))
        return false;
    read = folder.find(entry, data);
    return true;
}

bool CFileSearch::FileContains(platform::File &file, const QString &path)
{
    const qint64 length = file.size();
    const qint64 textLength = m_text.size();
    // Blocks must overlap by the text and still move on: a long text gets
    // blocks twice its length. Memory stays one block per file.
    const qint64 blockSize = qMin(length, qMax(m_nBlockSize, 2 * textLength));
    if (blockSize < textLength || Stopped())
        return false;
    if (qint64(m_block.size()) < blockSize)
        m_block.resize(size_t(blockSize));
    char *block = m_block.data();
    qint64 kept = 0;     // bytes carried over from the previous block
    qint64 consumed = 0; // bytes read from the file so far
    for (int number = 1;; ++number) {
        qint64 got = 0;
        // A read error ends the file as its end would.
        const bool read = readBlock(file, block + kept, qMin(blockSize - kept, length - consumed), &got);
        consumed += got;
        const qint64 size = kept + got;
        if (FindBytes(block, size, m_text.constData(), textLength) >= 0)
            return true;
        if (m_hooks.afterBlock)
            m_hooks.afterBlock(path, number, m_stop);
        if (!read || size < blockSize || consumed >= length || Stopped())
            return false;
        std::memmove(block, block + size - textLength, size_t(textLength));
        kept = textLength;
    }
}

qint64 CFileSearch::FindBytes(const char *block, qint64 size, const char *bytes, qint64 length)
{
    if (length <= 0 || size < length)
        return -1;
    const void *hit = ::memmem(block, size_t(size), bytes, size_t(length));
    return hit ? static_cast<const char *>(hit) - block : -1;
}
