// Page 2, present position: degrees and minutes of latitude and longitude, without the
// hemisphere, which the hemisphere picture shows from the signs left in the state.
#include <math.h>

#include "gauge_math.h"
#include "gps_callbacks.h"
#include "gps_elements.h"
#include "gps_state.h"
#include "readout_text.h"

// The host's units: latitude as a distance, longitude as a fraction of the turn.
#define LATITUDE_PER_DEGREE 111130.555557
#define LONGITUDE_PER_DEGREE 11930430.0

// 29: whole degrees of latitude
double GAUGE_CALL latitude_degrees_readout(StringElement* element) {
    light_element(&element->head);
    gps.lat_degrees = truncate_to_int32(gps_input(LATITUDE_INPUT) / LATITUDE_PER_DEGREE);
    double value = fabs(gps.lat_degrees);
    show_element_when(&element->head, gps_running_on(2));
    format_readout(element->text, "%02.0f\xB0", value);
    return value;
}

// 30: minutes of latitude; reads the degrees stored earlier in this pass
double GAUGE_CALL latitude_minutes_readout(StringElement* element) {
    light_element(&element->head);
    float minutes = (float)((gps_input(LATITUDE_INPUT) / LATITUDE_PER_DEGREE - gps.lat_degrees) * 60.0);
    gps.lat_minutes = minutes;
    double value = fabsf(minutes);
    show_element_when(&element->head, gps_running_on(2));
    format_readout(element->text, "%05.2f'", value);
    return value;
}

// 31: whole degrees of longitude
double GAUGE_CALL longitude_degrees_readout(StringElement* element) {
    light_element(&element->head);
    gps.lon_degrees = truncate_to_int32(gps_input(LONGITUDE_INPUT) / LONGITUDE_PER_DEGREE);
    double value = fabs(gps.lon_degrees);
    show_element_when(&element->head, gps_running_on(2));
    format_readout(element->text, "%03.0f\xB0", value);
    return value;
}

// 32: minutes of longitude; the degrees are taken in single precision first, as they always
// have been, and the whole degrees come from earlier in this pass
double GAUGE_CALL longitude_minutes_readout(StringElement* element) {
    light_element(&element->head);
    float degrees = (float)(gps_input(LONGITUDE_INPUT) / LONGITUDE_PER_DEGREE);
    float minutes = (float)((degrees - gps.lon_degrees) * 60.0);
    gps.lon_minutes = minutes;
    double value = fabsf(minutes);
    show_element_when(&element->head, gps_running_on(2));
    format_readout(element->text, "%05.2f'", value);
    return value;
}
