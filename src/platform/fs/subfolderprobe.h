#pragma once
#include <QString>

#include <memory>

namespace platform {

// Whether a folder holds at least one folder (or link to a folder), the same
// answer a search over "folder\*.*" gives when it stops at the first entry
// with FILE_ATTRIBUTE_DIRECTORY, but without reading every entry's
// attributes. The folder tree asks this of every folder it shows, often for
// thousands of folders side by side, so a probe keeps their parent open.
// A folder that cannot be read has none. Faults injected for Find apply as
// they do to FindFile. On the UI thread each probe is a read of browsing
// (see readStep), as is the opening of the parent.
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
};

// The same for one folder given by its path ("\" for the root, else ending
// with a backslash).
bool hasSubfolder(const QString &folderPath);

} // namespace platform
