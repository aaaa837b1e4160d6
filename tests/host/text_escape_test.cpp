#include "text_escape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

using panel::format_double;
using panel::quote_text;

TEST(TextEscape, QuotesPrintableTextAndEscapesEveryOtherByte) {
    EXPECT_EQ(quote_text("DTK 354\xB0"), "\"DTK 354\\xB0\"");
    EXPECT_EQ(quote_text("a\"b\\c"), "\"a\\x22b\\x5Cc\"");
    EXPECT_EQ(quote_text(std::string("\n\x01\x7F\xFF", 4)), "\"\\x0A\\x01\\x7F\\xFF\"");
    EXPECT_EQ(quote_text(""), "\"\"");
}

TEST(TextEscape, PrintsDoublesAsPrintfG17) {
    // clang-format off
    const double values[] = {0.0, -0.0, 1.0, 0.1, 12.300000190734863, -394.0, 1e300, 5e-324,
                             99.900001525878906, 1.0 / 3.0, 123456789012345678.0};
    // clang-format on
    for (double value : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.17g", value);
        EXPECT_EQ(format_double(value), expected);
    }
}

TEST(TextEscape, TellsApartValuesOneBitApartAndSpellsNonFiniteValues) {
    EXPECT_NE(format_double(0.1), format_double(std::nextafter(0.1, 1.0)));
    EXPECT_EQ(format_double(INFINITY), "inf");
    EXPECT_EQ(format_double(-INFINITY), "-inf");
    EXPECT_EQ(format_double(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(format_double(-std::numeric_limits<double>::quiet_NaN()), "-nan");
}
