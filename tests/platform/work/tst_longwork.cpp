#include "common/testsuite.h"
#include "platform/base/lasterror.h"
#include "platform/testing/faultpoints.h"
#include "platform/work/longwork.h"

#include <QTimer>

#include <atomic>
#include <memory>

Q_DECLARE_METATYPE(platform::Step)

// A step stuck in a call (an injected hang) is given up when the work is
// asked to stop, whether the stop comes while it is stuck or came first:
// runStep fails with ECANCELED at once, the step learns it was given up
// when its call returns, and the next work's steps run on a fresh worker.
class LongWorkTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        platform::faults::clear();
        QTRY_COMPARE(platform::abandonedStepsRunning(), 0);
    }

    void stuckStepGivenUp_data()
    {
        QTest::addColumn<bool>("stopFirst");
        QTest::addColumn<platform::Step>("size");
        QTest::newRow("stop while stuck") << false << platform::Step::Long;
        QTest::newRow("stop before the step") << true << platform::Step::Long;
        // A short step too never runs where it could hold the window.
        QTest::newRow("short step, stop while stuck") << false << platform::Step::Short;
    }
    void stuckStepGivenUp()
    {
        QFETCH(bool, stopFirst);
        QFETCH(platform::Step, size);
        const QString stuck = QStringLiteral("\\stuck");
        platform::faults::injectHang(platform::FsOperation::Copy, stuck);
        const auto learnt = std::make_shared<std::atomic<int>>(-1);
        QTimer user, rescue; // rescue: a step never given up fails the test instead of hanging it
        connect(&user, &QTimer::timeout, [] {
            if (platform::faults::hanging() > 0 && !platform::stopRequested())
                platform::requestStop();
        });
        connect(&rescue, &QTimer::timeout, [] { platform::faults::releaseHangs(); });
        rescue.start(5000);
        {
            platform::LongWork work(platform::WorkKind::Copying);
            if (stopFirst)
                platform::requestStop();
            else
                user.start(5);
            const bool result = platform::runStep([stuck, learnt] {
                platform::detail::injectedFault(platform::FsOperation::Copy, stuck);
                learnt->store(platform::stepAbandoned() ? 1 : 0);
                return true;
            }, size);
            QVERIFY(!result);
            QCOMPARE(platform::lastError().code, ECANCELED);
            QCOMPARE(platform::faults::hanging(), 1);
            QCOMPARE(platform::abandonedStepsRunning(), 1);
        }
        user.stop();
        {
            platform::LongWork work(platform::WorkKind::Copying);
            QCOMPARE(platform::runStep([] { return QStringLiteral("done"); }), QStringLiteral("done"));
        }
        QCOMPARE(learnt->load(), -1); // still in its call
        platform::faults::releaseHangs();
        QTRY_COMPARE(platform::abandonedStepsRunning(), 0);
        QCOMPARE(learnt->load(), 1);
    }

    // A step runs once, whatever it returns and however long it is.
    void stepRunsOnce_data()
    {
        QTest::addColumn<platform::Step>("size");
        QTest::newRow("short") << platform::Step::Short;
        QTest::newRow("long") << platform::Step::Long;
    }
    void stepRunsOnce()
    {
        QFETCH(platform::Step, size);
        const auto runs = std::make_shared<std::atomic<int>>(0);
        {
            platform::LongWork work(platform::WorkKind::Copying);
            platform::runStep([runs] { ++*runs; }, size);
        }
        QCOMPARE(runs->load(), 1);
    }
};

FERRIX_TEST(LongWorkTest)
#include "tst_longwork.moc"
