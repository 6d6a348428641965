// The user-interface thread's longest stall (the longest gap between two
// events of a 5 ms timer) during a 2 GB file copy, a delete of a folder
// tree of 200,000 files and the size of such a tree, each run as the
// program runs it (inside long work) and, as the baseline, straight on the
// UI thread as it ran before. Also how long each took both ways.
#include "benchdevice.h"
#include "benchstall.h"
#include "fileops/fileclipboard.h"
#include "platform/fs/longworkcount.h"
#include "platform/work/longwork.h"
#include "properties/foldersize.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 kBigFile = qint64(2) << 30;
constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 1000;

using Figures = bench::StallFigures;

Figures measure(const std::function<void()> &work)
{
    return bench::measureStall(work);
}

Figures measureBothWays(platform::WorkKind kind, const QStringList &count, const std::function<void()> &work,
                        const std::function<void()> &between, Figures *baseline)
{
    // Each way starts a few seconds after the last large free: a virtual
    // machine's guest hands memory it freed back to the host within
    // seconds, and touching it again then costs a fault per page, which
    // would weigh only on a way that came after a pause.
    const auto settle = [] { QThread::sleep(3); };
    settle();
    const Figures withWork = measure([&] {
        platform::LongWork scope(kind);
        if (!count.isEmpty())
            platform::countBeside(scope, count);
        work();
    });
    between();
    settle();
    *baseline = measure(work);
    return withWork;
}

void report(const char *what, const Figures &with, const Figures &without)
{
    std::printf("UI stall during %s / the same on the UI thread: %lld ms / %lld ms = %.2fx\n", what,
                static_cast<long long>(with.stallMs), static_cast<long long>(without.stallMs),
                double(with.stallMs) / double(qMax<qint64>(without.stallMs, 1)));
    std::printf("duration of %s / the same on the UI thread: %lld ms / %lld ms = %.2fx\n", what,
                static_cast<long long>(with.totalMs), static_cast<long long>(without.totalMs),
                double(with.totalMs) / double(qMax<qint64>(without.totalMs, 1)));
}

bool writeBigFile(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::vector<char> data(size_t(4) << 20);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 2654435761u >> 24);
    bool ok = true;
    for (qint64 left = kBigFile; ok && left > 0; left -= qint64(data.size()))
        ok = ::write(fd, data.data(), data.size()) == ssize_t(data.size());
    return ::close(fd) == 0 && ok;
}

bool makeTree(const bench::TempDevice &device)
{
    if (::mkdir(device.host("tree").constData(), 0755) != 0)
        return false;
    for (int f = 0; f < kFolders; ++f) {
        const QByteArray folder = "tree/f" + QByteArray::number(f);
        if (!device.makeFiles(folder.constData(), kFilesPerFolder, {"file%d.txt", "data%d.bin"}))
            return false;
    }
    ::sync();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::TempDevice device;
    if (!device.ok() || !writeBigFile(device.host("big.bin")) || !makeTree(device)) {
        std::fprintf(stderr, "cannot make the files to work on\n");
        return 1;
    }
    ::sync();
    // Both ways start from a warm cache: the first run must not pay for reading what the second finds in memory.
    const int warm = ::open(device.host("big.bin").constData(), O_RDONLY | O_CLOEXEC);
    std::vector<char> sink(size_t(4) << 20);
    while (warm >= 0 && ::read(warm, sink.data(), sink.size()) > 0) {
    }
    ::close(warm);
    FolderSize(QStringLiteral("\\tree"));
    Figures without;
    const auto dropCopy = [&] {
        ::unlink(device.host("big.copy").constData());
        ::sync();
    };
    Figures with = measureBothWays(platform::WorkKind::Copying, {QStringLiteral("\\big.bin")}, [] {
        FileClipboard::CopyOneFile(QStringLiteral("\\big.bin"), QStringLiteral("\\big.copy"), false);
    }, dropCopy, &without);
    dropCopy();
    report("a 2 GB file copy", with, without);

    with = measureBothWays(platform::WorkKind::Measuring, {}, [] { FolderSize(QStringLiteral("\\tree")); }, [] {},
                           &without);
    report("the size of 200,000 files", with, without);

    FileClipboard clipboard;
    with = measureBothWays(platform::WorkKind::Deleting, {QStringLiteral("\\tree")},
                           [&] { clipboard.DeleteFolderTree(QStringLiteral("\\tree")); },
                           [&] { makeTree(device); }, &without);
    report("a delete of 200,000 files", with, without);
    return 0;
}
