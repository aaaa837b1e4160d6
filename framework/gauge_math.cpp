#include "gauge_math.h"

#include <math.h>

int32_t truncate_to_int32(double value) {
    if (value != value) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return (int32_t)value;
}

double gauge_fmod(double dividend, double divisor) {
    return fmod(dividend, divisor);
}

double gauge_sin(double radians) {
    return sin(radians);
}
