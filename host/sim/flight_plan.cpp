#include "flight_plan.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "checked_values.h"

namespace panel::sim {

FlightPlan::FlightPlan(std::vector<Waypoint> waypoints, size_t active, GeoPoint start)
    : waypoints_(std::move(waypoints)), active_(active) {
    if (waypoints_.empty()) throw std::invalid_argument("flight setup: the flight plan has no waypoint");
    if (active_ >= waypoints_.size()) {
        throw std::invalid_argument("flight setup: active waypoint " + std::to_string(active_) +
                                    " is past the last of the plan's " + std::to_string(waypoints_.size()));
    }
    for (const Waypoint& waypoint : waypoints_) checked(waypoint.position, "flight setup: waypoint " + waypoint.ident);
    leg_origin_ = active_ == 0 ? start : waypoints_[active_ - 1].position;
}

void FlightPlan::sequence(GeoPoint here) {
    if (active_ + 1 >= waypoints_.size()) return;
    const GeoPoint to = active().position;
    const bool arrived = distance_m(here, to) <= arrival_nm * metres_per_nm;
    const bool passed = along_track_m(leg_origin_, to, here) > distance_m(leg_origin_, to);
    if (arrived || passed) {
        leg_origin_ = to;
        ++active_;
        direct_ = false;
    }
}

}  // namespace panel::sim
