#include "common/testsuite.h"
#include "fileops/refreshthrottle.h"
#include "platform/work/longwork.h"

#include <optional>

using fileops::RefreshThrottle;

namespace {
struct RunCase { bool longWork; int cost; QStringList steps; QList<qint64> ranAt; };
} // namespace

// When the views' refresh after a new folder runs: each step is "r", "c" or
// "f" (request, catch up, flush) and the clock's time in milliseconds; the
// refresh itself takes `cost` milliseconds of the clock.
class RefreshThrottleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runs_data()
    {
        QTest::addColumn<RunCase>("row");
        QTest::newRow("outside long work: every time") << RunCase{false, 0, {"r0", "r1", "r2"}, {0, 1, 2}};
        QTest::newRow("within a frame the next waits for it") << RunCase{true, 0, {"r0", "r5", "r10", "c12", "c16"}, {0, 16}};
        QTest::newRow("a frame later: at once") << RunCase{true, 0, {"r0", "r20"}, {0, 20}};
        QTest::newRow("a waiting one runs before a question") << RunCase{true, 0, {"r0", "r5", "f6", "f7"}, {0, 6}};
        QTest::newRow("nothing waiting, nothing run") << RunCase{true, 0, {"r0", "c30", "f31"}, {0}};
        QTest::newRow("a slow refresh keeps four times its length free") << RunCase{true, 10, {"r0", "r20", "c40", "c50"}, {0, 50}};
    }
    void runs()
    {
        const auto [longWork, cost, steps, ranAt] = testsupport::fetchRow<RunCase>();
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
