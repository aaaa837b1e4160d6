#include "gauge_math.h"

#include <string.h>

int32_t truncate_to_int32(double value) {
    if (value != value) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return (int32_t)value;
}

// The remainder is exact, but the libraries disagree on which NaN they return for NaN
// arguments, so it is computed here: a binary long division of the two significands.
double gauge_fmod(double dividend, double divisor) {
    if (dividend != dividend) return dividend + dividend;  // the NaN argument, quieted
    if (divisor != divisor) return divisor + divisor;
    uint64_t x, y;
    memcpy(&x, &dividend, sizeof x);
    memcpy(&y, &divisor, sizeof y);
    int x_exponent = (int)((x >> 52) & 0x7FF), y_exponent = (int)((y >> 52) & 0x7FF);
    uint64_t sign = x & 0x8000000000000000ull;
    // Infinite dividend or zero divisor: the invalid operation's own NaN, the same in every
    // SSE2 build.
    if (x_exponent == 0x7FF || (y << 1) == 0) return (dividend * divisor) / (dividend * divisor);
    if ((x << 1) <= (y << 1)) return (x << 1) == (y << 1) ? 0.0 * dividend : dividend;

    // Significands with the hidden bit, subnormals shifted up to the same form.
    uint64_t x_bits, y_bits;
    if (x_exponent == 0) {
        for (x_bits = x << 12; (x_bits >> 63) == 0; x_bits <<= 1) --x_exponent;
        x_bits = x << (1 - x_exponent);
    } else {
        x_bits = (x & 0xFFFFFFFFFFFFFull) | 0x10000000000000ull;
    }
    if (y_exponent == 0) {
        for (y_bits = y << 12; (y_bits >> 63) == 0; y_bits <<= 1) --y_exponent;
        y_bits = y << (1 - y_exponent);
    } else {
        y_bits = (y & 0xFFFFFFFFFFFFFull) | 0x10000000000000ull;
    }

    for (; x_exponent > y_exponent; --x_exponent) {
        if (x_bits >= y_bits) {
            if (x_bits == y_bits) return 0.0 * dividend;
            x_bits -= y_bits;
        }
        x_bits <<= 1;
    }
    if (x_bits >= y_bits) {
        if (x_bits == y_bits) return 0.0 * dividend;
        x_bits -= y_bits;
    }
    for (; (x_bits >> 52) == 0; x_bits <<= 1) --x_exponent;
    if (x_exponent > 0) {
        x_bits = (x_bits - 0x10000000000000ull) | ((uint64_t)x_exponent << 52);
    } else {
        x_bits >>= 1 - x_exponent;
    }
    x_bits |= sign;
    double remainder;
    memcpy(&remainder, &x_bits, sizeof remainder);
    return remainder;
}

// gauge_sin: the system libraries differ in the last bit (the 32-bit Windows runtime uses the
// x87 unit), so the sine is computed here with integer steps and IEEE double +, -, *, / only,
// which round identically in every SSE2 build. Range reduction by 2/pi to 160 fraction bits,
// then minimax polynomials on [-pi/4, pi/4]; the error stays below one unit in the last place.

// The bits of 2/pi after the binary point, 32 to a word, enough for every finite double.
static const uint32_t two_over_pi_bits[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D,
};
static const int two_over_pi_count = (int)(sizeof two_over_pi_bits * 8);

// pi/2 as an unevaluated sum of two doubles.
static const double half_pi_hi = 1.5707963267948966;     // 0x1.921fb54442d18p+0
static const double half_pi_lo = 6.123233995736766e-17;  // 0x1.1a62633145c07p-54

// Bits first .. first+31 of 2/pi (bit 1 is the first after the point); zero past the table.
static uint32_t two_over_pi_word(int first) {
    uint64_t window = 0;
    for (int bit = first; bit < first + 32; ++bit) {
        int index = bit - 1;
        uint32_t value = 0;
        if (index >= 0 && index < two_over_pi_count) {
            value = (two_over_pi_bits[index / 32] >> (31 - index % 32)) & 1u;
        }
        window = (window << 1) | value;
    }
    return (uint32_t)window;
}

// 32 bits of a 256-bit number (eight words, least significant first) from bit `low` upward;
// bits below 0 read as zero.
static uint32_t bits_at(const uint32_t number[8], int low) {
    uint32_t result = 0;
    for (int i = 31; i >= 0; --i) {
        int bit = low + i;
        uint32_t value = bit >= 0 && bit < 256 ? (number[bit / 32] >> (bit % 32)) & 1u : 0u;
        result = (result << 1) | value;
    }
    return result;
}

// The exact product a * b as hi + lo (Dekker), without a fused multiply-add.
static void two_product(double a, double b, double* hi, double* lo) {
    const double split = 134217729.0;  // 2^27 + 1
    double ta = a * split, tb = b * split;
    double a_hi = ta - (ta - a), a_lo = a - a_hi;
    double b_hi = tb - (tb - b), b_lo = b - b_hi;
    *hi = a * b;
    *lo = ((a_hi * b_hi - *hi) + a_hi * b_lo + a_lo * b_hi) + a_lo * b_lo;
}

// |x| > pi/4, finite: x = n * pi/2 + (y0 + y1) with |y0 + y1| <= pi/4; returns n mod 4.
static int reduce_half_pi(double x, double* y0, double* y1) {
    uint64_t bits;
    memcpy(&bits, &x, sizeof bits);
    int exponent = (int)((bits >> 52) & 0x7FF) - 1075;  // x = mantissa * 2^exponent
    uint64_t mantissa = (bits & 0xFFFFFFFFFFFFFull) | 0x10000000000000ull;

    // Bits of 2/pi that weigh 4 or more after the multiplication only add whole turns.
    int first = exponent - 1 > 1 ? exponent - 1 : 1;
    uint32_t window[6];
    for (int i = 0; i < 6; ++i) window[i] = two_over_pi_word(first + 32 * i);

    // product = mantissa * window, as eight 32-bit words, least significant first.
    uint32_t product[8] = {0};
    uint32_t factor[2] = {(uint32_t)mantissa, (uint32_t)(mantissa >> 32)};
    for (int i = 0; i < 2; ++i) {
        uint64_t carry = 0;
        for (int j = 5; j >= 0; --j) {  // least significant word first, for the carry
            int at = i + (5 - j);
            uint64_t sum = (uint64_t)factor[i] * window[j] + product[at] + carry;
            product[at] = (uint32_t)sum;
            carry = sum >> 32;
        }
        for (int at = i + 6; carry != 0 && at < 8; ++at) {
            uint64_t sum = (uint64_t)product[at] + carry;
            product[at] = (uint32_t)sum;
            carry = sum >> 32;
        }
    }

    // The units bit of x * 2/pi sits `point` bits up from the bottom of the product.
    int point = first + 191 - exponent;
    int quadrant = (int)(bits_at(product, point) & 3u);
    uint32_t fraction[5];  // the 160 bits after the point, most significant first
    for (int k = 0; k < 5; ++k) fraction[k] = bits_at(product, point - 32 * (k + 1));

    double sign = 1.0;
    if (fraction[0] & 0x80000000u) {  // a half or more: take the distance to the next quadrant
        uint64_t borrow = 1;
        for (int k = 4; k >= 0; --k) {
            uint64_t value = (uint64_t)(uint32_t)~fraction[k] + borrow;
            fraction[k] = (uint32_t)value;
            borrow = value >> 32;
        }
        quadrant = (quadrant + 1) & 3;
        sign = -1.0;
    }

    // The fraction as hi + lo, each word added exactly at its weight.
    double hi = 0.0, lo = 0.0, weight = 1.0;
    for (int k = 0; k < 5; ++k) {
        weight *= 2.3283064365386963e-10;  // 2^-32
        double term = (double)fraction[k] * weight;
        double sum = hi + term;
        lo += (hi >= term) ? term - (sum - hi) : hi - (sum - term);
        hi = sum;
    }

    double product_hi, product_lo;
    two_product(hi, half_pi_hi, &product_hi, &product_lo);
    product_lo += hi * half_pi_lo + lo * half_pi_hi;
    double r = product_hi + product_lo;
    *y0 = sign * r;
    *y1 = sign * (product_lo - (r - product_hi));
    return quadrant;
}

// sin(x + y) for |x + y| <= pi/4, y a small correction to x.
static double kernel_sin(double x, double y) {
    const double s1 = -1.66666666666666324348e-01, s2 = 8.33333333332248946124e-03, s3 = -1.98412698298579493134e-04,
                 s4 = 2.75573137070700676789e-06, s5 = -2.50507602534068634195e-08, s6 = 1.58969099521155010221e-10;
    double z = x * x, w = z * z;
    double r = s2 + z * (s3 + z * s4) + z * w * (s5 + z * s6);
    double v = z * x;
    if (y == 0.0) return x + v * (s1 + z * r);
    return x - ((z * (0.5 * y - v * r) - y) - v * s1);
}

// cos(x + y) for |x + y| <= pi/4.
static double kernel_cos(double x, double y) {
    const double c1 = 4.16666666666666019037e-02, c2 = -1.38888888888741095749e-03, c3 = 2.48015872894767294178e-05,
                 c4 = -2.75573143513906633035e-07, c5 = 2.08757232129817482790e-09, c6 = -1.13596475577881948265e-11;
    double z = x * x, w = z * z;
    double r = z * (c1 + z * (c2 + z * c3)) + w * w * (c4 + z * (c5 + z * c6));
    double half_z = 0.5 * z;
    w = 1.0 - half_z;
    return w + (((1.0 - w) - half_z) + (z * r - x * y));
}

double gauge_sin(double radians) {
    double magnitude = radians < 0.0 ? -radians : radians;
    if (!(magnitude <= 1.7976931348623157e308)) return radians - radians;  // NaN or infinite
    if (magnitude < 1.4901161193847656e-08) return radians;                // 2^-26: sin x = x
    if (magnitude <= 0.78539816339744828) return kernel_sin(radians, 0.0);

    double y0, y1;
    int quadrant = reduce_half_pi(magnitude, &y0, &y1);
    double result;
    switch (quadrant) {
        case 0: result = kernel_sin(y0, y1); break;
        case 1: result = kernel_cos(y0, y1); break;
        case 2: result = -kernel_sin(y0, y1); break;
        default: result = -kernel_cos(y0, y1); break;
    }
    return radians < 0.0 ? -result : result;
}
