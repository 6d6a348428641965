// Loading registry files that are large in the ways that matter: one very
// long value, very many keys, one very deep key. Each load runs in a child
// process of its own, so its peak memory is its own; the figures are the
// time, the peak memory above the child's start and that peak against the
// file's size. Then a re-read: how long questions take while a changed
// 1.05-million-key file is read again, and when the new content answers.
#include "platform/registry/regfile.h"
#include "platform/registry/registry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using Writer = std::function<void(QFile &)>;

QString writeRegFile(const QTemporaryDir &dir, const QString &name, const Writer &body)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("REGEDIT4\n\n");
    body(file);
    return path;
}

Writer oneLongValue(qsizetype bytes)
{
    return [bytes](QFile &file) {
        file.write("[HKEY_CLASSES_ROOT\\txtfile]\n@=\"" + QByteArray(bytes, 'a') + "\"\n");
    };
}

// A binary value as exports write it: 25 bytes a line, each line ending in
// a backslash.
Writer oneLongHexValue(qsizetype bytes)
{
    return [bytes](QFile &file) {
        file.write("[HKEY_CLASSES_ROOT\\txtfile]\n\"h\"=hex:");
        const QByteArray line = "41,42,43,44,45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,\\\n  ";
        for (qsizetype written = 0; written < bytes; written += line.size())
            file.write(line);
        file.write("00\n");
    };
}

Writer manyKeys(int keys, const QByteArray &valuePrefix = "class")
{
    return [keys, valuePrefix](QFile &file) {
        QByteArray chunk;
        for (int i = 0; i < keys; ++i) {
            chunk += "[HKEY_CLASSES_ROOT\\.e" + QByteArray::number(i) + "\\Shell]\n@=\"" + valuePrefix
                + QByteArray::number(i) + "\"\n";
            if (chunk.size() > (1 << 20) || i + 1 == keys) {
                file.write(chunk);
                chunk.clear();
            }
        }
    };
}

Writer deepKey(int levels)
{
    return [levels](QFile &file) {
        QByteArray key = "[HKEY_CLASSES_ROOT";
        for (int i = 0; i < levels; ++i)
            key += "\\k";
        file.write(key + "]\n@=\"deep\"\n");
    };
}

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

struct LoadFigures {
    double ms = 0;
    qint64 peakKb = 0;
    qint64 keys = 0;
};

// Loads in a child so that the peak is this load's alone.
LoadFigures loadInChild(const QString &name)
{
    int fds[2];
    LoadFigures figures;
    if (::pipe(fds) != 0)
        return figures;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const qint64 before = statusKb("VmRSS:");
        QElapsedTimer timer;
        timer.start();
        const platform::RegFileContent content = platform::loadRegFile(name);
        LoadFigures child {double(timer.nsecsElapsed()) / 1e6, statusKb("VmHWM:") - before, content.keyCount()};
        const bool sent = ::write(fds[1], &child, sizeof child) == sizeof child;
        ::_exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    if (pid > 0 && ::read(fds[0], &figures, sizeof figures) != sizeof figures)
        figures = {};
    ::close(fds[0]);
    if (pid > 0)
        ::waitpid(pid, nullptr, 0);
    return figures;
}

void load(benchmark::State &state, const Writer &body)
{
    QTemporaryDir dir;
    const QString name = writeRegFile(dir, QStringLiteral("big.reg"), body);
    const double fileMb = double(QFile(name).size()) / (1 << 20);
    LoadFigures figures;
    for (auto _ : state) {
        figures = loadInChild(name);
        state.SetIterationTime(figures.ms / 1000);
    }
    state.counters["file_MB"] = fileMb;
    state.counters["keys"] = double(figures.keys);
    state.counters["peak_MB"] = double(figures.peakKb) / 1024;
    state.counters["peak_x_file"] = double(figures.peakKb) / 1024 / fileMb;
}

void BM_OneLongValue(benchmark::State &state) { load(state, oneLongValue(state.range(0) << 20)); }
void BM_OneLongHexValue(benchmark::State &state) { load(state, oneLongHexValue(state.range(0) << 20)); }
void BM_ManyKeys(benchmark::State &state) { load(state, manyKeys(int(state.range(0)))); }
void BM_DeepKey(benchmark::State &state) { load(state, deepKey(int(state.range(0)))); }

long readDefault(const QString &subKey, QString *value)
{
    platform::RegKey key = 0;
    long result = platform::regOpenKey(platform::RegRoot::ClassesRoot, subKey, &key);
    if (result != platform::ERROR_SUCCESS)
        return result;
    quint32 size = 4096;
    result = platform::regQueryValue(key, QString(), value, &size);
    platform::regCloseKey(key);
    return result;
}

struct Questions {
    double longestMs = 0, totalMs = 0;
    qint64 count = 0;
};

// Asks until done says so (or a minute has passed).
Questions askUntil(const QString &subKey, const std::function<bool(const QString &value, qint64 count)> &done)
{
    Questions questions;
    QElapsedTimer total;
    total.start();
    QString value;
    do {
        QElapsedTimer one;
        one.start();
        readDefault(subKey, &value);
        questions.longestMs = qMax(questions.longestMs, double(one.nsecsElapsed()) / 1e6);
        ++questions.count;
    } while (!done(value, questions.count) && total.elapsed() < 60000);
    questions.totalMs = double(total.nsecsElapsed()) / 1e6;
    return questions;
}

// A changed file while questions go on: the longest question, against the
// longest of as many questions with nothing changing, and how long until
// the new content answers.
void BM_ReReadWhileAsking(benchmark::State &state)
{
    const int keys = int(state.range(0));
    QTemporaryDir dir;
    const QString name = writeRegFile(dir, QStringLiteral("registry.reg"), manyKeys(keys));
    const QString subKey = QStringLiteral(".e%1\\Shell").arg(keys - 1);
    QElapsedTimer first;
    first.start();
    platform::Registry::configure({name}, false);
    askUntil(subKey, [](const QString &, qint64) { return true; }); // the first question waits for the first read
    const double firstMs = double(first.nsecsElapsed()) / 1e6;
    Questions during, quiet;
    for (auto _ : state) {
        const QString changed = writeRegFile(dir, QStringLiteral("changed.reg"), manyKeys(keys, "new"));
        QFile::remove(name);
        QFile::rename(changed, name);
        during = askUntil(subKey, [](const QString &value, qint64) { return value.startsWith(QLatin1String("new")); });
        state.SetIterationTime(during.totalMs / 1000);
    }
    quiet = askUntil(subKey, [&during](const QString &, qint64 count) { return count >= during.count; });
    platform::Registry::configure({}, false);
    state.counters["first_load_ms"] = firstMs;
    state.counters["questions"] = double(during.count);
    state.counters["mean_question_us"] = during.totalMs * 1000 / double(qMax<qint64>(during.count, 1));
    std::printf("Longest question during the re-read / with nothing changing: %.3f ms / %.3f ms = %.2fx "
                "(%lld questions each; the re-read took %.0f ms)\n",
                during.longestMs, quiet.longestMs, during.longestMs / quiet.longestMs, qlonglong(during.count),
                during.totalMs);
}

} // namespace

BENCHMARK(BM_OneLongValue)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_OneLongHexValue)->Arg(1)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_ManyKeys)->Arg(100000)->Arg(1050000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_DeepKey)->Arg(512)->Arg(45000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_ReReadWhileAsking)->Arg(1050000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

BENCHMARK_MAIN();
