// Page 3, times: the UTC clock, the departure time, the time en route and the flight timer.
#include "gauge_math.h"
#include "gps_callbacks.h"
#include "gps_elements.h"
#include "gps_state.h"
#include "readout_text.h"

// 33: UTC hours
double GAUGE_CALL utc_hours_readout(StringElement* element) {
    light_element(&element->head);
    double value = (float)gps_input(UTC_HOURS_INPUT);
    show_element_when(&element->head, gps_running_on(3));
    format_readout(element->text, "%02.0f", value);
    return value;
}

// 34: UTC minutes
double GAUGE_CALL utc_minutes_readout(StringElement* element) {
    light_element(&element->head);
    double value = (float)gps_input(UTC_MINUTES_INPUT);
    show_element_when(&element->head, gps_running_on(3));
    format_readout(element->text, "%02.0f", value);
    return value;
}

// The departure time is the clock less the flight timer. Its hours count once the aircraft
// moves at all, its minutes only above 5 knots.
static bool depart_hours_live(void) {
    return gps.timer_running == 1 && gps_input(AIRSPEED_INPUT) != 0.0;
}

static bool depart_minutes_live(void) {
    return gps.timer_running == 1 && gps_input(AIRSPEED_INPUT) > 5.0;
}

static double depart_minutes_unborrowed(void) {
    return gps_input(UTC_MINUTES_INPUT) - gps.elapsed_minutes;
}

// 35: departure hours; borrows an hour when the clock's minutes are below the timer's, and
// wraps past midnight
double GAUGE_CALL depart_hours_readout(StringElement* element) {
    light_element(&element->head);
    double hours = 0.0;
    if (depart_hours_live()) {
        hours = gps_input(UTC_HOURS_INPUT) - gps.elapsed_hours;
        if (depart_minutes_unborrowed() < 0.0) hours -= 1.0;
        hours = gauge_fmod(hours, 24.0);
        if (hours < 0.0) hours += 24.0;
    }
    double value = (float)hours;
    show_element_when(&element->head, gps_running_on(3));
    format_readout(element->text, "%02.0f", value);
    return value;
}

// 36: departure minutes, within 0 to 59 when the clock and timer are
double GAUGE_CALL depart_minutes_readout(StringElement* element) {
    light_element(&element->head);
    double minutes = 0.0;
    if (depart_minutes_live()) {
        minutes = depart_minutes_unborrowed();
        if (minutes < 0.0) minutes += 60.0;
    }
    double value = (float)minutes;
    show_element_when(&element->head, gps_running_on(3));
    format_readout(element->text, "%02.0f", value);
    return value;
}

// 37: the host's text on the time page
double GAUGE_CALL time_page_text_readout(StringElement* element) {
    light_element(&element->head);
    const char* value = element->own_var.value.text;
    show_element_when(&element->head, gps_running_on(3));
    copy_readout_text(element->text, value);
    return 0.0;
}

// 38: hours en route
double GAUGE_CALL ete_hours_page3_readout(StringElement* element) {
    light_element(&element->head);
    double value = ete_whole_hours();
    show_element_when(&element->head, gps_running_on(3));
    format_readout(element->text, "%02.0f", value);
    return value;
}

// 39: minutes en route within the hour
double GAUGE_CALL ete_minutes_page3_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.ete_minutes;
    show_element_when(&element->head, gps_running_on(3));
    format_readout(element->text, "%02.0f", value);
    return value;
}

// 40: flight timer hours
double GAUGE_CALL elapsed_hours_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.elapsed_hours;
    show_element_when(&element->head, gps_running_on(3));
    format_readout(element->text, "%02.0f:", value);
    return value;
}

// 41: flight timer minutes
double GAUGE_CALL elapsed_minutes_readout(StringElement* element) {
    light_element(&element->head);
    double value = gps.elapsed_minutes;
    show_element_when(&element->head, gps_running_on(3));
    format_readout(element->text, "%02.0f", value);
    return value;
}
