#include "platform/longwork.h"
#include "platformtest.h"

#include <QThread>

#include <thread>

using namespace platform;

// Where the steps of a long work run: short ones here while they are quick,
// on the worker after a slow one, and back here once they are quick again.
class LongWorkTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shortStepsComeBackAfterASlowOne()
    {
        LongWork work(WorkKind::Copying);
        const auto here = [] { return QThread::currentThread() == qApp->thread(); };
        QVERIFY(runStep(here, Step::Short));
        QVERIFY(!runStep(here, Step::Long));

        // Well past the threshold, whatever the clock's grain.
        runStep([] { std::this_thread::sleep_for(std::chrono::milliseconds(60)); }, Step::Short);
        QVERIFY(!runStep(here, Step::Short));

        // A busy machine may make a few trips slow; a long run of quick ones
        // must still bring the steps back.
        int steps = 1;
        while (!runStep(here, Step::Short) && steps < 4096)
            ++steps;
        QVERIFY2(steps < 4096, "short steps never came back from the worker");
        QVERIFY(steps > 1);
    }
};

FERRIX_TEST(LongWorkTest)
#include "tst_longwork.moc"
