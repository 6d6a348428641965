#pragma once
// main() of the benchmarks that need widgets: a QApplication (offscreen
// unless a platform is chosen), then every registered benchmark.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <functional>

namespace bench {

inline int runWithApplication(int argc, char **argv, const std::function<void()> &setUp = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ferrix"));
    if (setUp)
        setUp();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
