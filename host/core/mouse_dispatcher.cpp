#include "mouse_dispatcher.h"

#include "service_table.h"

namespace panel {

MouseDispatcher::MouseDispatcher(const GaugeView& view, const VariableStore& variables, EventLog& log)
    : view_(view), variables_(variables), log_(log) {}

MouseRect* MouseDispatcher::area_at(int32_t x, int32_t y) const {
    for (MouseRect* area : view_.mouse_areas()) {
        // 64-bit sums: a huge width in a malformed record must not wrap.
        const int64_t right = int64_t{area->area_x} + area->area_width;
        const int64_t bottom = int64_t{area->area_y} + area->area_height;
        if (x >= area->area_x && x < right && y >= area->area_y && y < bottom) return area;
    }
    return nullptr;
}

MouseRect* MouseDispatcher::click(int32_t x, int32_t y) {
    MouseRect* area = area_at(x, y);
    if (area == nullptr || area->handler == nullptr) return area;
    if ((area->event_flags & MOUSE_LEFT_SINGLE) == 0) return area;  // the area takes other clicks
    ServiceScope scope({&variables_, &log_});
    ClickPoint point{x, y};
    area->handler(&point, MOUSE_LEFT_SINGLE);
    return area;
}

}  // namespace panel
