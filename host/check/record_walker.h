// Reads a gauge module's records as the simulator's host would, from Linkage down through the
// gauge header, the element tree and the mouse list, and collects every fault it meets instead
// of stopping at the first. A function of the module's memory alone: no state outside the
// call, every read bounded, every list walked with a limit, so any memory at all may be given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "finding.h"
#include "module_memory.h"

namespace panel::check {

// Far more than any face holds; a longer walk has met garbage.
inline constexpr size_t max_walked_elements = 10000;
inline constexpr size_t max_walked_mouse_records = 10000;
inline constexpr size_t max_gauge_name_length = 256;

// What the bitmap and geometry checks need of each element and clickable area.
struct WalkedElement {
    size_t number;  // 1-based, in draw order
    uint32_t kind;
    uint32_t resource_id;
    int32_t x, y;
    uint32_t frame_count;  // icons with a sane count; 1 for other kinds
};

struct WalkedArea {
    size_t number;  // 1-based among the list's records other than group starts and ends
    int32_t x, y, width, height;
};

struct RecordWalk {
    // False when the module has no usable Linkage: `findings` then holds the one error.
    bool readable = true;
    Findings findings;
    std::string gauge_name;
    std::vector<WalkedElement> elements;  // those whose records could be read
    std::vector<WalkedArea> areas;        // clickable areas of positive size
};

RecordWalk walk_records(const ModuleMemory& memory);

}  // namespace panel::check
