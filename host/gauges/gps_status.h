// The navigator's status code as it reads it: a direct-to flown on a status that flies a leg
// from waypoint to waypoint sets the direct-to bit, until the next waypoint is reached.
#pragma once

#include <cstdint>

#include "simulator_units.h"

namespace panel {

// 7, and the codes that add other bits to it, fly a leg; 64 and the like have no usable position.
constexpr bool flies_a_leg(int32_t status) {
    return status == units::gps_status_leg || status == 71 || status == 87 || status == 95;
}

constexpr int32_t gps_status_read(int32_t status, bool direct) {
    return flies_a_leg(status) && direct ? status | units::gps_status_direct_bit : status;
}

}  // namespace panel
