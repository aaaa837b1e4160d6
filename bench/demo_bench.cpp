// The panel application's own costs: the demo flight without drawing, against real time, and
// the heap allocations of a running panel's frame (world, both gauges, drawing), counted with a
// replaced global allocator.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "bench_targets.h"
#include "flight.h"
#include "flight_run.h"
#include "new_counter.h"
#include "panel.h"
#include "panel_config.h"
#include "panel_picture.h"
#include "world.h"

namespace {

using namespace panel;

app::FlightOptions demo_options() {
    app::FlightOptions options;
    options.panel = app::demo_panel();
    options.script = app::demo_script();
    options.gauge_folders = {PANEL_MODULE_DIR};
    return options;
}

// The whole demo flight, both gauges, the world and the scenario, drawing nothing.
void BM_DemoFlight(benchmark::State& state) {
    const app::FlightOptions options = demo_options();
    double simulated = 0.0;
    for (auto _ : state) simulated += app::fly_scripted(options).simulated_seconds;
    state.counters["realtime"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DemoFlight)->Unit(benchmark::kMillisecond)->UseRealTime();
PANEL_COUNTER_TARGET(demo_realtime, "BM_DemoFlight/real_time", "realtime", at_least, 3000.0);

// A running panel's frame with its picture drawn, once the flight has settled.
void BM_PanelFrame(benchmark::State& state) {
    const app::FlightOptions options = demo_options();
    const PanelConfig config = parse_panel_config(options.panel.text, options.panel.name);
    VariableStore variables;
    app::Panel panel(config, options.panel.name, app::ModuleFinder(options.gauge_folders), variables);
    app::PanelPicture picture(panel);
    sim::FlightSetup setup;
    setup.start = {47.52, -122.23};
    setup.altitude_ft = 3000.0;
    setup.airspeed_kt = 120.0;
    setup.flight_plan = {{"SEA", {47.4354, -122.3096}}, {"PAE", {47.9063, -122.2816}}};
    setup.active_waypoint = 1;
    setup.dme = {"SEA", 116.80, {47.4354, -122.3096}, 0.0, 40.0};
    setup.dme_tuned_mhz = 116.80;
    app::Flight flight(panel, variables, setup);
    // Both instruments on and running, so that every readout formats and draws.
    flight.click(0, 62, 121);
    flight.click(1, 316, 65);
    for (int i = 0; i < 18 * 4; ++i) flight.advance_frame();
    flight.click(0, 376, 138);
    for (int i = 0; i < 18 * 2; ++i) {
        flight.advance_frame();
        picture.draw();
    }
    long frames = 0;
    if (!bench::new_counter_works()) {
        state.SkipWithError("the allocation counter counts nothing");
        return;
    }
    for (auto _ : state) {
        bench::count_new(true);
        flight.advance_frame();
        picture.draw();
        bench::count_new(false);
        ++frames;
    }
    state.counters["allocations"] = static_cast<double>(bench::new_count()) / static_cast<double>(frames);
}
BENCHMARK(BM_PanelFrame);
PANEL_COUNTER_TARGET(allocations_per_frame, "BM_PanelFrame", "allocations", at_most, 0.0);

}  // namespace
