// Listing a folder of 100,000 files: find-first/find-next through the device
// root (again, and as a first listing that reads every stored attribute)
// against a plain readdir + fstatat loop over the same folder. Prints the
// times and the ratios.
#include "benchdevice.h"
#include "platform/findfile.h"
#include "platform/storedattribcache.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include <dirent.h>
#include <sys/stat.h>

namespace {

constexpr int kFiles = 100000;

// The folder, made once for every benchmark of the run.
struct BigFolder {
    bench::TempDevice device;
    QByteArray hostPath = device.host("big");
    bool ok = device.ok() && device.makeFiles("big", kFiles, {"file%06d.txt"});
};

BigFolder &bigFolder()
{
    static BigFolder folder;
    return folder;
}

// Lists the folder through the platform; `firstListing` forgets the stored
// attributes remembered by earlier listings, so every entry's
// user.DOSATTRIB is read as on the first visit of a folder.
void listThroughPlatform(benchmark::State &state, bool firstListing)
{
    BigFolder &big = bigFolder();
    if (!big.ok) {
        state.SkipWithError("cannot create the folder");
        return;
    }
    const QString pattern = QStringLiteral("\\big\\*");
    qint64 count = 0;
    for (auto _ : state) {
        if (firstListing) {
            state.PauseTiming();
            platform::detail::forgetStoredAttribs();
            state.ResumeTiming();
        }
        platform::FindFile find;
        platform::FindData data;
        quint64 bytes = 0;
        for (bool more = find.first(pattern, data); more; more = find.next(data)) {
            bytes += data.size() + data.attributes;
            ++count;
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(count);
}

void BM_FindFile(benchmark::State &state)
{
    listThroughPlatform(state, false);
}

void BM_FindFileFirstListing(benchmark::State &state)
{
    listThroughPlatform(state, true);
}

void BM_ReaddirFstatat(benchmark::State &state)
{
    BigFolder &big = bigFolder();
    if (!big.ok) {
        state.SkipWithError("cannot create the folder");
        return;
    }
    qint64 count = 0;
    for (auto _ : state) {
        DIR *dir = ::opendir(big.hostPath.constData());
        const int fd = ::dirfd(dir);
        quint64 bytes = 0;
        while (const dirent *entry = ::readdir(dir)) {
            const char *name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            struct stat st;
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                bytes += quint64(st.st_size) + st.st_mode;
            ++count;
        }
        ::closedir(dir);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(count);
}

BENCHMARK(BM_FindFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_FindFileFirstListing)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_ReaddirFstatat)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Prints the usual table, then how much slower the find loop is.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto plain = m_times.find("BM_ReaddirFstatat");
        if (plain == m_times.end() || plain->second <= 0)
            return;
        for (const char *name : {"BM_FindFile", "BM_FindFileFirstListing"}) {
            const auto find = m_times.find(name);
            if (find != m_times.end())
                std::printf("%s / readdir+fstatat: %.2f ms / %.2f ms = %.2fx\n", name, find->second,
                            plain->second, find->second / plain->second);
        }
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
