#pragma once
#include <QList>
#include <QPoint>
#include <QPointingDevice>
#include <QTest>

namespace testsupport {

// The touch screen of every test that uses a finger.
inline QPointingDevice *touchScreen()
{
    static QPointingDevice *device = QTest::createTouchDevice(QInputDevice::DeviceType::TouchScreen);
    return device;
}

// A finger lands at a point of a viewport, moves by each step in turn, and lifts.
inline void fingerStroke(QWidget *viewport, QPoint at, const QList<QPoint> &steps = {})
{
    QTest::touchEvent(viewport, touchScreen()).press(0, at);
    for (const QPoint &step : steps)
        QTest::touchEvent(viewport, touchScreen()).move(0, at += step);
    QTest::touchEvent(viewport, touchScreen()).release(0, at);
}

} // namespace testsupport
