#include "panel.h"

#include <set>
#include <string>
#include <stdexcept>

#include "face_names.h"
#include "in_process_gauge.h"

namespace panel::app {

// Hands one gauge's phases on to the panel's observers with the gauge's index.
class Panel::Relay : public PhaseObserver {
public:
    Relay(Panel& panel, size_t gauge) : panel_(panel), gauge_(gauge) {}
    void phase_done(Phase phase, const EventLog& log) override {
        for (PanelObserver* observer : panel_.observers_) observer->phase_done(gauge_, phase, log);
    }

private:
    Panel& panel_;
    size_t gauge_;
};

Panel::Panel(const PanelConfig& config, const std::filesystem::path& config_file, const ModuleFinder& finder,
             VariableStore& variables)
    : config_(config) {
    std::set<std::filesystem::path> loaded;
    for (size_t window = 0; window < config.windows.size(); ++window) {
        for (const PanelGauge& line : config.windows[window].gauges) {
            const std::string where = config_file.string() + ":" + std::to_string(line.line) + ": ";
            auto placed = std::make_unique<PlacedGauge>();
            try {
                placed->file = finder.find(line.module);
                const bool again = !loaded.insert(std::filesystem::weakly_canonical(placed->file)).second;
                placed->gauge = std::make_unique<InProcessGauge>(
                    placed->file, again ? ModuleInstance::separate : ModuleInstance::only);
            } catch (const std::exception& error) {
                throw std::runtime_error(where + error.what());
            }
            placed->name = placed->gauge->records().name;
            if (placed->name != line.gauge) {
                throw std::runtime_error(where + "module " + line.module + " holds gauge " + placed->name + ", not " +
                                         line.gauge);
            }
            placed->module = line.module;
            const scenario::FaceNames* names = scenario::face_names(placed->name);
            placed->alias = names ? std::string(names->alias) : placed->name;
            placed->window = window;
            placed->x = line.x;
            placed->y = line.y;
            placed->width = line.width;
            placed->height = line.height;
            placed->driver = std::make_unique<FrameDriver>(*placed->gauge, variables);
            relays_.push_back(std::make_unique<Relay>(*this, gauges_.size()));
            placed->driver->add_observer(*relays_.back());
            gauges_.push_back(std::move(placed));
        }
    }
    for (auto& placed : gauges_) placed->driver->open();
}

Panel::~Panel() {
    observers_.clear();  // they may be gone already; closing is between the panel and its gauges
    for (auto& placed : gauges_) {
        try {
            placed->driver->close();
        } catch (...) {
            // Closing is the last word to a gauge that is going away; nobody is left to tell.
        }
    }
}

void Panel::run_frame() {
    for (auto& placed : gauges_) placed->driver->run_frame();
}

std::optional<size_t> Panel::find(std::string_view name) const {
    for (size_t i = 0; i < gauges_.size(); ++i) {
        if (gauges_[i]->alias == name || gauges_[i]->name == name) return i;
    }
    return std::nullopt;
}

}  // namespace panel::app
