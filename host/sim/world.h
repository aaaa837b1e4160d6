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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dme_selection.h"
#include "geo.h"
#include "simulator_catalogue.h"
#include "simulator_units.h"
#include "variable_source.h"

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

// DME frequencies are kept in whole hundredths of a megahertz (11345 for 113.45), so that
// stepping them never drifts. Throws std::invalid_argument, naming `what`, for a frequency off
// the band or between channels.
int frequency_hundredths(double mhz, std::string_view what = "DME frequency");
using units::bcd_frequency;

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
    void fly_heading(double deg);          // turns the short way round
    void fly_altitude(double ft);          // at the climb rate, levelling off exactly
    void fly_vertical_speed(double fpm);   // the climb rate for altitude changes (its size)
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

// The flight plan: its waypoints, the active one and the leg that leads to it.
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

// The DME radio and the one station it can receive.
class DmeRadio {
public:
    DmeRadio(const DmeStation& station, double tuned_mhz);

    // The frequency-setting event: the first starts a selection at the tuned frequency, the
    // next ends it and tunes the radio to the selection.
    void select() { selection_.select(); }
    // Selection steps: whole megahertz within 108 to 117, and 0.05 MHz within the megahertz,
    // each wrapping round.
    void step_megahertz(int steps) { selection_.step_megahertz(steps); }
    void step_fraction(int steps) { selection_.step_fraction(steps); }

    // The slant range from an aircraft at `position` and its rate of change over `seconds`
    // (the rate stays as it was when `seconds` is 0).
    void measure(GeoPoint position, double altitude_ft, double seconds);

    int tuned_hundredths() const { return selection_.tuned(); }
    int selection_hundredths() const { return selection_.selection(); }
    bool selecting() const { return selection_.selecting(); }
    bool receiving() const { return selection_.tuned() == station_frequency_ && slant_nm_ <= station_.range_nm; }
    double slant_nm() const { return slant_nm_; }
    double speed_kt() const { return speed_kt_; }
    const DmeStation& station() const { return station_; }

private:
    DmeStation station_;
    int station_frequency_;
    DmeSelection selection_;
    double slant_nm_ = 0.0;
    double speed_kt_ = 0.0;
};

// Simulated time, counted in whole frames so that it never drifts.
class SimClock {
public:
    SimClock(UtcTime start, int frames_per_second);

    void advance() { ++frames_; }
    uint64_t tick() const { return frames_; }
    // Seconds since the start plus the start's seconds of the day: never rolls over.
    double seconds() const { return start_seconds_ + static_cast<double>(frames_) / frames_per_second_; }
    // The time of day, rolled over at midnight.
    UtcTime utc() const;

private:
    double start_seconds_;
    double frames_per_second_;
    uint64_t frames_ = 0;
};

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
