// What the navigator's element callbacks share: the conditions that most of them show by.
#pragma once

#include <math.h>

#include "element_flags.h"
#include "gauge_math.h"
#include "gauge_records.h"
#include "gps_state.h"

// Powered and past the start-up check. Integer fields are tested for their exact values.
static inline bool gps_running(void) {
    return gps.powered == 1 && gps.startup_state == STARTUP_RUN;
}

// Running and showing `page`.
static inline bool gps_running_on(int32_t page) {
    return gps_running() && gps.page == page;
}

// Whole hours of the time en route, the fraction dropped toward zero. A time that is not
// finite stays so, and its readout shows dashes.
static inline double ete_whole_hours(void) {
    double hours = gps.ete_hours;
    if (!isfinite(hours)) return hours;
    // x - x is +0, so the sign is put back: -0.5 h reads "-0", as a dropped fraction does
    return copysign(hours - gauge_fmod(hours, 1.0), hours);
}
