// A main for the benchmarks that, after the runs, prints the ratio of each
// measured case to its baseline from the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

namespace corvane::bench {

struct Ratio {
    std::string Measured;
    std::string Baseline;
    double Target; // the most the ratio should be
};

// Extra figures a benchmark computed itself (a memory ratio, say): name, value, target.
void ReportFigure(const std::string& name, double value, double target);

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);

} // namespace corvane::bench
