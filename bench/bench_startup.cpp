// How long the main window takes from its construction to its first paint
// (the splash screen left out), on a small device root of its own; and on a
// root of 100,000 files, how long from the splash closing until the list
// first paints a screen of rows, with the root read while the splash is up
// and without.
#include "app/cferrixapp.h"
#include "app/cferrixdoc.h"
#include "app/cmainframe.h"
#include "app/commandmap.h"
#include "benchratio.h"
#include "filelist/cfilelistviewex.h"
#include "filelist/folderprefetch.h"
#include "platform/fs/devicepath.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

// Notes the moment of the first paint of the watched window.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(const QElapsedTimer &clock) : m_clock(clock) {}
    qint64 at = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && at < 0)
            at = m_clock.nsecsElapsed();
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &m_clock;
};

bool makeDeviceRoot(const QTemporaryDir &dir, int folders, int files)
{
    QDir root(dir.path());
    for (int i = 0; i < folders; ++i)
        if (!root.mkpath(QStringLiteral("Folder %1/Sub").arg(i)))
            return false;
    for (int i = 0; i < files; ++i) {
        QFile file(root.filePath(QStringLiteral("file%1.txt").arg(i)));
        if (!file.open(QIODevice::WriteOnly) || file.write("data") != 4)
            return false;
    }
    return platform::setDeviceRoot(dir.path());
}

// A device root of its own and what the application holds before it makes
// its frame.
struct Startup {
    QTemporaryDir dir;
    CFerrixDoc document;
    CommandMap appCommands;

    bool prepare(benchmark::State &state, int folders, int files)
    {
        if (!dir.isValid() || !makeDeviceRoot(dir, folders, files)) {
            state.SkipWithError("cannot make the device root");
            return false;
        }
        document.OnNewDocument();
        return true;
    }
};

// A main frame made as the application makes it; null (the run marked
// failed) when it cannot be.
CMainFrame *loadedFrame(CFerrixDoc &document, CommandMap &appCommands, benchmark::State &state)
{
    auto *frame = new CMainFrame;
    if (frame->LoadFrame(&document, &appCommands))
        return frame;
    state.SkipWithError("LoadFrame failed");
    delete frame;
    return nullptr;
}

void BM_FrameToFirstPaint(benchmark::State &state)
{
    Startup start;
    if (!start.prepare(state, int(state.range(0)), int(state.range(1))))
        return;
    CFerrixDoc &document = start.document;
    CommandMap &appCommands = start.appCommands;
    for (auto _ : state) {
        QElapsedTimer clock;
        FirstPaint paint(clock);
        clock.start();
        CMainFrame *frame = loadedFrame(document, appCommands, state);
        if (!frame)
            break;
        frame->installEventFilter(&paint);
        frame->InitialUpdateFrame(true);
        frame->repaint();
        const qint64 end = paint.at >= 0 ? paint.at : clock.nsecsElapsed();
        state.SetIterationTime(double(end) / 1e9);
        delete frame;
        QCoreApplication::processEvents();
    }
    state.counters["folders"] = double(state.range(0));
    state.counters["files"] = double(state.range(1));
}

// Starts the clock when the splash screen closes and notes the first paint
// of the list's rows. Without read-ahead, what was read while the splash
// was up is dropped as it closes, so the list reads the root itself.
class SplashToRows : public QObject {
public:
    SplashToRows(QElapsedTimer &clock, bool readAhead) : m_clock(clock), m_readAhead(readAhead) {}
    qint64 at = -1;
    CFileListViewEx *list = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide && watched->objectName() == QLatin1String("splash")
            && !m_clock.isValid()) {
            m_clock.start();
            if (!m_readAhead)
                folderprefetch::discard();
        }
        if (event->type() == QEvent::Paint && at < 0 && list && watched == list->viewport()
            && list->GetItemCount() > 0)
            at = m_clock.nsecsElapsed();
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer &m_clock;
    bool m_readAhead;
};

// The application's own start-up, splash screen included; the clock runs
// from the splash closing until the list paints rows.
void BM_SplashClosedToFirstRows(benchmark::State &state)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !makeDeviceRoot(dir, 3, int(state.range(0)))) {
        state.SkipWithError("cannot make the device root");
        return;
    }
    double shownMs = 0; // from the splash closing until InitInstance returns
    for (auto _ : state) {
        QElapsedTimer clock;
        SplashToRows watch(clock, state.range(1) != 0);
        qApp->installEventFilter(&watch);
        {
            CFerrixApp ferrix;
            if (!ferrix.InitInstance()) {
                state.SkipWithError("InitInstance failed");
                qApp->removeEventFilter(&watch);
                break;
            }
            shownMs += double(clock.nsecsElapsed()) / 1e6;
            watch.list = ferrix.GetMainWnd()->GetListPane();
            while (watch.at < 0 && clock.elapsed() < 60000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            state.SetIterationTime(double(watch.at >= 0 ? watch.at : clock.nsecsElapsed()) / 1e9);
            qApp->removeEventFilter(&watch);
        }
        QCoreApplication::processEvents();
    }
    state.counters["files"] = double(state.range(0));
    state.counters["shown_ms"] = benchmark::Counter(shownMs, benchmark::Counter::kAvgIterations);
}


} // namespace

BENCHMARK(BM_SplashClosedToFirstRows)
    ->ArgsProduct({{100000}, {1, 0}})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameToFirstPaint)->Args({5, 20})->Args({200, 1000})->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ferrix"));
    benchmark::Initialize(&argc, argv);
    // The start-up with read-ahead against the one without.
    bench::TimesReporter reporter([](const bench::TimesReporter &times) {
        times.compare("Splash closed to first rows, read ahead / read after",
                      "BM_SplashClosedToFirstRows/100000/1/iterations:3/manual_time",
                      "BM_SplashClosedToFirstRows/100000/0/iterations:3/manual_time");
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
