#include "knob_ring.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace panel::controls {
namespace {

int64_t vertical_overlap(const MouseAreaRecord& a, const MouseAreaRecord& b) {
    const int64_t top = std::max<int64_t>(a.y, b.y);
    const int64_t bottom = std::min<int64_t>(int64_t{a.y} + a.height, int64_t{b.y} + b.height);
    return bottom - top;
}

// How far apart the top and bottom edges of two areas lie: 0 for the two halves of one ring.
int64_t vertical_mismatch(const MouseAreaRecord& a, const MouseAreaRecord& b) {
    const int64_t a_bottom = int64_t{a.y} + a.height, b_bottom = int64_t{b.y} + b.height;
    return std::abs(int64_t{a.y} - b.y) + std::abs(a_bottom - b_bottom);
}

int64_t horizontal_gap(const MouseAreaRecord& a, const MouseAreaRecord& b) {
    const int64_t left = std::max<int64_t>(a.x, b.x);
    const int64_t right = std::min<int64_t>(int64_t{a.x} + a.width, int64_t{b.x} + b.width);
    return std::max<int64_t>(0, left - right);
}

}  // namespace

std::optional<size_t> ring_half(const std::vector<MouseAreaRecord>& areas, size_t under, bool clockwise) {
    if (under >= areas.size()) return std::nullopt;
    const MouseAreaRecord& here = areas[under];
    if (here.cursor != CURSOR_RIGHT && here.cursor != CURSOR_LEFT) return std::nullopt;
    const int32_t wanted = clockwise ? CURSOR_RIGHT : CURSOR_LEFT;
    if (here.cursor == wanted) return under;
    // The partner: the other hand's area whose height matches best, then the nearest.
    std::optional<size_t> best;
    for (size_t i = 0; i < areas.size(); ++i) {
        if (i == under || areas[i].cursor != wanted || vertical_overlap(here, areas[i]) <= 0) continue;
        if (!best) {
            best = i;
            continue;
        }
        const MouseAreaRecord& current = areas[*best];
        const auto key = [&](const MouseAreaRecord& area) {
            return std::pair{vertical_mismatch(here, area), horizontal_gap(here, area)};
        };
        if (key(areas[i]) < key(current)) best = i;
    }
    return best;
}

}  // namespace panel::controls
