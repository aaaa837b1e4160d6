// The checks every part of the simulated world makes of the values it is given: a number
// within its range, a position on the globe, an angle brought to 0 up to 360. A value out of
// range is a std::invalid_argument naming it, taken for a mistake rather than flown.
#pragma once

#include <string>
#include <string_view>

#include "geo.h"

namespace panel::sim {

// Limits beyond which a value is taken for a mistake rather than flown.
inline constexpr double lowest_altitude_ft = -1500.0;
inline constexpr double highest_altitude_ft = 60000.0;
inline constexpr double fastest_kt = 1000.0;
inline constexpr double steepest_fpm = 20000.0;
inline constexpr double strongest_wind_kt = 500.0;

// 0 up to (not including) 360.
double normalized_degrees(double degrees);
// "%g".
std::string number_text(double value);
// `value` itself, or std::invalid_argument naming it when it is not a number within low..high.
double checked(double value, double low, double high, std::string_view what);
GeoPoint checked(GeoPoint point, std::string_view what);
int whole(double value, int low, int high, std::string_view what);

}  // namespace panel::sim
