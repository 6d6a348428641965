// Listing a folder of 100,000 files: find-first/find-next through the device
// root (again, and as a first listing that reads every stored attribute)
// against a plain readdir + fstatat loop over the same folder. Prints the
// times and the ratios, then the first listing and the plain loop again,
// taking turns: on the machine as it is, and with a child process keeping
// one more core busy. The turns also time the bare calls a first listing
// cannot do without (readdir, then a stat and a stored-attribute read per
// entry), the floor of any listing that shows stored attributes.
#include "benchdevice.h"
#include "benchratio.h"
#include "platform/attributes/dosattrib.h"
#include "platform/attributes/storedattribcache.h"
#include "platform/fs/findfile.h"
#include "platform/fs/hostfs.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>
#include <string>

#include <csignal>
#include <ctime>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// One listing through the platform; the count of entries.
qint64 platformListing()
{
    platform::FindFile find;
    platform::FindData data;
    quint64 bytes = 0;
    qint64 count = 0;
    for (bool more = find.first(QStringLiteral("\\big\\*"), data); more; more = find.next(data)) {
        bytes += data.size() + data.attributes;
        ++count;
    }
    benchmark::DoNotOptimize(bytes);
    return count;
}

// One plain readdir + fstatat loop over the folder, with each entry's
// user.DOSATTRIB read too when asked; the count of entries.
qint64 plainListing(const QByteArray &hostPath, bool readStored = false)
{
    DIR *dir = ::opendir(hostPath.constData());
    const int fd = ::dirfd(dir);
    quint64 bytes = 0;
    qint64 count = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct stat st;
        if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            bytes += quint64(st.st_size) + st.st_mode;
        char value[256];
        if (readStored)
            bytes += quint64(platform::detail::getXattrAt(fd, name, platform::detail::kDosAttribName, value, sizeof value, false));
        ++count;
    }
    ::closedir(dir);
    benchmark::DoNotOptimize(bytes);
    return count;
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
    qint64 count = 0;
    for (auto _ : state) {
        if (firstListing) {
            state.PauseTiming();
            platform::detail::forgetStoredAttribs();
            state.ResumeTiming();
        }
        count += platformListing();
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
    for (auto _ : state)
        count += plainListing(big.hostPath);
    state.SetItemsProcessed(count);
}

BENCHMARK(BM_FindFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_FindFileFirstListing)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_ReaddirFstatat)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

double elapsedMs(const std::chrono::steady_clock::time_point &since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A child process that keeps one core busy until it is ended, as another
// program would; the machine's other load comes on top.
class BusyCore {
public:
    BusyCore()
    {
        m_pid = ::fork();
        if (m_pid == 0) {
            for (;;)
                __asm__ volatile(""); // spins; never optimised away
        }
    }
    ~BusyCore()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
};

double processCpuMs()
{
    struct timespec t;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The benchmarks above run one after the other, so a load that comes and
// goes on the machine lands on one side of their ratio. Here first listings
// and plain loops take turns, and the medians are compared: by wall time,
// and by the processor time of the whole process (the listing's helpers
// included), which tells the work done from how well it was spread.
void compareInTurns(int rounds, const char *how)
{
    BigFolder &big = bigFolder();
    if (!big.ok)
        return;
    enum Side { Platform, Plain, Bare, Sides };
    std::vector<double> ms[Sides], cpuMs[Sides];
    for (int round = 0; round < rounds; ++round) {
        platform::detail::forgetStoredAttribs();
        for (int turn = 0; turn < Sides; ++turn) {
            const int side = (turn + round) % Sides;
            const auto start = std::chrono::steady_clock::now();
            const double cpu = processCpuMs();
            side == Platform ? platformListing() : plainListing(big.hostPath, side == Bare);
            ms[side].push_back(elapsedMs(start));
            cpuMs[side].push_back(processCpuMs() - cpu);
        }
    }
    const std::string what = std::string("First listing, in turns") + how + " (median of " + std::to_string(rounds) + ")";
    bench::printRatio(what + " / readdir+fstatat", median(ms[Platform]), median(ms[Plain]));
    bench::printRatio(what + ", processor time / readdir+fstatat", median(cpuMs[Platform]), median(cpuMs[Plain]));
    const std::string bare = what + ", readdir+fstatat+getxattr";
    bench::printRatio(bare + " / readdir+fstatat", median(ms[Bare]), median(ms[Plain]));
    bench::printRatio(bare + ", processor time / readdir+fstatat", median(cpuMs[Bare]), median(cpuMs[Plain]));
    bench::printRatio(what + " / readdir+fstatat+getxattr", median(ms[Platform]), median(ms[Bare]));
    bench::printRatio(what + ", processor time / readdir+fstatat+getxattr", median(cpuMs[Platform]), median(cpuMs[Bare]));
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    // How much slower the find loop is than the plain one.
    bench::TimesReporter reporter([](const bench::TimesReporter &times) {
        for (const char *name : {"BM_FindFile", "BM_FindFileFirstListing"})
            times.compare(std::string(name) + " / readdir+fstatat", name, "BM_ReaddirFstatat");
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    compareInTurns(15, "");
    if (BusyCore busy; busy.running())
        compareInTurns(15, ", one core kept busy");
    benchmark::Shutdown();
    return 0;
}
