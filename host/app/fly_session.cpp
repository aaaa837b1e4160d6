#include "fly_session.h"

#include <cstdio>

#include "browser_layout.h"
#include "panel_window.h"
#include "real_time_flight.h"
#include "sdl_event_pump.h"
#include "server_front_end.h"
#include "window_front_end.h"
#include "world_source.h"

namespace panel::app {

namespace {

void print_addresses(const server::ServerFrontEnd& served, const Panel& panel, const RealTimeFlight& flight) {
    const std::string url = served.url();
    std::printf("serving the panel at %s\n", url.c_str());
    for (size_t i = 0; i < panel.size(); ++i) {
        const std::string name = flight.controls().gauges().unique_label(i);
        std::printf("  %-6s %sgauge/%s\n", name.c_str(), url.c_str(), server::path_name(name).c_str());
    }
    if (url.starts_with("http://0.0.0.0:") || url.starts_with("http://[::]:")) {
        std::printf("  (from another machine, this machine's own address in place of %s)\n",
                    url.starts_with("http://0") ? "0.0.0.0" : "[::]");
    }
    std::fflush(stdout);
}

}  // namespace

int fly_in_window(const FlyOptions& options) {
    WorldSource world(default_setup());
    return fly_in_window(options, world);
}

int fly_in_window(const FlyOptions& options, FlightSource& source, const ScriptCheck& check) {
    LoadedFlight loaded(options, check);

    RealTimeOptions real_time{.rate = options.rate,
                              .night = options.night,
                              .mute = options.mute,
                              .sounds = options.sounds,
                              .screenshots = options.screenshots};
    for (const window::KeyHelp& key : window::key_help()) real_time.keys.push_back({key.keys, key.meaning});
    RealTimeFlight flight(real_time, loaded.panel, loaded.variables, source);
    std::optional<server::ServerFrontEnd> served;
    if (options.serve) {
        served.emplace(*options.serve, browser_layout(loaded.panel, flight), &loaded.variables, flight.input(),
                       options.stop_requested);
        flight.attach(*served);
        print_addresses(*served, loaded.panel, flight);
    }
    std::optional<window::SdlEventPump> events;
    std::optional<window::WindowFrontEnd> window;
    if (options.window) {
        std::optional<std::filesystem::path> settings =
            options.remember_window ? window::settings_file() : std::nullopt;
        if (settings) {
            if (const std::optional<std::string> refusal = window::window_settings_refusal(*settings)) {
                std::fprintf(stderr, "%s\n", refusal->c_str());
                settings.reset();
            }
        }
        events.emplace();
        window.emplace(*events, flight.title(), flight.width(), flight.height(),
                       window::WindowPlace{.display = options.display, .settings = settings});
        flight.attach(*window);
    }
    return flight.run(loaded.script, loaded.script_name);
}

}  // namespace panel::app
