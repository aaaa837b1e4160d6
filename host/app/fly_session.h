// `panelhost fly`, `live` and `serve`: the panel flown in real time with the SDL window, the
// browser server or both attached as its front ends (see real_time_flight.h for what the flight does), the window's
// place remembered between runs.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "flight_files.h"
#include "flight_run.h"
#include "flight_source.h"
#include "web_server.h"

namespace panel::app {

struct FlyOptions : FlightFiles {
    std::filesystem::path screenshots = "out";  // where F12 saves its pictures
    double rate = 18.0;                         // panel updates per second of real time
    std::optional<int> display;
    bool night = false;
    bool mute = false;
    std::optional<std::filesystem::path> sounds;  // the folder cue paths are relative to
    bool remember_window = true;                  // read and write the window settings file
    bool stacked = false;                         // one window for all the panel.cfg's windows
    // The bindings of a cockpit's knobs and buttons (--controls); without it the default file,
    // when there is one.
    std::optional<std::filesystem::path> controls;
    bool window = true;
    std::optional<server::ServerSetup> serve;  // the panel served to browsers too
    std::function<bool()> stop_requested;      // asked every frame: ends the flight (Ctrl-C)
};

// Returns the exit status: 0, or 1 when the scenario's expectations were not all met. Throws
// std::runtime_error with one line for a panel, module, script, bindings file or window that
// cannot be used.
int fly_in_window(const FlyOptions& options);

// The same with another source of variables, which must outlive the call. Without the simulated
// world the keys that fly the aircraft only say so.
int fly_in_window(const FlyOptions& options, FlightSource& source, const ScriptCheck& check = {});

// For a flight without a window: the knobs of the bindings file (`controls`, else the default
// one) read and worked between updates, the devices' comings and goings on standard error.
// Nothing when there are no bindings. Throws std::runtime_error with one line, here for a file
// that cannot be read or parsed, and when the flight starts for a control its panel lacks.
std::function<std::function<void()>(Panel& panel, Flight& flight)> knobs_between_updates(
    const std::optional<std::filesystem::path>& controls);

}  // namespace panel::app
