#include "filesearch.h"

#include "platform/devicepath.h"
#include "platform/file.h"
#include "platform/fileattributes.h"
#include "platform/findfile.h"
#include "platform/subfolderprobe.h"
#include "platform/walkguard.h"

#include <cstring>
#include <optional>

namespace {

QString withBackslash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('\\')) ? folder : folder + QLatin1Char('\\');
}

// A pattern every name matches, so one listing of a folder serves both its
// files and its subfolders.
bool matchesEveryName(const QString &pattern)
{
    return pattern == QLatin1String("*.*") || pattern == QLatin1String("*");
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
    m_bPatternMatchesAll = matchesEveryName(pattern);
    m_text = platform::bytesFromText(text);
    const QString start = withBackslash(folder);
    // A search started inside /proc or /sys has nothing of the user's to find.
    if (!platform::isPseudoFileSystem(start))
        SearchFolder(start);
    m_block = {};
}

void CFileSearch::SearchFolder(const QString &folder)
{
    SearchFolder(folder, true);
}

void CFileSearch::SearchFolder(const QString &folder, bool mayHoldFolders)
{
    if (Stopped())
        return;
    const QString path = withBackslash(folder);
    // Subfolders with whether they are mount points (the find data's
    // temporary bit), entered after this folder's own files.
    std::vector<std::pair<QString, bool>> subfolders;
    if (m_bPatternMatchesAll) {
        // The listing of the files also yields the subfolders, in the same order.
        platform::FindFile find;
        platform::FindData data;
        for (bool more = find.first(path + m_strPattern, data); more; more = find.next(data)) {
            if (platform::isWalkableFolder(data))
                subfolders.emplace_back(data.name, data.attributes & platform::FILE_ATTRIBUTE_TEMPORARY);
            else if (!(data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY)
                     && FileContains(path + data.name, data))
                m_results.AddResult(path + data.name);
            if (Stopped())
                return;
        }
    } else {
        SearchFolderFiles(path);
        if (Stopped() || !mayHoldFolders)
            return;
        platform::FindFile find;
        platform::FindData data;
        for (bool more = find.first(path + QStringLiteral("*.*"), data); more; more = find.next(data)) {
            if (platform::isWalkableFolder(data))
                subfolders.emplace_back(data.name, data.attributes & platform::FILE_ATTRIBUTE_TEMPORARY);
            if (Stopped())
                return;
        }
    }
    // Most folders hold no folders: when the files are listed by a pattern
    // of their own, a probe by entry type spares listing such a folder a
    // second time for its subfolders.
    std::optional<platform::SubfolderProbe> probe;
    if (!m_bPatternMatchesAll && !subfolders.empty())
        probe.emplace(path);
    for (const auto &[name, mountPoint] : subfolders) {
        const QString subfolder = path + name;
        // Mount points are where another file system begins; cards and disks
        // are searched, the kernel's own file systems are not.
        if (!mountPoint || !platform::isPseudoFileSystem(subfolder))
            SearchFolder(subfolder, !probe || probe->hasSubfolder(name));
        if (Stopped())
            return;
    }
}

void CFileSearch::SearchFolderFiles(const QString &folder)
{
    if (Stopped())
        return;
    const QString path = withBackslash(folder);
    platform::FindFile find;
    platform::FindData data;
    for (bool more = find.first(path + m_strPattern, data); more; more = find.next(data)) {
        if (!(data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) && FileContains(path + data.name, data))
            m_results.AddResult(path + data.name);
        if (Stopped())
            return;
    }
}

bool CFileSearch::FileContains(const QString &path, const platform::FindData &data)
{
    if (m_text.isEmpty())
        return true;
    // Only regular files are read: a link is a leaf, and a FIFO, socket or
    // device reports no size, as an empty file does, which never holds a
    // text.
    if (platform::isLinkEntry(data) || data.size() == 0)
        return false;
    platform::File file;
    if (!file.openForReading(path))
        return false;
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
