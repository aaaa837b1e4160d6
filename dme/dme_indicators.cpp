// The icon callbacks: pictures of the controls, unit labels, the RMT lamp and the dashes that
// stand in for the figures. Frame 1 is the lit picture, frame 0 blank. The control pictures
// are not lit parts of the face and leave their flags alone.
#include "dme_callbacks.h"
#include "dme_state.h"
#include "element_flags.h"

static bool speed_and_time_mode(void) {
    return dme.mode == MODE_RMT || dme.mode == MODE_GST;
}

// Dashes while reception is strictly below 255; at exactly 255 neither figures nor dashes.
static bool reception_lost(void) {
    return dme_input(RECEPTION_INPUT) < 255;
}

double GAUGE_CALL mode_knob_image(IconElement*) {
    return dme.mode;
}

double GAUGE_CALL power_switch_image(IconElement*) {
    return dme.power_switch != 0 ? 1 : 0;
}

double GAUGE_CALL knob_overlay_image(IconElement*) {
    return dme.double_step != 0 ? 1 : 0;
}

double GAUGE_CALL nm_label(IconElement* element) {
    light_element(&element->head);
    return dme.powered == 1 ? 1 : 0;
}

double GAUGE_CALL mhz_label(IconElement* element) {
    light_element(&element->head);
    return (dme.mode == MODE_FREQ && dme.powered == 1) ? 1 : 0;
}

// KT and MIN: hidden while unpowered, blank at FREQ, lit in the other modes.
static double speed_time_label(IconElement* element) {
    light_element(&element->head);
    double frame = element->own_var.value.number;
    if (dme.powered == 1) frame = speed_and_time_mode() ? 1 : 0;
    show_element_when(&element->head, dme.powered != 0);
    return frame;
}

double GAUGE_CALL kt_label(IconElement* element) {
    return speed_time_label(element);
}

double GAUGE_CALL min_label(IconElement* element) {
    return speed_time_label(element);
}

double GAUGE_CALL rmt_lamp(IconElement* element) {
    light_element(&element->head);
    return (dme.powered == 1 && dme.mode == MODE_RMT) ? 1 : 0;
}

// The dashes read the distance and speed stored by the readouts earlier in this pass.
double GAUGE_CALL distance_dashes(IconElement* element) {
    light_element(&element->head);
    return (dme.powered == 1 && (reception_lost() || dme.distance < 0)) ? 1 : 0;
}

double GAUGE_CALL speed_dashes(IconElement* element) {
    light_element(&element->head);
    return (dme.powered == 1 && speed_and_time_mode() && (reception_lost() || dme.speed < 0)) ? 1 : 0;
}

double GAUGE_CALL time_dashes(IconElement* element) {
    light_element(&element->head);
    bool both_negative = dme.distance < 0 && dme.speed < 0;
    return (dme.powered == 1 && speed_and_time_mode() && (reception_lost() || both_negative)) ? 1 : 0;
}
