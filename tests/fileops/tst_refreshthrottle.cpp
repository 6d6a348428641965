#include "common/testsuite.h"
#include "fileops/refreshthrottle.h"
#include "platform/longwork.h"

#include <optional>

using fileops::RefreshThrottle;

// When the views' refresh after a new folder runs: each step is "r", "c" or
// "f" (request, catch up, flush) and the clock's time in milliseconds; the
// refresh itself takes `cost` milliseconds of the clock.
class RefreshThrottleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runs_data()
    {
        QTest::addColumn<bool>("longWork");
        QTest::addColumn<int>("cost");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<qint64>>("ranAt");
        using L = QStringList;
        using T = QList<qint64>;
        QTest::newRow("outside long work: every time") << false << 0 << L{"r0", "r1", "r2"} << T{0, 1, 2};
        QTest::newRow("within a frame the next waits for it") << true << 0 << L{"r0", "r5", "r10", "c12", "c16"} << T{0, 16};
        QTest::newRow("a frame later: at once") << true << 0 << L{"r0", "r20"} << T{0, 20};
        QTest::newRow("a waiting one runs before a question") << true << 0 << L{"r0", "r5", "f6", "f7"} << T{0, 6};
        QTest::newRow("nothing waiting, nothing run") << true << 0 << L{"r0", "c30", "f31"} << T{0};
        QTest::newRow("a slow refresh keeps four times its length free")
            << true << 10 << L{"r0", "r20", "c40", "c50"} << T{0, 50};
    }
    void runs()
    {
        QFETCH(bool, longWork);
        QFETCH(int, cost);
        QFETCH(QStringList, steps);
        QFETCH(QList<qint64>, ranAt);
        std::optional<platform::LongWork> work;
        if (longWork)
            work.emplace(platform::WorkKind::Copying);
        qint64 clock = 0;
        QList<qint64> ran;
        platform::setSteadyClock([&] { return clock; });
        RefreshThrottle throttle([&] { ran.append(clock); clock += cost; });
        for (const QString &step : std::as_const(steps)) {
            clock = step.mid(1).toLongLong();
            switch (step.at(0).toLatin1()) {
            case 'r': throttle.request(); break;
            case 'c': throttle.catchUp(); break;
            default: throttle.flush(); break;
            }
        }
        QCOMPARE(ran, ranAt);
        QVERIFY(!throttle.waiting() || steps.last().startsWith('r'));
    }
    void cleanup() { platform::setSteadyClock({}); }
};

FERRIX_TEST(RefreshThrottleTest)
#include "tst_refreshthrottle.moc"
