#include "fly_session.h"

#include <cstdio>
#include <memory>

#include "bindings_file.h"
#include "front_end_hub.h"
#include "hardware_front_end.h"
#include "panel_window.h"
#include "real_time_flight.h"
#include "sdl_event_pump.h"
#include "window_front_end.h"
#include "world_source.h"

namespace panel::app {

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
    std::optional<std::filesystem::path> settings = options.remember_window ? window::settings_file() : std::nullopt;
    if (settings) {
        if (const std::optional<std::string> refusal = window::window_settings_refusal(*settings)) {
            std::fprintf(stderr, "%s\n", refusal->c_str());
            settings.reset();
        }
    }
    window::SdlEventPump events;
    window::WindowFrontEnd window(events, flight.title(), flight.width(), flight.height(),
                                  {.display = options.display, .settings = settings});
    flight.attach(window);
    std::optional<hardware::HardwareFrontEnd> knobs;
    if (!bindings.bindings.empty()) flight.attach(knobs.emplace(events, bindings));
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
