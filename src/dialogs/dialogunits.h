#pragma once
#include <QRect>

class QFont;
class QWidget;

// Dialog layouts are given in dialog units: a quarter of the font's average
// character width across, an eighth of its height down, so dialogs grow
// with the font.
class DialogUnits {
public:
    explicit DialogUnits(const QFont &font);

    QRect toPixels(int x, int y, int width, int height) const;
    QSize toPixels(int width, int height) const;

private:
    int m_baseX;
    int m_baseY;
};

// Moves a top-level dialog to the middle of the primary screen's free area
// (on window systems that let a program place its windows).
void centreOnScreen(QWidget &dialog);
