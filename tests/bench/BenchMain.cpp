#include "tests/bench/BenchMain.h"

#include <cstdio>
#include <map>
#include <tuple>

namespace corvane::bench {
namespace {

std::vector<std::tuple<std::string, double, double>>& Figures() {
    static std::vector<std::tuple<std::string, double, double>> figures;
    return figures;
}

// Keeps the time per iteration of every run while printing as usual.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.iterations > 0 && run.run_type == Run::RT_Iteration) {
                Times[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;
};

} // namespace

void ReportFigure(const std::string& name, double value, double target) {
    Figures().emplace_back(name, value, target);
}

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios (measured against a baseline of the same run):\n");
    for (const Ratio& ratio : ratios) {
        auto measured = reporter.Times.find(ratio.Measured);
        auto baseline = reporter.Times.find(ratio.Baseline);
        if (measured == reporter.Times.end() || baseline == reporter.Times.end() || baseline->second <= 0) {
            continue;
        }
        const double value = measured->second / baseline->second;
        std::printf("  %-60s %6.2fx  (target at most %.1fx)%s\n", (ratio.Measured + " / " + ratio.Baseline).c_str(),
                    value, ratio.Target, value <= ratio.Target ? "" : "  ABOVE TARGET");
    }
    for (const auto& [name, value, target] : Figures()) {
        std::printf("  %-60s %6.2fx  (target at most %.1fx)%s\n", name.c_str(), value, target,
                    value <= target ? "" : "  ABOVE TARGET");
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace corvane::bench
