#pragma once
#include "fileuri.h"

#include <QObject>
#include <QPointer>

class QMimeData;

namespace platform {

// The desktop's clipboard as far as files go: what this program put there,
// and the files other programs put there, read once per change.
class DesktopClipboard : public QObject {
    Q_OBJECT
public:
    static DesktopClipboard &instance();

    // Puts the entries there in the formats file managers read.
    void publish(const QStringList &devicePaths, bool cut);
    // Empties the clipboard if it still holds what publish put there.
    void withdraw();
    // Empties the clipboard, whoever filled it.
    void clear();

    // The files another program put there, as device paths: local files
    // inside the device root only. Empty while the clipboard holds what
    // this program published.
    const QStringList &foreignFiles();
    bool isForeignCut();

Q_SIGNALS:
    // The clipboard changed; foreignFiles may say something else now.
    void changed();
    // Another program took the clipboard from what this program put there,
    // with other content or none: the newest copy on the desktop wins. A
    // program that takes it over offering the very same entries (a
    // clipboard manager) takes nothing.
    void taken();

private:
    DesktopClipboard();
    void onDataChanged();
    bool holdsOwn() const;
    // Whether data offers the entries publish put there, cut or not alike.
    bool sameAsOwn(const QMimeData *data) const;
    // Changes the clipboard; its own change is not another program's.
    template <typename Change>
    void change(Change change);

    QPointer<QMimeData> m_published;
    // What publish put there, and whether this program holds the clipboard
    // (with that, or emptied by withdraw) as far as it knows.
    ClipboardFileList m_ownList;
    bool m_bOwner = false;
    bool m_bChanging = false;
    bool m_bStale = true;
    QStringList m_foreign;
    bool m_bForeignCut = false;
};

} // namespace platform
