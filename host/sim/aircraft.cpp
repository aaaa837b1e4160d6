#include "aircraft.h"

#include <cmath>
#include <numbers>

#include "checked_values.h"
#include "simulator_units.h"

namespace panel::sim {
namespace {

using units::knots_to_metres_per_second;
using units::radians;

// Moves `value` towards `target` by at most `step`, landing on it exactly.
double approach(double value, double target, double step) {
    const double difference = target - value;
    return std::abs(difference) <= step ? target : value + std::copysign(step, difference);
}

}  // namespace

GroundVector ground_vector(double heading_deg, double airspeed_kt, Wind wind) {
    const double heading = radians(heading_deg);
    const double wind_from = radians(wind.from_deg);
    // The wind blows from `from_deg`, so it pushes the other way.
    const double north = airspeed_kt * std::cos(heading) - wind.speed_kt * std::cos(wind_from);
    const double east = airspeed_kt * std::sin(heading) - wind.speed_kt * std::sin(wind_from);
    const double speed = std::hypot(north, east);
    if (speed < 1e-9) return {normalized_degrees(heading_deg), 0.0};  // hovering: no track of its own
    return {normalized_degrees(std::atan2(east, north) * 180.0 / std::numbers::pi), speed};
}

Aircraft::Aircraft(const FlightSetup& setup)
    : position_(checked(setup.start, "flight setup: start")),
      altitude_ft_(checked(setup.altitude_ft, lowest_altitude_ft, highest_altitude_ft, "flight setup: altitude (ft)")),
      heading_deg_(normalized_degrees(checked(setup.heading_deg, -360.0, 360.0, "flight setup: heading (deg)"))),
      airspeed_kt_(checked(setup.airspeed_kt, 0.0, fastest_kt, "flight setup: airspeed (kt)")),
      vertical_speed_fpm_(
          checked(setup.vertical_speed_fpm, -steepest_fpm, steepest_fpm, "flight setup: vertical speed (fpm)")) {}

void Aircraft::fly_heading(double deg) {
    target_heading_deg_ = normalized_degrees(checked(deg, -360.0, 360.0, "heading (deg)"));
}

void Aircraft::fly_altitude(double ft) {
    target_altitude_ft_ = checked(ft, lowest_altitude_ft, highest_altitude_ft, "altitude (ft)");
}

void Aircraft::fly_vertical_speed(double fpm) {
    climb_rate_fpm_ = checked(fpm, 1.0, steepest_fpm, "vertical speed (fpm)");
}

void Aircraft::fly_speed(double kt) {
    target_speed_kt_ = checked(kt, 0.0, fastest_kt, "airspeed (kt)");
}

void Aircraft::advance(double seconds, Wind wind) {
    steer(seconds);
    climb(seconds);
    accelerate(seconds);
    const GroundVector over_ground = ground_vector(heading_deg_, airspeed_kt_, wind);
    position_ =
        destination(position_, over_ground.track_deg, over_ground.speed_kt * knots_to_metres_per_second * seconds);
}

void Aircraft::steer(double seconds) {
    if (!target_heading_deg_) return;
    // The turn still to go, positive to the right, within -180 to 180; a reversal turns right.
    double turn = std::remainder(*target_heading_deg_ - heading_deg_, 360.0);
    if (turn == -180.0) turn = 180.0;
    const double step = turn_rate_deg_s * seconds;
    heading_deg_ =
        std::abs(turn) <= step ? *target_heading_deg_ : normalized_degrees(heading_deg_ + std::copysign(step, turn));
}

void Aircraft::climb(double seconds) {
    if (!target_altitude_ft_) {
        altitude_ft_ += vertical_speed_fpm_ / 60.0 * seconds;
        return;
    }
    const double remaining = *target_altitude_ft_ - altitude_ft_;
    altitude_ft_ = approach(altitude_ft_, *target_altitude_ft_, climb_rate_fpm_ / 60.0 * seconds);
    vertical_speed_fpm_ = altitude_ft_ == *target_altitude_ft_ ? 0.0 : std::copysign(climb_rate_fpm_, remaining);
}

void Aircraft::accelerate(double seconds) {
    if (target_speed_kt_) airspeed_kt_ = approach(airspeed_kt_, *target_speed_kt_, acceleration_kt_s * seconds);
}

}  // namespace panel::sim
