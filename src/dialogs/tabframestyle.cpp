#include "tabframestyle.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QtMath>

void CTabFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                   const QWidget *widget) const
{
    const auto *frame = qstyleoption_cast<const QStyleOptionTabWidgetFrame *>(option);
    const QTransform toDevice = painter->deviceTransform();
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    // Whole scales keep the style's own drawing, lines as thick as the scale.
    if (element != PE_FrameTabWidget || !frame || ratio == qFloor(ratio) || !toDevice.isInvertible()
        || toDevice.type() > QTransform::TxScale) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The device pixels wholly inside the frame's rectangle, drawn in
    // device coordinates.
    const QRectF device = toDevice.mapRect(QRectF(option->rect));
    QStyleOptionTabWidgetFrame inside = *frame;
    inside.rect = QRect(QPoint(qCeil(device.left() - 0.001), qCeil(device.top() - 0.001)),
                        QPoint(qFloor(device.right() + 0.001) - 1, qFloor(device.bottom() + 0.001) - 1));
    painter->save();
    painter->setWorldTransform(toDevice.inverted() * painter->worldTransform());
    QProxyStyle::drawPrimitive(element, &inside, painter, widget);
    painter->restore();
}
