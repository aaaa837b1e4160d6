#include "fly_session.h"

#include "panel_window.h"
#include "real_time_flight.h"
#include "sdl_event_pump.h"
#include "window_front_end.h"

namespace panel::app {

int fly_window(const FlyOptions& options) {
    WorldSource world(default_setup());
    return fly_window(options, world);
}

int fly_window(const FlyOptions& options, FlightSource& source, const ScriptCheck& check) {
    const PanelConfig config = read_panel(options.panel);
    VariableStore variables;
    Panel panel(config, options.panel.name, ModuleFinder(options.gauge_folders, options.windows), variables);
    const std::optional<scenario::Script> script =
        options.script ? std::optional(read_script(*options.script, panel)) : std::nullopt;
    if (script && check) check(*script, options.script->name);

    RealTimeOptions real_time{.rate = options.rate, .night = options.night, .mute = options.mute,
                              .sounds = options.sounds, .screenshots = options.screenshots};
    for (const window::KeyHelp& key : window::key_help()) real_time.keys.push_back({key.keys, key.meaning});
    RealTimeFlight flight(real_time, panel, variables, source);
    window::SdlEventPump events;
    window::WindowFrontEnd window(
        events, flight.title(), flight.width(), flight.height(),
        {.display = options.display, .settings = options.remember_window ? window::settings_file() : std::nullopt});
    flight.attach(window);
    return flight.run(script, options.script ? options.script->name : std::string());
}

}  // namespace panel::app
