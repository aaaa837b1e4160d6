// Drives one gauge through panel updates as the simulator's panel system does: pre-update
// (service 6), every element's callback along the draw order with its own variables refreshed
// and a 32-byte text buffer per string element, then pre-draw (service 10).
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "event_log.h"
#include "gauge_view.h"
#include "service_table.h"
#include "variable_store.h"

namespace panel {

class FrameDriver {
public:
    FrameDriver(const GaugeView& view, const VariableStore& variables, EventLog& log);

    // One whole update: pre-update, the element pass, pre-draw.
    void run_frame();
    void call_gauge(int32_t service_id);
    void update_elements();

    // What the last element pass left, by draw-order index (0 is the background).
    // The frame (icons), the value (strings) or the x position value (sliders).
    double result(size_t index) const { return results_[index].value; }
    // A slider's y position value; 0 for other kinds.
    double y_result(size_t index) const { return results_[index].y_value; }
    // A string element's text; empty for other kinds.
    const char* text(size_t index) const;

    ServiceContext context() const { return {&variables_, &log_}; }
    const GaugeView& view() const { return view_; }

private:
    struct Result {
        double value = 0.0;
        double y_value = 0.0;
    };
    using TextBuffer = std::array<char, GAUGE_TEXT_CAPACITY>;

    void update(size_t index);

    const GaugeView& view_;
    const VariableStore& variables_;
    EventLog& log_;
    std::vector<Result> results_;
    // One buffer per element, each its own allocation so that a write past its end is caught
    // by the address sanitizer; null for elements without text.
    std::vector<std::unique_ptr<TextBuffer>> texts_;
};

}  // namespace panel
