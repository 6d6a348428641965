#include "desktopclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

namespace {
QClipboard *clipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}
} // namespace

DesktopClipboard &DesktopClipboard::instance()
{
    static DesktopClipboard *one = new DesktopClipboard;
    return *one;
}

DesktopClipboard::DesktopClipboard()
{
    if (QClipboard *board = clipboard())
        connect(board, &QClipboard::dataChanged, this, &DesktopClipboard::onDataChanged);
}

void DesktopClipboard::onDataChanged()
{
    m_bStale = true;
    Q_EMIT changed();
}

bool DesktopClipboard::holdsOwn() const
{
    QClipboard *board = clipboard();
    return m_published && board && board->mimeData() == m_published.data();
}

void DesktopClipboard::publish(const QStringList &devicePaths, bool cut)
{
    QClipboard *board = clipboard();
    if (!board)
        return;
    QMimeData *data = mimeDataFromDevicePaths(devicePaths, cut);
    m_published = data;
    board->setMimeData(data); // the clipboard owns it from now on
}

void DesktopClipboard::withdraw()
{
    if (holdsOwn())
        clipboard()->clear();
    m_published = nullptr;
}

void DesktopClipboard::clear()
{
    if (QClipboard *board = clipboard())
        board->clear();
    m_published = nullptr;
}

const QStringList &DesktopClipboard::foreignFiles()
{
    // Read once per change: another program's clipboard costs a round trip.
    if (m_bStale) {
        m_bStale = false;
        m_foreign.clear();
        m_bForeignCut = false;
        QClipboard *board = clipboard();
        if (board && !holdsOwn()) {
            const ClipboardFileList list = fileListFromMimeData(board->mimeData());
            for (const QByteArray &uri : list.uris) {
                const QString path = devicePathFromFileUri(uri);
                if (!path.isEmpty())
                    m_foreign.append(path);
            }
            m_bForeignCut = list.cut && !m_foreign.isEmpty();
        }
    }
    return m_foreign;
}

bool DesktopClipboard::isForeignCut()
{
    foreignFiles();
    return m_bForeignCut;
}

} // namespace platform
