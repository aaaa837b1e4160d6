// Hit-testing a gauge's mouse areas and calling the handler of the area clicked.
#pragma once

#include "event_log.h"
#include "gauge_view.h"
#include "variable_store.h"

namespace panel {

// The point passed to a handler, in gauge pixels.
struct ClickPoint {
    int32_t x;
    int32_t y;
};

class MouseDispatcher {
public:
    MouseDispatcher(const GaugeView& view, const VariableStore& variables, EventLog& log);

    // The area that holds (x, y), right and bottom edges excluded, or nullptr.
    MouseRect* area_at(int32_t x, int32_t y) const;

    // A left single click at (x, y): calls that area's handler once. Returns the area, or
    // nullptr when the click fell on no area.
    MouseRect* click(int32_t x, int32_t y);

private:
    const GaugeView& view_;
    const VariableStore& variables_;
    EventLog& log_;
};

}  // namespace panel
