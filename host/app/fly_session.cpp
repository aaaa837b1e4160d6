#include "fly_session.h"

#include <cstdio>
#include <memory>

#include "bindings_file.h"
#include "browser_layout.h"
#include "front_end_hub.h"
#include "hardware_front_end.h"
#include "panel_window.h"
#include "real_time_flight.h"
#include "sdl_event_pump.h"
#include "server_front_end.h"
#include "window_front_end.h"
#include "world_source.h"

namespace panel::app {
namespace {

// FNV-1a: a name for a panel file that stays the same from run to run.
std::string hashed(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

// A window for each window of the panel.cfg, each remembering its place per panel file beside
// the single window's settings; or the one window, when stacked or there is only one.
std::vector<window::WindowPart> window_parts(const FlyOptions& options, const RealTimeFlight& flight,
                                             const Panel& panel, const std::optional<std::filesystem::path>& settings) {
    const std::vector<render::Placement>& areas = flight.window_areas();
    if (options.stacked || areas.size() < 2) return {{flight.title(), std::nullopt, {options.display, settings}}};
    std::error_code error;
    const std::filesystem::path file = std::filesystem::weakly_canonical(panel.config_file(), error);
    const std::string stem = file.stem().string() + "-" + hashed(file.string());
    std::vector<window::WindowPart> parts;
    for (size_t w = 0; w < areas.size(); ++w) {
        const std::string& section = panel.config().windows.at(w).section;
        std::string names;
        for (size_t i = 0; i < panel.size(); ++i) {
            if (panel.at(i).window == w) names += (names.empty() ? "" : ", ") + panel.at(i).alias;
        }
        window::WindowPart part{"panelhost - " + names + " (" + section + ")",
                                window::Crop{areas[w].x, areas[w].y, areas[w].width, areas[w].height,
                                             flight.panel_height(), flight.height() - flight.panel_height()},
                                {}};
        if (settings) part.place.settings = settings->parent_path() / ("window-" + stem + "-" + section + ".conf");
        // --display places the windows that have no place of their own yet.
        if (!part.place.settings || !std::filesystem::exists(*part.place.settings, error))
            part.place.display = options.display;
        parts.push_back(std::move(part));
    }
    return parts;
}

void print_addresses(const server::ServerFrontEnd& served, const Panel& panel, const RealTimeFlight& flight) {
    const std::string url = served.url();
    std::printf("serving the panel at %s\n", url.c_str());
    for (size_t i = 0; i < panel.size(); ++i) {
        const std::string name = flight.controls().gauges().unique_label(i);
        std::printf("  %-8s %sgauge/%s\n", name.c_str(), url.c_str(), server::path_name(name).c_str());
    }
    const auto& windows = panel.config().windows;
    for (size_t w = 0; windows.size() > 1 && w < windows.size(); ++w)
        std::printf("  %-8s %swindow/%zu\n", windows[w].section.c_str(), url.c_str(), w);
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
    const hardware::Bindings bindings = hardware::load_bindings(options.controls);
    LoadedFlight loaded(options, check);

    RealTimeOptions real_time{.rate = options.rate,
                              .night = options.night,
                              .mute = options.mute,
                              .sounds = options.sounds,
                              .screenshots = options.screenshots};
    for (const window::KeyHelp& key : window::key_help()) real_time.keys.push_back({key.keys, key.meaning});
    RealTimeFlight flight(real_time, loaded.panel, loaded.variables, source);
    hardware::check_bindings(bindings, flight.controls());
    std::optional<server::ServerFrontEnd> served;
    if (options.serve) {
        served.emplace(*options.serve, browser_layout(loaded.panel, flight), &loaded.variables, flight.input(),
                       options.stop_requested);
        flight.attach(*served);
        print_addresses(*served, loaded.panel, flight);
    }
    std::optional<window::SdlEventPump> events;
    if (options.window || !bindings.bindings.empty()) events.emplace();
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
        window.emplace(*events, flight.width(), flight.height(), window_parts(options, flight, loaded.panel, settings));
        flight.attach(*window);
    }
    std::optional<hardware::HardwareFrontEnd> knobs;
    if (!bindings.bindings.empty()) flight.attach(knobs.emplace(*events, bindings));
    return flight.run(loaded.script, loaded.script_name);
}

std::function<std::function<void()>(Panel& panel, Flight& flight)> knobs_between_updates(
    const std::optional<std::filesystem::path>& controls) {
    hardware::Bindings bindings = hardware::load_bindings(controls);
    if (bindings.bindings.empty()) return {};
    return [bindings = std::move(bindings)](Panel& panel, Flight& flight) -> std::function<void()> {
        // Everything a hub works the panel with, kept for as long as the flight calls.
        struct Knobs {
            Knobs(Panel& panel, Flight& flight, const hardware::Bindings& bindings)
                : picture(panel), controls(panel_controls(panel)), hub(panel, flight, picture, controls) {
                hardware::check_bindings(bindings, controls);
                front_end.emplace(events, bindings);
                hub.attach(*front_end);
            }
            PanelPicture picture;
            controls::PanelControls controls;
            FrontEndHub hub;
            window::SdlEventPump events;
            std::optional<hardware::HardwareFrontEnd> front_end;
        };
        auto knobs = std::make_shared<Knobs>(panel, flight, bindings);
        // Keys and closing come from windows only: there are none.
        return [knobs] { knobs->hub.take_input(); };
    };
}

}  // namespace panel::app
