#include "treeimages.h"

#include "resources/images.h"
#include "resources/resourceids.h"

#include <QBitmap>

namespace treeimages {

namespace {
constexpr int kSize = 16;
}

QList<QPixmap> load()
{
    const QPixmap strip = resources::LoadBitmap(ids::IDB_TREE_IMAGES);
    QList<QPixmap> images;
    if (strip.isNull() || strip.width() < Count * kSize || strip.height() < kSize)
        return images;
    for (int i = 0; i < Count; ++i) {
        QPixmap image = strip.copy(i * kSize, 0, kSize, kSize);
        if (!image.hasAlphaChannel())
            image.setMask(image.createMaskFromColor(Qt::white, Qt::MaskInColor));
        images.append(image);
    }
    return images;
}

QIcon folderIcon(const QList<QPixmap> &images)
{
    QIcon icon;
    if (images.size() < Count)
        return icon;
    icon.addPixmap(images.at(ClosedFolder), QIcon::Normal);
    icon.addPixmap(images.at(OpenFolder), QIcon::Selected);
    return icon;
}

QIcon deviceIcon(const QList<QPixmap> &images)
{
    return images.size() < Count ? QIcon() : QIcon(images.at(Device));
}

} // namespace treeimages
