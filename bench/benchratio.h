#pragma once
// The comparison lines the benchmarks print after their tables, in one
// form: "what / baseline: A ms / B ms = R.RRx".
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bench {

// what names both sides ("X / Y"); nothing is printed without a baseline.
inline void printRatio(const std::string &what, double a, double b)
{
    if (b > 0)
        std::printf("%s: %.2f ms / %.2f ms = %.2fx\n", what.c_str(), a, b, a / b);
    std::fflush(stdout);
}

// The console table, with every benchmark's real time kept under its full
// name and its function's name, for comparisons printed once all have run.
class TimesReporter : public benchmark::ConsoleReporter {
public:
    using Compare = std::function<void(const TimesReporter &)>;
    explicit TimesReporter(Compare compare) : m_compare(std::move(compare)) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                m_times[run.run_name.str()] = run.GetAdjustedRealTime();
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        m_compare(*this);
    }
    // The time of a benchmark that ran, else 0.
    double time(const std::string &name) const
    {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0 : it->second;
    }
    // Prints a / b when both ran.
    void compare(const std::string &what, const std::string &a, const std::string &b) const
    {
        if (time(a) > 0)
            printRatio(what, time(a), time(b));
    }

private:
    Compare m_compare;
    std::map<std::string, double> m_times;
};

} // namespace bench
