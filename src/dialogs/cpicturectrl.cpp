#include "cpicturectrl.h"

#include <QMouseEvent>
#include <QPainter>

CPictureCtrl::CPictureCtrl(const QPixmap &pixmap, int style, QWidget *parent)
    : QWidget(parent), m_pixmap(pixmap), m_style(style)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, !(style & Notify));
    setFocusPolicy(Qt::NoFocus);
}

void CPictureCtrl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QSizeF size = m_pixmap.deviceIndependentSize();
    const QPointF topLeft((width() - size.width()) / 2, (height() - size.height()) / 2);
    painter.drawPixmap(topLeft, m_pixmap);
    if (m_style & Border) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CPictureCtrl::mousePressEvent(QMouseEvent *event)
{
    if (!(m_style & Notify) || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    Q_EMIT clicked();
}
