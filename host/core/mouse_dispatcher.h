// Hit-testing a gauge's clickable areas: which area and which cursor lie under a point, and
// whether an area takes a click of a given class. Works on plain records, so it serves any
// kind of gauge instance.
#pragma once

#include <cstdint>
#include <optional>

#include "gauge_instance.h"

namespace panel {

// Click classes, as an area's event flags name them.
inline constexpr uint32_t CLICK_LEFT_SINGLE = MOUSE_LEFT_SINGLE;

class MouseDispatcher {
public:
    explicit MouseDispatcher(const GaugeRecords& records) : records_(records) {}

    // The index (in records.mouse_areas) of the area that holds (x, y), right and bottom edges
    // excluded; the first in list order where areas overlap. Nothing outside every area.
    std::optional<size_t> area_at(int32_t x, int32_t y) const;
    // The cursor code of the area under (x, y), for hover; nothing outside every area.
    std::optional<int32_t> cursor_at(int32_t x, int32_t y) const;
    // Whether the area takes clicks of `event_class` and has a handler to call.
    bool takes(size_t index, uint32_t event_class) const;

private:
    const GaugeRecords& records_;
};

}  // namespace panel
