#include "dialogunits.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The average of the 52 letters, rounded.
    m_baseX = qMax(1, (alphabet / 26 + 1) / 2);
    m_baseY = qMax(1, metrics.height());
}

QRect DialogUnits::toPixels(int x, int y, int width, int height) const
{
    const int left = x * m_baseX / 4;
    const int top = y * m_baseY / 8;
    return QRect(left, top, (x + width) * m_baseX / 4 - left, (y + height) * m_baseY / 8 - top);
}

QSize DialogUnits::toPixels(int width, int height) const
{
    return QSize(width * m_baseX / 4, height * m_baseY / 8);
}

void centreOnScreen(QWidget &dialog)
{
    // A Wayland client cannot place its windows: the compositor does, over
    // the owner window for a dialog that has one.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = dialog.geometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog.move(frame.topLeft());
    }
}
