// The ten mouse handlers: OFF/ON knob, the four push buttons and the two rings of the large
// knob. Each tests the state, changes it, plays at most one cue, sends its events, returns 0.
#include <stdint.h>

#include "cue_player.h"
#include "gauge_math.h"
#include "gps_callbacks.h"
#include "gps_state.h"
#include "host_services.h"

#define EVENT_DIRECT_TO 0x10174u
#define EVENT_BARO_UP 0x1015Bu
#define EVENT_BARO_DOWN 0x1015Cu

static bool powered(void) {
    return gps.powered == 1;
}

int32_t GAUGE_CALL power_knob_off_click(void*, uint32_t) {
    if (gps.power_switch == 1) {
        play_cue(CUE_CLICK);
        gps.power_switch = 0;
    }
    if (gps.power_switch == 0) {
        gps.nav_subpage = 0;
        gps.page = 0;
        gps.timer_running = 0;
    }
    return 0;
}

// Works without supply: the start-up delay runs on the tick counter alone.
int32_t GAUGE_CALL power_knob_on_click(void*, uint32_t) {
    if (gps.power_switch == 0) {
        play_cue(CUE_CLICK);
        gps.power_switch = 1;
    }
    if (gps.power_switch == 1) {
        gps.time_mark = truncate_to_int32(gps_input(TICK_INPUT) + 54.0);
        gps.startup_state = STARTUP_SELF_TEST;
        gps.nav_subpage = 1;
    }
    // Alerter preset in hundreds of feet: 2000 ft above the ground when low, else the
    // present altitude. Deliberately not clamped; the inner knob clamps on its next step.
    double altitude = gps_input(ALTITUDE_INPUT);
    double height = gps_input(HEIGHT_INPUT);
    if (height < 610.0) {
        gps.selected_altitude = truncate_to_int32((2000.0 + altitude - height * 3.28084) / 100.0);
    } else {
        gps.selected_altitude = truncate_to_int32(altitude / 100.0);
    }
    return 0;
}

int32_t GAUGE_CALL direct_to_click(void*, uint32_t) {
    play_cue(CUE_SOFT_CLICK);
    if (powered()) service_trigger_key_event(EVENT_DIRECT_TO);
    return 0;
}

int32_t GAUGE_CALL crsr_click(void*, uint32_t) {
    play_cue(CUE_SOFT_CLICK);
    if (powered() && gps.startup_state == STARTUP_RUN && gps.page == 1) gps.nav_subpage += 1;
    if (gps.nav_subpage > 3) gps.nav_subpage = 0;
    if (powered() && (gps.page == 4 || gps.page == 5)) gps.edit_active = 1;
    // Any cursor press disarms the alerter; ENT arms it again.
    gps.alt_alert_state = ALERT_OFF;
    return 0;
}

int32_t GAUGE_CALL ent_click(void*, uint32_t) {
    play_cue(CUE_SOFT_CLICK);
    if (!powered()) return 0;
    // Confirming the start-up check starts the flight timer and opens page 1.
    if (gps.startup_state == STARTUP_CONFIRM) {
        gps.timer_start = truncate_to_int32(gps_input(SECONDS_INPUT));
        gps.startup_state = STARTUP_RUN;
        gps.nav_subpage = 0;
        gps.timer_running = 1;
        gps.page = 1;
    }
    if (gps.page == 4) gps.edit_active = 0;
    if (gps.page == 5) {
        // Hundreds of feet from the target, not truncated; exactly 0 or 1000 ft arms nothing.
        double distance = gps_input(ALTITUDE_INPUT) / 100.0 - gps.selected_altitude;
        if (distance > 10.0 || distance < -10.0) {
            gps.alt_alert_state = ALERT_ARMED;
            gps.edit_active = 0;
        }
        if ((distance > 0.0 && distance < 10.0) || (distance > -10.0 && distance < 0.0)) {
            gps.alt_alert_state = ALERT_NEAR;
            gps.edit_active = 0;
        }
    }
    return 0;
}

int32_t GAUGE_CALL alt_click(void*, uint32_t) {
    play_cue(CUE_SOFT_CLICK);
    if (powered() && gps.startup_state == STARTUP_RUN) {
        gps.page += 1;
        if (gps.page <= 3) gps.page = 4;
    }
    if (gps.page > 5) gps.page = 1;
    return 0;
}

int32_t GAUGE_CALL outer_knob_right_click(void*, uint32_t) {
    if (powered()) gps.page += 1;
    if (gps.page > 3) gps.page = 1;
    return 0;
}

int32_t GAUGE_CALL outer_knob_left_click(void*, uint32_t) {
    if (powered()) gps.page -= 1;
    if (gps.page <= 0) gps.page = 3;
    return 0;
}

// On page 4 the knob turns the host's pressure setting; on page 5 the alerter target.
int32_t GAUGE_CALL inner_knob_right_click(void*, uint32_t) {
    if (powered() && gps.page == 4 && gps.edit_active == 1) service_trigger_key_event(EVENT_BARO_UP);
    // Saturating step: an unclamped preset at the integer limit must not wrap.
    if (powered() && gps.page == 5 && gps.edit_active == 1 && gps.selected_altitude < INT32_MAX) {
        gps.selected_altitude += 1;
    }
    if (gps.selected_altitude > 999) gps.selected_altitude = 999;
    return 0;
}

int32_t GAUGE_CALL inner_knob_left_click(void*, uint32_t) {
    if (powered() && gps.page == 4 && gps.edit_active == 1) service_trigger_key_event(EVENT_BARO_DOWN);
    if (powered() && gps.page == 5 && gps.edit_active == 1 && gps.selected_altitude > INT32_MIN) {
        gps.selected_altitude -= 1;
    }
    if (gps.selected_altitude < 0) gps.selected_altitude = 0;
    return 0;
}
