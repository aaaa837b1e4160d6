// The shared text and number helpers every readout of both gauges relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "gauge_math.h"
#include "readout_text.h"

namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// A buffer exactly as large as the host's, with a guard after it that must stay untouched.
struct GuardedText {
    char text[GAUGE_TEXT_CAPACITY];
    char guard[16];
    GuardedText() {
        std::memset(text, 'x', sizeof text);
        std::memset(guard, '#', sizeof guard);
    }
    bool guard_intact() const {
        for (char c : guard) {
            if (c != '#') return false;
        }
        return true;
    }
};

std::string formatted(const char* format, double value) {
    GuardedText buffer;
    format_readout(buffer.text, format, value);
    EXPECT_TRUE(buffer.guard_intact());
    return buffer.text;
}

TEST(FormatReadout, FiniteValuesFormatAsPrintfDoes) {
    EXPECT_EQ(formatted("%3.1fnm", 12.34), "12.3nm");
    EXPECT_EQ(formatted("%04.0ffpm", -394.0), "-394fpm");
    EXPECT_EQ(formatted("DTK %03.0f\xB0", 354.268), "DTK 354\xB0");
    EXPECT_EQ(formatted("%03.0f00", 45.0), "04500");
}

TEST(FormatReadout, NonFiniteValuesShowTheFormatsShapeInDashes) {
    EXPECT_EQ(formatted("%05.1fnm", nan_value), "---.-nm");
    EXPECT_EQ(formatted("%2.0f:", infinity), " -:");
    EXPECT_EQ(formatted("%02.0f", -infinity), "--");
    EXPECT_EQ(formatted("%3.0f", nan_value), "  -");
    // Digits written in the format itself are not the figure's and stay.
    EXPECT_EQ(formatted("%03.0f00", nan_value), "---00");
    EXPECT_EQ(formatted(">%03.0f\xB0To", infinity), ">---\xB0To");
}

TEST(FormatReadout, HugeValuesNeverOverrunTheHostBuffer) {
    std::string text = formatted("%3.1fnm", 1e300);
    EXPECT_EQ(text.size(), GAUGE_TEXT_CAPACITY - 1u);
    EXPECT_EQ(text.substr(0, 3), "100");
    EXPECT_EQ(formatted("%05.2f'", -1e30).size(), GAUGE_TEXT_CAPACITY - 1u);
}

TEST(CopyReadoutText, CopiesAtMostThirtyOneCharacters) {
    GuardedText buffer;
    copy_readout_text(buffer.text, "KJFK");
    EXPECT_STREQ(buffer.text, "KJFK");

    std::string long_text(200, 'W');
    copy_readout_text(buffer.text, long_text.c_str());
    EXPECT_EQ(std::string(buffer.text), std::string(31, 'W'));
    EXPECT_TRUE(buffer.guard_intact());

    copy_readout_text(buffer.text, nullptr);
    EXPECT_STREQ(buffer.text, "");
}

TEST(TruncateToInt32, RoundsTowardZero) {
    EXPECT_EQ(truncate_to_int32(2.99), 2);
    EXPECT_EQ(truncate_to_int32(-2.99), -2);
    EXPECT_EQ(truncate_to_int32(-0.5), 0);
    EXPECT_EQ(truncate_to_int32(2147483647.9), 2147483647);
    EXPECT_EQ(truncate_to_int32(-2147483648.9), -2147483647 - 1);
}

TEST(TruncateToInt32, SaturatesOutOfRangeAndMapsNanToZero) {
    EXPECT_EQ(truncate_to_int32(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(truncate_to_int32(-1e300), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(truncate_to_int32(infinity), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(truncate_to_int32(-infinity), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(truncate_to_int32(nan_value), 0);
}

TEST(GaugeFmod, KeepsTheSignOfTheDividend) {
    EXPECT_EQ(gauge_fmod(-7.0, 2.0), -1.0);
    EXPECT_EQ(gauge_fmod(2.75, 1.0), 0.75);
    EXPECT_EQ(gauge_fmod(-3661.0, 3600.0), -61.0);
}

}  // namespace
