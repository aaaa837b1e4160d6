// One gauge driven by this host, with everything around it: the simulator variables it
// reads, the frame driver, and a history of what it asked for since the owner last cleared
// it. Tests and tools start from here; it reaches the gauge only through GaugeInstance.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "event_log.h"
#include "frame_driver.h"
#include "gauge_instance.h"
#include "module_library.h"
#include "simulator_catalogue.h"
#include "variable_store.h"

namespace panel {

class GaugeSession : private PhaseObserver {
public:
    // A native module loaded in this process, opened (module_init called).
    explicit GaugeSession(const std::filesystem::path& module_path, const Catalogue& catalogue = simulator_catalogue(),
                          ModuleInstance instance = ModuleInstance::only);
    // Any gauge instance, opened.
    explicit GaugeSession(std::unique_ptr<GaugeInstance> gauge, const Catalogue& catalogue = simulator_catalogue());
    // Closes the gauge (module_deinit).
    ~GaugeSession() override;
    GaugeSession(const GaugeSession&) = delete;
    GaugeSession& operator=(const GaugeSession&) = delete;

    VariableStore& variables() { return variables_; }
    // Everything the gauge asked for since the last clear(), phase after phase (bounded).
    EventLog& log() { return history_; }
    GaugeInstance& gauge() const { return *gauge_; }
    const GaugeRecords& records() const { return gauge_->records(); }
    FrameDriver& driver() { return driver_; }

    void run_frame() { driver_.run_frame(); }
    // A left click at (x, y) in gauge pixels; the area hit, or nullptr.
    const MouseAreaRecord* click(int32_t x, int32_t y);

    // Elements by their number in the draw order, counting the background as 1, as the face
    // tables number them. Each throws std::out_of_range for a number the gauge lacks.
    size_t element_count() const { return records().elements.size(); }
    const ElementRecord& record(size_t number) const;
    const ElementState& state(size_t number) const;
    const char* text(size_t number) const { return state(number).text.data(); }
    double result(size_t number) const { return state(number).value; }
    double y_result(size_t number) const { return state(number).y_value; }
    bool hidden(size_t number) const { return state(number).hidden(); }
    bool lit(size_t number) const { return state(number).lit(); }

private:
    void phase_done(Phase phase, const EventLog& log) override;

    VariableStore variables_;
    EventLog history_{65536};
    std::unique_ptr<GaugeInstance> gauge_;
    FrameDriver driver_;
};

}  // namespace panel
