// The ten icons and the needle: frames, visibility and the lit bit.
#include <limits>

#include "gps_fixture.h"

namespace gps_test {
namespace {

using GpsPicturesTest = GpsTest;

TEST_F(GpsPicturesTest, SwitchedOnWithoutSupplyOnlyTheKnobAndBlackScreenShow) {
    press_and_update(POWER_ON);
    EXPECT_EQ(s.result(POWER_KNOB), 1.0);
    EXPECT_EQ(s.result(STARTUP_SCREEN), 0.0);
    EXPECT_TRUE(shown(POWER_KNOB) && shown(STARTUP_SCREEN));
    for (size_t n : {LIT_SCREEN, PAGE_IMAGE, DIRECT_TO_SYMBOL, DEVIATION_SCALE, NEEDLE, DEVIATION_FLAG, FLY_LEFT_RIGHT,
                     LEG_LABEL, HEMISPHERE}) {
        EXPECT_FALSE(shown(n)) << n;
    }
    press_and_update(POWER_OFF);
    EXPECT_EQ(s.result(POWER_KNOB), 0.0);
    EXPECT_FALSE(s.lit(POWER_KNOB));
    EXPECT_FALSE(s.lit(BACKGROUND));
}

TEST_F(GpsPicturesTest, ScreenFollowsTheStartUpThenThePage) {
    set(SUPPLY, 1.0);
    press_and_update(POWER_ON);
    EXPECT_EQ(s.result(STARTUP_SCREEN), 1.0);
    EXPECT_FALSE(shown(PAGE_IMAGE) || shown(LEG_LABEL));
    set(TICK, 54.0);
    frame();
    EXPECT_EQ(s.result(STARTUP_SCREEN), 2.0);
    EXPECT_FALSE(shown(PAGE_IMAGE) || shown(LEG_LABEL));
    press_and_update(ENT);
    EXPECT_EQ(s.result(STARTUP_SCREEN), 3.0);
    EXPECT_TRUE(shown(LIT_SCREEN) && shown(PAGE_IMAGE) && shown(LEG_LABEL));
    const double frames[] = {0.0, 0.0, 1.0, 2.0, 3.0};
    const Control to_next_page[] = {OUTER_RIGHT, OUTER_RIGHT, ALT, ALT};
    for (int page = 1; page <= 5; ++page) {
        if (page > 1) press_and_update(to_next_page[page - 2]);
        EXPECT_EQ(s.result(PAGE_IMAGE), frames[page - 1]) << page;
        EXPECT_EQ(shown(HEMISPHERE), page == 2);
        EXPECT_EQ(shown(DIRECT_TO_SYMBOL), page == 1);
        EXPECT_EQ(shown(LEG_LABEL), true);
    }
}

TEST_F(GpsPicturesTest, HemisphereFromTheSignsOfTheMinutes) {
    start_running();
    go_to_page(2);
    // The host's units: 1166871 is 10.5000 deg of latitude (111130.555557 a degree), 1111305.55557
    // exactly 10; 244573815 is 20.5 deg of longitude (11930430 a degree).
    const struct {
        double latitude, longitude, frame;
    } cases[] = {{1166871.0, 244573815.0, 0.0},     {1166871.0, -244573815.0, 1.0},
                 {-3722874.0, 1803881016.0, 2.0},   {-1166871.0, -244573815.0, 3.0},
                 {1111305.55557, 244573815.0, 0.0}, {std::numeric_limits<double>::quiet_NaN(), -244573815.0, 0.0}};
    for (const auto& c : cases) {
        set(LATITUDE, c.latitude);
        set(LONGITUDE, c.longitude);
        frame();
        frame();
        EXPECT_EQ(s.result(HEMISPHERE), c.frame) << c.latitude << " " << c.longitude;
    }
}

TEST_F(GpsPicturesTest, DeviationScaleAndNeedleOrFlyWords) {
    start_running();
    set(CROSS_TRACK, -13554.0);  // / 1856.7508 = -7.2998 nm
    frame();
    EXPECT_TRUE(shown(DEVIATION_SCALE) && shown(NEEDLE));
    EXPECT_FALSE(shown(DEVIATION_FLAG) || shown(FLY_LEFT_RIGHT));
    EXPECT_EQ(s.result(NEEDLE), -5.0);
    EXPECT_EQ(s.y_result(NEEDLE), 0.0);
    set(CROSS_TRACK, 13554.0);
    frame();
    EXPECT_EQ(s.result(NEEDLE), 5.0);
    set(CROSS_TRACK, 4642.0);  // / 1856.7508 = 2.50007 nm
    frame();
    EXPECT_NEAR(s.result(NEEDLE), 2.50007, 0.00001);
    set(CROSS_TRACK, 9283.0);  // 4.99959 nm, inside the stop (1852 m per nm would give 5.0124)
    frame();
    EXPECT_NEAR(s.result(NEEDLE), 4.99959, 0.00001);

    press_and_update(CRSR);  // sub-page 1
    EXPECT_FALSE(shown(DEVIATION_SCALE) || shown(NEEDLE) || shown(DEVIATION_FLAG));
    EXPECT_TRUE(shown(FLY_LEFT_RIGHT));
    for (auto [cross_track, frame_expected] : {std::pair{-13554.0, 0.0}, std::pair{4642.0, 1.0}, std::pair{0.0, 0.0}}) {
        set(CROSS_TRACK, cross_track);
        frame();
        EXPECT_EQ(s.result(FLY_LEFT_RIGHT), frame_expected) << cross_track;
    }
}

TEST_F(GpsPicturesTest, UnusableNavigationFlagsTheScale) {
    start_running();
    for (int i = 0; i < 3; ++i) press_and_update(CRSR);  // sub-page 3
    s.variables().set_integer(STATUS, 64);
    frame();
    frame();
    EXPECT_TRUE(shown(DEVIATION_FLAG));
    EXPECT_FALSE(shown(DEVIATION_SCALE) || shown(NEEDLE) || shown(DIRECT_TO_SYMBOL));
    EXPECT_EQ(s.result(LEG_LABEL), 1.0);
    EXPECT_EQ(s.result(DIRECT_TO_SYMBOL), 0.0);
}

TEST_F(GpsPicturesTest, DirectToSymbolByStatusCode) {
    start_running();
    for (auto [code, expected] : {std::pair{111, 1.0}, std::pair{39, 1.0}, std::pair{95, 0.0}, std::pair{103, 1.0},
                                  std::pair{7, 0.0}, std::pair{127, 1.0}, std::pair{65, 0.0}}) {
        s.variables().set_integer(STATUS, code);
        frame();
        frame();
        EXPECT_EQ(s.result(DIRECT_TO_SYMBOL), expected) << code;
        EXPECT_TRUE(shown(DIRECT_TO_SYMBOL)) << code;
    }
}

}  // namespace
}  // namespace gps_test
