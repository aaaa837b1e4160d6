// The gauges of one panel, loaded from its panel.cfg and driven together: one store of
// simulator variables answers them all, a frame runs every gauge's update in panel order, and
// what each gauge asks of the host reaches the panel's observers with the gauge it came from.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame_driver.h"
#include "gauge_instance.h"
#include "module_finder.h"
#include "panel_config.h"
#include "variable_store.h"

namespace panel::app {

// What a gauge asked for in one phase, with the gauge's place in the panel.
class PanelObserver {
public:
    virtual ~PanelObserver() = default;
    virtual void phase_done(size_t gauge, Phase phase, const EventLog& log) = 0;
};

struct PlacedGauge {
    std::string name;            // the gauge's own name
    std::string alias;           // what scripts call it: gps, dme, or its own name
    std::string module;          // the module's name as panel.cfg gives it, for messages and traces
    std::filesystem::path file;  // the module file loaded
    size_t window = 0;           // index in the config's windows
    int x = 0, y = 0;            // in its window, as panel.cfg places it
    std::optional<int> width, height;
    std::unique_ptr<GaugeInstance> gauge;
    std::unique_ptr<FrameDriver> driver;
};

class Panel {
public:
    // Loads every gauge the config places, opened; a module placed twice is loaded as a
    // separate instance, so that each copy is an instrument of its own. A Windows module (.gau)
    // runs in a bridge process of its own under wine. Throws
    // std::runtime_error ("FILE:LINE: what") naming the panel line of a gauge it cannot load.
    Panel(const PanelConfig& config, const std::filesystem::path& config_file, const ModuleFinder& finder,
          VariableStore& variables);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    // Observers are told of every phase until removed; the panel's own closing reaches none.
    void add_observer(PanelObserver& observer) { observers_.push_back(&observer); }
    void remove_observer(PanelObserver& observer) { std::erase(observers_, &observer); }

    // One update of every gauge, in panel order.
    void run_frame();

    size_t size() const { return gauges_.size(); }
    PlacedGauge& at(size_t index) { return *gauges_.at(index); }
    const PlacedGauge& at(size_t index) const { return *gauges_.at(index); }
    // A gauge by its alias or its own name.
    std::optional<size_t> find(std::string_view name) const;
    const PanelConfig& config() const { return config_; }
    // The panel.cfg it was read from, for messages.
    const std::filesystem::path& config_file() const { return config_file_; }

private:
    class Relay;

    PanelConfig config_;
    std::filesystem::path config_file_;
    std::vector<std::unique_ptr<PlacedGauge>> gauges_;
    std::vector<std::unique_ptr<Relay>> relays_;
    std::vector<PanelObserver*> observers_;
};

}  // namespace panel::app
