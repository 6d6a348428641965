#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

namespace testsupport {

// A device root of its own in a temporary folder, made the platform's device
// root for the lifetime of the object (the previous root comes back after).
class TempDeviceRoot {
public:
    TempDeviceRoot();
    ~TempDeviceRoot();

    bool isValid() const { return m_ok; }
    QString hostPath() const { return m_dir.path(); }
    // Host path of a device path ("\a\b" -> <root>/a/b).
    QString host(const QString &devicePath) const;

    // Creating things on the host side; device paths in, false on failure.
    bool makeFolder(const QString &devicePath) const;             // with parents
    bool makeFile(const QString &devicePath, const QByteArray &content = {}) const; // with parents
    // Each item: "\path" a file holding "content", "\path\" a folder, "\path=text" a file holding text,
    // "\path->target" a symbolic link (target as written), "\path|" a FIFO. Files are written at the exact
    // host bytes of their device path, so names that are not UTF-8 arrive as they are.
    bool build(const QStringList &items) const;
    bool exists(const QString &devicePath) const;
    QByteArray read(const QString &devicePath) const;

private:
    QTemporaryDir m_dir;
    QString m_previousRoot;
    bool m_ok = false;
};

// The folder where tests write pictures and other output to look at.
QString outputFolder();

// A file at an exact host path, whose name may hold bytes that are not UTF-8.
bool writeHostFile(const QByteArray &hostPath, const QByteArray &content, mode_t mode = 0644);

// Each program the code under test starts (host program, then host
// arguments), recorded instead of run while the object lives.
struct Launches : QList<QStringList> {
    Launches();
    ~Launches();
};

// Puts a folder first on PATH (or alone on it) while the object lives.
class PathChange {
public:
    explicit PathChange(const QString &folder, bool alone = false);
    ~PathChange();

private:
    QByteArray m_saved;
};

} // namespace testsupport
