#pragma once

// A benchmark main that, after the usual console report, prints the ratios of chosen pairs of
// benchmarks' CPU times per iteration. Run with --benchmark_repetitions=N and
// --benchmark_enable_random_interleaving=true: the ratios then compare repetitions taken side by
// side, which is what a machine shared with other work can still measure; the minimum over the
// repetitions is the least disturbed.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace benchratios {

struct Ratio {
    std::string numerator, denominator;  // full benchmark names
    std::string goal;                    // what the ratio is held against, for the reader
};

// For ComputeStatistics("min", benchratios::Min): the least disturbed repetition.
inline double Min(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

class Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Iteration)
                times[run.run_name.str()].push_back(run.GetAdjustedCPUTime());
            else if (run.aggregate_name == "median" || run.aggregate_name == "min")
                aggregates[run.run_name.str()][run.aggregate_name] = run.GetAdjustedCPUTime();
        }
    }
    // Each repetition's time, or with the aggregates only reported, their median (and minimum).
    std::map<std::string, std::vector<double>> times;
    std::map<std::string, std::map<std::string, double>> aggregates;
};

inline int Main(int argc, char** argv, const std::vector<Ratio>& ratios)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    auto stat = [&](const std::string& name, bool median) {
        std::vector<double> v = reporter.times[name];
        if (v.empty()) {
            const auto& a = reporter.aggregates[name];
            const auto m = a.find(median || !a.count("min") ? "median" : "min");
            return m == a.end() ? 0.0 : m->second;
        }
        std::sort(v.begin(), v.end());
        return median ? v[v.size() / 2] : v.front();
    };
    std::printf("\nRatios of CPU time per iteration (minimum and median over the repetitions):\n");
    for (const Ratio& r : ratios) {
        const double nMin = stat(r.numerator, false), dMin = stat(r.denominator, false);
        const double nMed = stat(r.numerator, true), dMed = stat(r.denominator, true);
        if (nMin <= 0 || dMin <= 0)
            continue;
        std::printf("  %s / %s: min %.3f, median %.3f  (%s)\n", r.numerator.c_str(), r.denominator.c_str(),
                    nMin / dMin, nMed / dMed, r.goal.c_str());
    }
    return 0;
}

} // namespace benchratios
