#pragma once
#include "copyrecord.h"

#include <QString>

#include <memory>
#include <vector>

namespace fileops {

// What a folder copy tells the user and the views, and what it asks them.
class FolderCopyHost {
public:
    virtual ~FolderCopyHost() = default;
    virtual void CopyIntoSourceRefused() = 0;
    virtual void CreateFolderFailed() = 0;
    // A folder of the copy has just been made; the views may show it.
    virtual void FolderCreated() = 0;
    // The copy is about to copy an entry or enter a subfolder.
    virtual void BetweenSteps() = 0;
    // A file could not be copied; false stops the copy at every level.
    virtual bool ContinueAfterFailedCopy(const QString &sourceFile) = 0;
};

// Copies folder S with everything in it into folder T, as T\<name of S>.
// Folders are never merged: an existing T\<name> fails the copy. Links are
// copied as links, never walked through; a FIFO, socket or device, a mount
// inside S (bind mounts too) and a folder that cannot be listed are files
// that cannot be copied. A source that is gone leaves its empty copy. A destination inside the source is refused, by
// its text and by what it is on disk (a link leading back into the source).
// New files are not flushed one by one: a move flushes the destination once
// before it deletes anything.
class FolderCopy {
public:
    explicit FolderCopy(FolderCopyHost &host);
    ~FolderCopy();

    // True only when every entry below S was copied. records, when given,
    // get what was read and what was made, folder by folder.
    bool CopyFolder(const QString &source, const QString &target, CopyRecords *records = nullptr);

    // Whether the last copy was stopped by a No (or a stop) to going on.
    bool Stopped() const { return !m_bContinue; }

    // Whether a copy of S into T is refused as a copy into its source: T
    // starts with S's text, or T is S or lies inside it on disk.
    static bool IntoSource(const QString &source, const QString &target);

    // The copy's own bookkeeping, named here for the steps that fill it.
    struct Frame;
    struct Done;

private:
    bool copyLevel(const QString &source, const QString &target, CopyRecord *read, CopyRecord *made);
    bool refusedIntoSource(const QString &source, const QString &target) const;
    bool failedListing(const QString &source);
    // The result of the level of frame (index -1) or of the run of files
    // from its entry index on: done ahead already, or done now.
    Done take(const Frame &frame, qsizetype index, bool identify);
    bool doneAhead(const QString &folder, qsizetype index) const;

    FolderCopyHost &m_host;
    // One depth and one continue flag for all levels of a copy: a No deep
    // down stops the levels above too.
    int m_nDepth = 0;
    bool m_bContinue = true;
    // The levels being copied, outermost first, and what the worker has
    // done ahead of them.
    std::vector<Frame *> m_frames;
    struct Ahead;
    std::unique_ptr<Ahead> m_ahead;
};

} // namespace fileops
