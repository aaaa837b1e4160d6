// Number conversions that behave the same on every build and for every input.
#pragma once

#include <stdint.h>

// Truncates toward zero into a signed 32-bit integer, saturating at the limits; NaN gives 0.
// Gauge code never casts a floating-point value to an integer any other way.
int32_t truncate_to_int32(double value);

// The floating-point remainder with the sign of the dividend, as the C library's fmod.
double gauge_fmod(double dividend, double divisor);

// The sine of an angle in radians, identical to the last bit on every build.
double gauge_sin(double radians);
