// The GPS navigator's one state record, its enumerations and its simulator inputs.
#pragma once

#include "gauge_records.h"

enum StartupState { STARTUP_RUN = 0, STARTUP_SELF_TEST = 1, STARTUP_CONFIRM = 2 };

enum AltAlertState { ALERT_OFF = 0, ALERT_ARMED = 1, ALERT_NEAR = 2, ALERT_CAPTURED = 3 };

// Every field is 0 at load and again after the one-time reset at the first pre-draw.
typedef struct GpsState {
    // power and start-up
    int32_t power_switch;
    int32_t powered;
    int32_t startup_state;
    int32_t time_mark;  // start-up deadline in ticks, or the blink clock in seconds while editing
    // pages and editing
    int32_t page;
    int32_t nav_subpage;
    int32_t edit_active;
    // altitude alerter
    int32_t selected_altitude;  // hundreds of feet
    int32_t sampled_altitude;
    int32_t alt_alert_state;
    // flight timer
    int32_t timer_running;
    int32_t timer_start;
    int32_t elapsed_seconds;
    int32_t elapsed_hours;
    int32_t elapsed_minutes;
    // navigation figures
    float distance_nm;
    float cross_track_nm;
    float bearing_deg;
    float groundspeed_kt;
    float ete_hours;
    int32_t ete_minutes;
    // status and display figures, most written by element callbacks
    int32_t status_code;
    int32_t status_ok;
    int32_t track_deg;
    int32_t wind_angle;
    float desired_track;
    int32_t lat_degrees;
    float lat_minutes;
    int32_t lon_degrees;
    float lon_minutes;
    int32_t vertical_speed;
} GpsState;

static_assert(sizeof(GpsState) == 31 * 4, "GpsState is thirty-one 4-byte fields");

extern GpsState gps;

// The gauge's inputs, refreshed in this order at every pre-update.
enum GpsInput {
    SUPPLY_INPUT,             // 773
    BEARING_INPUT,            // 836
    WAYPOINT_DISTANCE_INPUT,  // 835
    CROSS_TRACK_INPUT,        // 837
    GROUND_SPEED_INPUT,       // 832
    UNUSED_834_INPUT,
    DESIRED_TRACK_INPUT,  // 838
    UNUSED_2_INPUT,
    HEIGHT_INPUT,       // 614
    SECONDS_INPUT,      // 604
    UTC_HOURS_INPUT,    // 6
    UTC_MINUTES_INPUT,  // 7
    LATITUDE_INPUT,     // 827
    LONGITUDE_INPUT,    // 828
    UNUSED_0_INPUT,
    TICK_INPUT,  // 1
    UNUSED_5_INPUT,
    WIND_DIRECTION_INPUT,  // 344
    HEADING_INPUT,         // 81
    WIND_SPEED_INPUT,      // 343
    AIRSPEED_INPUT,        // 61
    ALTITUDE_INPUT,        // 74
    UNUSED_45_INPUT,
    UNUSED_40_INPUT,
    BARO_INPUT,            // 75
    RMI_INPUT,             // 84
    VERTICAL_SPEED_INPUT,  // 65
    UNUSED_847_INPUT,
    UNUSED_60_INPUT,
    GPS_INPUT_COUNT
};

extern ModuleVar gps_inputs[GPS_INPUT_COUNT];

// The value that the last pre-update left in an input.
static inline double gps_input(enum GpsInput input) {
    return gps_inputs[input].value.number;
}
