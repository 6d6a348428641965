#include "entryid.h"

#include "hostfs.h"
#include "platform/base/lasterror.h"

namespace platform {

using namespace detail;

EntryId detail::entryIdOf(const struct statx &st)
{
    EntryId id;
    id.devMajor = st.stx_dev_major;
    id.devMinor = st.stx_dev_minor;
    id.inode = st.stx_ino;
    id.changeSeconds = st.stx_ctime.tv_sec;
    id.changeNanoseconds = st.stx_ctime.tv_nsec;
    id.size = st.stx_size;
    return id;
}

bool entryIdentity(const QString &path, EntryId &out, bool follow)
{
    Location at;
    struct statx st;
    if (const int err = locate(path, at))
        return fail(err, "Identity", path);
    if (const int err = statAt(at.parent.get(), at.name.constData(), st, follow || at.root))
        return fail(err, "Identity", path);
    out = entryIdOf(st);
    clearLastError();
    return true;
}

} // namespace platform
