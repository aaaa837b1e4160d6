// `panelhost live`: the panel driven by a running FlightGear (or a recording of one), its key
// events written back; in the window as `fly` shows it, or headless as `run` flies.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "live_source.h"
#include "scenario_script.h"

namespace panel::app {

struct LiveOptions {
    std::string listen = "127.0.0.1:5500";
    std::filesystem::path protocol;    // FlightGear's protocol file
    std::optional<std::string> props;  // the property server, HOST:PORT
    std::optional<std::filesystem::path> replay;
    double replay_rate = 1.0;
};

// The source the options describe. Throws std::runtime_error with one line for a protocol file
// or recording that cannot be read, an address that cannot be listened on.
std::unique_ptr<live::LiveSource> make_live_source(const LiveOptions& options);

// A live flight's script may click, wait, expect and take snapshots, but FlightGear flies the
// aircraft: its `fly` and `world` steps are refused before anything runs, as "FILE:LINE: what".
void refuse_world_steps(const scenario::Script& script, const std::string& file);

}  // namespace panel::app
