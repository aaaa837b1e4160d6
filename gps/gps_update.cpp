// The gauge callback: at every pre-update the inputs are refreshed and everything the readouts
// and controls need is derived from them, in a fixed order; the first pre-draw resets the state.
#include "cue_player.h"
#include "gauge_math.h"
#include "gps_callbacks.h"
#include "gps_state.h"
#include "host_services.h"

// Set by the first pre-draw; the reset never runs again while the module is loaded.
static int32_t init_done;

static void derive_power_and_startup(void) {
    gps.powered = (gps_input(SUPPLY_INPUT) == 1.0 && gps.power_switch == 1) ? 1 : 0;
    // A counter that skips the deadline between two updates still ends the delay.
    if (gps.startup_state == STARTUP_SELF_TEST && gps_input(TICK_INPUT) >= gps.time_mark) {
        gps.startup_state = STARTUP_CONFIRM;
    }
}

// Kilometres per nautical mile as the navigator has always converted them.
static float metres_to_nm(double metres) {
    return (float)(metres / 1000.0 / 1.8567508);
}

static void derive_navigation(void) {
    gps.bearing_deg = (float)(180.0 * gps_input(BEARING_INPUT) / 3.14);
    gps.cross_track_nm = metres_to_nm(gps_input(CROSS_TRACK_INPUT));
    gps.distance_nm = metres_to_nm(gps_input(WAYPOINT_DISTANCE_INPUT));
    gps.groundspeed_kt = (float)(1.944 * gps_input(GROUND_SPEED_INPUT));
    // Below walking pace the quotient means nothing; a NaN airspeed fails the test too.
    if (gps_input(AIRSPEED_INPUT) > 5.0) {
        gps.ete_hours = gps.distance_nm / gps.groundspeed_kt;
    } else {
        gps.ete_hours = 0.0f;
    }
    float fraction = (float)gauge_fmod(gps.ete_hours, 1.0);
    gps.ete_minutes = truncate_to_int32(fraction * 60.0);
}

static void derive_timer_and_status(void) {
    if (gps.timer_running == 1) {
        gps.elapsed_seconds = truncate_to_int32(gps_input(SECONDS_INPUT) - gps.timer_start);
    }
    // 99:59:59; a clock that ran backwards is left negative.
    if (gps.elapsed_seconds > 359999) gps.elapsed_seconds = 359999;
    gps.elapsed_hours = gps.elapsed_seconds / 3600;
    int32_t seconds_in_hour = truncate_to_int32(gauge_fmod(gps.elapsed_seconds, 3600.0));
    gps.elapsed_minutes = seconds_in_hour / 60;
    // status_code is what the last element of the previous pass copied.
    gps.status_ok = (gps.status_code == 64 || gps.status_code == 72) ? 0 : 1;
}

static void sample_while_powered(void) {
    if (gps.powered != 1) return;
    if (gps.edit_active == 1) gps.time_mark = truncate_to_int32(gps_input(SECONDS_INPUT));
    if (gps.alt_alert_state > ALERT_OFF) gps.sampled_altitude = truncate_to_int32(gps_input(ALTITUDE_INPUT));
}

// Exact matches only: an altitude that passes a mark between two updates sounds nothing.
// Each cue leaves a state from which the later checks cannot fire for the same altitude.
static void run_altitude_alerter(void) {
    if (gps.powered != 1) return;
    // 64-bit, so that an unclamped preset far out of range cannot overflow.
    int64_t target = int64_t{gps.selected_altitude} * 100;
    int64_t altitude = gps.sampled_altitude;
    if ((altitude == target - 1000 || altitude == target + 1000) && gps.alt_alert_state == ALERT_ARMED) {
        play_cue(CUE_BEEP_APPROACH);
        gps.alt_alert_state = ALERT_NEAR;
    }
    if (altitude == target && gps.alt_alert_state == ALERT_NEAR) {
        play_cue(CUE_BEEP_CAPTURE);
        gps.alt_alert_state = ALERT_CAPTURED;
        gps.page = 5;
    }
    if ((altitude > target + 300 || altitude < target - 300) && gps.alt_alert_state == ALERT_CAPTURED) {
        play_cue(CUE_BEEP_DEVIATION);
        gps.alt_alert_state = ALERT_NEAR;
        gps.page = 5;
    }
}

static void gps_pre_update(void) {
    service_lookup_all(gps_inputs, GPS_INPUT_COUNT);
    derive_power_and_startup();
    derive_navigation();
    derive_timer_and_status();
    sample_while_powered();
    run_altitude_alerter();
}

static void gps_pre_draw(void) {
    if (init_done != 0) return;
    init_done = 1;
    gps = GpsState{};
}

void GAUGE_CALL gps_gauge_callback(GaugeHeader*, int32_t service_id, uint32_t) {
    switch (service_id) {
        case SERVICE_PRE_UPDATE: gps_pre_update(); break;
        case SERVICE_PRE_DRAW: gps_pre_draw(); break;
        default: break;  // the host's other phases, and ids it never sends
    }
}
