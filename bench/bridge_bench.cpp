// The demo flown with both Windows modules, each in its bridge process under wine, drawing
// nothing, against real time: bridges started, every update one exchange a gauge (both gauges
// at once), bridges ended. Needs the Windows build (PANEL_WINDOWS_BUILD_DIR, else build-win/ of the source
// tree) and a machine that runs 32-bit programs; without them the target is not measured and
// says so. Where the kernel runs them only under emulation (qemu-user, about three times slower
// than native wine here) the target is one of its own.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "bench_targets.h"
#include "flight_run.h"
#include "i386_programs.h"

namespace {

using namespace panel;
namespace fs = std::filesystem;

fs::path windows_build() {
    const fs::path configured = PANEL_WINDOWS_BUILD_DIR;
    return configured.empty() ? fs::path(PANEL_SOURCE_DIR) / "build-win" : configured;
}

bool has_windows_build() {
    std::error_code error;
    const fs::path build = windows_build();
    return fs::is_regular_file(build / "bin" / "panel_bridge.exe", error) &&
           fs::is_regular_file(build / "modules" / "GPS_Corvane_PX40.gau", error) &&
           fs::is_regular_file(build / "modules" / "VER2_Corvane_VX_RD22.gau", error);
}

void BM_BridgeDemoFlight(benchmark::State& state) {
    app::FlightOptions options;
    options.panel = app::demo_panel();
    options.script = app::demo_script();
    options.gauge_folders = {windows_build() / "modules"};
    options.windows = {.required = true, .bridge = windows_build() / "bin" / "panel_bridge.exe"};
    // Wine's own session start (its server and services, a second or two) comes once for all
    // the bridges that follow while it stays up; one flight first leaves it out of the timing.
    app::fly_scripted(options);
    double simulated = 0.0;
    for (auto _ : state) simulated += app::fly_scripted(options).simulated_seconds;
    state.counters["realtime"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
}

const bool registered = [] {
    if (!has_windows_build()) {
        std::printf(
            "bridge_demo_realtime not measured: no Windows build with panel_bridge.exe in %s "
            "(tools/build-windows.sh makes one)\n",
            windows_build().c_str());
        return false;
    }
    const bridge::I386Probe probe = bridge::machine_i386_probe();
    const bridge::I386Programs programs = bridge::probe_i386_programs(probe);
    if (programs == bridge::I386Programs::refused || programs == bridge::I386Programs::no_loader) {
        std::printf("bridge_demo_realtime not measured: %s\n", bridge::i386_refusal(programs, probe).c_str());
        return false;
    }
    benchmark::RegisterBenchmark("BM_BridgeDemoFlight", BM_BridgeDemoFlight)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    if (programs == bridge::I386Programs::emulated) {
        return panel::bench::add_target({"bridge_demo_realtime_under_emulation", "BM_BridgeDemoFlight/real_time", "",
                                         "realtime", panel::bench::Comparison::at_least, 50.0});
    }
    return panel::bench::add_target({"bridge_demo_realtime", "BM_BridgeDemoFlight/real_time", "", "realtime",
                                     panel::bench::Comparison::at_least, 200.0});
}();

}  // namespace
