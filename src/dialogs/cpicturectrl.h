#pragma once
#include <QPixmap>
#include <QWidget>

// A picture control: an image centred in its rectangle, with an optional
// border. With tap notification a tap on it emits clicked(); without, taps
// pass through to the dialog underneath.
class CPictureCtrl : public QWidget {
    Q_OBJECT
public:
    enum Style { Plain = 0, Border = 1, Notify = 2 };

    CPictureCtrl(const QPixmap &pixmap, int style, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPixmap m_pixmap;
    int m_style;
};
