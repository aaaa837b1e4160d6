// Page 1, navigation: the host's waypoint text, desired track and track, bearing to or from
// the waypoint, cross-track distance and the time en route.
#include <math.h>

#include "gauge_math.h"
#include "gps_callbacks.h"
#include "gps_elements.h"
#include "gps_state.h"
#include "readout_text.h"

// 11: the host's navigation text
double GAUGE_CALL nav_text_readout(StringElement* element) {
    light_element(&element->head);
    const char* value = element->own_var.value.text;
    show_element_when(&element->head, gps_running_on(1));
    copy_readout_text(element->text, value);
    return 0.0;
}

// 14: the cursor mark; hidden while the status code says the navigation is not usable
double GAUGE_CALL cursor_marker_readout(StringElement* element) {
    light_element(&element->head);
    double value = element->own_var.value.number;
    show_element_when(&element->head, gps_running_on(1) && gps.status_ok == 1);
    copy_readout_text(element->text, ">");
    return value;
}

// 17: cross-track distance on sub-pages 1 and 2; the side shows in the fly-left/right words
double GAUGE_CALL cross_track_readout(StringElement* element) {
    light_element(&element->head);
    float magnitude = fabsf(gps.cross_track_nm);
    double value = magnitude > 99.9 ? 99.9f : magnitude;
    show_element_when(&element->head, gps_running_on(1) && (gps.nav_subpage == 1 || gps.nav_subpage == 2));
    format_readout(element->text, "%3.1fnm", value);
    return value;
}

// 22: desired track; radians to degrees with the navigator's 3.14, stored before the wrap
double GAUGE_CALL desired_track_readout(StringElement* element) {
    light_element(&element->head);
    float track = (float)(180.0 * gps_input(DESIRED_TRACK_INPUT) / 3.14);
    gps.desired_track = track;
    double value = track < 0.0 ? (float)(track + 360.0) : track;
    show_element_when(&element->head, gps_running_on(1));
    format_readout(element->text, "DTK %03.0f\xB0", value);
    return value;
}

// The sine of the last whole-degree wind angle: the angle seldom changes from one update to
// the next, and the library-free sine is the dearest step of the navigator's whole frame.
static int32_t drift_sine_angle;
static double drift_sine;
static int32_t drift_sine_known;

static double wind_angle_sine(int32_t angle) {
    if (!drift_sine_known || angle != drift_sine_angle) {
        drift_sine = gauge_sin(angle * 3.14 / 180.0);
        drift_sine_angle = angle;
        drift_sine_known = 1;
    }
    return drift_sine;
}

// 23: track made good, the heading corrected by the wind's drift; 999 when too slow to tell
double GAUGE_CALL track_readout(StringElement* element) {
    light_element(&element->head);
    double heading = gps_input(HEADING_INPUT);
    double airspeed = gps_input(AIRSPEED_INPUT);
    gps.wind_angle = truncate_to_int32(gps_input(WIND_DIRECTION_INPUT) - heading);
    if (airspeed < 5.0) {
        gps.track_deg = 999;
    } else {
        // 57.32... is 180 / 3.14, the navigator's degrees per radian
        double drift = wind_angle_sine(gps.wind_angle) * (gps_input(WIND_SPEED_INPUT) / airspeed) * 57.324840764331206;
        gps.track_deg = truncate_to_int32(heading + drift);
        if (gps.track_deg < 0) gps.track_deg += 360;
        if (gps.track_deg > 360) gps.track_deg -= 360;
    }
    double value = gps.track_deg;
    show_element_when(&element->head, gps_running_on(1));
    format_readout(element->text, "TK %03.0f\xB0", value);
    return value;
}

// 24: bearing to the waypoint, sub-pages 0 and 1
double GAUGE_CALL bearing_to_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.bearing_deg;
    show_element_when(&element->head, gps_running_on(1) && gps.nav_subpage <= 1);
    format_readout(element->text,
                   ">%03.0f\xB0"
                   "To",
                   value);
    return value;
}

// 25: bearing from the waypoint, sub-pages 2 and 3, in the place of the To bearing. It has
// never looked at the start-up state, and a bearing of 180 reads 360.
double GAUGE_CALL bearing_from_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.bearing_deg + 180.0;
    if (value > 360.0) value -= 360.0;
    show_element_when(&element->head, gps.powered == 1 && gps.page == 1 && gps.nav_subpage > 1);
    format_readout(element->text,
                   ">%03.0f\xB0"
                   "Fr",
                   value);
    return value;
}

// 26: hours en route
double GAUGE_CALL ete_hours_readout(StringElement* element) {
    light_element(&element->head);
    double value = ete_whole_hours();
    show_element_when(&element->head, gps_running_on(1));
    format_readout(element->text, "%2.0f:", value);
    return value;
}

// 27: minutes en route within the hour
double GAUGE_CALL ete_minutes_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.ete_minutes;
    show_element_when(&element->head, gps_running_on(1));
    format_readout(element->text, "%02.0f", value);
    return value;
}
