#include "images.h"

#include "artwork.h"
#include "resourceids.h"
#include "toolbarimages.h"

#include <QFont>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace resources {

using namespace art;

namespace {

// A transparent picture of the given size with draw's antialiased drawing.
template<typename Draw>
QPixmap drawn(int width, int height, Draw draw)
{
    QPixmap image = transparentPixmap(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return image;
}

// Bitmap 132: closed folder, open folder, handheld device, document.
QPixmap treeImages()
{
    return drawn(64, 16, [](QPainter &p) {
        folderClosed(p, QRectF(0.5, 2.5, 15, 12));
        folderOpen(p, QRectF(16.5, 2.5, 14, 12));
        handheld(p, QRectF(35.5, 0.5, 9, 15));
        page(p, QRectF(51.5, 0.5, 11, 15), true);
    });
}

// Bitmap 136: the list's image for a file of unknown type.
QPixmap genericFile()
{
    return drawn(16, 15, [](QPainter &p) { page(p, QRectF(2.5, 0.5, 10, 14), false); });
}

// Bitmaps 138 and 139: the large pictures of the properties dialog.
QPixmap largeFolder()
{
    return drawn(32, 32, [](QPainter &p) { folderClosed(p, QRectF(1.5, 5.5, 29, 22)); });
}

QPixmap largeFile()
{
    return drawn(32, 32, [](QPainter &p) { page(p, QRectF(5.5, 1.5, 21, 29), true); });
}

// The program icon: a folder with a handheld in front of it, size device
// pixels square (the installed SVG draws the same shapes).
QPixmap programIcon(int size)
{
    QPixmap image = transparentPixmap(size, size, 1.0);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (size <= 16) {
        folderClosed(p, QRectF(0.5, 1.5, 13, 10));
        handheld(p, QRectF(8.5, 5.5, 7, 10));
    } else {
        p.scale(size / 32.0, size / 32.0);
        folderOpen(p, QRectF(0.5, 3.5, 26, 21));
        handheld(p, QRectF(17.5, 10.5, 13, 21));
    }
    return image;
}

// Bitmap 145: the picture of the splash screen and the About box.
QPixmap picture()
{
    const int w = 176, h = 74;
    QPixmap image = transparentPixmap(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, w, h);
    sky.setColorAt(0, QColor(0x13, 0x3b, 0x74));
    sky.setColorAt(1, QColor(0x1f, 0x8a, 0x8c));
    p.fillRect(0, 0, w, h, sky);
    // A soft light behind the artwork.
    QRadialGradient glow(QPointF(34, 37), 40);
    glow.setColorAt(0, QColor(255, 255, 255, 90));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(0, 0, w, h, glow);
    // A wave along the bottom.
    QPainterPath wave;
    wave.moveTo(0, h - 14);
    wave.cubicTo(w * 0.3, h - 26, w * 0.6, h - 2, w, h - 16);
    wave.lineTo(w, h);
    wave.lineTo(0, h);
    wave.closeSubpath();
    p.fillPath(wave, QColor(255, 255, 255, 40));

    p.save();
    p.translate(10, 12);
    p.scale(1.5, 1.5);
    folderOpen(p, QRectF(0.5, 3.5, 26, 21));
    handheld(p, QRectF(17.5, 10.5, 13, 21));
    p.restore();

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    const QRectF titleRect(66, 8, w - 70, 40);
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(titleRect.translated(1.5, 1.5), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Ferrix"));
    p.setPen(QColor(0xfd, 0xfd, 0xfd));
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Ferrix"));

    QFont tag(QStringLiteral("DejaVu Sans"));
    tag.setPixelSize(10);
    p.setFont(tag);
    p.setPen(QColor(0xd6, 0xe9, 0xf5));
    p.drawText(QRectF(68, 46, w - 70, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("file manager"));
    return image;
}

// The program icon for any size asked: window icons, task bars and the
// About box all get it drawn at their own size.
class ProgramIconEngine : public QIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatio();
        QPixmap image = pixmap(rect.size() * ratio, mode, state);
        image.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, image);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return programIcon(qMax(1, qMin(size.width(), size.height())));
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
            sizes.append(QSize(side, side));
        return sizes;
    }
    QIconEngine *clone() const override { return new ProgramIconEngine; }
};

} // namespace

QPixmap LoadBitmap(int id)
{
    switch (id) {
    case ids::IDB_TOOLBAR:
        return ToolBarBitmap();
    case ids::IDB_TOOLBAR_TOGGLE:
        return ToggleToolBarBitmap();
    case ids::IDB_TREE_IMAGES:
        return treeImages();
    case ids::IDB_GENERIC_FILE:
        return genericFile();
    case ids::IDB_FERRIX:
        return picture();
    case ids::IDB_FOLDER_PICTURE:
        return largeFolder();
    case ids::IDB_FILE_PICTURE:
        return largeFile();
    default:
        return QPixmap();
    }
}

QIcon LoadIcon(int id)
{
    return id == ids::IDR_MAINFRAME ? QIcon(new ProgramIconEngine) : QIcon();
}

QList<QPixmap> SplitBitmap(const QPixmap &strip, int imageWidth)
{
    QList<QPixmap> images;
    if (imageWidth <= 0)
        return images;
    // In the strip's own pixels, so that a strip drawn at a fractional
    // ratio is cut where its images meet.
    const qreal ratio = strip.devicePixelRatio();
    const int count = qRound(strip.deviceIndependentSize().width()) / imageWidth;
    for (int i = 0; i < count; ++i) {
        const int left = qRound(i * imageWidth * ratio);
        QPixmap image = strip.copy(left, 0, qRound((i + 1) * imageWidth * ratio) - left, strip.height());
        image.setDevicePixelRatio(ratio);
        images.append(image);
    }
    return images;
}

} // namespace resources
