// What a flight is made from, whatever flies it (a scenario headless, the window, a server): a
// panel.cfg, a scenario, where the gauge modules are found and how Windows modules run, and the
// one load that turns them into a panel ready to fly with its script read against it.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "module_finder.h"
#include "panel.h"
#include "panel_config.h"
#include "scenario_script.h"
#include "variable_store.h"
#include "world.h"

namespace panel::app {

// A text with the name its errors give it: a file, or a built-in one.
struct NamedText {
    std::string name;
    std::string text;
    std::filesystem::path folder;  // where names in it are relative to
};

// Looks a script over before it flies; throws std::runtime_error to refuse it.
using ScriptCheck = std::function<void(const scenario::Script& script, const std::string& file)>;

struct FlightFiles {
    NamedText panel;                  // panel.cfg
    std::optional<NamedText> script;  // the scenario, if any
    std::vector<std::filesystem::path> gauge_folders;
    WindowsModules windows;  // how .gau modules are found and run
};

// The panel of `files` loaded, driven by its own store, and its script read against it. Throws
// std::runtime_error with one line ("FILE:LINE: what" or "FILE: what") for a panel, module or
// script that cannot be used, or one `check` refuses.
class LoadedFlight {
public:
    explicit LoadedFlight(const FlightFiles& files, const ScriptCheck& check = {});
    LoadedFlight(const LoadedFlight&) = delete;
    LoadedFlight& operator=(const LoadedFlight&) = delete;

    VariableStore variables;
    Panel panel;
    std::optional<scenario::Script> script;
    std::string script_name;  // for its messages; empty without a script
};

// The built-in demo: its panel and its scenario.
NamedText demo_panel();
NamedText demo_script();
// Where a script that sets up no world of its own flies: the demo's, north out of Seattle.
sim::FlightSetup default_setup();

// The pieces of the load, each throwing std::runtime_error with one line naming the file.
PanelConfig read_panel(const NamedText& panel);
scenario::Script read_script(const NamedText& script, const Panel& panel);

}  // namespace panel::app
