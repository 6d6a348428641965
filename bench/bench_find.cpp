// The Find Files search on a generated tree (20,000 files of text, about
// 300 MB, in 1,000 folders) against the tools users would reach for, in the
// same run: a content search for a text that occurs nowhere against
// `grep -rlF`, at several block sizes, and a name search for *.txt against
// `find -iname '*.txt'`. Then the result list sorting 100,000 rows by each
// column. The tree lives in a temporary folder, removed at the end.
//   build/bench/bench_find
#include "benchdevice.h"
#include "benchtool.h"
#include "filelist/cfilelistctrl.h"
#include "find/filesearch.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <string>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

constexpr int kFolders = 1000;        // 40 folders of 25 subfolders
constexpr int kFilesPerFolder = 20;
constexpr qint64 kTotalBytes = 300LL * 1024 * 1024;
const char kAbsentText[] = "quixotic-zephyr-absent";

struct Tree {
    bench::TempDevice device;
    QByteArray host = device.host("tree");
    qint64 bytes = 0;
    int files = 0;
    bool ok = device.ok() && make();

    // Text of words, so that the text's first byte occurs often, as in real
    // files; sizes from 1 KiB to 60 KiB around the 15 KiB average.
    bool make()
    {
        static const char *const words[] = {"the ", "quick ", "brown ", "fox ", "jumps ", "over ", "lazy ",
                                            "dog ", "report ", "notes\n", "data ", "quarter ", "zebra "};
        static const char *const extensions[] = {".txt", ".doc", ".c", ".h", ".TXT", ".log", ".csv", ""};
        std::mt19937 random(7);
        QByteArray text;
        while (text.size() < 256 * 1024)
            text += words[random() % 13];
        if (::mkdir(host.constData(), 0755) != 0)
            return false;
        const qint64 average = kTotalBytes / (kFolders * kFilesPerFolder);
        for (int top = 0; top < 40; ++top) {
            const QByteArray topPath = host + "/dir" + QByteArray::number(top);
            if (::mkdir(topPath.constData(), 0755) != 0)
                return false;
            for (int sub = 0; sub < 25; ++sub) {
                const QByteArray folder = topPath + "/sub" + QByteArray::number(sub);
                if (::mkdir(folder.constData(), 0755) != 0)
                    return false;
                for (int k = 0; k < kFilesPerFolder; ++k) {
                    const QByteArray path = folder + "/file" + QByteArray::number(k) + extensions[random() % 8];
                    const qint64 size = 1024 + qint64(random() % quint32(2 * average - 2048));
                    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
                    if (fd < 0)
                        return false;
                    const qint64 from = random() % (text.size() - size);
                    const bool written = ::write(fd, text.constData() + from, size_t(size)) == size;
                    ::close(fd);
                    if (!written)
                        return false;
                    bytes += size;
                    ++files;
                }
            }
        }
        return true;
    }
};

bool g_treeMade = false;

Tree &tree()
{
    static Tree t;
    g_treeMade = true;
    return t;
}

// The tree, or the benchmark skipped when it could not be made.
Tree *treeFor(benchmark::State &state)
{
    if (tree().ok)
        return &tree();
    state.SkipWithError("cannot create the tree");
    return nullptr;
}

class Count : public SearchResults {
public:
    bool AddResult(const QString &, const platform::FindData *) override
    {
        ++found;
        return true;
    }
    int found = 0;
};

// A tool run per iteration; its processor time goes into the "cpu_ms"
// counter, since the benchmark's own CPU column sees only this process.
void runToolBenchmark(benchmark::State &state, const std::function<std::vector<std::string>(const Tree &)> &command,
                      int alsoFine = 0)
{
    const Tree *t = treeFor(state);
    if (!t)
        return;
    double cpu = 0;
    for (auto _ : state) {
        const double ms = runTool(command(*t), alsoFine);
        if (ms < 0) {
            state.SkipWithError("the tool failed");
            return;
        }
        cpu += ms;
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(state.iterations() * t->bytes);
}

void search(benchmark::State &state, const char *pattern, const char *text, qint64 blockSize)
{
    const Tree *t = treeFor(state);
    if (!t)
        return;
    int found = 0;
    for (auto _ : state) {
        StopEvent stop;
        Count results;
        CFileSearch search(stop, results);
        search.SetBlockSize(blockSize);
        search.Search(QString::fromLatin1(pattern), QStringLiteral("\\tree"), QString::fromLatin1(text));
        found = results.found;
    }
    state.counters["found"] = found;
    state.SetBytesProcessed(state.iterations() * t->bytes);
}

void BM_ContentSearch(benchmark::State &state)
{
    search(state, "*.*", kAbsentText, state.range(0));
}

void BM_GrepRlF(benchmark::State &state)
{
    runToolBenchmark(state, [](const Tree &t) {
        return std::vector<std::string>{"grep", "-rlF", kAbsentText, t.host.toStdString()};
    }, 1);
}

void BM_NameSearch(benchmark::State &state)
{
    search(state, "*.txt", "", CFileSearch::kBlockSize);
}

void BM_FindIname(benchmark::State &state)
{
    runToolBenchmark(state, [](const Tree &t) {
        return std::vector<std::string>{"find", t.host.toStdString(), "-iname", "*.txt"};
    });
}

// 100,000 results as a search leaves them, sorted by a tap on one heading.
void BM_SortResults(benchmark::State &state)
{
    const int column = int(state.range(0));
    CFileListCtrl list;
    std::mt19937 random(3);
    for (int row = 0; row < 100000; ++row) {
        list.InsertItem(row, QStringLiteral("\\My Documents\\folder%1\\file%2.txt").arg(random() % 500).arg(row));
        const quint32 size = random() % 4 == 0 ? random() % 4096 : random() % (1u << (10 + random() % 21));
        list.SetItemText(row, CFileLister::ColSize, QString::fromLatin1(size < 1024 ? "%1 b" : "%1Kb").arg(size < 1024 ? size : size / 1024));
        list.SetItemText(row, CFileLister::ColType, QStringLiteral("TXT-File"));
        list.SetItemText(row, CFileLister::ColChanged, QStringLiteral("%1-%2-20%3 %4:%5:%6")
                                                           .arg(1 + random() % 28, 2, 10, QLatin1Char('0'))
                                                           .arg(1 + random() % 12, 2, 10, QLatin1Char('0'))
                                                           .arg(random() % 25, 2, 10, QLatin1Char('0'))
                                                           .arg(random() % 24, 2, 10, QLatin1Char('0'))
                                                           .arg(random() % 60, 2, 10, QLatin1Char('0'))
                                                           .arg(random() % 60, 2, 10, QLatin1Char('0')));
        list.SetItemText(row, CFileLister::ColAttrs, QLatin1String(random() % 3 ? "A" : "RA"));
    }
    for (auto _ : state)
        list.SortByColumnText(column); // each tap flips the direction: every run sorts
    state.SetItemsProcessed(state.iterations() * 100000);
}

BENCHMARK(BM_GrepRlF)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ContentSearch)->Arg(1024)->Arg(4096)->Arg(16384)->Arg(65536)->Arg(262144)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FindIname)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_NameSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SortResults)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Prints the usual table, then each search against its tool: wall time,
// and processor time (the search's thread against the tool's process),
// which a busy machine disturbs less.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            const std::string name =
                run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
            const auto cpu = run.counters.find("cpu_ms");
            m_times[name] = {run.GetAdjustedRealTime(),
                             cpu != run.counters.end() ? double(cpu->second) : run.GetAdjustedCPUTime()};
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (!g_treeMade)
            return;
        std::printf("tree: %d files, %.0f MB, %d folders\n", tree().files, double(tree().bytes) / (1024 * 1024),
                    kFolders + 40);
        compare("BM_GrepRlF", "grep -rlF", "content search", "BM_ContentSearch/");
        compare("BM_FindIname", "find -iname", "name search *.txt", "BM_NameSearch");
        std::fflush(stdout);
    }

private:
    struct Times {
        double real = 0;
        double cpu = 0;
    };

    void compare(const char *baselineName, const char *baselineText, const char *what, const std::string &prefix)
    {
        const auto baseline = m_times.find(baselineName);
        if (baseline == m_times.end() || baseline->second.real <= 0 || baseline->second.cpu <= 0)
            return;
        const Times &base = baseline->second;
        for (const auto &[name, times] : m_times) {
            if (name.rfind(prefix, 0) != 0)
                continue;
            std::string block;
            if (prefix.back() == '/')
                block = " (" + std::to_string(std::atol(name.c_str() + prefix.size()) / 1024) + " KiB blocks)";
            std::printf("%s%s / %s: %.1f ms / %.1f ms = %.2fx; processor time %.1f ms / %.1f ms = %.2fx\n", what,
                        block.c_str(), baselineText, times.real, base.real, times.real / base.real, times.cpu,
                        base.cpu, times.cpu / base.cpu);
        }
    }

    std::map<std::string, Times> m_times;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
