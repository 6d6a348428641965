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
    if (strip.deviceIndependentSize().height() < kSize)
        return {};
    QList<QPixmap> images = resources::SplitBitmap(strip, kSize);
    if (images.size() < Count)
        return {};
    images.resize(Count);
    for (QPixmap &image : images)
        if (!image.hasAlphaChannel())
            image.setMask(image.createMaskFromColor(Qt::white, Qt::MaskInColor));
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
