// Live folders: how soon a file another program makes shows in a shown
// folder of 100,000 files, against listing that folder; and a burst of
// 20,000 new files beside them: the longest stall of the user-interface
// thread (the longest gap between two events of a 5 ms timer) and how long
// after the burst's last file the list matches the disk. Last, the longest
// stall while the pane lists 5,000 files on a file system that takes a few
// milliseconds per call, as a network or FUSE mount does (a delay injected
// into every entry of the listing).
#include "benchdevice.h"
#include "benchratio.h"
#include "benchstall.h"
#include "filelist/cfilelistviewex.h"
#include "filelist/livechanges.h"
#include "platform/testing/faultinjection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 100000;
constexpr int kBurst = 20000;
constexpr int kTries = 5;
constexpr int kSlowFiles = 5000;
constexpr int kSlowDelayMs = 2;

double processCpuMs()
{
    timespec ts {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

bool makeFile(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

// Runs the event loop until done() or the time is up; false when it is up.
template<typename Done>
bool waitFor(Done done, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    waitFor([&] { return clock.elapsed() >= ms; });
}

bool show(CFileListViewEx &pane, const char *folder)
{
    pane.ShowFolder(QString::fromLatin1(folder), false);
    if (pane.GetSortKey() == 0)
        pane.OnColumnClick(0); // by name, so new rows fall among the old
    return waitFor([&] { return pane.GetLiveChanges().watch().isLive(QString::fromLatin1(folder)); });
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool printSlowListing(bench::TempDevice &device)
{
    if (!device.makeFiles("slow", kSlowFiles, {"file%05d.txt", "data%05d.bin"})) {
        std::fprintf(stderr, "cannot make the slow folder\n");
        return false;
    }
    CFileListViewEx pane;
    pane.resize(640, 480);
    pane.show();
    platform::faults::injectDelay(platform::FsOperation::Find, QStringLiteral("\\slow"), kSlowDelayMs);
    const bench::StallFigures listing = bench::measureStall([&] { pane.ShowFolder(QStringLiteral("\\slow"), true); });
    platform::faults::clear();
    if (pane.GetItemCount() != kSlowFiles) {
        std::fprintf(stderr, "listed %d files of %d\n", pane.GetItemCount(), kSlowFiles);
        return false;
    }
    std::printf("slow file system listing, longest UI stall: %lld ms\n", static_cast<long long>(listing.stallMs));
    std::printf("slow file system listing of %d files at %d ms per entry: %lld ms\n", kSlowFiles, kSlowDelayMs,
                static_cast<long long>(listing.totalMs));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::TempDevice device;
    if (!device.ok() || !device.makeFiles("one", kFiles, {"file%d.txt", "data%d.bin"})
        || !device.makeFiles("burst", kFiles, {"file%d.txt", "data%d.bin"})) {
        std::fprintf(stderr, "cannot make the files to work on\n");
        return 1;
    }
    ::sync();
    CFileListViewEx pane;
    pane.resize(640, 480);
    pane.show();

    // One new file against a full listing, in the same run.
    if (!show(pane, "\\one"))
        return 1;
    std::vector<double> listWall, listCpu, oneWall, oneCpu;
    for (int t = 0; t < kTries; ++t) {
        QElapsedTimer clock;
        const double cpu = processCpuMs();
        clock.start();
        pane.Refresh();
        listWall.push_back(double(clock.nsecsElapsed()) / 1e6);
        listCpu.push_back(processCpuMs() - cpu);
    }
    for (int t = 0; t < kTries; ++t) {
        settle(2 * platform::FolderWatch::kPaceMs);
        const int rows = pane.model()->rowCount();
        QElapsedTimer clock;
        const double cpu = processCpuMs();
        clock.start();
        if (!makeFile(device.host("one/new") + QByteArray::number(t)))
            return 1;
        if (!waitFor([&] { return pane.model()->rowCount() == rows + 1; }))
            return 1;
        oneWall.push_back(double(clock.nsecsElapsed()) / 1e6);
        oneCpu.push_back(processCpuMs() - cpu);
    }
    bench::printRatio("one new file shown / full listing", median(oneWall), median(listWall));
    std::printf("processor time, one new file shown / full listing: %.2f ms / %.2f ms\n", median(oneCpu),
                median(listCpu));

    // The burst, made by a thread standing in for another program.
    if (!show(pane, "\\burst"))
        return 1;
    settle(2 * platform::FolderWatch::kPaceMs);
    std::atomic<qint64> burstEnd {-1};
    const QByteArray folder = device.host("burst/");
    bool caughtUp = false;
    qint64 shown = 0;
    QElapsedTimer clock;
    const bench::StallFigures burst = bench::measureStall([&] {
        clock.start();
        std::thread maker([&] {
            for (int i = 0; i < kBurst; ++i)
                if (!makeFile(folder + "burst" + QByteArray::number(i) + ".txt"))
                    break;
            burstEnd = clock.elapsed();
        });
        caughtUp = waitFor([&] { return burstEnd >= 0 && pane.model()->rowCount() == kFiles + kBurst; });
        shown = clock.elapsed();
        maker.join();
    });
    if (!caughtUp) {
        std::fprintf(stderr, "the list never caught up: %d rows\n", pane.model()->rowCount());
        return 1;
    }
    std::printf("burst of %d files, longest UI stall: %lld ms\n", kBurst, static_cast<long long>(burst.stallMs));
    std::printf("burst of %d files, disk to list after the burst: %lld ms\n", kBurst,
                static_cast<long long>(std::max<qint64>(0, shown - burstEnd)));
    return printSlowListing(device) ? 0 : 1;
}
