#include "panel.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

#include "bridged_gauge.h"
#include "face_names.h"
#include "i386_programs.h"
#include "in_process_gauge.h"
#include "wine_prefix.h"

namespace panel::app {
namespace {

// A Windows module runs in a bridge process under wine: each one its own process, so a module
// placed twice needs no private copy.
std::unique_ptr<GaugeInstance> bridged(const std::filesystem::path& file, const WindowsModules& windows) {
    std::error_code error;
    if (windows.bridge.empty() || !std::filesystem::is_regular_file(windows.bridge, error)) {
        throw std::runtime_error(file.string() + ": a Windows module needs the bridge program" +
                                 (windows.bridge.empty() ? std::string() : " " + windows.bridge.string()) +
                                 ", which is not built (tools/build-windows.sh builds it; --windows DIR names "
                                 "the build)");
    }
    // Wine's own words on a kernel without 32-bit programs are "Exec format error".
    const bridge::I386Probe probe = bridge::machine_i386_probe();
    const bridge::I386Programs programs = bridge::probe_i386_programs(probe);
    if (programs == bridge::I386Programs::refused || programs == bridge::I386Programs::no_loader) {
        throw std::runtime_error(bridge::i386_refusal(programs, probe));
    }
    const std::filesystem::path prefix = bridge::wine_prefix_folder(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
    bridge::ensure_wine_prefix(prefix, stderr);
    bridge::BridgeCommand command;
    command.argv = bridge::wine_bridge_command(windows.bridge, file);
    command.environment = bridge::wine_environment(prefix);
    return std::make_unique<bridge::BridgedGauge>(file, command);
}

}  // namespace

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
    : config_(config), config_file_(config_file) {
    std::set<std::filesystem::path> loaded;
    for (size_t window = 0; window < config.windows.size(); ++window) {
        for (const PanelGauge& line : config.windows[window].gauges) {
            const std::string where = config_file.string() + ":" + std::to_string(line.line) + ": ";
            auto placed = std::make_unique<PlacedGauge>();
            try {
                placed->file = finder.find(line.module);
                if (ModuleFinder::is_windows_module(placed->file)) {
                    placed->gauge = bridged(placed->file, finder.windows());
                } else {
                    const bool again = !loaded.insert(std::filesystem::weakly_canonical(placed->file)).second;
                    placed->gauge = std::make_unique<InProcessGauge>(
                        placed->file, again ? ModuleInstance::separate : ModuleInstance::only);
                }
            } catch (const std::exception& error) {
                throw std::runtime_error(where + error.what());
            }
            placed->name = placed->gauge->records().name;
            if (placed->name != line.gauge) {
                throw std::runtime_error(where + "module " + line.module + " holds gauge " + placed->name + ", not " +
                                         line.gauge);
            }
            placed->module = line.module;
            const controls::FaceNames* names = controls::face_names(placed->name);
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
    // Gauges in bridge processes all begin first and work side by side; every gauge reads the
    // store as it stands at the frame's start, since observers only carry events to the world.
    for (auto& placed : gauges_) placed->driver->start_frame();
    for (auto& placed : gauges_) placed->driver->run_frame();
}

std::optional<size_t> Panel::find(std::string_view name) const {
    for (size_t i = 0; i < gauges_.size(); ++i) {
        if (gauges_[i]->alias == name || gauges_[i]->name == name) return i;
    }
    return std::nullopt;
}

}  // namespace panel::app
