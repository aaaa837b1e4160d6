#include "mouse_dispatcher.h"

namespace panel {

std::optional<size_t> MouseDispatcher::area_at(int32_t x, int32_t y) const {
    for (size_t i = 0; i < records_.mouse_areas.size(); ++i) {
        const MouseAreaRecord& area = records_.mouse_areas[i];
        // 64-bit sums: a huge width in a malformed record must not wrap.
        const int64_t right = int64_t{area.x} + area.width;
        const int64_t bottom = int64_t{area.y} + area.height;
        if (x >= area.x && x < right && y >= area.y && y < bottom) return i;
    }
    return std::nullopt;
}

std::optional<int32_t> MouseDispatcher::cursor_at(int32_t x, int32_t y) const {
    if (auto index = area_at(x, y)) return records_.mouse_areas[*index].cursor;
    return std::nullopt;
}

bool MouseDispatcher::takes(size_t index, uint32_t event_class) const {
    if (index >= records_.mouse_areas.size()) return false;
    const MouseAreaRecord& area = records_.mouse_areas[index];
    return area.has_handler && (area.event_flags & event_class) != 0;
}

}  // namespace panel
