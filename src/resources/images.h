#pragma once
#include <QIcon>
#include <QList>
#include <QPixmap>

// The program's own artwork, drawn in code, by resource id (resourceids.h).
// Bitmaps come with a transparent background; pure white is never used
// inside an image, so treating white as the transparent colour is harmless.
namespace resources {

QPixmap LoadBitmap(int id); // null pixmap for an unknown id
QIcon LoadIcon(int id);     // the program icon for IDR_MAINFRAME

// Cuts a strip of equally wide images (tool bar and tree bitmaps) into its
// images, left to right.
QList<QPixmap> SplitBitmap(const QPixmap &strip, int imageWidth);

} // namespace resources
