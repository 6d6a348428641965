#pragma once
#include <QElapsedTimer>
#include <QTimer>
#include <QtGlobal>

#include <functional>

namespace bench {

struct StallFigures {
    qint64 stallMs = 0; // the longest gap between two ticks
    qint64 totalMs = 0;
};

// Runs work on the user-interface thread while a 5 ms timer ticks there;
// the longest gap between ticks (the start and the end count as ticks) is
// the longest time the window could not have painted.
inline StallFigures measureStall(const std::function<void()> &work)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = qMax(longest, now - last);
        last = now;
    });
    timer.start();
    clock.start();
    work();
    const qint64 end = clock.elapsed();
    longest = qMax(longest, end - last);
    return {longest, end};
}

} // namespace bench
