// What a simulated flight starts from: the aircraft's position and motion, the wind, the
// clock, the flight plan, the DME station and the radio, the avionics supply and the
// navigator's status. The World's parts check it as they are built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geo.h"

namespace panel::sim {

struct Waypoint {
    std::string ident;
    GeoPoint position;
};

struct DmeStation {
    std::string ident;
    double frequency_mhz = 108.0;  // 108.00 up to 117.95, on a 0.05 MHz step
    GeoPoint position;
    double elevation_ft = 0.0;
    double range_nm = 0.0;
};

struct UtcTime {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};

struct Wind {
    double from_deg = 0.0;
    double speed_kt = 0.0;
};

// Everything a flight starts from. The World's constructor checks it and throws
// std::invalid_argument naming the first value out of range.
struct FlightSetup {
    GeoPoint start;
    double altitude_ft = 0.0;
    double heading_deg = 0.0;
    double airspeed_kt = 0.0;
    double vertical_speed_fpm = 0.0;  // flown until an altitude target is given
    Wind wind;
    double baro_mb = 1013.0;
    UtcTime utc;
    double obs_deg = 0.0;
    std::vector<Waypoint> flight_plan;  // at least one
    size_t active_waypoint = 0;         // its leg runs from the one before, or from `start`
    DmeStation dme;
    double dme_tuned_mhz = 108.0;
    bool supply_on = true;
    // The navigator's status code: 7 flies a leg from waypoint to waypoint; a direct-to sets
    // its bit 0x20 (39) until the next waypoint is reached; 64 or 72 means no usable position.
    int32_t gps_status = 7;
    double ground_elevation_ft = 0.0;  // flat ground under the whole flight
};

}  // namespace panel::sim
