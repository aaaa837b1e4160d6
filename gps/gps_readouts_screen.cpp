// Readouts that do not belong to one page: the three shown on every page while running, the
// start-up check screen, and the hidden reader of the status code.
#include "gps_callbacks.h"
#include "gps_elements.h"
#include "gps_state.h"
#include "readout_text.h"

// 18: waypoint distance
double GAUGE_CALL waypoint_distance_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.distance_nm;
    show_element_when(&element->head, gps_running());
    format_readout(element->text, "%3.1fnm", value);
    return value;
}

// 19: ground speed
double GAUGE_CALL ground_speed_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.groundspeed_kt;
    show_element_when(&element->head, gps_running());
    format_readout(element->text, "%3.0fkt", value);
    return value;
}

// 21: page number; the element has no own variable, so hidden it reads 0
double GAUGE_CALL page_number_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps_running() ? gps.page : element->own_var.value.number;
    show_element_when(&element->head, gps_running());
    format_readout(element->text, "%1.0f", value);
    return value;
}

// The start-up check screen shows its figures on any page until ENT confirms it.
static bool confirming(void) {
    return gps.powered == 1 && gps.startup_state == STARTUP_CONFIRM;
}

// 6: Baro: on the start-up check screen
double GAUGE_CALL startup_baro_readout(StringElement* element) {
    light_element(&element->head);
    double value = (float)gps_input(BARO_INPUT);
    show_element_when(&element->head, confirming());
    format_readout(element->text, "%4.0fmb", value);
    return value;
}

// 7: Alt on the start-up check screen
double GAUGE_CALL startup_altitude_readout(StringElement* element) {
    light_element(&element->head);
    double value = (float)gps_input(ALTITUDE_INPUT);
    show_element_when(&element->head, confirming());
    format_readout(element->text, "%.0fft", value);
    return value;
}

// 8: RMI on the start-up check screen
double GAUGE_CALL startup_rmi_readout(StringElement* element) {
    light_element(&element->head);
    double value = (float)gps_input(RMI_INPUT);
    show_element_when(&element->head, confirming());
    format_readout(element->text, "%03.0f\xB0", value);
    return value;
}

// 9: OBS on the start-up check screen, from the element's own variable
double GAUGE_CALL startup_obs_readout(StringElement* element) {
    light_element(&element->head);
    double value = (float)element->own_var.value.number;
    show_element_when(&element->head, confirming());
    format_readout(element->text, "%03.0f\xB0", value);
    return value;
}

// 50: never drawn and never lit. Last in the draw order, so the next pre-update and the
// next pass's direct-to symbol see the code of this pass.
double GAUGE_CALL status_code_reader(StringElement* element) {
    int32_t code = element->own_var.value.integer;
    gps.status_code = code;
    show_element_when(&element->head, false);
    format_readout(element->text, "%.0f", code);
    return code;
}
