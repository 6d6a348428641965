// Measuring a folder tree of 50,000 files in 100 folders, as the properties
// dialog does before it shows a folder: FolderSize through the device root
// against a bare nftw walk that sums st_size. Prints the best of five runs
// of each and the ratio.
#include "benchdevice.h"
#include "properties/foldersize.h"

#include <chrono>
#include <cstdio>
#include <functional>

#include <ftw.h>

namespace {

constexpr int kFolders = 100, kFilesPerFolder = 500;

double nftwTotal = 0;

int addSize(const char *, const struct stat *st, int type, struct FTW *)
{
    if (type == FTW_F)
        nftwTotal += double(st->st_size);
    return 0;
}

double bestMs(const std::function<double()> &run, double *result)
{
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        *result = run();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main()
{
    bench::TempDevice device;
    if (!device.ok() || ::mkdir(device.host("tree").constData(), 0755) != 0)
        return 1;
    for (int f = 0; f < kFolders; ++f) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "tree/f%03d", f);
        if (!device.makeFiles(folder, kFilesPerFolder, {"file%05d.txt", "notes %05d.doc"}))
            return 1;
    }
    const QByteArray host = device.host("tree");
    double ours = 0, bare = 0;
    const double oursMs = bestMs([] { return FolderSize(QStringLiteral("\\tree")); }, &ours);
    const double bareMs = bestMs([&host] {
        nftwTotal = 0;
        ::nftw(host.constData(), addSize, 64, FTW_PHYS);
        return nftwTotal;
    }, &bare);
    if (ours != bare)
        std::printf("totals differ: %.0f / %.0f\n", ours, bare);
    std::printf("FolderSize (%d files) / nftw: %.2f ms / %.2f ms = %.2fx\n", kFolders * kFilesPerFolder, oursMs,
                bareMs, oursMs / bareMs);
    return 0;
}
