// The units the gauges read their variables in (see the catalogue), as numbers: every source of
// variables, the simulated world or a live simulator, converts with these and nothing else.
#pragma once

#include <cstdint>
#include <numbers>

namespace panel::units {

// The panel's update rate: the tick counts these, and the clock's seconds are whole updates.
inline constexpr int updates_per_second = 18;

inline constexpr double metres_per_nm = 1852.0;
inline constexpr double metres_per_foot = 0.3048;
inline constexpr double knots_to_metres_per_second = metres_per_nm / 3600.0;

// The gauges' own position scales: units per degree of latitude and of longitude (the latter
// close to, but not, 2^32 / 360).
inline constexpr double latitude_units_per_degree = 111130.555557;
inline constexpr double longitude_units_per_degree = 11930430.0;
// The vertical speed variable counts 1/256 metre per second.
inline constexpr double vertical_speed_units_per_fpm = metres_per_foot / 60.0 * 256.0;
inline constexpr double vertical_speed_units_per_fps = metres_per_foot * 256.0;

// A DME reception figure above the gauge's threshold of 255; 0 reads as no signal.
inline constexpr double dme_reception_in_range = 400.0;
inline constexpr double dme_reception_none = 0.0;

// The navigator's status codes: 7 flies a leg from waypoint to waypoint, a direct-to sets bit
// 0x20 (39) until the next waypoint is reached, 64 means no usable position.
inline constexpr int32_t gps_status_leg = 7;
inline constexpr int32_t gps_status_direct_bit = 0x20;
inline constexpr int32_t gps_status_no_position = 64;

constexpr double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// The DME band in whole hundredths of a megahertz (11345 for 113.45), so that stepping a
// frequency never drifts, and its channel step.
inline constexpr int lowest_dme_frequency = 10800;
inline constexpr int highest_dme_frequency = 11795;
inline constexpr int dme_channel_step = 5;

// The radio's encoding: the four decimal digits after the leading 1 as BCD nibbles
// (113.45 MHz, 11345, gives 0x1345).
constexpr int32_t bcd_frequency(int hundredths) {
    const int digits = hundredths - 10000;  // every DME frequency starts with a 1
    return static_cast<int32_t>((digits / 1000 % 10) << 12 | (digits / 100 % 10) << 8 | (digits / 10 % 10) << 4 |
                                (digits % 10));
}

}  // namespace panel::units
