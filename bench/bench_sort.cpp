// Sorting the pane's entries by every column, key ranking included, and the
// literal exchange sort at 10,000 entries for comparison.
//   build/bench/bench_sort --benchmark_filter=Sort
#include "filelist/entrysort.h"
#include "../tests/filelist/referencesort.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using referencesort::Column;

// A folder as users have them: names of a few words with a common extension
// (differing in letter case), sizes from bytes to gigabytes with repeats,
// times within a few years, the usual attributes.
std::vector<FileEntry *> makeEntries(int count)
{
    static const char *const extensions[] = {".txt", ".TXT", ".jpg", ".Doc", ".exe", ".dll", ".tar.gz", ""};
    static const char *const words[] = {"report", "Photo", "setup", "notes", "IMG", "data", "backup", "x"};
    static const quint32 attrs[] = {0x20, 0x21, 0x80, 0x22, 0x23, 0x2020, 0x41};
    std::mt19937_64 random(42);
    std::vector<FileEntry *> entries;
    entries.reserve(size_t(count));
    for (int k = 0; k < count; ++k) {
        platform::FindData data;
        data.name = QString::fromLatin1(words[random() % 8]) + QString::number(random() % 100000)
            + QString::fromLatin1(extensions[random() % 8]);
        const quint64 size = random() % 4 == 0 ? random() % 4096 : random() % (1ULL << (10 + random() % 22));
        data.sizeHigh = quint32(size >> 32);
        data.sizeLow = quint32(size);
        data.lastWriteTime = 130000000000000000ULL + (random() % 100000000ULL) * 10000000ULL;
        data.attributes = attrs[random() % 7];
        entries.push_back(new FileEntry(data));
    }
    return entries;
}

void sortColumn(benchmark::State &state, void (*sort)(CFileEntryArray &, bool))
{
    CFileEntryArray array;
    const std::vector<FileEntry *> unsorted = makeEntries(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        array.Entries() = unsorted;
        state.ResumeTiming();
        sort(array, true);
        benchmark::DoNotOptimize(array.Entries().data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SortByName(benchmark::State &state) { sortColumn(state, SortByName); }
void BM_SortBySize(benchmark::State &state) { sortColumn(state, SortBySize); }
void BM_SortByChanged(benchmark::State &state) { sortColumn(state, SortByChanged); }
void BM_SortByAttrs(benchmark::State &state) { sortColumn(state, SortByAttrs); }
void BM_SortByType(benchmark::State &state) { sortColumn(state, SortByType); }

void BM_LiteralExchangeSort(benchmark::State &state)
{
    CFileEntryArray owner;
    owner.Entries() = makeEntries(int(state.range(0)));
    const Column column = Column(state.range(1));
    for (auto _ : state) {
        std::vector<FileEntry *> rows = owner.Entries();
        referencesort::exchangeSort(rows, column, true);
        benchmark::DoNotOptimize(rows.data());
    }
}

} // namespace

#define SIZES ->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_SortByName) SIZES;
BENCHMARK(BM_SortBySize) SIZES;
BENCHMARK(BM_SortByChanged) SIZES;
BENCHMARK(BM_SortByAttrs) SIZES;
BENCHMARK(BM_SortByType) SIZES;
BENCHMARK(BM_LiteralExchangeSort)
    ->ArgsProduct({{10000}, {int(Column::Name), int(Column::Size), int(Column::Type)}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
