// Loading registry files that are large in the two ways that matter: one
// very long value, and very many keys. Prints the time and the peak memory
// of the process after each load.
#include "platform/regfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

QString writeRegFile(const QTemporaryDir &dir, const QByteArray &body)
{
    const QString name = dir.filePath(QStringLiteral("big.reg"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write("REGEDIT4\n\n" + body) < 0)
        return {};
    return name;
}

QByteArray oneLongValue(qsizetype bytes)
{
    return "[HKEY_CLASSES_ROOT\\txtfile]\n@=\"" + QByteArray(bytes, 'a') + "\"\n";
}

// A binary value as exports write it: 25 bytes a line, each line ending in
// a backslash.
QByteArray oneLongHexValue(qsizetype bytes)
{
    QByteArray body = "[HKEY_CLASSES_ROOT\\txtfile]\n\"h\"=hex:";
    body.reserve(bytes + 64);
    while (body.size() < bytes)
        body += "41,42,43,44,45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,\\\n  ";
    return body + "00\n";
}

QByteArray manyKeys(int keys)
{
    QByteArray body;
    body.reserve(qsizetype(keys) * 48);
    for (int i = 0; i < keys; ++i)
        body += "[HKEY_CLASSES_ROOT\\.e" + QByteArray::number(i) + "\\Shell]\n@=\"class" + QByteArray::number(i) + "\"\n";
    return body;
}

void load(benchmark::State &state, const QByteArray &body)
{
    QTemporaryDir dir;
    const QString name = writeRegFile(dir, body);
    qsizetype keys = 0;
    for (auto _ : state) {
        const platform::RegFileContent content = platform::loadRegFile(name);
        keys = content.keys[0].size();
    }
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["MB"] = double(body.size()) / 1e6;
    state.counters["keys"] = double(keys);
    state.counters["peakRSS_MB"] = double(usage.ru_maxrss) / 1024.0;
}

void BM_OneLongValue(benchmark::State &state) { load(state, oneLongValue(state.range(0) << 20)); }
void BM_OneLongHexValue(benchmark::State &state) { load(state, oneLongHexValue(state.range(0) << 20)); }
void BM_ManyKeys(benchmark::State &state) { load(state, manyKeys(int(state.range(0)))); }

} // namespace

BENCHMARK(BM_OneLongValue)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_OneLongHexValue)->Arg(1)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ManyKeys)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
