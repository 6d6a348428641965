#pragma once
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QPointF>
#include <QPointer>

class QAbstractItemView;
class QTouchEvent;
class QWidget;

namespace platform {

// A finger on a list or a tree does what the stylus does. The view's
// viewport takes the touch itself, instead of Qt pressing the mouse the
// moment a finger lands: a finger that moves scrolls the view kinetically
// (QScroller) and presses nothing, so a drag never selects. A finger that
// lifts without moving is a tap, a press and a release where it landed, or
// a double click when it closely follows the tap before; a finger that
// stays down is pressed once the scroller's press delay is over, so a
// hold starts what a held stylus starts. The mouse is left as it is: a view
// that scrolls by rows scrolls by pixels only while a finger moves it, and
// stops at a row.
class TouchTaps : public QObject {
public:
    static void install(QAbstractItemView *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    explicit TouchTaps(QAbstractItemView *view);
    void begin(const QTouchEvent &touch);
    void update(const QTouchEvent &touch);
    void end(bool cancelled);
    void pressNow(bool doubleClick);
    void send(int type, const QPointF &at);
    bool isScrolling() const;

    void scrollerStateChanged(int state);

    QPointer<QAbstractItemView> m_view;
    QPointer<QWidget> m_viewport;
    bool m_bByRows = false; // scrolls by rows once the finger is done
    QPointF m_landed;       // where the finger came down, viewport coordinates
    bool m_bDown = false;
    bool m_bPressed = false; // the press was sent for this touch
    bool m_bDragged = false; // moved, or stopped a kinetic scroll: no tap
    QBasicTimer m_pressDelay;
    QElapsedTimer m_sinceTap;
    QPointF m_lastTap;
};

} // namespace platform
