// The distance, speed, time and frequency readouts of a powered radio.
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

#include "dme_fixture.h"

namespace dme_test {
namespace {

class DmeReadouts : public DmeTest {
protected:
    void SetUp() override { power_up(); }
};

TEST_F(DmeReadouts, DistanceSpeedAndTimeAtRmt) {
    show(12.34, 140.6);
    EXPECT_STREQ(s.text(DISTANCE), "12.3");
    EXPECT_STREQ(s.text(SPEED), "141");
    EXPECT_STREQ(s.text(TIME), "  5");
    EXPECT_EQ(s.result(DISTANCE), double(12.34f));
    EXPECT_EQ(s.result(SPEED), double(140.6f));
    // 12.34 over the truncated speed 140, x 60 = 5.2885714, worked in float
    EXPECT_EQ(s.result(TIME), double(5.28857136f));
    for (Element e : {DISTANCE, SPEED, TIME}) EXPECT_FALSE(s.hidden(e)) << e;
}

TEST_F(DmeReadouts, SpeedTextIsTheUnclampedFigureButTimeUsesTheClampedOne) {
    show(50.0, 1500.0);
    EXPECT_STREQ(s.text(SPEED), "1500");
    EXPECT_EQ(s.result(TIME), double(3.00300312f));  // 50 / 999 x 60
    show(50.0, 1000.0);                              // exactly 1000 is not clamped
    EXPECT_EQ(s.result(TIME), 3.0);
    show(50.0, 7.6);
    EXPECT_STREQ(s.text(SPEED), "008");
    EXPECT_EQ(s.result(TIME), double(428.571411f));  // 50 / 7 x 60: the speed truncated, not rounded
}

TEST_F(DmeReadouts, SpeedZeroShowsNinetyNineMinutes) {
    show(12.0, 0.4);
    EXPECT_STREQ(s.text(TIME), " 99");
    EXPECT_EQ(s.result(TIME), 99.0);
    EXPECT_FALSE(s.hidden(TIME));
}

TEST_F(DmeReadouts, NegativeFiguresHideOnlyAtTheirLimits) {
    show(-0.5, 100.0);
    EXPECT_FALSE(s.hidden(DISTANCE));
    EXPECT_STREQ(s.text(DISTANCE), "-0.5");
    show(-1.0, 100.0);
    EXPECT_TRUE(s.hidden(DISTANCE));
    EXPECT_FALSE(s.hidden(TIME));  // one negative figure is not enough to hide the time
    show(-2.0, -5.0);
    EXPECT_TRUE(s.hidden(SPEED));
    EXPECT_TRUE(s.hidden(TIME));
    show(2.0, -5.0);
    EXPECT_TRUE(s.hidden(SPEED));
    EXPECT_FALSE(s.hidden(TIME));
}

TEST_F(DmeReadouts, ReceptionMustBeStrictlyAbove255) {
    set(RECEPTION, 255.0);
    show(12.0, 100.0);
    for (Element e : {DISTANCE, SPEED, TIME}) EXPECT_TRUE(s.hidden(e)) << e;
    set(RECEPTION, 256.0);
    s.run_frame();
    for (Element e : {DISTANCE, SPEED, TIME}) EXPECT_FALSE(s.hidden(e)) << e;
}

TEST_F(DmeReadouts, FrequencyWordsAreFourBcdDigits) {
    click_freq(1);  // counter 0: the steady frequency
    const std::pair<int32_t, const char*> cases[] = {
        {0x1345, "113.45"}, {0x0800, "108.00"}, {0x1080, "110.80"}, {0x0975, "109.75"}};
    for (auto [word, text] : cases) {
        s.variables().set_integer(FREQ_VAR, word);
        s.variables().set_integer(SET_FREQ_VAR, word);
        s.run_frame();
        EXPECT_STREQ(s.text(FREQ), text);
        EXPECT_STREQ(s.text(FREQ_SET), text);
        EXPECT_EQ(s.result(FREQ), 13.0);
        EXPECT_EQ(s.result(FREQ_SET), 13.0);
    }
}

// Each readout keeps the text of its last word. A word held over frames gives its text in every
// frame (the host hands over a cleared buffer each time); a word that changes in any digit, or
// changes back, gives its own. The set frequency runs through the words in reverse order.
TEST_F(DmeReadouts, FrequencyTextsFollowTheirWordsFrameAfterFrame) {
    click_freq(1);
    const std::pair<int32_t, const char*> steps[] = {{0x1345, "113.45"}, {0x1345, "113.45"}, {0x0945, "109.45"},
                                                     {0x0945, "109.45"}, {0x1340, "113.40"}, {0x1345, "113.45"}};
    const size_t count = std::size(steps);
    for (size_t i = 0; i < count; ++i) {
        s.variables().set_integer(FREQ_VAR, steps[i].first);
        s.variables().set_integer(SET_FREQ_VAR, steps[count - 1 - i].first);
        s.run_frame();
        EXPECT_STREQ(s.text(FREQ), steps[i].second) << "frame " << i;
        EXPECT_STREQ(s.text(FREQ_SET), steps[count - 1 - i].second) << "frame " << i;
    }
    // Only the four digits count: bits above them leave the text as it was.
    s.variables().set_integer(FREQ_VAR, 0x71345);
    s.run_frame();
    EXPECT_STREQ(s.text(FREQ), "113.45");
}

TEST_F(DmeReadouts, OutOfRangeInputsStayInsideTheTextBuffer) {
    const double nan_value = std::numeric_limits<double>::quiet_NaN();
    show(1e30, 1e300);
    EXPECT_EQ(std::strlen(s.text(DISTANCE)), 31u);
    EXPECT_STREQ(s.text(SPEED), "---");                 // infinite as a float: the format's shape in dashes
    EXPECT_EQ(s.result(TIME), double(6.00600581e28f));  // 1e30 / 999 x 60
    show(nan_value, -1e300);
    EXPECT_STREQ(s.text(DISTANCE), "-.-");
    EXPECT_TRUE(s.hidden(DISTANCE));
    EXPECT_TRUE(s.hidden(SPEED));             // saturates at the lowest integer: negative
    s.variables().set_integer(FREQ_VAR, -1);  // every nibble 15
    click_freq(1);
    EXPECT_STREQ(s.text(FREQ), "11515.15");
}

}  // namespace
}  // namespace dme_test
