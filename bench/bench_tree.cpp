// Expanding, refreshing and collapsing a folder that holds 10,000 subfolders
// (three files each) in the folder tree, painted once, as the user sees it.
#include "benchdevice.h"
#include "benchmain.h"
#include "platform/fs/subfolderprobe.h"
#include "tree/cdirtreeview.h"
#include "tree/folderlisting.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kFolders = 10000;
constexpr int kFilesPerFolder = 3;

// The device, made once for every benchmark of the run: "\big" with the
// subfolders.
struct BigTree {
    bench::TempDevice device;
    bool ok = make();

    bool make() const
    {
        if (!device.ok() || ::mkdir(device.host("big").constData(), 0755) != 0)
            return false;
        for (int i = 0; i < kFolders; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "big/Folder %05d", (i * 7919) % kFolders);
            if (!device.makeFiles(name, kFilesPerFolder, {"file%d.txt"}))
                return false;
        }
        return true;
    }
};

BigTree &bigTree()
{
    static BigTree tree;
    return tree;
}

// A shown tree with the root expanded, so "\big" is visible.
struct ShownTree {
    CDirTreeView view;
    QTreeWidgetItem *big = nullptr;

    ShownTree()
    {
        view.resize(320, 480);
        view.show();
        view.OnInitialUpdate();
        view.OnActivateView();
        view.topLevelItem(0)->setExpanded(true);
        big = view.topLevelItem(0)->child(0);
    }
    void paint() { view.viewport()->repaint(); }
};

void BM_ExpandBigFolder(benchmark::State &state)
{
    if (!bigTree().ok) {
        state.SkipWithError("could not create the folders");
        return;
    }
    ShownTree tree;
    for (auto _ : state) {
        tree.big->setExpanded(true);
        tree.paint();
        state.PauseTiming();
        if (tree.big->childCount() != kFolders)
            state.SkipWithError("wrong number of nodes");
        tree.big->setExpanded(false);
        tree.paint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ExpandBigFolder)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RefreshWithBigFolderExpanded(benchmark::State &state)
{
    if (!bigTree().ok) {
        state.SkipWithError("could not create the folders");
        return;
    }
    ShownTree tree;
    tree.big->setExpanded(true);
    for (auto _ : state) {
        tree.view.RefreshTree();
    }
    if (tree.big->childCount() != kFolders)
        state.SkipWithError("wrong number of nodes");
}
BENCHMARK(BM_RefreshWithBigFolderExpanded)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CollapseBigFolder(benchmark::State &state)
{
    if (!bigTree().ok) {
        state.SkipWithError("could not create the folders");
        return;
    }
    ShownTree tree;
    for (auto _ : state) {
        state.PauseTiming();
        tree.big->setExpanded(true);
        tree.paint();
        state.ResumeTiming();
        tree.big->setExpanded(false);
        tree.paint();
    }
}
BENCHMARK(BM_CollapseBigFolder)->Unit(benchmark::kMillisecond)->Iterations(5);

// The disk's share of an expansion: listing "\\big", and probing each
// subfolder for a folder of its own.
QStringList listBigFolder()
{
    return FolderListing::read(QStringLiteral("\\big\\")).folders;
}

void BM_ListBigFolder(benchmark::State &state)
{
    if (!bigTree().ok) {
        state.SkipWithError("could not create the folders");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(listBigFolder());
}
BENCHMARK(BM_ListBigFolder)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ProbeEachSubfolder(benchmark::State &state)
{
    if (!bigTree().ok) {
        state.SkipWithError("could not create the folders");
        return;
    }
    const QStringList names = listBigFolder();
    for (auto _ : state) {
        platform::SubfolderProbe probe(QStringLiteral("\\big\\"));
        int withSubfolders = 0;
        for (const QString &name : names)
            withSubfolders += probe.hasSubfolder(name);
        benchmark::DoNotOptimize(withSubfolders);
    }
}
BENCHMARK(BM_ProbeEachSubfolder)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    return bench::runWithApplication(argc, argv);
}
