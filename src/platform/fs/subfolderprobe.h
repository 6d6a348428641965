#pragma once
#include "platform/base/lasterror.h"

#include <QHash>
#include <QString>

#include <memory>
#include <optional>

namespace platform {

// Whether a folder holds at least one folder (or link to a folder), the same
// answer a search over "folder\*.*" gives when it stops at the first entry
// with FILE_ATTRIBUTE_DIRECTORY, but without reading every entry's
// attributes. The folder tree asks this of every folder it shows, often for
// thousands of folders side by side, so a probe keeps their parent open.
// A folder that cannot be read has none. Faults injected for Find apply as
// they do to FindFile. On the UI thread the probes are reads of browsing
// (see readStep): the opening of the parent, then all of its folders in one.
class SubfolderProbe {
public:
    explicit SubfolderProbe(const QString &parentPath); // ends with a backslash
    ~SubfolderProbe();
    SubfolderProbe(const SubfolderProbe &) = delete;
    SubfolderProbe &operator=(const SubfolderProbe &) = delete;

    // For parentPath + name + "\".
    bool hasSubfolder(const QString &name);

    struct State;

private:
    // Shared with the steps that probe: one given up may outlive the probe.
    std::shared_ptr<const State> d;
    // The answers for every folder of the parent, probed together in one
    // step at the first question: the tree asks about all of them.
    // An answer is the probe's last error: none, or why there is no subfolder.
    std::optional<QHash<QString, LastError>> m_answers;
};

// The same for one folder given by its path ("\" for the root, else ending
// with a backslash).
bool hasSubfolder(const QString &folderPath);

} // namespace platform
