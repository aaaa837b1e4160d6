// The gauge callback: input refresh, power, start-up delay, derived figures, flight timer,
// status flag, one-time reset and the altitude alerter, all seen through the readouts.
#include <cmath>
#include <limits>

#include "gps_fixture.h"

namespace gps_test {
namespace {

using GpsUpdateTest = GpsTest;

TEST_F(GpsUpdateTest, PreUpdateRefreshesTheTwentyNineInputsInOrder) {
    const std::vector<uint32_t> order = {773, 836, 835, 837, 832, 834, 838, 2,  614, 604, 6,  7,  827, 828, 0,
                                         1,   5,   344, 81,  343, 61,  74,  45, 40,  75,  84, 65, 847, 60};
    s.log().clear();
    s.driver().pre_update();
    EXPECT_EQ(s.log().lookups(), order);
    s.log().clear();
    frame();
    EXPECT_EQ(s.log().lookups(), order);  // elements' own variables are the host's to fill
}

TEST_F(GpsUpdateTest, OtherServiceIdsDoNothing) {
    start_running();
    set(SUPPLY, 0.0);
    s.log().clear();
    for (int32_t id : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, -1}) s.driver().service(id);
    EXPECT_TRUE(s.log().lookups().empty());
    s.driver().update_elements();
    EXPECT_TRUE(shown(PAGE_NUMBER));  // still powered, running, on page 1: nothing re-derived or reset
    EXPECT_EQ(text(PAGE_NUMBER), "1");
}

TEST(GpsLoadTest, FirstPreDrawResetsOnceAndPreUpdateWorksBeforeIt) {
    panel::GaugeSession s{module_path()};
    s.variables().set_number(SUPPLY, 1.0);
    s.variables().set_number(DISTANCE, 23210.0);  // 23210 m / 1856.7508 = 12.5003 nm
    s.click(control_point[POWER_ON].x, control_point[POWER_ON].y);
    s.driver().pre_update();
    s.driver().update_elements();
    EXPECT_FALSE(s.hidden(LIT_SCREEN));  // derived from the zero state plus the click
    EXPECT_STREQ(s.text(DISTANCE_TEXT), "12.5nm");
    s.driver().pre_draw();  // the reset: switched off again
    s.run_frame();
    EXPECT_TRUE(s.hidden(LIT_SCREEN));
    s.click(control_point[POWER_ON].x, control_point[POWER_ON].y);
    s.run_frame();
    s.run_frame();  // later pre-draws leave the state alone
    EXPECT_FALSE(s.hidden(LIT_SCREEN));
}

TEST_F(GpsUpdateTest, PoweredOnlyAtSupplyExactlyOneWithTheSwitchOn) {
    set(SUPPLY, 1.0);
    frame();
    EXPECT_FALSE(shown(LIT_SCREEN));
    press_and_update(POWER_ON);
    EXPECT_TRUE(shown(LIT_SCREEN));
    for (double supply : {0.999, 1.5, 2.0, std::numeric_limits<double>::quiet_NaN()}) {
        set(SUPPLY, supply);
        frame();
        EXPECT_FALSE(shown(LIT_SCREEN)) << supply;
    }
}

TEST_F(GpsUpdateTest, StartUpDelayEndsWhenTheCounterReachesOrPassesTheMark) {
    set(SUPPLY, 1.0);
    set(TICK, 10.7);
    press_and_update(POWER_ON);  // mark = truncate(64.7) = 64
    EXPECT_EQ(s.result(STARTUP_SCREEN), 1.0);
    set(TICK, 63.9);
    frame();
    EXPECT_EQ(s.result(STARTUP_SCREEN), 1.0);
    set(TICK, 70.0);  // skipped past the mark between two updates
    frame();
    EXPECT_EQ(s.result(STARTUP_SCREEN), 2.0);
}

TEST_F(GpsUpdateTest, StartUpDelayRunsWithoutSupply) {
    set(TICK, 0.0);
    press_and_update(POWER_ON);
    set(TICK, 54.0);
    frame();
    EXPECT_EQ(s.result(STARTUP_SCREEN), 0.0);  // dark while unpowered
    set(SUPPLY, 1.0);
    frame();
    EXPECT_EQ(s.result(STARTUP_SCREEN), 2.0);
}

TEST_F(GpsUpdateTest, NavigationFiguresInDisplayUnits) {
    start_running();
    set(BEARING, 1.57);       // 180 x 1.57 / 3.14 = 90.0
    set(DISTANCE, 18640.0);   // / 1856.7508 = 10.039 nm (1852 m per nm would give 10.065: "10.1")
    set(GROUND_SPEED, 50.0);  // x 1.944 = 97.2 kt
    frame();
    EXPECT_EQ(text(BEARING_TO), ">090\xB0To");
    EXPECT_EQ(text(DISTANCE_TEXT), "10.0nm");
    EXPECT_EQ(text(GROUND_SPEED_TEXT), " 97kt");
    // Values beside a rounding edge, on the side that only the navigator's constants reach.
    set(BEARING, 6.098);         // 180 x 6.098 / 3.14 = 349.57 (with pi: 349.39, "349")
    set(DISTANCE, 1948.0);       // / 1856.7508 = 1.0491 nm (1852 m per nm: 1.0518, "1.1")
    set(GROUND_SPEED, 100.055);  // x 1.944 = 194.507 kt (x 1.943844: 194.491, "194")
    frame();
    EXPECT_EQ(text(BEARING_TO), ">350\xB0To");
    EXPECT_EQ(text(DISTANCE_TEXT), "1.0nm");
    EXPECT_EQ(text(GROUND_SPEED_TEXT), "195kt");
    set(GROUND_SPEED, 1.0);
    frame();
    EXPECT_EQ(text(GROUND_SPEED_TEXT), "  2kt");  // 1.944 kt
}

TEST_F(GpsUpdateTest, TimeEnRouteNeedsAirspeedAboveFiveKnots) {
    start_running();
    // 317600 m = 171.051 nm at 50 m/s = 97.2 kt: 1.7598 h, 0.7598 x 60 = 45.59 min
    set(DISTANCE, 317600.0);
    set(GROUND_SPEED, 50.0);
    set(AIRSPEED, 5.0);
    frame();
    EXPECT_EQ(text(ETE_HOURS) + text(ETE_MINUTES), " 0:00");
    set(AIRSPEED, 5.0001);
    frame();
    EXPECT_EQ(text(ETE_HOURS) + text(ETE_MINUTES), " 1:45");
    // 180200 m = 97.0512 nm / 97.2 kt = 0.99847 h = 59.9 min; with 1852 m per nm it would
    // be 97.300 nm and 1.0010 h, " 1:00"
    set(DISTANCE, 180200.0);
    frame();
    EXPECT_EQ(text(ETE_HOURS) + text(ETE_MINUTES), " 0:59");
    set(GROUND_SPEED, 0.0);  // not finite: dashes
    frame();
    EXPECT_EQ(text(ETE_HOURS) + text(ETE_MINUTES), " -:00");
    EXPECT_TRUE(std::isinf(s.result(ETE_HOURS)));
    go_to_page(3);
    EXPECT_EQ(text(ETE3_H) + text(ETE3_M), "--00");
}

TEST_F(GpsUpdateTest, FlightTimerCountsFromEntAndClampsAtNinetyNineHours) {
    start_running(100.0);
    go_to_page(3);
    auto flight = [this](double seconds) {
        set(SECONDS, seconds);
        frame();
        return text(FLIGHT_H) + text(FLIGHT_M);
    };
    EXPECT_EQ(flight(100.9), "00:00");
    EXPECT_EQ(flight(100.0 + 4000.0), "01:06");
    EXPECT_EQ(flight(100.0 + 360000.0), "99:59");
    EXPECT_EQ(flight(100.0 - 61.0), "00:-1");  // a clock that ran backwards is not clamped
    flight(100.0 + 4000.0);
    press_and_update(POWER_OFF);  // stops the timer; the figure stays
    EXPECT_EQ(flight(100.0 + 9000.0), "01:06");
}

TEST_F(GpsUpdateTest, StatusCodesSixtyFourAndSeventyTwoMarkNavigationUnusable) {
    start_running();
    for (int32_t code : {64, 72, 0, 65, 73}) {
        s.variables().set_integer(STATUS, code);
        frame();  // the code is copied at the end of the pass
        frame();  // and judged at the next pre-update
        const bool usable = code != 64 && code != 72;
        EXPECT_EQ(shown(CURSOR_MARKER), usable) << code;
        EXPECT_EQ(s.result(LEG_LABEL), usable ? 0.0 : 1.0) << code;
    }
}

// Alerter armed for 5000 ft: page 5, editing, target preset from 5000 ft at 700 m, ENT at 3000 ft.
class GpsAlerterTest : public GpsTest {
protected:
    void SetUp() override {
        set(ALTITUDE, 5000.0);
        set(HEIGHT, 700.0);
        start_running();
        go_to_page(5);
        press_and_update(CRSR);
        set(ALTITUDE, 3000.0);
        press_and_update(ENT);
        press_and_update(OUTER_RIGHT);  // page 1, to see the cues bring page 5 back
        s.log().clear();
    }
    std::vector<std::string> fly_to(double altitude) {
        s.log().clear();
        set(ALTITUDE, altitude);
        frame();
        return cue_paths();
    }
    using Cues = std::vector<std::string>;
};

TEST_F(GpsAlerterTest, ApproachCaptureAndDeviationCues) {
    EXPECT_EQ(fly_to(3999.9), Cues{});
    EXPECT_EQ(fly_to(4000.7), Cues{"sound\\beep2.wav"});  // truncated to 4000
    EXPECT_EQ(text(PAGE_NUMBER), "1");
    EXPECT_EQ(fly_to(4000.0), Cues{});  // no repeat while the altitude stays
    EXPECT_EQ(fly_to(5000.0), Cues{"sound\\beep3.wav"});
    EXPECT_EQ(text(PAGE_NUMBER), "5");
    press_and_update(OUTER_RIGHT);
    EXPECT_EQ(fly_to(5300.0), Cues{});
    EXPECT_EQ(fly_to(5301.0), Cues{"sound\\beep4.wav"});
    EXPECT_EQ(text(PAGE_NUMBER), "5");
    EXPECT_EQ(s.log().cues()[0].flags, 0x00020001u);
    EXPECT_EQ(fly_to(6000.0), Cues{});  // waits for the next exact capture
    EXPECT_EQ(fly_to(4000.0), Cues{});  // never re-armed by itself
    EXPECT_EQ(fly_to(5000.0), Cues{"sound\\beep3.wav"});
}

TEST_F(GpsAlerterTest, PassingAMarkBetweenUpdatesSoundsNothing) {
    EXPECT_EQ(fly_to(3999.0), Cues{});
    EXPECT_EQ(fly_to(4001.0), Cues{});
    EXPECT_EQ(fly_to(5000.0), Cues{});  // still armed, so no capture either
    EXPECT_EQ(fly_to(6000.0), Cues{"sound\\beep2.wav"});
}

TEST_F(GpsAlerterTest, SilentAndFrozenWithoutSupply) {
    set(SUPPLY, 0.0);
    EXPECT_EQ(fly_to(4000.0), Cues{});
    EXPECT_EQ(fly_to(5000.0), Cues{});
    set(SUPPLY, 1.0);
    EXPECT_EQ(fly_to(6000.0), Cues{"sound\\beep2.wav"});  // kept its armed state
}

TEST_F(GpsAlerterTest, CrsrDisarms) {
    press(CRSR);
    EXPECT_EQ(fly_to(4000.0), Cues{});
    EXPECT_EQ(fly_to(5000.0), Cues{});
}

}  // namespace
}  // namespace gps_test
