// Page 4, pressure setting and minimum safe altitude, and page 5, vertical navigation with
// the altitude alerter's target. The value under the inner knob blinks while it is edited.
#include "gauge_math.h"
#include "gps_callbacks.h"
#include "gps_elements.h"
#include "gps_state.h"
#include "readout_text.h"

// Feet per minute from the host's 1/256 metre per second.
static double feet_per_minute(int32_t vertical_speed) {
    return vertical_speed * 0.00390625 * 3.28084 * 60.0;
}

// While editing, time_mark holds whole seconds: shown on even ones, a two-second blink.
static bool blink_on(void) {
    return gps.time_mark % 2 == 0;
}

// 42: pressure setting, turned on the host's side by the inner knob
double GAUGE_CALL baro_readout(StringElement* element) {
    light_element(&element->head);
    double value = (float)gps_input(BARO_INPUT);
    show_element_when(&element->head, gps.powered == 1 && gps.page == 4 &&
                                          (gps.edit_active == 0 || (gps.edit_active == 1 && blink_on())));
    format_readout(element->text, "%6.1fmb", value);
    return value;
}

// 43: minimum safe altitude, the ground level plus 2000 ft
double GAUGE_CALL msa_readout(StringElement* element) {
    light_element(&element->head);
    double value = (float)((2000.0 + gps_input(ALTITUDE_INPUT)) - 3.28084 * gps_input(HEIGHT_INPUT));
    show_element_when(&element->head, gps.powered == 1 && gps.page == 4);
    format_readout(element->text, "%5.0fft", value);
    return value;
}

// 44: present altitude
double GAUGE_CALL vnav_altitude_readout(StringElement* element) {
    light_element(&element->head);
    double value = (float)gps_input(ALTITUDE_INPUT);
    show_element_when(&element->head, gps_running_on(5));
    format_readout(element->text, "%05.0f to", value);
    return value;
}

// 45: the alerter's target in hundreds of feet, followed by "00"
double GAUGE_CALL selected_altitude_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.selected_altitude;
    bool blinking_shown = gps.edit_active == 1 && gps.startup_state == STARTUP_RUN && blink_on();
    show_element_when(&element->head, gps.powered == 1 && gps.page == 5 && (gps.edit_active == 0 || blinking_shown));
    format_readout(element->text, "%03.0f00", value);
    return value;
}

// 46: the host's text on the vertical navigation page
double GAUGE_CALL vnav_text_readout(StringElement* element) {
    light_element(&element->head);
    const char* value = element->own_var.value.text;
    show_element_when(&element->head, gps.powered == 1 && gps.page == 5 && gps.status_ok == 1);
    copy_readout_text(element->text, value);
    return 0.0;
}

// 47: distance before the waypoint at which the target altitude is reached at the present
// vertical speed. The vertical speed is the previous pass's (its readout comes later); level
// flight gives no finite distance and the readout shows dashes.
double GAUGE_CALL vnav_distance_readout(StringElement* element) {
    light_element(&element->head);
    double minutes_to_go =
        (100.0 * gps.selected_altitude - gps_input(ALTITUDE_INPUT)) / feet_per_minute(gps.vertical_speed);
    double value = (float)(gps.distance_nm - (gps.groundspeed_kt / 60.0) * minutes_to_go);
    show_element_when(&element->head, gps.powered == 1 && gps.page == 5);
    format_readout(element->text, "%05.1fnm", value);
    return value;
}

// 48: ground speed
double GAUGE_CALL vnav_groundspeed_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.groundspeed_kt;
    show_element_when(&element->head, gps.powered == 1 && gps.page == 5);
    format_readout(element->text, "%03.0f", value);
    return value;
}

// 49: vertical speed in feet per minute
double GAUGE_CALL vertical_speed_readout(StringElement* element) {
    light_element(&element->head);
    gps.vertical_speed = truncate_to_int32(gps_input(VERTICAL_SPEED_INPUT));
    double value = (float)feet_per_minute(gps.vertical_speed);
    show_element_when(&element->head, gps.powered == 1 && gps.page == 5);
    format_readout(element->text, "%04.0ffpm", value);
    return value;
}
