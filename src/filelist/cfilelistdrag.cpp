#include "cfilelistdrag.h"

#include "platform/desktop/fileuri.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QSet>
#include <QWidget>

namespace filedrag {

namespace {
DragRunner &runner()
{
    static DragRunner one;
    return one;
}
} // namespace

bool MayStartDrag(const QMouseEvent &event)
{
    if (event.button() != Qt::LeftButton || event.source() == Qt::MouseEventSynthesizedBySystem)
        return false;
    const QInputDevice *device = event.device();
    const auto type = device ? device->type() : QInputDevice::DeviceType::Mouse;
    return type != QInputDevice::DeviceType::TouchScreen && type != QInputDevice::DeviceType::TouchPad;
}

bool IsDragDistance(const QPoint &from, const QPoint &to)
{
    return (to - from).manhattanLength() >= QApplication::startDragDistance();
}

QMimeData *MimeDataFor(const QStringList &devicePaths)
{
    return platform::mimeDataFromDevicePaths(devicePaths, false);
}

Qt::DropAction DragEntries(QWidget *source, const QStringList &devicePaths)
{
    if (devicePaths.isEmpty())
        return Qt::IgnoreAction;
    auto *drag = new QDrag(source); // the drag loop deletes it
    drag->setMimeData(MimeDataFor(devicePaths));
    if (runner()) {
        const Qt::DropAction action = runner()(*drag);
        drag->deleteLater();
        return action;
    }
    return drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

void SetDragRunner(DragRunner runner_)
{
    runner() = std::move(runner_);
}

QStringList DroppedEntries(const QMimeData *data)
{
    QStringList paths;
    QSet<QString> seen;
    for (const QByteArray &uri : platform::fileListFromMimeData(data).uris) {
        const QString path = platform::devicePathFromFileUri(uri);
        if (!path.isEmpty() && path != QLatin1String("\\") && !seen.contains(path)) {
            seen.insert(path);
            paths.append(path);
        }
    }
    return paths;
}

Qt::DropAction DropActionFor(const QDropEvent &event)
{
    const Qt::DropActions possible = event.possibleActions();
    bool move;
    if (event.modifiers() & Qt::ShiftModifier)
        move = true;
    else if (event.modifiers() & Qt::ControlModifier)
        move = false;
    else
        move = event.proposedAction() == Qt::MoveAction;
    if (move && (possible & Qt::MoveAction))
        return Qt::MoveAction;
    if (possible & Qt::CopyAction)
        return Qt::CopyAction;
    return possible & Qt::MoveAction ? Qt::MoveAction : Qt::IgnoreAction;
}

} // namespace filedrag
