#include "findfile.h"

#include "devicepath.h"
#include "devicepathparts.h"
#include "dirreader.h"
#include "entrybatch.h"
#include "entryinfo.h"
#include "hostfs.h"
#include "tempsibling.h"
#include "wildcard.h"
#include "platform/attributes/fatattrib.h"
#include "platform/attributes/listedattribs.h"
#include "platform/base/lasterror.h"
#include "platform/testing/faultpoints.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>

namespace platform {

using namespace detail;

struct FindFile::State {
    explicit State(const QString &pattern) : wildcard(pattern) {}

    std::optional<DirReader> dir;
    struct statx folderStat {};
    Wildcard wildcard;
    QString folder;    // device path of the folder, for messages
    FolderFacts folderFacts;
    // Entries read ahead, yielded from `next` on; the batch after it is
    // started halfway through, so helpers never wait for the listing.
    std::unique_ptr<EntryBatch> batch;
    std::unique_ptr<EntryBatch> following;
    size_t next = 0;
    size_t batchSize = 256; // small at first, for a quick first entry
    size_t handedOut = 0;   // entries given to batches so far
    // A listing of every entry keeps what it read for the folder's next
    // listing, which reads what the last one kept.
    std::shared_ptr<const ListedAttribs> previous;
    std::shared_ptr<ListedAttribs> kept;
    bool exhausted = false;
    int endError = 0;
    // A search for one exact name yields it from first() and nothing after.
    bool single = false;
};

namespace {

// "folder\pattern" split at the last backslash; no backslash: the root.
void splitPattern(const QString &pattern, QString &folder, QString &name)
{
    const qsizetype slash = pattern.lastIndexOf(QLatin1Char('\\'));
    folder = slash < 0 ? QString() : pattern.left(slash);
    name = slash < 0 ? pattern : pattern.mid(slash + 1);
}

void describe(const EntryFacts &facts, const char *hostName, FindData &out)
{
    fillFindData(facts, attributesOf(facts, isDotName(hostName)), out);
}

} // namespace

// The next names that match, up to a batch of them, handed to helpers.
std::unique_ptr<EntryBatch> FindFile::readAhead(State &state)
{
    static constexpr size_t kLargestBatch = 2048;
    if (state.batch && state.batch->foundNoXattrs())
        state.folderFacts.readXattrs = false;
    const size_t wanted = state.batchSize;
    state.batchSize = std::min(kLargestBatch, wanted * 4);
    std::vector<EntryBatch::Entry> entries;
    entries.reserve(wanted);
    QByteArray names;
    names.reserve(qsizetype(wanted * 16));
    const bool everything = state.wildcard.matchesEverything();
    while (entries.size() < wanted) {
        const char *hostName = state.dir->next();
        if (!hostName) {
            state.exhausted = true;
            state.endError = state.dir->error();
            break;
        }
        if (isDotOrDotDot(hostName))
            continue;
        if (isTempSiblingName(hostName) && removeStaleTempSibling(state.dir->fd(), hostName))
            continue; // left by a copy that crashed
        EntryBatch::Entry pending;
        pending.size = qsizetype(std::strlen(hostName));
        // With a pattern the name is decoded now to pick the entry; else when it is yielded.
        if (!everything) {
            detail::deviceNameFromHost(hostName, pending.size, pending.name);
            if (!state.wildcard.matches(pending.name))
                continue;
        }
        pending.at = names.size();
        names.append(hostName, pending.size + 1);
        entries.push_back(std::move(pending));
    }
    const size_t first = state.handedOut;
    state.handedOut += entries.size();
    return std::make_unique<EntryBatch>(state.dir->fd(), state.folderFacts, std::move(names), std::move(entries),
                                        state.previous, first);
}

FindFile::FindFile() = default;

FindFile::~FindFile() = default;

void FindFile::close()
{
    d.reset();
}

bool FindFile::isOpen() const
{
    return d != nullptr;
}

bool FindFile::first(const QString &pattern, FindData &out)
{
    close();
    QString folder, name;
    splitPattern(pattern, folder, name);
    if (!isValidDevicePath(pattern))
        return fail(EINVAL, "Find", pattern);
    if (const int err = injectedFindFault(pattern))
        return fail(err, "Find", pattern);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return fail(ENOENT, "Find", pattern);

    if (!Wildcard::hasWildcards(name)) {
        if (!findEntry(pattern, out))
            return false;
        d = std::make_unique<State>(name);
        d->single = true;
        return true;
    }

    auto state = std::make_unique<State>(name);
    state->folder = folder;
    Fd fd;
    if (const int err = openFolder(folder, O_RDONLY, fd))
        return fail(err, "Find", pattern);
    if (::statx(fd.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS, &state->folderStat) != 0)
        return fail(errno, "Find", pattern);
    state->folderFacts.stat = &state->folderStat;
    state->folderFacts.fat = isFatFileSystem(fd.get());
    if (state->wildcard.matchesEverything() && !state->folderFacts.fat) {
        state->folderFacts.listing = true;
        state->previous = recallListing(state->folderStat);
        state->kept = std::make_shared<ListedAttribs>();
    }
    state->dir.emplace(std::move(fd));
    d = std::move(state);
    if (next(out))
        return true;
    const int err = lastError().code;
    close();
    return fail(err ? err : ENOENT, "Find", pattern);
}

bool FindFile::next(FindData &out)
{
    if (!d)
        return fail(EBADF, "Find next", QString());
    if (d->single)
        return fail(ENOENT, "Find next", d->folder);
    for (;;) {
        if (!d->batch || d->next == d->batch->size()) {
            if (!d->following && d->exhausted) {
                if (d->kept && !d->endError) // complete: what it read serves the next listing
                    keepListing(d->folderStat, std::move(d->kept));
                d->kept.reset();
                return fail(d->endError ? d->endError : ENOENT, "Find next", d->folder);
            }
            d->batch = d->following ? std::move(d->following) : readAhead(*d);
            d->next = 0;
            continue;
        }
        if (faults::any())
            injectedFault(FsOperation::Find, d->folder); // a slow mount's delay
        if (d->next == d->batch->size() / 2 && !d->following && !d->exhausted)
            d->following = readAhead(*d);
        const size_t i = d->next++;
        const EntryFacts *facts = nullptr;
        const int err = d->batch->facts(i, facts);
        if (d->kept) // one per entry, so positions stay those of the listing
            d->kept->append(!err && facts->storedKnown && !facts->isLink() && !facts->mountPoint && !facts->fat
                                ? &facts->stat : nullptr,
                            facts->stored);
        if (err == ENOENT)
            continue; // removed while we were listing
        if (err)
            return fail(err, "Find next", d->folder);
        EntryBatch::Entry &entry = d->batch->entry(i);
        const char *hostName = d->batch->hostName(i);
        describe(*facts, hostName, out);
        if (entry.name.isNull())
            detail::deviceNameFromHost(hostName, entry.size, out.name); // reuses the caller's buffer
        else
            out.name = std::move(entry.name);
        clearLastError();
        return true;
    }
}

bool findEntry(const QString &path, FindData &out)
{
    if (const int err = injectedFault(FsOperation::Find, path))
        return fail(err, "Find", path);
    Location at;
    if (const int err = locate(path, at))
        return fail(err, "Find", path);
    FolderFacts folder;
    EntryFacts facts;
    if (const int err = readLocatedEntry(at, folder, false, facts))
        return fail(err, "Find", path);
    describe(facts, at.name.constData(), out);
    out.name = at.root ? QString() : deviceNameFromHost(at.name);
    clearLastError();
    return true;
}

} // namespace platform
