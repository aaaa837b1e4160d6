#include "world.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "gps_status.h"

namespace panel::sim {
namespace {

using units::knots_to_metres_per_second;
using units::radians;
constexpr double seconds_per_day = 86400.0;

// Limits beyond which a value is taken for a mistake rather than flown.
constexpr double lowest_altitude_ft = -1500.0;
constexpr double highest_altitude_ft = 60000.0;
constexpr double fastest_kt = 1000.0;
constexpr double steepest_fpm = 20000.0;
constexpr double strongest_wind_kt = 500.0;

constexpr int channel_step = units::dme_channel_step;

// 0 up to (not including) 360.
double normalized_degrees(double degrees) {
    const double angle = std::fmod(degrees, 360.0);
    return angle < 0.0 ? angle + 360.0 : angle;
}

std::string number_text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// `value` itself, or std::invalid_argument naming it when it is not a number within low..high.
double checked(double value, double low, double high, std::string_view what) {
    if (value >= low && value <= high) return value;
    throw std::invalid_argument(std::string(what) + ": " + number_text(value) + " is not within " +
                                number_text(low) + " to " + number_text(high));
}

GeoPoint checked(GeoPoint point, std::string_view what) {
    checked(point.latitude_deg, -90.0, 90.0, std::string(what) + " latitude");
    checked(point.longitude_deg, -180.0, 180.0, std::string(what) + " longitude");
    return point;
}

int whole(double value, int low, int high, std::string_view what) {
    return static_cast<int>(checked(value, low, high, what));
}

// Moves `value` towards `target` by at most `step`, landing on it exactly.
double approach(double value, double target, double step) {
    const double difference = target - value;
    return std::abs(difference) <= step ? target : value + std::copysign(step, difference);
}

}  // namespace

int frequency_hundredths(double mhz, std::string_view what) {
    const double hundredths = mhz * 100.0;
    const double channel = std::round(hundredths / channel_step) * channel_step;
    if (!(channel >= units::lowest_dme_frequency && channel <= units::highest_dme_frequency) || std::abs(hundredths - channel) > 1e-6) {
        throw std::invalid_argument(std::string(what) + ": " + number_text(mhz) +
                                    " MHz is not one of 108.00 to 117.95 in steps of 0.05");
    }
    return static_cast<int>(channel);
}

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

// Aircraft ------------------------------------------------------------------------------

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

void Aircraft::fly_speed(double kt) { target_speed_kt_ = checked(kt, 0.0, fastest_kt, "airspeed (kt)"); }

void Aircraft::advance(double seconds, Wind wind) {
    steer(seconds);
    climb(seconds);
    accelerate(seconds);
    const GroundVector over_ground = ground_vector(heading_deg_, airspeed_kt_, wind);
    position_ = destination(position_, over_ground.track_deg, over_ground.speed_kt * knots_to_metres_per_second * seconds);
}

void Aircraft::steer(double seconds) {
    if (!target_heading_deg_) return;
    // The turn still to go, positive to the right, within -180 to 180; a reversal turns right.
    double turn = std::remainder(*target_heading_deg_ - heading_deg_, 360.0);
    if (turn == -180.0) turn = 180.0;
    const double step = turn_rate_deg_s * seconds;
    heading_deg_ = std::abs(turn) <= step ? *target_heading_deg_
                                          : normalized_degrees(heading_deg_ + std::copysign(step, turn));
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

// FlightPlan ----------------------------------------------------------------------------

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

// DmeRadio ------------------------------------------------------------------------------

DmeRadio::DmeRadio(const DmeStation& station, double tuned_mhz)
    : station_(station),
      station_frequency_(frequency_hundredths(station.frequency_mhz, "flight setup: DME station frequency")),
      selection_(frequency_hundredths(tuned_mhz, "flight setup: tuned DME frequency")) {
    checked(station.position, "flight setup: DME station");
    checked(station.elevation_ft, lowest_altitude_ft, highest_altitude_ft, "flight setup: DME elevation (ft)");
    checked(station.range_nm, 0.0, 1000.0, "flight setup: DME range (nm)");
}

void DmeRadio::measure(GeoPoint position, double altitude_ft, double seconds) {
    const double slant = slant_range_nm(station_.position, station_.elevation_ft, position, altitude_ft);
    if (seconds > 0.0) speed_kt_ = std::abs(slant - slant_nm_) / seconds * 3600.0;
    slant_nm_ = slant;
}

// SimClock ------------------------------------------------------------------------------

SimClock::SimClock(UtcTime start, int frames_per_second) : frames_per_second_(frames_per_second) {
    start_seconds_ = whole(start.hours, 0, 23, "flight setup: UTC hours") * 3600.0 +
                     whole(start.minutes, 0, 59, "flight setup: UTC minutes") * 60.0 +
                     whole(start.seconds, 0, 59, "flight setup: UTC seconds");
}

UtcTime SimClock::utc() const {
    const auto of_day = static_cast<int64_t>(std::floor(std::fmod(seconds(), seconds_per_day)));
    return {static_cast<int>(of_day / 3600), static_cast<int>(of_day % 3600 / 60), static_cast<int>(of_day % 60)};
}

// World ---------------------------------------------------------------------------------

World::World(const FlightSetup& setup, const Catalogue& catalogue)
    : variables_(variable_ids(catalogue)),
      events_(event_ids(catalogue)),
      aircraft_(setup),
      plan_(setup.flight_plan, setup.active_waypoint, setup.start),
      dme_(setup.dme, setup.dme_tuned_mhz),
      clock_(setup.utc, frames_per_second),
      baro_mb_(checked(setup.baro_mb, 800.0, 1100.0, "flight setup: baro (mb)")),
      obs_deg_(normalized_degrees(checked(setup.obs_deg, -360.0, 360.0, "flight setup: OBS (deg)"))),
      ground_elevation_ft_(checked(setup.ground_elevation_ft, lowest_altitude_ft, highest_altitude_ft,
                                   "flight setup: ground elevation (ft)")),
      supply_on_(setup.supply_on),
      gps_status_(setup.gps_status) {
    set_wind(setup.wind.from_deg, setup.wind.speed_kt);
    dme_.measure(aircraft_.position(), aircraft_.altitude_ft(), 0.0);
}

World::VariableIds World::variable_ids(const Catalogue& catalogue) {
    const auto id = [&](std::string_view name) { return catalogue.variable_id(name); };
    return {
        .tick = id("tick"), .utc_hours = id("utc_hours"), .utc_minutes = id("utc_minutes"), .seconds = id("seconds"),
        .avionics_supply = id("avionics_supply"), .latitude = id("latitude"), .longitude = id("longitude"),
        .height = id("height"), .airspeed = id("airspeed"), .heading = id("heading"), .altitude = id("altitude"),
        .vertical_speed = id("vertical_speed"), .wind_speed = id("wind_speed"),
        .wind_direction = id("wind_direction"), .obs = id("obs"), .baro = id("baro"), .rmi = id("rmi"),
        .gps_status = id("gps_status"), .ground_speed = id("ground_speed"),
        .waypoint_distance = id("waypoint_distance"), .waypoint_bearing = id("waypoint_bearing"),
        .cross_track = id("cross_track"), .desired_track = id("desired_track"), .waypoint_id = id("waypoint_id"),
        .dme_frequency = id("dme_frequency"), .dme_set_frequency = id("dme_set_frequency"),
        .dme_distance = id("dme_distance"), .dme_speed = id("dme_speed"), .dme_reception = id("dme_reception"),
        // Read by the gauges every update, never used: they read 0.0.
        .unused = {id("unused_2"), id("unused_5"), id("unused_40"), id("unused_60"), id("unused_372"),
                   id("unused_834"), id("unused_847")},
    };
}

World::EventIds World::event_ids(const Catalogue& catalogue) {
    const auto id = [&](std::string_view name) { return catalogue.event_id(name); };
    return {
        .gps_direct_to = id("gps_direct_to"), .baro_up = id("baro_up"), .baro_down = id("baro_down"),
        .dme_frequency_select = id("dme_frequency_select"), .dme_mhz_up = id("dme_mhz_up"),
        .dme_mhz_down = id("dme_mhz_down"), .dme_khz_up = id("dme_khz_up"), .dme_khz_down = id("dme_khz_down"),
    };
}

void World::set_wind(double from_deg, double speed_kt) {
    wind_ = {normalized_degrees(checked(from_deg, -360.0, 360.0, "wind direction (deg)")),
             checked(speed_kt, 0.0, strongest_wind_kt, "wind speed (kt)")};
}

void World::advance_frame() {
    aircraft_.advance(frame_seconds, wind_);
    clock_.advance();
    plan_.sequence(aircraft_.position());
    dme_.measure(aircraft_.position(), aircraft_.altitude_ft(), frame_seconds);
}

double World::waypoint_distance_m() const { return distance_m(aircraft_.position(), plan_.active().position); }

double World::cross_track_m() const {
    return sim::cross_track_m(plan_.leg_origin(), plan_.active().position, aircraft_.position());
}

void World::fill(VariableStore& store) {
    const VariableIds& v = variables_;
    const GeoPoint here = aircraft_.position();
    const GeoPoint waypoint = plan_.active().position;
    const UtcTime time = clock_.utc();

    store.set_number(v.avionics_supply, supply_on_ ? 1.0 : 0.0);
    store.set_number(v.tick, static_cast<double>(clock_.tick()));
    store.set_number(v.seconds, clock_.seconds());
    store.set_number(v.utc_hours, time.hours);
    store.set_number(v.utc_minutes, time.minutes);

    store.set_number(v.latitude, here.latitude_deg * units::latitude_units_per_degree);
    store.set_number(v.longitude, here.longitude_deg * units::longitude_units_per_degree);
    store.set_number(v.altitude, aircraft_.altitude_ft());
    store.set_number(v.height, (aircraft_.altitude_ft() - ground_elevation_ft_) * metres_per_foot);
    store.set_number(v.heading, aircraft_.heading_deg());
    store.set_number(v.airspeed, aircraft_.airspeed_kt());
    store.set_number(v.vertical_speed, aircraft_.vertical_speed_fpm() * units::vertical_speed_units_per_fpm);
    store.set_number(v.ground_speed, ground().speed_kt * knots_to_metres_per_second);
    store.set_number(v.wind_direction, wind_.from_deg);
    store.set_number(v.wind_speed, wind_.speed_kt);
    store.set_number(v.baro, baro_mb_);
    store.set_number(v.obs, obs_deg_);

    store.set_integer(v.gps_status, status_code());
    store.set_text(v.waypoint_id, plan_.active().ident);
    store.set_number(v.waypoint_bearing, radians(initial_bearing_deg(here, waypoint)));
    store.set_number(v.waypoint_distance, distance_m(here, waypoint));
    store.set_number(v.cross_track, sim::cross_track_m(plan_.leg_origin(), waypoint, here));
    store.set_number(v.desired_track, radians(initial_bearing_deg(plan_.leg_origin(), waypoint)));

    store.set_number(v.rmi, initial_bearing_deg(here, dme_.station().position));
    store.set_number(v.dme_distance, dme_.slant_nm());
    store.set_number(v.dme_speed, dme_.speed_kt());
    store.set_number(v.dme_reception, dme_.receiving() ? units::dme_reception_in_range : units::dme_reception_none);
    store.set_integer(v.dme_frequency, bcd_frequency(dme_.tuned_hundredths()));
    store.set_integer(v.dme_set_frequency, bcd_frequency(dme_.selection_hundredths()));

    for (uint32_t id : v.unused) store.set_number(id, 0.0);
}

int32_t World::status_code() const { return gps_status_read(gps_status_, plan_.direct()); }

bool World::key_event(const KeyEvent& event) {
    const EventIds& e = events_;
    const uint32_t id = event.id;
    if (id == e.gps_direct_to) plan_.direct_to(aircraft_.position());
    else if (id == e.baro_up) baro_mb_ += 1.0;
    else if (id == e.baro_down) baro_mb_ -= 1.0;
    else if (id == e.dme_frequency_select) dme_.select();
    else if (id == e.dme_mhz_up) dme_.step_megahertz(1);
    else if (id == e.dme_mhz_down) dme_.step_megahertz(-1);
    else if (id == e.dme_khz_up) dme_.step_fraction(1);
    else if (id == e.dme_khz_down) dme_.step_fraction(-1);
    else return false;
    return true;
}

}  // namespace panel::sim
