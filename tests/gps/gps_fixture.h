// The GPS navigator as a host sees it: the real module loaded through the host core, with
// names for its inputs, elements and controls, and the usual ways to bring it to a page.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "gauge_session.h"

namespace gps_test {

// Simulator variables, by the host's ids.
enum Var : uint32_t {
    // clang-format off
    SUPPLY = 773, BEARING = 836, DISTANCE = 835, CROSS_TRACK = 837, GROUND_SPEED = 832,
    DESIRED_TRACK = 838, HEIGHT = 614, SECONDS = 604, UTC_HOURS = 6, UTC_MINUTES = 7,
    LATITUDE = 827, LONGITUDE = 828, TICK = 1, WIND_DIRECTION = 344, HEADING = 81,
    WIND_SPEED = 343, AIRSPEED = 61, ALTITUDE = 74, OBS = 45, BARO = 75, RMI = 84,
    VERTICAL_SPEED = 65, STATUS = 831, HOST_TEXT = 839,
    // clang-format on
};

// Elements by their draw-order number.
enum Element : size_t {
    // clang-format off
    BACKGROUND = 1, LIT_SCREEN, POWER_KNOB, STARTUP_SCREEN, PAGE_IMAGE, STARTUP_BARO, STARTUP_ALT,
    STARTUP_RMI, STARTUP_OBS, DIRECT_TO_SYMBOL, NAV_TEXT, DEVIATION_SCALE, NEEDLE, CURSOR_MARKER,
    DEVIATION_FLAG, FLY_LEFT_RIGHT, CROSS_TRACK_TEXT, DISTANCE_TEXT, GROUND_SPEED_TEXT, LEG_LABEL,
    PAGE_NUMBER, DTK, TK, BEARING_TO, BEARING_FROM, ETE_HOURS, ETE_MINUTES, HEMISPHERE, LAT_DEG,
    LAT_MIN, LON_DEG, LON_MIN, UTC_H, UTC_M, DEPART_H, DEPART_M, TIME_TEXT, ETE3_H, ETE3_M,
    FLIGHT_H, FLIGHT_M, BARO_TEXT, MSA, VNAV_ALT, SELECTED_ALT, VNAV_TEXT, VNAV_DISTANCE,
    VNAV_GS, VS_TEXT, STATUS_READER,
    // clang-format on
};

enum Control { POWER_OFF, POWER_ON, DIRECT_TO, CRSR, ENT, OUTER_RIGHT, OUTER_LEFT, ALT, INNER_RIGHT, INNER_LEFT };

// A point inside each control's area.
struct Point {
    int32_t x, y;
};
inline constexpr Point control_point[] = {{44, 121},  {62, 121},  {287, 138}, {439, 42},  {376, 138},
                                          {471, 102}, {411, 102}, {198, 138}, {452, 106}, {433, 106}};

inline std::string module_path() {
    return std::string(PANEL_MODULE_DIR) + "/GPS_Corvane_PX40.so";
}

// A freshly loaded navigator (each test loads its own, so the state starts at zero) that has
// had its first update, including the one-time reset.
class GpsTest : public ::testing::Test {
protected:
    GpsTest() { frame(); }

    // Inputs in the host's own units (metres, metres per second, radians, ...): the expected
    // texts are worked out by hand, so a wrong constant in the module shows.
    void set(uint32_t id, double value) { s.variables().set_number(id, value); }

    void frame() { s.run_frame(); }
    void press(Control control) { ASSERT_NE(s.click(control_point[control].x, control_point[control].y), nullptr); }
    // As the host runs it: an update, so that the handler sees the inputs as last set, the
    // click, and the update that shows its effect.
    void press_and_update(Control control) {
        frame();
        press(control);
        frame();
    }

    // Supplied, switched on and through the start-up check: running on page 1, sub-page 0,
    // with the flight timer started at `seconds`.
    void start_running(double seconds = 1000.0) {
        set(SUPPLY, 1.0);
        set(TICK, 100.0);
        set(SECONDS, seconds);
        press_and_update(POWER_ON);
        set(TICK, 154.0);
        frame();
        press_and_update(ENT);
    }
    // From page 1: the outer ring to pages 2 and 3, ALT to 4 and 5.
    void go_to_page(int page) {
        if (page <= 3) {
            for (int i = 1; i < page; ++i) press_and_update(OUTER_RIGHT);
        } else {
            for (int i = 3; i < page; ++i) press_and_update(ALT);
        }
    }

    std::string text(size_t element) const { return s.text(element); }
    bool shown(size_t element) const { return !s.hidden(element); }
    std::vector<std::string> cue_paths() {
        std::vector<std::string> paths;
        for (const auto& cue : s.log().cues()) paths.push_back(cue.path);
        return paths;
    }

    panel::GaugeSession s{module_path()};
};

}  // namespace gps_test
