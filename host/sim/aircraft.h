// The aircraft and its autopilot, and its track and speed over the ground in a wind.
#pragma once

#include <optional>

#include "flight_setup.h"
#include "geo.h"

namespace panel::sim {

// Track and speed over the ground, from the air vector (heading, true airspeed) and the wind.
struct GroundVector {
    double track_deg;
    double speed_kt;
};
GroundVector ground_vector(double heading_deg, double airspeed_kt, Wind wind);

// The aircraft and its autopilot. Each target is approached at a fixed rate and then held.
class Aircraft {
public:
    static constexpr double turn_rate_deg_s = 3.0;
    static constexpr double acceleration_kt_s = 1.5;
    static constexpr double default_climb_rate_fpm = 700.0;

    explicit Aircraft(const FlightSetup& setup);

    // Each throws std::invalid_argument for a value that is not a number or out of range.
    void fly_heading(double deg);         // turns the short way round
    void fly_altitude(double ft);         // at the climb rate, levelling off exactly
    void fly_vertical_speed(double fpm);  // the climb rate for altitude changes (its size)
    void fly_speed(double kt);

    // One step of `seconds`: the autopilot, then the move along the ground vector.
    void advance(double seconds, Wind wind);

    GeoPoint position() const { return position_; }
    double altitude_ft() const { return altitude_ft_; }
    double heading_deg() const { return heading_deg_; }
    double airspeed_kt() const { return airspeed_kt_; }
    double vertical_speed_fpm() const { return vertical_speed_fpm_; }

private:
    void steer(double seconds);
    void climb(double seconds);
    void accelerate(double seconds);

    GeoPoint position_;
    double altitude_ft_;
    double heading_deg_;
    double airspeed_kt_;
    double vertical_speed_fpm_;
    double climb_rate_fpm_ = default_climb_rate_fpm;
    std::optional<double> target_heading_deg_;
    std::optional<double> target_altitude_ft_;
    std::optional<double> target_speed_kt_;
};

}  // namespace panel::sim
