#pragma once
#include <QRect>

class QFont;

// Dialog layouts are given in dialog units: a quarter of the font's average
// character width across, an eighth of its height down, so dialogs grow
// with the font.
class DialogUnits {
public:
    explicit DialogUnits(const QFont &font);

    QRect toPixels(int x, int y, int width, int height) const;
    QSize toPixels(int width, int height) const;

    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }

private:
    int m_baseX;
    int m_baseY;
};
