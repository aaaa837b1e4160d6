// One freshly loaded DME radio per test, with its face numbered as the face table numbers it
// and its controls by name.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gauge_session.h"

namespace dme_test {

// Draw-order numbers, the background being 1.
enum Element : size_t {
    // clang-format off
    BACKGROUND = 1, MODE_KNOB, POWER_SWITCH, NM_LABEL, MHZ_LABEL, KT_LABEL, MIN_LABEL,
    DISTANCE, SPEED, TIME, FREQ, FREQ_SET, DISTANCE_DASHES, SPEED_DASHES, TIME_DASHES,
    RMT_LAMP, KNOB_OVERLAY,
    // clang-format on
};

// A point inside each clickable area.
struct Point {
    int32_t x, y;
};
constexpr Point POWER_ON{310, 60}, POWER_OFF{295, 60}, MODE_RMT_POS{290, 30}, MODE_FREQ_POS{305, 30},
    MODE_GST_POS{320, 30}, KNOB_CENTRE{404, 45}, INNER_RIGHT{415, 45}, OUTER_RIGHT{430, 45}, INNER_LEFT{390, 45},
    OUTER_LEFT{378, 45};

constexpr uint32_t SUPPLY = 773, RECEPTION = 58, SECONDS = 604, DISTANCE_VAR = 35, SPEED_VAR = 36, FREQ_VAR = 27,
                   SET_FREQ_VAR = 873;

class DmeTest : public ::testing::Test {
protected:
    // Destroyed (and the module unloaded) before the next test loads it afresh.
    panel::GaugeSession s{std::string(PANEL_MODULE_DIR) + "/VER2_Corvane_VX_RD22.so"};

    void click(Point at) { ASSERT_NE(s.click(at.x, at.y), nullptr); }
    void set(uint32_t id, double value) { s.variables().set_number(id, value); }

    // The first update (and its reset), the switch on, supply and reception, another update.
    void power_up() {
        s.run_frame();
        click(POWER_ON);
        set(SUPPLY, 1.0);
        set(RECEPTION, 300.0);
        s.run_frame();
    }

    // One update with these distance and speed inputs.
    void show(double distance, double speed) {
        set(DISTANCE_VAR, distance);
        set(SPEED_VAR, speed);
        s.run_frame();
    }

    // Clicks FREQ `times` times and updates once.
    void click_freq(int times) {
        for (int i = 0; i < times; ++i) click(MODE_FREQ_POS);
        s.run_frame();
    }
};

}  // namespace dme_test
