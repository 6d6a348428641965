// How long the main window takes from its construction to its first paint
// (the splash screen left out), on a small device root of its own; and on a
// root of 100,000 files, how long from the splash closing until the list
// first paints a screen of rows.
#include "benchmain.h"
#include "app/cferrixdoc.h"
#include "app/cmainframe.h"
#include "app/commandmap.h"
#include "filelist/cfilelistviewex.h"
#include "platform/devicepath.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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

// Notes the first paint of the list's rows.
class FirstRows : public QObject {
public:
    FirstRows(const QElapsedTimer &clock, const CFileListViewEx &list) : m_clock(clock), m_list(list) {}
    qint64 at = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && at < 0 && m_list.GetItemCount() > 0)
            at = m_clock.nsecsElapsed();
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &m_clock;
    const CFileListViewEx &m_list;
};

// What the application does once the splash has closed: the frame is made,
// filled, shown and focused; the clock stops when the list paints rows.
void BM_SplashClosedToFirstRows(benchmark::State &state)
{
    Startup start;
    if (!start.prepare(state, 3, int(state.range(0))))
        return;
    CFerrixDoc &document = start.document;
    CommandMap &appCommands = start.appCommands;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        CMainFrame *frame = loadedFrame(document, appCommands, state);
        if (!frame)
            break;
        FirstRows rows(clock, *frame->GetListPane());
        frame->GetListPane()->viewport()->installEventFilter(&rows);
        frame->InitialUpdateFrame(true);
        frame->showNormal();
        frame->repaint();
        frame->SetFocus();
        while (rows.at < 0 && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        state.SetIterationTime(double(rows.at >= 0 ? rows.at : clock.nsecsElapsed()) / 1e9);
        frame->GetListPane()->viewport()->removeEventFilter(&rows);
        delete frame;
        QCoreApplication::processEvents();
    }
    state.counters["files"] = double(state.range(0));
}

} // namespace

BENCHMARK(BM_SplashClosedToFirstRows)->Arg(100000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameToFirstPaint)->Args({5, 20})->Args({200, 1000})->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return bench::runWithApplication(argc, argv);
}
