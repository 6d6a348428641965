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
    if (m_bOwner && !m_bChanging && !holdsOwn()) {
        QClipboard *board = clipboard();
        const QMimeData *data = board ? board->mimeData() : nullptr;
        // After withdraw the clipboard is this program's while it stays empty.
        const bool same = m_ownList.uris.isEmpty() ? !data || data->formats().isEmpty() : sameAsOwn(data);
        if (!same) {
            m_bOwner = false;
            m_ownList = {};
            m_published = nullptr;
            Q_EMIT taken();
        }
    }
    Q_EMIT changed();
}

template <typename Change>
void DesktopClipboard::change(Change change)
{
    m_bChanging = true;
    change();
    m_bChanging = false;
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
    m_ownList = fileListFromMimeData(data);
    m_bOwner = true;
    change([&] { board->setMimeData(data); }); // the clipboard owns it from now on
}

void DesktopClipboard::withdraw()
{
    // What a clipboard manager took over from us goes too.
    QClipboard *board = clipboard();
    if (holdsOwn() || (board && m_bOwner && !m_ownList.uris.isEmpty() && sameAsOwn(board->mimeData()))) {
        change([&] { board->clear(); });
        m_ownList = {};
    }
    m_published = nullptr;
}

bool DesktopClipboard::sameAsOwn(const QMimeData *data) const
{
    const ClipboardFileList now = fileListFromMimeData(data);
    return now.uris == m_ownList.uris && now.cut == m_ownList.cut;
}

void DesktopClipboard::clear()
{
    if (QClipboard *board = clipboard())
        change([&] { board->clear(); });
    m_published = nullptr;
    m_ownList = {};
    m_bOwner = false;
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
