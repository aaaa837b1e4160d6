// Runs every benchmark of this program, then prints one line per target (see bench_targets.h).
// Exit status 1 when a target is missed or cannot be measured.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <vector>

#include "bench_targets.h"

namespace panel::bench {
namespace {

std::vector<Target>& targets() {
    static std::vector<Target> all;
    return all;
}

// Keeps each benchmark's CPU time per iteration and counters as the runs are reported.
class TargetReporter : public benchmark::ConsoleReporter {
public:
    // Colour only on a terminal: a reporter of one's own is not told of --benchmark_color.
    TargetReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    struct Result {
        double cpu_per_iteration = 0.0;
        std::map<std::string, double> counters;
    };

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            Result& result = results[run.benchmark_name()];
            result.cpu_per_iteration = run.GetAdjustedCPUTime();
            for (const auto& [name, counter] : run.counters) result.counters[name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, Result> results;
};

}  // namespace

bool add_target(Target target) {
    targets().push_back(std::move(target));
    return true;
}

}  // namespace panel::bench

int main(int argc, char** argv) {
    using namespace panel::bench;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    TargetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bool all_met = true;
    for (const Target& target : targets()) {
        auto numerator = reporter.results.find(target.numerator);
        auto denominator = reporter.results.find(target.denominator);
        double measured = 0.0;
        bool measurable = numerator != reporter.results.end();
        if (measurable && target.counter.empty()) {
            measurable = denominator != reporter.results.end() && denominator->second.cpu_per_iteration > 0.0;
            if (measurable) measured = numerator->second.cpu_per_iteration / denominator->second.cpu_per_iteration;
        } else if (measurable) {
            auto counter = numerator->second.counters.find(target.counter);
            measurable = counter != numerator->second.counters.end();
            if (measurable) measured = counter->second;
        }
        const bool at_most = target.comparison == Comparison::at_most;
        if (!measurable) {
            std::printf("%s not measured (%s did not run) MISSED\n", target.name.c_str(), target.numerator.c_str());
            all_met = false;
            continue;
        }
        const bool met = at_most ? measured <= target.limit : measured >= target.limit;
        all_met = all_met && met;
        std::printf("%s %.3g %s %g %s\n", target.name.c_str(), measured, at_most ? "<=" : ">=", target.limit,
                    met ? "met" : "MISSED");
    }
    return all_met ? 0 : 1;
}
