// One scripted flight from start to finish, as `panelhost demo`, `run`, `shot` and `live
// --headless` fly it: the panel loaded, the script read against it, the flight flown with its
// trace, snapshots and time-lapse written into a staging folder that becomes the output only
// when the flight is over, and a summary.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "flight_files.h"
#include "flight_source.h"

namespace panel::app {

class Flight;
class Panel;

// The files of the flight (a flight without a script flies only what the options below ask),
// and how it is flown and written.
struct FlightOptions : FlightFiles {
    // Where the snapshots, flight.gif and trace.txt go; none for a flight that only ends in
    // one picture.
    std::optional<std::filesystem::path> out;
    // `shot`: the panel as the flight leaves it, drawn to this PNG.
    std::optional<std::filesystem::path> final_picture;
    bool night = false;     // the final picture at night
    bool progress = false;  // a progress bar on standard error
    size_t gif_max_bytes = 5 * 1024 * 1024;
    // After the script: fly on until the flight has lasted this many simulated seconds from its
    // start, or, without it and with `until_source_ends`, until the source has nothing more (a
    // recording played through).
    std::optional<double> duration;
    bool until_source_ends = false;
    // Without a duration: fly on until `stop_requested` says so.
    bool until_stopped = false;
    // Updates kept to the wall clock (18 a second), for a source that runs in real time.
    bool real_time = false;
    // A picture of the panel as the flight ends, NAME.png in the output folder.
    std::optional<std::string> end_snapshot;
    // Asked before every update; once true the flight ends there, its outputs written as far as
    // it went (Ctrl-C).
    std::function<bool()> stop_requested;
    // Looks the script over before it flies.
    ScriptCheck check_script;
    // Called once the flight is made, before it flies; what it returns is called after every
    // update (a cockpit's knobs read and worked, in `live --headless`).
    std::function<std::function<void()>(Panel& panel, Flight& flight)> between_updates;
};

struct FlightResult {
    double simulated_seconds = 0.0;
    uint64_t frames = 0;
    std::vector<std::string> snapshots;
    size_t expectations_met = 0;
    std::vector<std::string> failures;  // each "FILE:LINE: expected ..."
    std::vector<std::string> unknown_events;
    std::vector<std::filesystem::path> written;
    bool stopped = false;  // ended by `stop_requested`; expectations still open were not judged
};

// Throws std::runtime_error with one line ("FILE:LINE: what" or "FILE: what") for anything
// that stops the flight before it ends: a broken panel, module, bitmap or script, an output
// folder that cannot be written. Failed expectations do not throw; they are in the result.
FlightResult fly_scripted(const FlightOptions& options);
// The same with another source of variables than the demo's world; `source` outlives the call.
FlightResult fly_scripted(const FlightOptions& options, FlightSource& source);

}  // namespace panel::app
