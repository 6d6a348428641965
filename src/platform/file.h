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
    // The same for an entry of an open folder, except that a link is not
    // followed: the entry itself must be a regular file.
    bool openForReading(const FolderHandle &folder, const FolderEntry &entry);
    void close();
    bool isOpen() const;
    qint64 size() const;                       // -1 when not open
    // Reads up to maxBytes; bytesRead gets what was read (0 at the end).
    bool read(char *buffer, qint64 maxBytes, qint64 *bytesRead);
    // Reads the whole file from the current position.
    bool readAll(QByteArray &out);

private:
    bool openRegular(int dirFd, const char *name, bool follow, const QString &path);

    struct State;
    std::unique_ptr<State> d;
};

} // namespace platform
