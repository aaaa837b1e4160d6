// One gauge module loaded and driven by this host: the module, its first gauge's records, the
// simulator variables it reads, the log of what it asked for, the frame driver and the mouse.
// The panel application, the tests and the tools all start from here.
#pragma once

#include <filesystem>
#include <string>

#include "event_log.h"
#include "frame_driver.h"
#include "gauge_view.h"
#include "loaded_module.h"
#include "mouse_dispatcher.h"
#include "variable_store.h"

namespace panel {

class GaugeSession {
public:
    explicit GaugeSession(const std::filesystem::path& module_path);

    VariableStore& variables() { return variables_; }
    EventLog& log() { return log_; }
    const GaugeView& view() const { return view_; }
    FrameDriver& driver() { return driver_; }
    const LoadedModule& module() const { return module_; }

    void run_frame() { driver_.run_frame(); }
    // A left click at (x, y) in gauge pixels; the area hit, or nullptr.
    MouseRect* click(int32_t x, int32_t y) { return mouse_.click(x, y); }

    // Elements by their number in the draw order, counting the background as 1, as the face
    // tables number them.
    size_t element_count() const { return view_.elements().size(); }
    ElementHeader& element(size_t number) const { return *view_.elements().at(number - 1); }
    const char* text(size_t number) const { return driver_.text(number - 1); }
    double result(size_t number) const { return driver_.result(number - 1); }
    double y_result(size_t number) const { return driver_.y_result(number - 1); }
    bool hidden(size_t number) const { return (element(number).flags & ELEMENT_HIDDEN) != 0; }
    bool lit(size_t number) const { return (element(number).flags & ELEMENT_LIT) != 0; }

private:
    LoadedModule module_;
    GaugeView view_;
    VariableStore variables_;
    EventLog log_;
    FrameDriver driver_;
    MouseDispatcher mouse_;
};

}  // namespace panel
