#include "imagelist.h"

namespace platform {

int ImageList::replaceIcon(int index, const QIcon &icon)
{
    if (index == -1) {
        m_icons.append(icon);
        return int(m_icons.size()) - 1;
    }
    if (index < 0 || index >= m_icons.size())
        return -1;
    m_icons[index] = icon;
    return index;
}

bool ImageList::remove(int index)
{
    if (index == -1) {
        m_icons.clear();
        return true;
    }
    if (index < 0 || index >= m_icons.size())
        return false;
    m_icons.removeAt(index);
    return true;
}

QIcon ImageList::icon(int index) const
{
    return index >= 0 && index < m_icons.size() ? m_icons.at(index) : QIcon();
}

} // namespace platform
