#pragma once
#include <QByteArray>
#include <QString>

#include <memory>

namespace platform {

class FolderHandle;
struct FolderEntry;

// A file opened for reading, as the handheld's CreateFile/ReadFile gave it.
class File {
public:
    File();
    ~File();
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    // Regular files only, links followed; never blocks. A folder fails with
    // EISDIR, a FIFO, socket or device with EINVAL.
    bool openForReading(const QString &path);
    // The same for an entry of an open folder, by the type its listing
    // gave: a regular file is opened directly, a link only when it leads to
    // a regular file; nothing else is ever opened (a folder fails with
    // EISDIR, a FIFO, socket or device with EINVAL).
    bool openForReading(const FolderHandle &folder, const FolderEntry &entry);
    void close();
    bool isOpen() const;
    qint64 size() const; // as it was when opened; -1 when not open
    // Reads up to maxBytes; bytesRead gets what was read (0 at the end).
    bool read(char *buffer, qint64 maxBytes, qint64 *bytesRead);
    // Reads the whole file from the current position.
    bool readAll(QByteArray &out);

private:

    // Every open for reading, through one of hostfs.h's open*At calls.
    template<typename Open>
    bool openWith(const QString &path, Open open);

    struct State;
    std::unique_ptr<State> d;
};

} // namespace platform
