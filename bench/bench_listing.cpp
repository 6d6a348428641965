// The list pane over a folder of 100,000 files: (a) ShowFolder until the row
// count is set, nothing drawn, against (b) enumerating the same folder with
// find-first/find-next alone; (c) drawing the first screen; (d) scrolling
// through every row page by page, drawing each page, with the process's
// memory and the pane's image count before and after.
#include "benchdevice.h"
#include "benchmain.h"
#include "filelist/cfilelistviewex.h"
#include "platform/attributes/fileattributes.h"
#include "platform/fs/findfile.h"
#include "platform/registry/registry.h"

#include <QScrollBar>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFiles = 100000;
const QString kFolder = QStringLiteral("\\big");

// A quarter each of .txt, .png and .html files and of names without an
// extension (each of those is a type key of its own).
struct BigFolder {
    bench::TempDevice device;
    bool ok = device.ok()
        && device.makeFiles("big", kFiles, {"file%06d.txt", "image%06d.png", "page%06d.html", "readme%06d"});
};

BigFolder &bigFolder()
{
    static BigFolder folder;
    return folder;
}

void BM_FindFileAlone(benchmark::State &state)
{
    if (!bigFolder().ok) {
        state.SkipWithError("cannot make the folder");
        return;
    }
    for (auto _ : state) {
        platform::FindFile find;
        platform::FindData data;
        int files = 0;
        if (find.first(kFolder + QStringLiteral("\\*"), data)) {
            do {
                if (!(data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY))
                    ++files;
            } while (find.next(data));
        }
        benchmark::DoNotOptimize(files);
        state.counters["files"] = files;
    }
}

void BM_ShowFolder(benchmark::State &state)
{
    if (!bigFolder().ok) {
        state.SkipWithError("cannot make the folder");
        return;
    }
    CFileListViewEx pane;
    for (auto _ : state) {
        pane.ShowFolder(kFolder, true);
        state.counters["rows"] = pane.GetItemCount();
    }
}

// A pane on screen, as the user sees it.
struct ShownPane : CFileListViewEx {
    ShownPane()
    {
        resize(640, 480);
        show();
    }
};

void BM_FirstScreen(benchmark::State &state)
{
    if (!bigFolder().ok) {
        state.SkipWithError("cannot make the folder");
        return;
    }
    ShownPane pane;
    for (auto _ : state) {
        pane.ShowFolder(kFolder, true);
        benchmark::DoNotOptimize(pane.grab());
    }
    state.counters["images"] = pane.GetImageList().count();
}

void BM_ScrollThroughAll(benchmark::State &state)
{
    if (!bigFolder().ok) {
        state.SkipWithError("cannot make the folder");
        return;
    }
    ShownPane pane;
    pane.ShowFolder(kFolder, true);
    pane.grab();
    const long rssBefore = bench::statusKiB("VmRSS");
    int pages = 0;
    int mostImages = 0;
    for (auto _ : state) {
        QScrollBar *bar = pane.verticalScrollBar();
        for (int value = 0;; value += bar->pageStep()) {
            bar->setValue(value);
            benchmark::DoNotOptimize(pane.grab());
            mostImages = std::max(mostImages, pane.GetImageList().count());
            ++pages;
            if (value >= bar->maximum())
                break;
        }
    }
    state.counters["pages"] = pages;
    state.counters["rss_before_KiB"] = double(rssBefore);
    state.counters["rss_after_KiB"] = double(bench::statusKiB("VmRSS"));
    state.counters["peak_rss_KiB"] = double(bench::statusKiB("VmHWM"));
    state.counters["images_at_most"] = mostImages;
    state.counters["images_after"] = pane.GetImageList().count();
}

} // namespace

BENCHMARK(BM_FindFileAlone)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ShowFolder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FirstScreen)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScrollThroughAll)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    // Type texts from the desktop's associations, as the program has them.
    return bench::runWithApplication(argc, argv, [] { platform::Registry::configure({}, true); });
}
