// The arguments that the math sample program and the native math tests share: the values the
// gauges meet (whole-degree wind angles, seconds, hours), the edges of IEEE doubles, and a
// fixed pseudo-random spread over every magnitude.
#pragma once

#include <math.h>
#include <stdint.h>
#include <string.h>

#include <limits>

namespace math_samples {

inline double from_bits(uint64_t bits) {
    double value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

// xorshift64*: the same sequence in every build.
struct Random {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    uint64_t next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1Dull;
    }
    // A finite double with a random mantissa and sign, its exponent in [low, high].
    double spread(int low, int high) {
        uint64_t r = next();
        uint64_t exponent = (uint64_t)(low + (int)(r % (uint64_t)(high - low + 1)) + 1023);
        return from_bits((r & 0x800FFFFFFFFFFFFFull) | (exponent << 52));
    }
};

inline const double* special_values(int* count) {
    static const double values[] = {
        // clang-format off
        0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 3.14, 6.28, 1e300, -1e300, 1e-300,
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
        std::numeric_limits<double>::denorm_min(), 1.5707963267948966, 3.1415926535897931,
        0.78539816339744828, 0.7853981633974484, 2147483647.0, -2147483648.0, 359999.0,
        3.7465685e7, 1e22,
        // clang-format on
        ldexp(6381956970095103.0, 797),  // the double nearest a multiple of pi/2
    };
    *count = (int)(sizeof values / sizeof values[0]);
    return values;
}

template <typename Visit>
void for_each_sin_sample(Visit visit) {
    int count;
    const double* specials = special_values(&count);
    for (int i = 0; i < count; ++i) visit(specials[i]);
    // The track readout's argument: a whole-degree angle times 3.14 / 180.
    for (int degrees = -1080; degrees <= 1080; ++degrees) visit(degrees * 3.14 / 180.0);
    for (int degrees = -2000000; degrees <= 2000000; degrees += 997) visit(degrees * 3.14 / 180.0);
    Random random;
    for (int i = 0; i < 20000; ++i) visit(random.spread(-30, 3));
    for (int i = 0; i < 5000; ++i) visit(random.spread(3, 60));
    for (int i = 0; i < 2000; ++i) visit(random.spread(60, 1023));
}

template <typename Visit>
void for_each_fmod_sample(Visit visit) {
    int count;
    const double* specials = special_values(&count);
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < count; ++j) visit(specials[i], specials[j]);
    }
    // The gauges' remainders: hours modulo 1, seconds modulo 3600, counts modulo 2.
    for (int i = -4000; i <= 4000; ++i) {
        visit(i * 0.001 * 2.75, 1.0);
        visit(i * 97.0, 3600.0);
        visit((double)i, 2.0);
    }
    Random random;
    for (int i = 0; i < 20000; ++i) visit(random.spread(-20, 40), random.spread(-20, 20));
    for (int i = 0; i < 2000; ++i) visit(random.spread(-1022, 1023), random.spread(-1074 + 52, 1023));
}

}  // namespace math_samples

using math_samples::for_each_fmod_sample;
using math_samples::for_each_sin_sample;
