#pragma once
#include <QPoint>
#include <QStringList>
#include <Qt>

#include <functional>

class QDrag;
class QDropEvent;
class QMimeData;
class QMouseEvent;
class QObject;
class QWidget;

// Dragging entries out of the panes and dropping them in, as the desktop's
// file managers do: the entries travel as file URIs of their host paths.
namespace filedrag {

// A press that may become a drag: the left button of a mouse or a pen. A
// finger scrolls, holds and taps instead.
bool MayStartDrag(const QMouseEvent &event);
// Far enough from the press for a drag.
bool IsDragDistance(const QPoint &from, const QPoint &to);

// What a drag of the entries (device paths) offers: the formats of the
// desktop's clipboard, as a copy; the receiver chooses copy or move.
QMimeData *MimeDataFor(const QStringList &devicePaths);
// Drags the entries out of source until they are dropped; the receiver's
// action, and whether another program took them (elsewhere). A receiver that
// takes them as a move moves them itself: nothing here deletes anything.
Qt::DropAction DragEntries(QWidget *source, const QStringList &devicePaths, bool *elsewhere = nullptr);
// Runs work once no drag out of this program is under way, never inside its
// drag loop (where the loop holds the mouse and the keys): queued, and
// dropped with context.
void AfterDrag(QObject *context, std::function<void()> work);
// Runs drags in place of the desktop's drag loop (tests); none: the desktop's.
using DragRunner = std::function<Qt::DropAction(QDrag &)>;
void SetDragRunner(DragRunner runner);

// The entries a drop offers, as device paths: local files inside the device
// root; the device itself never.
QStringList DroppedEntries(const QMimeData *data);
// Copy by default; move with Shift, where the source asks for a move, or
// where it offers nothing else. IgnoreAction when neither can be.
Qt::DropAction DropActionFor(const QDropEvent &event);

} // namespace filedrag
