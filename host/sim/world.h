// The simulated world the gauges fly in: one aircraft on a simple autopilot, stepped at the
// panel's update rate over a spherical Earth, its flight plan, one DME station and the radio
// tuned to it, a clock and the avionics supply. It answers every variable of the simulator
// catalogue in the unit the gauges read and carries out the key events they send.
// Deterministic: time moves only by advance_frame(), and nothing reads a clock or a random
// source. Once running, advance_frame() and fill() allocate nothing (the store copies a
// waypoint ident only when the active waypoint changes).
//
// Not modelled: terrain (the ground lies flat at one elevation), magnetic variation (every
// heading and bearing is true), the atmosphere (airspeed is true airspeed; the baro setting
// does not change the altitude), more than one DME station.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "aircraft.h"
#include "dme_radio.h"
#include "flight_plan.h"
#include "flight_setup.h"
#include "geo.h"
#include "sim_clock.h"
#include "simulator_catalogue.h"
#include "simulator_units.h"
#include "variable_source.h"

namespace panel::sim {

class World : public VariableSource {
public:
    // The panel's update rate.
    static constexpr int frames_per_second = units::updates_per_second;
    static constexpr double frame_seconds = 1.0 / frames_per_second;

    // Throws std::invalid_argument for a setup value out of range (one line naming it).
    explicit World(const FlightSetup& setup, const Catalogue& catalogue = simulator_catalogue());

    // One panel update: the autopilot and the move, the clock and the tick, waypoint
    // sequencing and the DME's measurement.
    void advance_frame();

    void fill(VariableStore& store) override;
    bool key_event(const KeyEvent& event) override;

    // Autopilot targets; each throws std::invalid_argument for a value out of range.
    void fly_heading(double deg) { aircraft_.fly_heading(deg); }
    void fly_altitude(double ft) { aircraft_.fly_altitude(ft); }
    void fly_vertical_speed(double fpm) { aircraft_.fly_vertical_speed(fpm); }
    void fly_speed(double kt) { aircraft_.fly_speed(kt); }

    void set_supply(bool on) { supply_on_ = on; }
    void set_gps_status(int32_t code) { gps_status_ = code; }
    // The status the navigator reads: the one set, with the direct-to bit while a direct-to
    // leg is flown (only on a status that flies a leg: 7, 71, 87 or 95).
    int32_t status_code() const;
    void set_wind(double from_deg, double speed_kt);  // throws std::invalid_argument

    // What a status line shows.
    GeoPoint position() const { return aircraft_.position(); }
    double altitude_ft() const { return aircraft_.altitude_ft(); }
    double heading_deg() const { return aircraft_.heading_deg(); }
    double track_deg() const { return ground().track_deg; }
    double airspeed_kt() const { return aircraft_.airspeed_kt(); }
    double ground_speed_kt() const { return ground().speed_kt; }
    double vertical_speed_fpm() const { return aircraft_.vertical_speed_fpm(); }
    UtcTime utc() const { return clock_.utc(); }
    bool supply_on() const { return supply_on_; }
    double baro_mb() const { return baro_mb_; }
    std::string_view active_waypoint_ident() const { return plan_.active().ident; }
    double dme_tuned_mhz() const { return dme_.tuned_hundredths() / 100.0; }
    bool dme_in_range() const { return dme_.receiving(); }
    bool dme_selecting() const { return dme_.selecting(); }

    // The parts, for a closer look.
    const Aircraft& aircraft() const { return aircraft_; }
    const FlightPlan& plan() const { return plan_; }
    const DmeRadio& dme() const { return dme_; }
    const SimClock& clock() const { return clock_; }
    Wind wind() const { return wind_; }
    double waypoint_distance_m() const;
    double cross_track_m() const;

private:
    // Catalogue ids, looked up by name once.
    struct VariableIds {
        uint32_t tick, utc_hours, utc_minutes, seconds, avionics_supply, latitude, longitude, height;
        uint32_t airspeed, heading, altitude, vertical_speed, wind_speed, wind_direction, obs, baro, rmi;
        uint32_t gps_status, ground_speed, waypoint_distance, waypoint_bearing, cross_track, desired_track, waypoint_id;
        uint32_t dme_frequency, dme_set_frequency, dme_distance, dme_speed, dme_reception;
        std::array<uint32_t, 7> unused;
    };
    struct EventIds {
        uint32_t gps_direct_to, baro_up, baro_down, dme_frequency_select, dme_mhz_up, dme_mhz_down, dme_khz_up,
            dme_khz_down;
    };
    static VariableIds variable_ids(const Catalogue& catalogue);
    static EventIds event_ids(const Catalogue& catalogue);

    GroundVector ground() const { return ground_vector(aircraft_.heading_deg(), aircraft_.airspeed_kt(), wind_); }

    VariableIds variables_;
    EventIds events_;
    Aircraft aircraft_;
    FlightPlan plan_;
    DmeRadio dme_;
    SimClock clock_;
    Wind wind_;
    double baro_mb_;
    double obs_deg_;
    double ground_elevation_ft_;
    bool supply_on_;
    int32_t gps_status_;
};

}  // namespace panel::sim
