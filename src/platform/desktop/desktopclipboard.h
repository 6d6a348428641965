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

private:
    DesktopClipboard();
    void onDataChanged();
    bool holdsOwn() const;

    QPointer<QMimeData> m_published;
    bool m_bStale = true;
    QStringList m_foreign;
    bool m_bForeignCut = false;
};

} // namespace platform
