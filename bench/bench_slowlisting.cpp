// The user-interface thread's longest stall (the longest gap between two
// events of a 5 ms timer) while the list pane lists a folder of 5,000 files
// on a file system that takes a few milliseconds per call, as a network or
// FUSE mount does: a delay injected into every entry of the listing.
#include "benchdevice.h"
#include "filelist/cfilelistviewex.h"
#include "platform/testing/faultinjection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kFiles = 5000;
constexpr int kDelayMs = 2;

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::TempDevice device;
    if (!device.ok() || !device.makeFiles("slow", kFiles, {"file%05d.txt", "data%05d.bin"})) {
        std::fprintf(stderr, "cannot make the folder\n");
        return 1;
    }
    CFileListViewEx pane;
    pane.resize(640, 480);
    pane.show();
    platform::faults::injectDelay(platform::FsOperation::Find, QStringLiteral("\\slow"), kDelayMs);

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
    pane.ShowFolder(QStringLiteral("\\slow"), true);
    const qint64 total = clock.elapsed();
    longest = qMax(longest, total - last);
    platform::faults::clear();

    if (pane.GetItemCount() != kFiles) {
        std::fprintf(stderr, "listed %d files of %d\n", pane.GetItemCount(), kFiles);
        return 1;
    }
    std::printf("slow file system listing, longest UI stall: %lld ms\n", static_cast<long long>(longest));
    std::printf("slow file system listing of %d files at %d ms per entry: %lld ms\n", kFiles, kDelayMs,
                static_cast<long long>(total));
    return 0;
}
