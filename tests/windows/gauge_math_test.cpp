// gauge_sin and gauge_fmod against the C library of the native build: the sine within one
// unit in the last place everywhere (it is computed without the library so that the Windows
// build gives the same bits), the remainder exactly.
#include "gauge_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "math_sample_inputs.h"

namespace {

uint64_t bits(double value) {
    uint64_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

// Distance in units of the last place between two finite doubles of the same sign.
uint64_t ulps(double a, double b) {
    if (a == b) return 0;
    if (std::signbit(a) != std::signbit(b)) return ~0ull;
    uint64_t x = bits(a) & 0x7FFFFFFFFFFFFFFFull, y = bits(b) & 0x7FFFFFFFFFFFFFFFull;
    return x > y ? x - y : y - x;
}

}  // namespace

TEST(GaugeSin, WithinOneUlpOfTheLibraryOverEverySample) {
    int checked = 0, exact = 0;
    for_each_sin_sample([&](double x) {
        double want = std::sin(x), got = gauge_sin(x);
        if (std::isnan(want)) {
            EXPECT_TRUE(std::isnan(got)) << x;
            return;
        }
        ++checked;
        if (got == want) ++exact;
        EXPECT_LE(ulps(got, want), 1u) << "x=" << x << " got " << got << " want " << want;
    });
    EXPECT_GT(checked, 30000);
    // The polynomials are close to correctly rounded: nearly all results match the library.
    EXPECT_GT(exact, checked * 95 / 100);
}

TEST(GaugeSin, KeepsTheSymmetriesAndTheEdges) {
    EXPECT_EQ(bits(gauge_sin(0.0)), bits(0.0));
    EXPECT_EQ(bits(gauge_sin(-0.0)), bits(-0.0));
    EXPECT_EQ(gauge_sin(1e-300), 1e-300);
    EXPECT_TRUE(std::isnan(gauge_sin(INFINITY)));
    EXPECT_TRUE(std::isnan(gauge_sin(-INFINITY)));
    EXPECT_TRUE(std::isnan(gauge_sin(NAN)));
    for (double x : {0.3, 1.0, 2.5, 100.0, 3.7e7, 1e22, 1e300}) {
        EXPECT_EQ(gauge_sin(-x), -gauge_sin(x)) << x;
        EXPECT_LE(std::fabs(gauge_sin(x)), 1.0);
    }
    // The track readout's argument: 90 whole degrees with the gauge's 3.14.
    EXPECT_EQ(gauge_sin(90 * 3.14 / 180.0), std::sin(90 * 3.14 / 180.0));
}

TEST(GaugeSin, ReducesArgumentsNearMultiplesOfHalfPiAccurately) {
    // The double nearest a multiple of pi/2: its sine is about 4.7e-19 (or the cosine of
    // that), which a reduction with too few bits of pi gets wrong in every digit.
    double x = std::ldexp(6381956970095103.0, 797);
    EXPECT_LE(ulps(gauge_sin(x), std::sin(x)), 1u);
    EXPECT_LE(ulps(gauge_sin(3.1415926535897931), std::sin(3.1415926535897931)), 1u);
    EXPECT_LE(ulps(gauge_sin(1.5707963267948966), std::sin(1.5707963267948966)), 1u);
}

TEST(GaugeFmod, ExactlyTheLibraryRemainderOverEverySample) {
    for_each_fmod_sample([&](double x, double y) {
        double want = std::fmod(x, y), got = gauge_fmod(x, y);
        if (std::isnan(want)) {
            EXPECT_TRUE(std::isnan(got)) << x << " " << y;
        } else {
            EXPECT_EQ(bits(got), bits(want)) << x << " " << y;
        }
    });
    EXPECT_EQ(bits(gauge_fmod(-3.0, 2.0)), bits(-1.0));
    EXPECT_EQ(bits(gauge_fmod(-4.0, 2.0)), bits(-0.0));
    EXPECT_EQ(gauge_fmod(2.75, 1.0), 0.75);
}
