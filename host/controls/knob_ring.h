// The mouse wheel over a knob turns it, as on other panel programs: a notch is one click on
// the right-hand (clockwise) or left-hand area of the ring under the pointer. A ring is a pair
// of areas: the one under the pointer and, beside it, the one with the other hand's cursor whose
// top and bottom edges match it best.
#pragma once

#include <optional>
#include <vector>

#include "gauge_instance.h"

namespace panel::app {

// The area a wheel notch clicks when the pointer is over area `under`: the pair's right-hand
// area for a notch up, its left-hand one for a notch down. Nothing over a push area, or where
// no pair can be made.
std::optional<size_t> wheel_target(const std::vector<MouseAreaRecord>& areas, size_t under, bool up);

}  // namespace panel::app
