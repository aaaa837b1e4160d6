#include "flight_files.h"

#include <stdexcept>

#include "embedded_demo.h"

namespace panel::app {

LoadedFlight::LoadedFlight(const FlightFiles& files, const ScriptCheck& check)
    : panel(read_panel(files.panel), files.panel.name, ModuleFinder(files.gauge_folders, files.windows), variables) {
    if (!files.script) return;
    script = read_script(*files.script, panel);
    script_name = files.script->name;
    if (check) check(*script, script_name);
}

sim::FlightSetup default_setup() {
    sim::FlightSetup setup;
    setup.start = {47.52, -122.23};
    setup.altitude_ft = 3000.0;
    setup.heading_deg = 340.0;
    setup.airspeed_kt = 120.0;
    setup.utc = {14, 5, 0};
    setup.flight_plan = {{"SEA", {47.4354, -122.3096}}, {"PAE", {47.9063, -122.2816}}};
    setup.active_waypoint = 1;
    setup.dme = {"SEA", 116.80, {47.4354, -122.3096}, 0.0, 40.0};
    setup.dme_tuned_mhz = 116.80;
    return setup;
}

PanelConfig read_panel(const NamedText& panel) {
    try {
        return parse_panel_config(panel.text, panel.name);
    } catch (const PanelConfigError& error) {
        throw std::runtime_error(error.what());
    }
}

scenario::Script read_script(const NamedText& script, const Panel& panel) {
    std::vector<scenario::GaugeInfo> gauges;
    for (size_t i = 0; i < panel.size(); ++i) gauges.push_back(scenario::gauge_info(panel.at(i).gauge->records()));
    try {
        return scenario::parse_script(script.text, scenario::ScriptContext::panel(std::move(gauges)));
    } catch (const scenario::ScriptError& error) {
        throw std::runtime_error(error.located(script.name));
    }
}

NamedText demo_panel() {
    return {"demo panel.cfg", std::string(embedded_demo_panel), {}};
}

NamedText demo_script() {
    return {"demo.scenario", std::string(embedded_demo_scenario), {}};
}

}  // namespace panel::app
