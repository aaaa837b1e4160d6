// Labels, lamp, dashes and control pictures, and which figures each mode shows.
#include "dme_fixture.h"

namespace dme_test {
namespace {

using DmeIndicators = DmeTest;

struct ModeRow {
    Point selector;
    bool speed_and_time;
    double mhz, kt_min, rmt_lamp;
};

TEST_F(DmeIndicators, WhatEachModeShows) {
    power_up();
    const ModeRow rows[] = {
        {MODE_GST_POS, true, 0, 1, 0},
        {MODE_FREQ_POS, false, 1, 0, 0},
        {MODE_RMT_POS, true, 0, 1, 1},
    };
    for (const ModeRow& row : rows) {
        click(row.selector);
        show(12.34, 140.6);
        EXPECT_EQ(s.result(NM_LABEL), 1.0);
        EXPECT_EQ(s.result(MHZ_LABEL), row.mhz);
        EXPECT_EQ(s.result(KT_LABEL), row.kt_min);
        EXPECT_EQ(s.result(MIN_LABEL), row.kt_min);
        EXPECT_FALSE(s.hidden(KT_LABEL));
        EXPECT_FALSE(s.hidden(MIN_LABEL));
        EXPECT_EQ(s.result(RMT_LAMP), row.rmt_lamp);
        EXPECT_FALSE(s.hidden(DISTANCE));
        EXPECT_EQ(s.hidden(SPEED), !row.speed_and_time);
        EXPECT_EQ(s.hidden(TIME), !row.speed_and_time);
        for (Element e : {DISTANCE_DASHES, SPEED_DASHES, TIME_DASHES}) EXPECT_EQ(s.result(e), 0.0) << e;
    }
}

TEST_F(DmeIndicators, FrequencyReadoutFollowsTheCounterAndNeverBothShow) {
    power_up();
    click_freq(1);  // the selector turns to FREQ: counter -1 to 0
    EXPECT_FALSE(s.hidden(FREQ));
    EXPECT_TRUE(s.hidden(FREQ_SET));
    click_freq(1);  // counter 1: the set frequency blinks with the seconds
    EXPECT_TRUE(s.hidden(FREQ));
    const std::pair<double, bool> seconds[] = {{4.7, true}, {3.2, false}, {-2.5, true}, {-3.0, false}, {0.0, true}};
    for (auto [value, shown] : seconds) {
        set(SECONDS, value);
        s.run_frame();
        EXPECT_EQ(s.hidden(FREQ_SET), !shown) << value;
        EXPECT_TRUE(s.hidden(FREQ));
    }
}

TEST_F(DmeIndicators, DashesStandInForLostFigures) {
    power_up();
    click(MODE_GST_POS);
    set(RECEPTION, 200.0);
    show(12.0, 100.0);
    for (Element e : {DISTANCE, SPEED, TIME}) EXPECT_TRUE(s.hidden(e)) << e;
    for (Element e : {DISTANCE_DASHES, SPEED_DASHES, TIME_DASHES}) EXPECT_EQ(s.result(e), 1.0) << e;
    set(RECEPTION, 255.0);  // neither figures nor dashes
    s.run_frame();
    for (Element e : {DISTANCE_DASHES, SPEED_DASHES, TIME_DASHES}) EXPECT_EQ(s.result(e), 0.0) << e;
    set(RECEPTION, 300.0);
    show(-0.5, 100.0);  // a negative distance lights only its own dashes
    EXPECT_EQ(s.result(DISTANCE_DASHES), 1.0);
    EXPECT_EQ(s.result(TIME_DASHES), 0.0);
    show(-0.5, -3.0);
    EXPECT_EQ(s.result(SPEED_DASHES), 1.0);
    EXPECT_EQ(s.result(TIME_DASHES), 1.0);
    click(MODE_FREQ_POS);  // no speed or time at FREQ, so no dashes for them either
    set(RECEPTION, 200.0);
    s.run_frame();
    EXPECT_EQ(s.result(DISTANCE_DASHES), 1.0);
    EXPECT_EQ(s.result(SPEED_DASHES), 0.0);
    EXPECT_EQ(s.result(TIME_DASHES), 0.0);
}

TEST_F(DmeIndicators, UnpoweredFaceIsDarkButControlPicturesFollowTheirFields) {
    s.run_frame();
    set(RECEPTION, 300.0);
    set(SUPPLY, 1.0);  // supplied, but the switch is off
    click(MODE_GST_POS);
    click(KNOB_CENTRE);
    show(12.0, 100.0);
    for (Element e : {DISTANCE, SPEED, TIME, FREQ, FREQ_SET, KT_LABEL, MIN_LABEL}) EXPECT_TRUE(s.hidden(e)) << e;
    for (Element e : {NM_LABEL, MHZ_LABEL, KT_LABEL, MIN_LABEL, DISTANCE_DASHES, SPEED_DASHES, TIME_DASHES, RMT_LAMP}) {
        EXPECT_EQ(s.result(e), 0.0) << e;
    }
    EXPECT_EQ(s.result(MODE_KNOB), 2.0);
    EXPECT_EQ(s.result(POWER_SWITCH), 0.0);
    EXPECT_EQ(s.result(KNOB_OVERLAY), 1.0);
    click(POWER_ON);
    s.run_frame();
    EXPECT_EQ(s.result(POWER_SWITCH), 1.0);
}

TEST_F(DmeIndicators, LitBitOnEveryLitPartEvenWhenHiddenNeverOnControls) {
    s.run_frame();  // unpowered: most elements hidden or blank
    for (size_t e = NM_LABEL; e <= RMT_LAMP; ++e) {
        EXPECT_TRUE(s.lit(e)) << e;
        EXPECT_EQ(s.state(e).flags & ~(ELEMENT_LIT | ELEMENT_HIDDEN), ELEMENT_FLAGS_AT_LOAD) << e;
    }
    for (Element e : {BACKGROUND, MODE_KNOB, POWER_SWITCH, KNOB_OVERLAY}) {
        EXPECT_EQ(s.state(e).flags, ELEMENT_FLAGS_AT_LOAD) << e;
    }
}

}  // namespace
}  // namespace dme_test
