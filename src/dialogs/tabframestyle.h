#pragma once
#include <QProxyStyle>

// The application's style, except that a tab widget's frame is drawn on
// whole device pixels. At a fractional scale a tab widget often starts
// part-way into a device pixel, and the style's outline along its top and
// left edges then falls on the pixel outside the widget and is lost.
class CTabFrameStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};
