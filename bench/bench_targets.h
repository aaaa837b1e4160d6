// Speed and memory targets, each measured as a ratio of two benchmarks run side by side in one
// process (or as one benchmark's counter), so that the machine's own speed cancels out.
// A benchmark file declares its targets next to its benchmarks:
//
//   PANEL_RATIO_TARGET(draw_vs_backgrounds, "BM_DrawFrame", "BM_DrawBackgrounds", at_most, 4.0);
//   PANEL_COUNTER_TARGET(allocations_per_frame, "BM_Frame", "allocations", at_most, 0.0);
//
// A ratio compares the two benchmarks' CPU time per iteration; a counter target reads a counter
// the benchmark sets (a speed-up over real time, allocations per frame).
//
// bench_main runs every benchmark, then prints one line per target:
//   NAME MEASURED <= TARGET met      (or >=, and MISSED)
#pragma once

#include <string>

namespace panel::bench {

enum class Comparison { at_most, at_least };

struct Target {
    std::string name;
    std::string numerator;    // a benchmark's name
    std::string denominator;  // a benchmark's name; empty for a counter target
    std::string counter;      // the numerator's counter, for a counter target
    Comparison comparison;
    double limit;
};

// Adds a target; returns true so that it can initialise a static.
bool add_target(Target target);

}  // namespace panel::bench

#define PANEL_BENCH_CONCAT2(a, b) a##b
#define PANEL_BENCH_CONCAT(a, b) PANEL_BENCH_CONCAT2(a, b)
#define PANEL_RATIO_TARGET(name, numerator, denominator, comparison, limit) \
    static const bool PANEL_BENCH_CONCAT(panel_target_, name) =             \
        ::panel::bench::add_target({#name, numerator, denominator, "", ::panel::bench::Comparison::comparison, limit})
#define PANEL_COUNTER_TARGET(name, benchmark, counter, comparison, limit) \
    static const bool PANEL_BENCH_CONCAT(panel_target_, name) =           \
        ::panel::bench::add_target({#name, benchmark, "", counter, ::panel::bench::Comparison::comparison, limit})
