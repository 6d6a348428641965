// Copying a folder tree of about 2,000 folders and 20,000 files of 1 to 64
// KiB plus one file of 256 MiB: through the clipboard's CopyFolder with the
// folder tree pane collapsed, with the folder pasted into expanded, and
// with no tree at all (what the tree refreshes after each new folder cost),
// against `cp -r` of the same tree in the same run, and one tree refresh
// of each shape. The collapsed copy runs once more as the program runs a
// paste: as long work, with the progress window's machinery and the count
// of the whole beside it. Every copy starts with nothing dirty in the page
// cache. TMPDIR=/dev/shm runs it all in memory, where the disk's and the
// file system's moods are out of the figures.
#include "benchdevice.h"
#include "benchtool.h"
#include "filelist/cfilelistviewex.h"
#include "fileops/fileclipboard.h"
#include "platform/fs/longworkcount.h"
#include "platform/ui/messagebox.h"
#include "platform/work/longwork.h"
#include "progress/progressservice.h"
#include "tree/cdirtreeview.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

constexpr int kTopFolders = 40;
constexpr int kSubfolders = 49;  // 40 + 40 * 49 = 1,999 folders below \src, and \src
constexpr int kFilesPerFolder = 10;
constexpr qint64 kBigFile = qint64(256) << 20;
constexpr int kRounds = 7;

bool writeFile(const QByteArray &path, qint64 size, const std::vector<char> &data)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = true;
    for (qint64 left = size; ok && left > 0;) {
        const size_t chunk = size_t(qMin<qint64>(left, qint64(data.size())));
        const ssize_t n = ::write(fd, data.data(), chunk);
        ok = n > 0;
        left -= n;
    }
    return ::close(fd) == 0 && ok;
}

// "\src" with its folders and files, and "\dst", made once per run.
struct SourceTree {
    bench::TempDevice device;
    QByteArray src = device.host("src");
    QByteArray dst = device.host("dst");
    qint64 files = 0;
    qint64 bytes = 0;
    bool ok = make();

    bool make()
    {
        if (!device.ok() || ::mkdir(src.constData(), 0755) != 0 || ::mkdir(dst.constData(), 0755) != 0)
            return false;
        std::vector<char> data(size_t(4) << 20);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = char(i * 2654435761u >> 24);
        quint32 seed = 12345;
        const auto fill = [&](const QByteArray &folder) {
            if (::mkdir(folder.constData(), 0755) != 0)
                return false;
            for (int f = 0; f < kFilesPerFolder; ++f) {
                seed = seed * 1103515245 + 12345;
                const qint64 size = 1024 + qint64(seed >> 8) % (63 * 1024 + 1);
                if (!writeFile(folder + "/file" + QByteArray::number(f) + ".dat", size, data))
                    return false;
                ++files;
                bytes += size;
            }
            return true;
        };
        for (int t = 0; t < kTopFolders; ++t) {
            const QByteArray top = src + "/top" + QByteArray::number(t);
            if (!fill(top))
                return false;
            for (int s = 0; s < kSubfolders; ++s)
                if (!fill(top + "/sub" + QByteArray::number(s)))
                    return false;
        }
        files += 1;
        bytes += kBigFile;
        return writeFile(src + "/big.bin", kBigFile, data);
    }
};

SourceTree &sourceTree()
{
    static SourceTree tree;
    return tree;
}

// Whether the run's device is in memory (TMPDIR=/dev/shm): no disk, so
// the copies compare what each program does per file and per byte.
bool deviceInMemory()
{
    struct statfs fs {};
    return ::statfs(sourceTree().dst.constData(), &fs) == 0 && static_cast<unsigned long>(fs.f_type) == TMPFS_MAGIC;
}

// A new empty folder below "\dst" for the next copy, after everything
// written so far is on disk, so no copy pays for the one before. On a disk
// the copies are kept until the device goes at the end of the run: ext4
// without a journal skips every inode freed in the last half minute (five
// minutes while its inode table block is dirty) when it allocates one, so
// deleting a copy makes the next copies crawl, whoever makes them. For the
// same reason a run on a disk wants no large delete in the five minutes
// before it, its own previous run included. In memory each copy goes before
// the next, which would not fit otherwise.
QString nextDestination()
{
    static int count = 0;
    static const bool inMemory = deviceInMemory();
    if (inMemory && count > 0)
        std::filesystem::remove_all((sourceTree().dst + "/copy" + QByteArray::number(count)).toStdString());
    const QString name = QStringLiteral("copy%1").arg(++count);
    ::mkdir(sourceTree().dst + '/' + name.toUtf8(), 0755);
    ::sync();
    return QStringLiteral("\\dst\\") + name;
}

enum class Tree { Collapsed, ParentExpanded, None, CollapsedWithProgress };

// Both panes shown, the root selected.
struct Panes {
    CDirTreeView view;
    CFileListViewEx list;

    Panes()
    {
        view.SetListView(&list);
        view.resize(320, 480);
        view.show();
        list.show();
        view.OnInitialUpdate();
        view.OnActivateView();
    }
    // Opens the nodes down to a folder ("\\dst\\copy1") as a user would.
    void expand(const QString &path)
    {
        view.RefreshTree();
        QTreeWidgetItem *node = view.topLevelItem(0);
        node->setExpanded(true);
        for (const QString &label : path.split(u'\\', Qt::SkipEmptyParts)) {
            QTreeWidgetItem *parent = node;
            for (int i = 0; i < parent->childCount(); ++i)
                if (parent->child(i)->text(0) == label)
                    node = parent->child(i);
            node->setExpanded(true);
        }
    }
};

void copyFolder(benchmark::State &state, Tree shape)
{
    SourceTree &tree = sourceTree();
    if (!tree.ok) {
        state.SkipWithError("cannot make the source tree");
        return;
    }
    int boxes = 0;
    platform::setMessageBoxHandler([&boxes](QWidget *, const QString &, const QString &, unsigned) {
        ++boxes;
        return platform::IDNO;
    });
    Panes panes;
    ProgressService progress(&panes.view);
    const bool longWork = shape == Tree::CollapsedWithProgress;
    FileClipboard clipboard;
    clipboard.SetFileList(&panes.list);
    clipboard.SetTreeView(shape == Tree::None ? nullptr : &panes.view);
    for (auto _ : state) {
        state.PauseTiming();
        const QString destination = nextDestination();
        if (shape == Tree::ParentExpanded)
            panes.expand(destination);
        state.ResumeTiming();
        std::optional<platform::LongWork> work;
        if (longWork) {
            work.emplace(platform::WorkKind::Copying);
            platform::countBeside(*work, {QStringLiteral("\\src")});
        }
        if (!clipboard.CopyFolder(QStringLiteral("\\src"), destination))
            state.SkipWithError("the copy failed");
    }
    platform::setMessageBoxHandler({});
    if (boxes)
        state.SkipWithError("a message box came up");
    state.SetBytesProcessed(state.iterations() * tree.bytes);
    state.counters["files"] = double(tree.files);
}

void BM_CopyFolderTreeCollapsed(benchmark::State &state) { copyFolder(state, Tree::Collapsed); }
void BM_CopyFolderParentExpanded(benchmark::State &state) { copyFolder(state, Tree::ParentExpanded); }
void BM_CopyFolderNoTree(benchmark::State &state) { copyFolder(state, Tree::None); }
void BM_CopyFolderWithProgress(benchmark::State &state) { copyFolder(state, Tree::CollapsedWithProgress); }

// One refresh as a folder copy makes it after each new folder, with the
// copy's first folder in place under "\dst".
void refreshTree(benchmark::State &state, Tree shape)
{
    SourceTree &tree = sourceTree();
    if (!tree.ok) {
        state.SkipWithError("cannot make the source tree");
        return;
    }
    const QString destination = nextDestination();
    Panes panes;
    if (shape == Tree::ParentExpanded)
        panes.expand(destination);
    for (auto _ : state)
        panes.view.RefreshTree();
}

void BM_RefreshTreeCollapsed(benchmark::State &state) { refreshTree(state, Tree::Collapsed); }
void BM_RefreshTreeParentExpanded(benchmark::State &state) { refreshTree(state, Tree::ParentExpanded); }

void BM_CpR(benchmark::State &state)
{
    SourceTree &tree = sourceTree();
    if (!tree.ok) {
        state.SkipWithError("cannot make the source tree");
        return;
    }
    const std::string from = tree.src.toStdString();
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString to = platform::deviceRoot() + nextDestination().replace(u'\\', u'/') + QStringLiteral("/src");
        state.ResumeTiming();
        const double ms = runTool({"cp", "-r", from, QFile::encodeName(to).toStdString()});
        if (ms < 0)
            state.SkipWithError("cp -r failed");
        cpu += ms;
    }
    // The tool's processor time: the benchmark's own CPU column sees only this process.
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(state.iterations() * tree.bytes);
}

BENCHMARK(BM_RefreshTreeCollapsed)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_RefreshTreeParentExpanded)->Unit(benchmark::kMicrosecond)->UseRealTime();

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred) {
                m_times[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
                const auto tool = run.counters.find("cpu_ms");
                m_rounds[run.run_name.function_name].push_back(
                    {run.GetAdjustedRealTime(), tool != run.counters.end() ? double(tool->second) : run.GetAdjustedCPUTime()});
            }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const double cp = median("BM_CpR");
        if (cp <= 0)
            return;
        for (const char *name : {"BM_CopyFolderTreeCollapsed", "BM_CopyFolderParentExpanded", "BM_CopyFolderNoTree",
                                 "BM_CopyFolderWithProgress"}) {
            const double copy = median(name);
            if (copy > 0)
                std::printf("%s / cp -r (median of %d): %.2f ms / %.2f ms = %.2fx\n", name, kRounds, copy, cp, copy / cp);
        }
        const double plain = median("BM_CopyFolderTreeCollapsed");
        const double withProgress = median("BM_CopyFolderWithProgress");
        if (plain > 0 && withProgress > 0)
            std::printf("BM_CopyFolderWithProgress / BM_CopyFolderTreeCollapsed (median of %d): %.2f ms / %.2f ms = %.2fx\n",
                        kRounds, withProgress, plain, withProgress / plain);
        // The disk's speed drifts a lot between rounds; the two copies of one
        // round run one after the other, so their ratio drifts less.
        printRoundByRound("BM_CopyFolderWithProgress", "BM_CopyFolderTreeCollapsed", false);
        printRoundByRound("BM_CopyFolderWithProgress", "BM_CopyFolderTreeCollapsed", true);
        printRoundByRound("BM_CopyFolderWithProgress", "BM_CpR", false);
        printRoundByRound("BM_CopyFolderWithProgress", "BM_CpR", true);
    }

private:
    struct Times {
        double real, cpu;
    };

    // The round whose ratio is the median, by wall time or by the process's
    // processor time (every thread of the copy: the worker and the count).
    void printRoundByRound(const std::string &name, const std::string &base, bool cpu)
    {
        const std::vector<Times> &a = m_rounds[name], &b = m_rounds[base];
        const size_t n = std::min(a.size(), b.size());
        if (n == 0)
            return;
        std::vector<size_t> order(n);
        for (size_t i = 0; i < n; ++i)
            order[i] = i;
        const auto pick = [cpu](const Times &t) { return cpu ? t.cpu : t.real; };
        std::sort(order.begin(), order.end(),
                  [&](size_t i, size_t j) { return pick(a[i]) / pick(b[i]) < pick(a[j]) / pick(b[j]); });
        const size_t mid = order[n / 2];
        std::printf("%s / %s, round by round (median of %zu)%s: %.2f ms / %.2f ms = %.2fx\n", name.c_str(), base.c_str(),
                    n, cpu ? ", processor time" : "", pick(a[mid]), pick(b[mid]), pick(a[mid]) / pick(b[mid]));
    }

    double median(const std::string &name)
    {
        std::vector<double> &times = m_times[name];
        if (times.empty())
            return 0;
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }
    std::map<std::string, std::vector<double>> m_times;
    std::map<std::string, std::vector<Times>> m_rounds;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ferrix"));
    // The copies take turns, one at a time, so a machine that gets busier
    // or quieter during the run weighs on all of them alike.
    for (int round = 0; round < kRounds; ++round) {
        // The copy the target is set for runs right after cp -r, so the two
        // see the machine in the same mood.
        benchmark::RegisterBenchmark("BM_CpR", BM_CpR)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
        benchmark::RegisterBenchmark("BM_CopyFolderWithProgress", BM_CopyFolderWithProgress)
            ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(1);
        benchmark::RegisterBenchmark("BM_CopyFolderTreeCollapsed", BM_CopyFolderTreeCollapsed)
            ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(1);
        benchmark::RegisterBenchmark("BM_CopyFolderParentExpanded", BM_CopyFolderParentExpanded)
            ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(1);
        benchmark::RegisterBenchmark("BM_CopyFolderNoTree", BM_CopyFolderNoTree)
            ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    if (sourceTree().ok)
        std::printf("Device: %s\n", deviceInMemory() ? "in memory (tmpfs)" : "on disk");
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
