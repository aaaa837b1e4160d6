// The 38 readouts by page: their texts, the values they return, when they show, and what they
// leave in the state for the elements after them.
#include <cmath>
#include <limits>
#include <tuple>

#include "gps_fixture.h"

namespace gps_test {
namespace {

class GpsReadoutsTest : public GpsTest {
protected:
    // The string elements drawn in the last pass, by number.
    std::vector<size_t> shown_readouts() const {
        std::vector<size_t> numbers;
        for (size_t n = 1; n <= 50; ++n) {
            if (s.record(n).kind == ELEMENT_STRING && shown(n)) numbers.push_back(n);
        }
        return numbers;
    }
    // Powered again at the start-up check without leaving the current page.
    void restart_to_check() {
        set(TICK, 0.0);
        press_and_update(POWER_ON);
        set(TICK, 54.0);
        frame();
    }
    using Numbers = std::vector<size_t>;
};

TEST_F(GpsReadoutsTest, UnpoweredAllHiddenYetFormattedAndStored) {
    set(LATITUDE, -3722874.0);  // / 111130.555557 = -33.500003 deg: 33 deg 30.0002 min
    set(DESIRED_TRACK, -0.1);
    set(AIRSPEED, 4.9);
    s.variables().set_integer(STATUS, 111);
    frame();
    EXPECT_EQ(shown_readouts(), Numbers{});
    EXPECT_EQ(text(LAT_DEG) + text(LAT_MIN),
              "33\xB0"
              "30.00'");
    EXPECT_EQ(text(DTK), "DTK 354\xB0");
    EXPECT_EQ(text(TK), "TK 999\xB0");
    EXPECT_EQ(text(PAGE_NUMBER), "0");
    for (size_t n = 2; n <= 50; ++n) EXPECT_EQ(s.lit(n), n != POWER_KNOB && n != STATUS_READER) << n;
    frame();
    EXPECT_EQ(s.result(DIRECT_TO_SYMBOL), 1.0);  // the status code of the previous pass was kept
}

TEST_F(GpsReadoutsTest, StartUpCheckShowsItsFiguresAndOnlyUnguardedPageReadouts) {
    set(BARO, 1013.25);
    set(ALTITUDE, 2500.4);
    set(RMI, 45.0);
    set(OBS, 270.6);
    set(SUPPLY, 1.0);
    restart_to_check();
    EXPECT_EQ(shown_readouts(), (Numbers{6, 7, 8, 9}));
    EXPECT_EQ(text(STARTUP_BARO) + text(STARTUP_ALT) + text(STARTUP_RMI) + text(STARTUP_OBS),
              "1013mb2500ft045\xB0"
              "271\xB0");
    start_running();
    go_to_page(4);
    restart_to_check();
    EXPECT_EQ(shown_readouts(), (Numbers{6, 7, 8, 9, 42, 43}));
    press_and_update(ALT);  // does nothing at the check
    EXPECT_EQ(shown_readouts(), (Numbers{6, 7, 8, 9, 42, 43}));
    start_running();
    go_to_page(5);
    restart_to_check();
    EXPECT_EQ(shown_readouts(), (Numbers{6, 7, 8, 9, 45, 46, 47, 48, 49}));
}

TEST_F(GpsReadoutsTest, PageOneTracksAndBearings) {
    start_running();
    set(DESIRED_TRACK, -0.1);  // 180 x -0.1 / 3.14 = -5.73248, shown + 360 (pi would give 354.27042)
    set(AIRSPEED, 100.0);
    set(HEADING, 90.0);
    set(WIND_DIRECTION, 180.0);
    set(WIND_SPEED, 10.0);
    frame();
    EXPECT_EQ(text(DTK), "DTK 354\xB0");
    EXPECT_FLOAT_EQ(s.result(DTK), 354.26752f);
    EXPECT_EQ(text(TK), "TK 095\xB0");  // heading plus the wind's drift
    // Past north either way, wrapped once.
    const std::tuple<double, double, const char*> wraps[] = {{358.0, 90.0, "TK 003\xB0"}, {2.0, 272.0, "TK 357\xB0"}};
    for (auto [heading, wind, expected] : wraps) {
        set(HEADING, heading);
        set(WIND_DIRECTION, wind);
        frame();
        EXPECT_EQ(text(TK), expected);
    }
    set(AIRSPEED, 4.9);
    frame();
    EXPECT_EQ(text(TK), "TK 999\xB0");

    press_and_update(CRSR);
    press_and_update(CRSR);  // sub-page 2: the From bearing in the To bearing's place
    // Radians: 3.14 is 180 deg to the navigator, and 3.3144 is 189.9975 deg.
    // clang-format off
    const std::pair<double, const char*> bearings[] = {
        {0.0, ">180\xB0" "Fr"}, {3.14, ">360\xB0" "Fr"}, {3.3144, ">010\xB0" "Fr"}};
    // clang-format on
    for (auto [bearing, expected] : bearings) {
        set(BEARING, bearing);
        frame();
        EXPECT_EQ(text(BEARING_FROM), expected);
    }
    EXPECT_FALSE(shown(BEARING_TO));
    EXPECT_TRUE(shown(BEARING_FROM));
}

TEST_F(GpsReadoutsTest, PageOneCrossTrackAndTimeEnRoute) {
    start_running();
    press_and_update(CRSR);       // sub-page 1
    set(CROSS_TRACK, -278000.0);  // / 1856.7508 = -149.72 nm
    // 317600 m = 171.051 nm at 50 m/s = 97.2 kt: 1.7598 h, 0.7598 x 60 = 45.59 min
    set(DISTANCE, 317600.0);
    set(GROUND_SPEED, 50.0);
    set(AIRSPEED, 80.0);
    frame();
    EXPECT_TRUE(shown(CROSS_TRACK_TEXT));
    EXPECT_EQ(text(CROSS_TRACK_TEXT), "99.9nm");
    EXPECT_EQ(s.result(CROSS_TRACK_TEXT), 99.9f);
    set(CROSS_TRACK, -22895.0);  // / 1856.7508 = -12.3307 nm (1852 would give 12.362: "12.4")
    frame();
    EXPECT_EQ(text(CROSS_TRACK_TEXT), "12.3nm");
    EXPECT_EQ(text(ETE_HOURS) + text(ETE_MINUTES), " 1:45");
    EXPECT_EQ(s.result(ETE_HOURS), 1.0);
    // Half an hour the wrong way, and the dropped fraction keeps its sign: -173 m/s is
    // -336.312 kt, 171.051 / -336.312 = -0.50861 h, x 60 = -30.5 min
    set(GROUND_SPEED, -173.0);
    frame();
    EXPECT_EQ(text(ETE_HOURS) + text(ETE_MINUTES), "-0:-30");
    EXPECT_TRUE(std::signbit(s.result(ETE_HOURS)));
}

TEST_F(GpsReadoutsTest, PagesTwoPositionAndItsHemisphere) {
    start_running();
    go_to_page(2);
    // -3722874 / 111130.555557 = -33.500003 deg (111120 per degree would give 33 deg 30.19 min);
    // 1803881016 / 11930430 = 151.2 deg exactly (2^32 / 360 per degree: 151 deg 11.97 min)
    set(LATITUDE, -3722874.0);
    set(LONGITUDE, 1803881016.0);
    frame();
    EXPECT_EQ(text(LAT_DEG) + " " + text(LAT_MIN), "33\xB0 30.00'");
    EXPECT_EQ(text(LON_DEG) + " " + text(LON_MIN), "151\xB0 12.00'");
    EXPECT_NEAR(s.result(LAT_MIN), 30.0002, 0.0001);
    frame();
    EXPECT_EQ(s.result(HEMISPHERE), 2.0);  // S over E, from the previous pass
    set(LATITUDE, 5334266.666736);         // 48 x 111130.555557
    frame();
    EXPECT_EQ(text(LAT_DEG) + " " + text(LAT_MIN), "48\xB0 00.00'");
    frame();
    EXPECT_EQ(s.result(HEMISPHERE), 0.0);  // on a whole degree: the own value
}

TEST_F(GpsReadoutsTest, PageThreeClockAndDepartureWithBorrow) {
    start_running(0.0);
    go_to_page(3);
    set(UTC_HOURS, 10.0);
    set(UTC_MINUTES, 5.0);
    set(SECONDS, 4800.0);  // 1 h 20 min of flight
    set(AIRSPEED, 120.0);
    frame();
    EXPECT_EQ(text(UTC_H) + ":" + text(UTC_M), "10:05");
    EXPECT_EQ(text(DEPART_H) + ":" + text(DEPART_M), "08:45");
    EXPECT_EQ(text(FLIGHT_H) + text(FLIGHT_M), "01:20");
    set(UTC_HOURS, 0.0);
    frame();
    EXPECT_EQ(text(DEPART_H) + ":" + text(DEPART_M), "22:45");  // the day before
    set(AIRSPEED, 3.0);  // too slow for the minutes, which show 00; the hour still borrows
    frame();
    EXPECT_EQ(text(DEPART_H) + ":" + text(DEPART_M), "22:00");
    set(AIRSPEED, 0.0);
    frame();
    EXPECT_EQ(text(DEPART_H) + ":" + text(DEPART_M), "00:00");
    s.variables().set_text(HOST_TEXT, "KJFK");
    frame();
    EXPECT_EQ(text(TIME_TEXT), "KJFK");
    EXPECT_TRUE(shown(TIME_TEXT));
}

TEST_F(GpsReadoutsTest, PageFourPressureBlinksWhileEdited) {
    start_running();
    go_to_page(4);
    set(BARO, 1013.2);
    set(ALTITUDE, 3000.0);
    set(HEIGHT, 100.0);
    set(SECONDS, 1001.0);
    frame();
    EXPECT_EQ(text(BARO_TEXT), "1013.2mb");
    EXPECT_EQ(text(MSA), " 4672ft");
    EXPECT_TRUE(shown(BARO_TEXT));
    press_and_update(CRSR);
    EXPECT_FALSE(shown(BARO_TEXT));  // odd second
    set(SECONDS, 1002.7);
    frame();
    EXPECT_TRUE(shown(BARO_TEXT));
    EXPECT_TRUE(shown(MSA));
    press_and_update(ENT);
    set(SECONDS, 1003.0);
    frame();
    EXPECT_TRUE(shown(BARO_TEXT));
}

TEST_F(GpsReadoutsTest, PageFiveVerticalNavigation) {
    set(ALTITUDE, 4500.0);
    set(HEIGHT, 700.0);
    start_running();
    go_to_page(5);
    set(ALTITUDE, 3000.0);
    // 36830 m = 19.8358 nm; 60 m/s = 116.64 kt = 1.944 nm a minute; 650 / 256 m/s = 499.8 fpm
    // takes 1500 / 499.8 = 3.0011 min to 4500 ft: 19.8358 - 1.944 x 3.0011 = 14.0016 nm
    set(DISTANCE, 36830.0);
    set(GROUND_SPEED, 60.0);
    set(VERTICAL_SPEED, 650.0);
    frame();  // the distance uses the vertical speed of the pass before
    frame();
    EXPECT_EQ(text(SELECTED_ALT), "04500");
    EXPECT_EQ(text(VNAV_DISTANCE), "014.0nm");
    EXPECT_EQ(text(VNAV_GS), "117");
    EXPECT_EQ(text(VS_TEXT), "0500fpm");
    set(ALTITUDE, 350.0);
    set(VERTICAL_SPEED, -512.0);
    frame();
    EXPECT_EQ(text(VNAV_ALT), "00350 to");
    EXPECT_EQ(text(VS_TEXT), "-394fpm");
    set(VERTICAL_SPEED, 0.0);
    frame();
    frame();
    EXPECT_EQ(text(VNAV_DISTANCE), "---.-nm");  // level flight never reaches the target
    EXPECT_TRUE(std::isinf(s.result(VNAV_DISTANCE)));
    EXPECT_EQ(shown_readouts(), (Numbers{18, 19, 21, 44, 45, 46, 47, 48, 49}));
}

TEST_F(GpsReadoutsTest, HostTextsAreBoundedAndMayBeMissing) {
    start_running();
    frame();
    EXPECT_EQ(text(NAV_TEXT), "");  // no text from the host
    s.variables().set_text(HOST_TEXT, std::string(80, 'W'));
    frame();
    EXPECT_EQ(text(NAV_TEXT), std::string(31, 'W'));
    EXPECT_EQ(s.result(NAV_TEXT), 0.0);
    EXPECT_EQ(text(CURSOR_MARKER), ">");
}

TEST_F(GpsReadoutsTest, StatusReaderCopiesTheCodeHiddenAndUnlit) {
    for (int32_t code : {111, -7, std::numeric_limits<int32_t>::min()}) {
        s.variables().set_integer(STATUS, code);
        frame();
        EXPECT_EQ(text(STATUS_READER), std::to_string(code));
        EXPECT_EQ(s.result(STATUS_READER), code);
        EXPECT_TRUE(s.hidden(STATUS_READER));
        EXPECT_FALSE(s.lit(STATUS_READER));
    }
}

}  // namespace
}  // namespace gps_test
