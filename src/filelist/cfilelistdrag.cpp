#include "cfilelistdrag.h"

#include "platform/desktop/fileuri.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
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

bool g_dragging = false;
QList<std::pair<QPointer<QObject>, std::function<void()>>> g_afterDrag;

void queue(QObject *context, std::function<void()> work)
{
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
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

Qt::DropAction DragEntries(QWidget *source, const QStringList &devicePaths, bool *elsewhere)
{
    if (elsewhere)
        *elsewhere = false;
    if (devicePaths.isEmpty())
        return Qt::IgnoreAction;
    auto *drag = new QDrag(source); // deleted once the drag is over
    drag->setMimeData(MimeDataFor(devicePaths));
    g_dragging = true;
    const Qt::DropAction action =
        runner() ? runner()(*drag) : drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    g_dragging = false;
    for (auto &[context, work] : std::exchange(g_afterDrag, {}))
        if (context)
            queue(context, std::move(work));
    if (elsewhere)
        *elsewhere = action != Qt::IgnoreAction && !drag->target();
    drag->deleteLater();
    return action;
}

void AfterDrag(QObject *context, std::function<void()> work)
{
    if (g_dragging)
        g_afterDrag.append({context, std::move(work)});
    else
        queue(context, std::move(work));
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
