#pragma once
#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QRectF>

class QPainter;

// Drawing helpers shared by the image files. Coordinates are in pixels of
// the image being drawn; outlines sit on pixel centres so they stay crisp.
namespace resources::art {

// The device pixel ratio pictures are drawn for: the highest of the
// screens' (scale factor included), 1 without a GUI application.
qreal drawingRatio();

// A transparent canvas of width x height pixels of the picture, drawn at
// ratio device pixels each; painting on it works in the picture's pixels.
QPixmap transparentPixmap(int width, int height, qreal ratio = drawingRatio());

// A closed folder filling rect (the tab takes the top quarter).
void folderClosed(QPainter &p, const QRectF &rect);
// An open folder: back panel and a front flap tilted forward.
void folderOpen(QPainter &p, const QRectF &rect);
// A page with a folded top-right corner and, if wanted, lines of text.
void page(QPainter &p, const QRectF &rect, bool textLines);
// A handheld device: body, screen and three buttons.
void handheld(QPainter &p, const QRectF &rect);

// An arrow head at tip, pointing along the angle (degrees, 0 = right,
// 90 = down).
void arrowHead(QPainter &p, QPointF tip, qreal angle, qreal size, const QColor &color);

namespace colors {
inline const QColor folder{0xf2, 0xc1, 0x4e};
inline const QColor folderDark{0xd9, 0xa4, 0x2b};
inline const QColor folderLine{0x9a, 0x6b, 0x12};
inline const QColor folderLight{0xfb, 0xe3, 0x9c};
inline const QColor paper{0xfb, 0xfb, 0xf8};
inline const QColor paperLine{0x6f, 0x76, 0x7e};
inline const QColor text{0x9a, 0xa4, 0xb0};
inline const QColor body{0x4a, 0x52, 0x5c};
inline const QColor bodyLine{0x26, 0x2b, 0x31};
inline const QColor screen{0xa9, 0xd8, 0xef};
} // namespace colors

} // namespace resources::art
