#include "touchtaps.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QScroller>
#include <QStyleHints>
#include <QTouchEvent>

namespace platform {

namespace {
// Where a release goes that must not click anything.
const QPointF kNowhere(-QWIDGETSIZE_MAX, -QWIDGETSIZE_MAX);
} // namespace

void TouchTaps::install(QAbstractItemView *view)
{
    new TouchTaps(view);
}

TouchTaps::TouchTaps(QAbstractItemView *view)
    : QObject(view)
    , m_view(view)
    , m_viewport(view->viewport())
{
    QScroller::grabGesture(m_viewport.data(), QScroller::TouchGesture);
    m_viewport->setAttribute(Qt::WA_AcceptTouchEvents);
    m_viewport->installEventFilter(this);
    connect(QScroller::scroller(m_viewport.data()), &QScroller::stateChanged, this,
            [this](QScroller::State state) { scrollerStateChanged(int(state)); });
}

// The scroller measures in pixels: a view that scrolls by rows does so by
// pixels while it scrolls, and goes back to rows, keeping its top row, after.
void TouchTaps::scrollerStateChanged(int state)
{
    if (state == QScroller::Inactive && m_bByRows && m_view) {
        m_bByRows = false;
        m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    }
}

bool TouchTaps::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_viewport)
        return false;
    switch (event->type()) {
    case QEvent::ScrollPrepare:
        if (m_view && m_view->verticalScrollMode() == QAbstractItemView::ScrollPerItem) {
            m_bByRows = true;
            m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        }
        return false;
    case QEvent::TouchBegin:
        begin(*static_cast<QTouchEvent *>(event));
        break;
    case QEvent::TouchUpdate:
        update(*static_cast<QTouchEvent *>(event));
        break;
    case QEvent::TouchEnd:
        update(*static_cast<QTouchEvent *>(event));
        end(false);
        break;
    case QEvent::TouchCancel:
        end(true);
        break;
    default:
        return false;
    }
    event->accept(); // taken: Qt makes no mouse events of it
    return true;
}

bool TouchTaps::isScrolling() const
{
    if (!QScroller::hasScroller(m_viewport.data()))
        return false;
    const QScroller::State state = QScroller::scroller(m_viewport.data())->state();
    return state == QScroller::Dragging || state == QScroller::Scrolling;
}

void TouchTaps::begin(const QTouchEvent &touch)
{
    if (touch.points().isEmpty())
        return;
    m_landed = touch.points().first().position();
    m_bDown = true;
    m_bPressed = false;
    // A finger that stops a flick only stops it.
    m_bDragged = isScrolling() || touch.points().size() > 1;
    const qreal delay = QScroller::scroller(m_viewport.data())->scrollerProperties()
                            .scrollMetric(QScrollerProperties::MousePressEventDelay).toReal();
    if (!m_bDragged)
        m_pressDelay.start(qMax(1, int(delay * 1000)), this);
}

void TouchTaps::update(const QTouchEvent &touch)
{
    if (!m_bDown || m_bDragged || touch.points().isEmpty())
        return;
    const QPointF moved = touch.points().first().position() - m_landed;
    if (touch.points().size() > 1 || isScrolling()
        || moved.manhattanLength() > QGuiApplication::styleHints()->startDragDistance()) {
        m_bDragged = true;
        m_pressDelay.stop();
    }
}

void TouchTaps::end(bool cancelled)
{
    if (!m_bDown)
        return;
    m_bDown = false;
    m_pressDelay.stop();
    if (m_bPressed) {
        send(QEvent::MouseButtonRelease, m_bDragged || cancelled ? kNowhere : m_landed);
    } else if (!m_bDragged && !cancelled) {
        const bool doubleTap = m_sinceTap.isValid()
            && m_sinceTap.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval()
            && (m_landed - m_lastTap).manhattanLength() <= QGuiApplication::styleHints()->startDragDistance();
        pressNow(doubleTap);
        send(QEvent::MouseButtonRelease, m_landed);
        // A third tap starts a new pair.
        if (doubleTap)
            m_sinceTap.invalidate();
        else
            m_sinceTap.start();
        m_lastTap = m_landed;
    }
    m_bPressed = false;
}

void TouchTaps::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_pressDelay.timerId())
        return QObject::timerEvent(event);
    m_pressDelay.stop();
    if (m_bDown && !m_bDragged && !m_bPressed) {
        pressNow(false);
        m_sinceTap.invalidate(); // a hold is no half of a double tap
    }
}

// The press gives the focus as a click does.
void TouchTaps::pressNow(bool doubleClick)
{
    for (QWidget *widget = m_viewport; widget; widget = widget->parentWidget()) {
        if (widget->focusPolicy() & Qt::ClickFocus) {
            widget->setFocus(Qt::MouseFocusReason);
            break;
        }
        if (widget->isWindow())
            break;
    }
    m_bPressed = true;
    send(QEvent::MouseButtonPress, m_landed);
    if (doubleClick)
        send(QEvent::MouseButtonDblClick, m_landed);
}

void TouchTaps::send(int type, const QPointF &at)
{
    if (!m_viewport)
        return;
    const bool press = type != QEvent::MouseButtonRelease;
    const bool nowhere = at == kNowhere;
    const QPointF global = nowhere ? at : QPointF(m_viewport->mapToGlobal(at));
    QMouseEvent mouse(QEvent::Type(type), at, nowhere ? at : QPointF(m_viewport->window()->mapFromGlobal(global)),
                      global, Qt::LeftButton, press ? Qt::LeftButton : Qt::NoButton,
                      QGuiApplication::keyboardModifiers());
    QCoreApplication::sendEvent(m_viewport, &mouse);
}

} // namespace platform
