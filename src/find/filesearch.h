#pragma once
#include "stopevent.h"

#include "platform/fs/file.h"
#include "platform/fs/folderhandle.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// Receives the files a search finds, on the search's own thread.
class SearchResults {
public:
    virtual ~SearchResults() = default;
    // False when the file could not be added; the search goes on. data:
    // the file's entry, read through the folder the walk holds open; null
    // when it could not be read (gone since it was listed).
    virtual bool AddResult(const QString &path, const platform::FindData *data) = 0;
};

// Optional observers of a running search, called on its thread with its
// stop event: after each block of a file is searched without a match (the
// block's number, from 1), and by the thread that runs the search as its
// very last act. Tests use them to hold a search at a known point until
// they ask it to stop.
struct SearchHooks {
    std::function<void(const QString &path, int block, const StopEvent &stop)> afterBlock;
    std::function<void(const StopEvent &stop)> atEnd;
};

// The search of a folder tree for files whose names match a pattern and,
// unless the text is empty, whose contents hold the text byte for byte (the
// text in the platform's 8-bit code). Depth first: a folder's own matching
// files, then each subfolder in the order the folder lists them. Links are
// leaves (a link to a regular file has that file's content tested) and the
// kernel's pseudo file systems are not entered. Before each
// folder, after each entry and before and after each block of a file the
// stop event is tested, and the search unwinds as soon as it is set.
class CFileSearch {
public:
    // Content is read in blocks this large at most, overlapping by the
    // text's length so that a text across two blocks is found (chosen by
    // bench_find).
    static constexpr qint64 kBlockSize = 64 * 1024;

    CFileSearch(const StopEvent &stop, SearchResults &results, SearchHooks hooks = {});

    void SetBlockSize(qint64 bytes) { m_nBlockSize = qMax<qint64>(1, bytes); }

    // Searches folder (empty: the device root) and everything below it.
    void Search(const QString &pattern, const QString &folder, const QString &text);

    void SearchFolder(const QString &folder);
    // Whether the open file holds the text (path: for the hooks).
    bool FileContains(platform::File &file, const QString &path);

    // Position of the first occurrence of bytes[0..length) in
    // block[0..size), or -1.
    static qint64 FindBytes(const char *block, qint64 size, const char *bytes, qint64 length);

private:
    bool Stopped() const { return m_stop.IsSet(); }
    void SearchFolder(platform::FolderHandle &folder);
    // Whether a matching entry is a result (not a folder, and holding the
    // text); data gets its entry, read is whether it could be.
    bool Reportable(const platform::FolderHandle &folder, const platform::FolderEntry &entry,
                    platform::FindData &data, bool &read);

    const StopEvent &m_stop;
    SearchResults &m_results;
    SearchHooks m_hooks;
    qint64 m_nBlockSize = kBlockSize;
    QString m_strPattern;
    QByteArray m_text; // the text in the 8-bit code
    std::vector<char> m_block;
};
