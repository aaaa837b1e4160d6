// A knob's ring is turned by clicking its halves: a notch is one click on the right-hand
// (clockwise) or left-hand area. A ring is a pair of areas: one and, beside it, the one with the
// other hand's cursor whose top and bottom edges match it best.
#pragma once

#include <optional>
#include <vector>

#include "gauge_instance.h"

namespace panel::controls {

// The half of the ring area `under` belongs to that a notch clicks: the right-hand area for a
// notch clockwise, the left-hand one otherwise. Nothing for a push area, or where no pair can be
// made.
std::optional<size_t> ring_half(const std::vector<MouseAreaRecord>& areas, size_t under, bool clockwise);

}  // namespace panel::controls
