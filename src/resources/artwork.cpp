#include "artwork.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace resources::art {

qreal drawingRatio()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? qGuiApp->devicePixelRatio() : 1.0;
}

QPixmap transparentPixmap(int width, int height, qreal ratio)
{
    QPixmap pixmap(qCeil(width * ratio), qCeil(height * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void folderClosed(QPainter &p, const QRectF &r)
{
    const qreal tabH = qMax<qreal>(2, qRound(r.height() / 5.0));
    const qreal tabW = qRound(r.width() * 0.42);
    QPainterPath tab;
    tab.moveTo(r.left(), r.top() + tabH);
    tab.lineTo(r.left(), r.top() + 1);
    tab.lineTo(r.left() + 1, r.top());
    tab.lineTo(r.left() + tabW - 1, r.top());
    tab.lineTo(r.left() + tabW + 1, r.top() + tabH);
    tab.closeSubpath();
    p.setPen(QPen(colors::folderLine, 1));
    p.setBrush(colors::folderDark);
    p.drawPath(tab);

    const QRectF body(r.left(), r.top() + tabH, r.width(), r.height() - tabH);
    p.setBrush(colors::folder);
    p.drawRect(body);
    p.setPen(QPen(colors::folderLight, 1));
    p.drawLine(QPointF(body.left() + 1, body.top() + 1), QPointF(body.right() - 1, body.top() + 1));
}

void folderOpen(QPainter &p, const QRectF &r)
{
    const qreal tabH = qMax<qreal>(2, qRound(r.height() / 5.0));
    const qreal tabW = qRound(r.width() * 0.42);
    // Back panel with its tab.
    QPainterPath back;
    back.moveTo(r.left(), r.bottom());
    back.lineTo(r.left(), r.top() + 1);
    back.lineTo(r.left() + 1, r.top());
    back.lineTo(r.left() + tabW - 1, r.top());
    back.lineTo(r.left() + tabW + 1, r.top() + tabH);
    back.lineTo(r.right() - 1, r.top() + tabH);
    back.lineTo(r.right() - 1, r.top() + tabH * 2);
    back.lineTo(r.left() + 2, r.bottom());
    back.closeSubpath();
    p.setPen(QPen(colors::folderLine, 1));
    p.setBrush(colors::folderDark);
    p.drawPath(back);

    // A sheet of paper sticking out.
    const qreal flapTop = r.top() + r.height() * 0.45;
    p.setPen(QPen(colors::paperLine, 1));
    p.setBrush(colors::paper);
    p.drawRect(QRectF(r.left() + 2, r.top() + tabH + 1, r.width() - 5, flapTop - r.top() - tabH));

    // Front flap, tilted forward.
    QPolygonF flap;
    flap << QPointF(r.left(), r.bottom())
         << QPointF(r.left() + r.width() * 0.2, flapTop)
         << QPointF(r.right() + 1, flapTop)
         << QPointF(r.right() - r.width() * 0.18, r.bottom());
    p.setPen(QPen(colors::folderLine, 1));
    p.setBrush(colors::folder);
    p.drawPolygon(flap);
}

void page(QPainter &p, const QRectF &r, bool textLines)
{
    const qreal fold = qRound(r.width() * 0.35);
    QPolygonF outline;
    outline << r.topLeft() << QPointF(r.right() - fold, r.top())
            << QPointF(r.right(), r.top() + fold) << r.bottomRight() << r.bottomLeft();
    p.setPen(QPen(colors::paperLine, 1));
    p.setBrush(colors::paper);
    p.drawPolygon(outline);
    QPolygonF corner;
    corner << QPointF(r.right() - fold, r.top()) << QPointF(r.right() - fold, r.top() + fold)
           << QPointF(r.right(), r.top() + fold);
    p.setBrush(QColor(0xd8, 0xdc, 0xe0));
    p.drawPolygon(corner);
    if (!textLines)
        return;
    p.setPen(QPen(colors::text, 1));
    const qreal step = qMax<qreal>(2, qRound(r.height() / 6.0));
    for (qreal y = r.top() + fold + step; y < r.bottom() - 1; y += step) {
        const qreal right = (y < r.top() + fold + step + 1) ? r.right() - fold / 2 : r.right() - 2;
        p.drawLine(QPointF(r.left() + 2, y), QPointF(right, y));
    }
}

void handheld(QPainter &p, const QRectF &r)
{
    const qreal radius = qMax<qreal>(1.5, r.width() / 6.0);
    p.setPen(QPen(colors::bodyLine, 1));
    p.setBrush(colors::body);
    p.drawRoundedRect(r, radius, radius);
    const qreal margin = qRound(r.width() / 5.0);
    const QRectF screen(r.left() + margin, r.top() + margin, r.width() - 2 * margin,
                        qRound(r.height() * 0.58));
    p.setPen(QPen(QColor(0x1c, 0x3a, 0x4c), 1));
    p.setBrush(colors::screen);
    p.drawRect(screen);
    // Buttons below the screen.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc7, 0xcd, 0xd4));
    const qreal y = (screen.bottom() + r.bottom()) / 2;
    const qreal d = qMax<qreal>(1.6, r.width() / 7.0);
    for (int i = 0; i < 3; ++i) {
        const qreal x = r.left() + r.width() * (i + 1) / 4.0;
        p.drawEllipse(QPointF(x, y), d / 2 + 0.2, d / 2 + 0.2);
    }
}

void arrowHead(QPainter &p, QPointF tip, qreal angle, qreal size, const QColor &color)
{
    const qreal a = qDegreesToRadians(angle);
    const QPointF back(-qCos(a) * size, -qSin(a) * size);
    const QPointF side(-qSin(a) * size * 0.75, qCos(a) * size * 0.75);
    QPolygonF head;
    head << tip << tip + back + side << tip + back - side;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(head);
}

} // namespace resources::art
