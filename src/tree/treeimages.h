#pragma once
#include <QIcon>
#include <QList>
#include <QPixmap>

// The tree's pictures come as one 64x16 strip of four 16x16 images.
namespace treeimages {

enum Index { ClosedFolder = 0, OpenFolder = 1, Device = 2, Document = 3, Count = 4 };

// The four images of the strip, white made transparent; empty when the strip
// cannot be loaded or is too small.
QList<QPixmap> load();

// A folder's icon: the closed folder, and the open one while selected.
QIcon folderIcon(const QList<QPixmap> &images);
// The root's icon: the device, selected or not.
QIcon deviceIcon(const QList<QPixmap> &images);

} // namespace treeimages
