// The icon and slider callbacks: lit face, power knob, start-up and page screens, status and
// hemisphere pictures, fly-left/right words and the course deviation scale with its needle.
// No element here has an own variable, so falling back to the own value draws frame 0.
#include "gps_callbacks.h"
#include "gps_elements.h"
#include "gps_state.h"

// The deviation scale, its needle and the FLAG scale share one place on sub-pages 0 and 3.
static bool deviation_display_on(void) {
    return gps_running_on(1) && (gps.nav_subpage == 0 || gps.nav_subpage == 3);
}

// 2: the lit face and its lamp
double GAUGE_CALL lit_screen_image(IconElement* element) {
    light_element(&element->head);
    double frame = element->own_var.value.number;
    show_element_when(&element->head, gps.powered == 1);
    return frame;
}

// 3: the OFF/ON knob, a physical control: never lit, never hidden. Frame 1 is blank and
// leaves the face's own knob, which stands at ON.
double GAUGE_CALL power_knob_image(IconElement*) {
    return gps.power_switch == 1 ? 1.0 : 0.0;
}

// 4: the screen during start-up: 0 black, 1 self-test, 2 start-up check, 3 black
double GAUGE_CALL startup_screen_image(IconElement* element) {
    light_element(&element->head);
    double frame = element->own_var.value.number;
    if (gps.powered == 0) {
        frame = 0.0;
    } else if (gps.powered == 1) {
        if (gps.startup_state == STARTUP_RUN) frame = 3.0;
        if (gps.startup_state == STARTUP_SELF_TEST) frame = 1.0;
        if (gps.startup_state == STARTUP_CONFIRM) frame = 2.0;
    }
    return frame;
}

// 5: the page's labels over the start-up screen; pages 1 and 2 share the empty page
double GAUGE_CALL page_image(IconElement* element) {
    light_element(&element->head);
    double frame = element->own_var.value.number;
    if (gps.page <= 2) frame = 0.0;
    if (gps.page == 3) frame = 1.0;
    if (gps.page == 4) frame = 2.0;
    if (gps.page == 5) frame = 3.0;
    show_element_when(&element->head, gps.powered != 0 && gps.startup_state <= 0);
    return frame;
}

// 10: the leg symbol from the status code of the previous pass: the direct-to symbol for
// codes with bit 0x20, the arrow for their counterparts without it, else the arrow
double GAUGE_CALL direct_to_symbol_image(IconElement* element) {
    light_element(&element->head);
    double frame = element->own_var.value.number;
    int32_t code = gps.status_code;
    if (code == 39 || code == 103 || code == 111 || code == 127) frame = 1.0;
    if (code == 7 || code == 71 || code == 87 || code == 95) frame = 0.0;
    show_element_when(&element->head, gps_running_on(1) && gps.status_ok == 1);
    return frame;
}

// 12: the deviation scale with its TO triangle, while the navigation is usable
double GAUGE_CALL deviation_scale_image(IconElement* element) {
    light_element(&element->head);
    double frame = element->own_var.value.number;
    show_element_when(&element->head, deviation_display_on() && gps.status_ok == 1);
    return frame;
}

// 13: the needle, 5.1 pixels per nautical mile off track, pinned at the scale's ends
double GAUGE_CALL deviation_needle_x(SliderElement* element) {
    light_element(&element->head);
    double offset = gps.cross_track_nm;
    if (offset < -5.0) offset = -5.0;
    if (offset > 5.0) offset = 5.0;
    show_element_when(&element->head, deviation_display_on() && gps.status_ok == 1);
    return offset;
}

// 13: the needle never moves vertically; its y variable is none
double GAUGE_CALL deviation_needle_y(SliderElement* element) {
    light_element(&element->head);
    double offset = element->y_var.value.number;
    show_element_when(&element->head, deviation_display_on() && gps.status_ok == 1);
    return offset;
}

// 15: the scale marked FLAG, in place of the scale and needle while navigation is unusable
double GAUGE_CALL deviation_flag_image(IconElement* element) {
    light_element(&element->head);
    double frame = element->own_var.value.number;
    show_element_when(&element->head, deviation_display_on() && gps.status_ok == 0);
    return frame;
}

// 16: >Fly L or >Fly R on sub-pages 1 and 2, beside the cross-track distance
double GAUGE_CALL fly_left_right_image(IconElement* element) {
    light_element(&element->head);
    double frame = element->own_var.value.number;
    if (gps.cross_track_nm > 0.0f) frame = 1.0;
    if (gps.cross_track_nm < 0.0f) frame = 0.0;
    show_element_when(&element->head, gps_running_on(1) && (gps.nav_subpage == 1 || gps.nav_subpage == 2));
    return frame;
}

// 20: Leg and NAV, or NAV alone while the status code says the navigation is not usable
double GAUGE_CALL leg_label_image(IconElement* element) {
    light_element(&element->head);
    double frame = gps.status_ok == 1 ? 0.0 : 1.0;
    show_element_when(&element->head, gps.powered != 0 && gps.startup_state <= 0);
    return frame;
}

// 28: >Present Posn with N or S over E or W, from the signs of the minutes of the previous
// pass (the position readouts come later in the draw order)
double GAUGE_CALL hemisphere_image(IconElement* element) {
    light_element(&element->head);
    double frame = element->own_var.value.number;
    float latitude = gps.lat_minutes;
    float longitude = gps.lon_minutes;
    if (latitude > 0.0f && longitude > 0.0f) frame = 0.0;
    if (latitude > 0.0f && longitude < 0.0f) frame = 1.0;
    if (latitude < 0.0f && longitude > 0.0f) frame = 2.0;
    if (latitude < 0.0f && longitude < 0.0f) frame = 3.0;
    show_element_when(&element->head, gps_running_on(2));
    return frame;
}
