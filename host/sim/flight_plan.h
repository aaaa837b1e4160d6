// The flight plan: its waypoints, the active one and the leg that leads to it.
#pragma once

#include <cstddef>
#include <vector>

#include "flight_setup.h"
#include "geo.h"

namespace panel::sim {

class FlightPlan {
public:
    static constexpr double arrival_nm = 0.5;

    FlightPlan(std::vector<Waypoint> waypoints, size_t active, GeoPoint start);

    const Waypoint& active() const { return waypoints_[active_]; }
    size_t active_index() const { return active_; }
    GeoPoint leg_origin() const { return leg_origin_; }

    // A new leg from `here` straight to the active waypoint.
    void direct_to(GeoPoint here) {
        leg_origin_ = here;
        direct_ = true;
    }
    // Whether the leg flown is a direct-to, until the next waypoint becomes active.
    bool direct() const { return direct_; }
    // Moves on to the next waypoint once the aircraft at `here` is within arrival distance of
    // the active one or abeam it; the last one stays active.
    void sequence(GeoPoint here);

private:
    std::vector<Waypoint> waypoints_;
    size_t active_;
    GeoPoint leg_origin_;
    bool direct_ = false;
};

}  // namespace panel::sim
