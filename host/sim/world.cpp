// The world's parts bound to the simulator catalogue: the variables they answer and the key
// events they carry out, looked up by name once.
#include "world.h"

#include "checked_values.h"
#include "gps_status.h"

namespace panel::sim {
namespace {

using units::knots_to_metres_per_second;
using units::radians;

}  // namespace

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
        // clang-format off
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
        // clang-format on
        // Read by the gauges every update, never used: they read 0.0.
        .unused = {id("unused_2"), id("unused_5"), id("unused_40"), id("unused_60"), id("unused_372"), id("unused_834"),
                   id("unused_847")},
    };
}

World::EventIds World::event_ids(const Catalogue& catalogue) {
    const auto id = [&](std::string_view name) { return catalogue.event_id(name); };
    return {
        // clang-format off
        .gps_direct_to = id("gps_direct_to"), .baro_up = id("baro_up"), .baro_down = id("baro_down"),
        .dme_frequency_select = id("dme_frequency_select"), .dme_mhz_up = id("dme_mhz_up"),
        .dme_mhz_down = id("dme_mhz_down"), .dme_khz_up = id("dme_khz_up"), .dme_khz_down = id("dme_khz_down"),
        // clang-format on
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

double World::waypoint_distance_m() const {
    return distance_m(aircraft_.position(), plan_.active().position);
}

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

int32_t World::status_code() const {
    return gps_status_read(gps_status_, plan_.direct());
}

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
