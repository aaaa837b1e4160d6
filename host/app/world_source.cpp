#include "world_source.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace panel::app {
namespace {

using scenario::WorldKind;

const char* world_name(WorldKind kind) {
    switch (kind) {
        case WorldKind::position: return "position";
        case WorldKind::altitude: return "altitude";
        case WorldKind::heading: return "heading";
        case WorldKind::speed: return "speed";
        case WorldKind::wind: return "wind";
        case WorldKind::utc: return "utc";
        case WorldKind::baro: return "baro";
        case WorldKind::obs: return "obs";
        case WorldKind::waypoint: return "waypoint";
        case WorldKind::dme: return "dme";
        case WorldKind::tune: return "tune";
        case WorldKind::supply: return "supply";
        case WorldKind::gps_status: return "gps_status";
    }
    return "?";
}

}  // namespace

std::string degrees_minutes(double degrees, char positive, char negative) {
    const double magnitude = std::fabs(degrees);
    const int whole = static_cast<int>(magnitude);
    char text[32];
    std::snprintf(text, sizeof text, "%d\xC2\xB0%04.1f'%c", whole, (magnitude - whole) * 60.0,
                  degrees < 0 ? negative : positive);
    return text;
}

sim::World& WorldSource::world() {
    if (!world_) world_.emplace(setup_, catalogue_);
    return *world_;
}

void WorldSource::autopilot(scenario::FlyTarget target, double value) {
    switch (target) {
        case scenario::FlyTarget::heading: world().fly_heading(value); break;
        case scenario::FlyTarget::altitude: world().fly_altitude(value); break;
        case scenario::FlyTarget::speed: world().fly_speed(value); break;
        case scenario::FlyTarget::vertical_speed: world().fly_vertical_speed(value); break;
    }
}

void WorldSource::world_step(const scenario::WorldStep& step) {
    if (!world_) {
        set_up(step);
        return;
    }
    switch (step.kind) {
        case WorldKind::wind: world_->set_wind(step.value, step.knots); return;
        case WorldKind::supply: world_->set_supply(step.on); return;
        case WorldKind::gps_status: world_->set_gps_status(step.integer); return;
        default:
            throw std::invalid_argument(std::string("world ") + world_name(step.kind) +
                                        " sets up the flight: give it before the first update");
    }
}

void WorldSource::set_up(const scenario::WorldStep& step) {
    switch (step.kind) {
        case WorldKind::position: setup_.start = {step.latitude, step.longitude}; break;
        case WorldKind::altitude: setup_.altitude_ft = step.value; break;
        case WorldKind::heading: setup_.heading_deg = step.value; break;
        case WorldKind::speed: setup_.airspeed_kt = step.value; break;
        case WorldKind::wind: setup_.wind = {step.value, step.knots}; break;
        case WorldKind::utc: {
            const int seconds = static_cast<int>(step.value);
            setup_.utc = {seconds / 3600, seconds / 60 % 60, seconds % 60};
            break;
        }
        case WorldKind::baro: setup_.baro_mb = step.value; break;
        case WorldKind::obs: setup_.obs_deg = step.value; break;
        case WorldKind::waypoint:
            // The script's plan replaces the default one; its first waypoint is where the first
            // leg starts.
            if (!waypoints_given_) setup_.flight_plan.clear();
            waypoints_given_ = true;
            setup_.flight_plan.push_back({step.ident, {step.latitude, step.longitude}});
            setup_.active_waypoint = setup_.flight_plan.size() > 1 ? 1 : 0;
            break;
        case WorldKind::dme:
            setup_.dme = {step.ident,
                          step.value,
                          {step.latitude, step.longitude},
                          step.elevation_ft.value_or(0.0),
                          step.range_nm};
            break;
        case WorldKind::tune: setup_.dme_tuned_mhz = step.value; break;
        case WorldKind::supply: setup_.supply_on = step.on; break;
        case WorldKind::gps_status: setup_.gps_status = step.integer; break;
    }
}

std::string WorldSource::status() const {
    if (!world_) return "";
    const sim::World& now = *world_;
    const sim::UtcTime utc = now.utc();
    char line[256];
    std::snprintf(line, sizeof line, "%s %s  %.0f ft  hdg %03.0f  %.0f kt  %02d:%02d:%02d UTC  supply %s",
                  degrees_minutes(now.position().latitude_deg, 'N', 'S').c_str(),
                  degrees_minutes(now.position().longitude_deg, 'E', 'W').c_str(), now.altitude_ft(), now.heading_deg(),
                  now.airspeed_kt(), utc.hours, utc.minutes, utc.seconds, now.supply_on() ? "on" : "OFF");
    return line;
}

}  // namespace panel::app
