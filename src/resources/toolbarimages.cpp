#include "toolbarimages.h"

#include "artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace resources {

using namespace art;

namespace {

void cut(QPainter &p)
{
    // Blades first, then the handles over their ends.
    p.setPen(QPen(QColor(0x5b, 0x63, 0x6c), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 9.5), QPointF(11, 1));
    p.drawLine(QPointF(10.5, 9.5), QPointF(5, 1));
    p.setPen(QPen(QColor(0xb0, 0xb8, 0xc0), 0.8));
    p.drawLine(QPointF(6.2, 8.0), QPointF(10.6, 1.4));
    p.setPen(QPen(QColor(0xc0, 0x1f, 0x2a), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.5, 12), 2.3, 2.3);
    p.drawEllipse(QPointF(11.5, 12), 2.3, 2.3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6b, 0x73, 0x7c));
    p.drawEllipse(QPointF(8, 6.7), 0.9, 0.9);
}

void copy(QPainter &p)
{
    page(p, QRectF(1.5, 0.5, 8, 10), true);
    page(p, QRectF(6.5, 4.5, 8, 11), true);
}

void paste(QPainter &p)
{
    p.setPen(QPen(QColor(0x6b, 0x45, 0x12), 1));
    p.setBrush(QColor(0xc0, 0x8a, 0x3e));
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
    p.setPen(QPen(QColor(0x4a, 0x50, 0x58), 1));
    p.setBrush(QColor(0xb5, 0xbc, 0xc4));
    p.drawRoundedRect(QRectF(4.5, 0.5, 4, 3), 1, 1);
    page(p, QRectF(6.5, 5.5, 8, 10), true);
}

void remove(QPainter &p)
{
    p.setPen(QPen(QColor(0x8c, 0x10, 0x10), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    p.setPen(QPen(QColor(0xe5, 0x2b, 0x2b), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void sparkle(QPainter &p, QPointF c, qreal r)
{
    QPainterPath star;
    star.moveTo(c.x(), c.y() - r);
    star.quadTo(c, QPointF(c.x() + r, c.y()));
    star.quadTo(c, QPointF(c.x(), c.y() + r));
    star.quadTo(c, QPointF(c.x() - r, c.y()));
    star.quadTo(c, QPointF(c.x(), c.y() - r));
    p.setPen(QPen(QColor(0xa0, 0x70, 0x00), 0.8));
    p.setBrush(QColor(0xff, 0xf0, 0x60));
    p.drawPath(star);
}

void newFolder(QPainter &p)
{
    folderClosed(p, QRectF(0.5, 5.5, 12, 9));
    sparkle(p, QPointF(12, 4), 4);
}

void properties(QPainter &p)
{
    // A small window: title bar and a few labelled fields.
    p.setPen(QPen(QColor(0x3d, 0x48, 0x56), 1));
    p.setBrush(QColor(0xee, 0xf0, 0xf3));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x6d, 0xc4));
    p.drawRect(QRectF(2, 2, 12, 3));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 7.5 + i * 2.5;
        p.setBrush(QColor(0x2f, 0x6d, 0xc4));
        p.drawRect(QRectF(3, y - 0.5, 2, 1.5));
        p.setBrush(colors::text.darker(115));
        p.drawRect(QRectF(6, y - 0.5, i == 1 ? 5 : 7, 1.2));
    }
}

void refresh(QPainter &p)
{
    const QColor green(0x22, 0x8b, 0x36);
    const QRectF circle(2.5, 2.5, 11, 11);
    p.setPen(QPen(green, 1.8, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    // Two arcs (angles in 1/16 degree, counter-clockwise from 3 o'clock).
    p.drawArc(circle, 20 * 16, 140 * 16);
    p.drawArc(circle, 200 * 16, 140 * 16);
    arrowHead(p, QPointF(3.2, 10.6), 95, 4, green);
    arrowHead(p, QPointF(12.8, 5.4), -85, 4, green);
}

void toggle(QPainter &p)
{
    // A menu bar above, a row of buttons below, an arrow between them.
    p.setPen(QPen(QColor(0x3d, 0x48, 0x56), 1));
    p.setBrush(QColor(0xee, 0xf0, 0xf3));
    p.drawRect(QRectF(0.5, 0.5, 15, 4));
    p.drawRect(QRectF(0.5, 11.5, 15, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3d, 0x48, 0x56));
    p.drawRect(QRectF(2, 2, 4, 1.5));
    p.drawRect(QRectF(8, 2, 5, 1.5));
    const QColor buttons[] = {QColor(0xe5, 0x2b, 0x2b), QColor(0x2f, 0x6d, 0xc4),
                              QColor(0x22, 0x8b, 0x36)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(buttons[i]);
        p.drawRect(QRectF(2 + i * 4.5, 12.8, 3, 2));
    }
    const QColor arrow(0x2f, 0x6d, 0xc4);
    p.setPen(QPen(arrow, 1.4));
    p.drawLine(QPointF(8, 6.8), QPointF(8, 9.2));
    arrowHead(p, QPointF(8, 5.3), -90, 2.2, arrow);
    arrowHead(p, QPointF(8, 10.7), 90, 2.2, arrow);
}

using Draw = void (*)(QPainter &);
const Draw toolImages[] = {cut, copy, paste, remove, newFolder, properties, refresh, toggle};

} // namespace

QPixmap ToolBarBitmap()
{
    const int count = int(std::size(toolImages));
    QPixmap strip = transparentPixmap(16 * count, 16);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < count; ++i) {
        p.save();
        p.translate(16 * i, 0);
        p.setClipRect(0, 0, 16, 16);
        toolImages[i](p);
        p.restore();
    }
    return strip;
}

QPixmap ToggleToolBarBitmap()
{
    QPixmap image = transparentPixmap(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    toggle(p);
    return image;
}

} // namespace resources
