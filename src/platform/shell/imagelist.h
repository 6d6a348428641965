#pragma once
#include <QIcon>
#include <QList>

namespace platform {

// An image list as the handheld's list and tree controls use it: images by
// index, appended at the end.
class ImageList {
public:
    // index -1 appends; returns the index used, or -1 on failure.
    int replaceIcon(int index, const QIcon &icon);
    bool remove(int index); // -1 removes all
    int count() const { return int(m_icons.size()); }
    QIcon icon(int index) const;

private:
    QList<QIcon> m_icons;
};

} // namespace platform
