// The power switch, the mode selector with its frequency-setting cycle, and the knob.
#include "dme_fixture.h"

namespace dme_test {
namespace {

using panel::KeyEvent;
using Events = std::vector<KeyEvent>;

constexpr uint32_t FREQ_SET_TOGGLE = 0x10394;

class DmeControls : public DmeTest {
protected:
    size_t cue_count() { return s.log().cues().size(); }
    // The events of one click, from a clean log.
    Events events_of(Point at) {
        s.log().clear();
        click(at);
        return s.log().events();
    }
    void turn_all_rings_expecting_nothing() {
        for (Point ring : {INNER_RIGHT, OUTER_RIGHT, INNER_LEFT, OUTER_LEFT}) EXPECT_TRUE(events_of(ring).empty());
    }
};

TEST_F(DmeControls, FreqCycleSendsTheToggleOnEnteringAndLeavingTheSettingState) {
    power_up();
    s.log().clear();
    EXPECT_TRUE(events_of(MODE_FREQ_POS).empty());  // -1 to 0, turning the selector
    ASSERT_EQ(s.log().cues().size(), 1u);
    EXPECT_EQ(s.log().cues()[0], (panel::CueRequest{"sound\\click.wav", 0x00020001}));
    s.run_frame();
    EXPECT_FALSE(s.hidden(FREQ));
    turn_all_rings_expecting_nothing();

    EXPECT_EQ(events_of(MODE_FREQ_POS), (Events{{FREQ_SET_TOGGLE, 0}}));  // 0 to 1
    EXPECT_TRUE(s.log().cues().empty());                                  // already at FREQ
    s.run_frame();
    EXPECT_TRUE(s.hidden(FREQ));
    EXPECT_EQ(events_of(INNER_RIGHT), (Events{{0x1006F, 0}}));
    EXPECT_EQ(events_of(OUTER_RIGHT), (Events{{0x1006D, 0}}));
    EXPECT_EQ(events_of(INNER_LEFT), (Events{{0x1006E, 0}}));
    EXPECT_EQ(events_of(OUTER_LEFT), (Events{{0x1006C, 0}}));

    EXPECT_EQ(events_of(MODE_FREQ_POS), (Events{{FREQ_SET_TOGGLE, 0}}));  // 1 to 2, back to 0
    s.run_frame();
    EXPECT_FALSE(s.hidden(FREQ));
    turn_all_rings_expecting_nothing();
    EXPECT_EQ(events_of(MODE_FREQ_POS), (Events{{FREQ_SET_TOGGLE, 0}}));  // and round again
    EXPECT_FALSE(events_of(INNER_LEFT).empty());
}

TEST_F(DmeControls, KnobCentreDoublesTheInnerRingOnly) {
    power_up();
    click_freq(2);
    EXPECT_TRUE(events_of(KNOB_CENTRE).empty());
    EXPECT_EQ(s.log().cues().size(), 1u);
    EXPECT_EQ(events_of(INNER_RIGHT), (Events{{0x1006F, 0}, {0x1006F, 0}}));
    EXPECT_EQ(events_of(INNER_LEFT), (Events{{0x1006E, 0}, {0x1006E, 0}}));
    EXPECT_EQ(events_of(OUTER_RIGHT), (Events{{0x1006D, 0}}));
    click(KNOB_CENTRE);
    EXPECT_EQ(events_of(INNER_RIGHT), (Events{{0x1006F, 0}}));
    EXPECT_EQ(cue_count(), 0u);  // rings are silent
}

TEST_F(DmeControls, RingsAreDeadOutsideTheSettingState) {
    power_up();
    click_freq(2);
    click(MODE_GST_POS);
    turn_all_rings_expecting_nothing();
    click(MODE_RMT_POS);
    turn_all_rings_expecting_nothing();
    click_freq(2);  // 1 to 2 = 0, then 0 to 1: setting again
    EXPECT_FALSE(events_of(OUTER_LEFT).empty());
    click(POWER_OFF);
    s.run_frame();
    turn_all_rings_expecting_nothing();
}

TEST_F(DmeControls, LeavingFreqKeepsTheCounter) {
    power_up();
    click_freq(2);  // setting
    click(MODE_RMT_POS);
    EXPECT_EQ(events_of(MODE_FREQ_POS), (Events{{FREQ_SET_TOGGLE, 0}}));  // 1 to 2, back to 0
    s.run_frame();
    EXPECT_FALSE(s.hidden(FREQ));
}

TEST_F(DmeControls, UnpoweredFreqClicksTurnTheSelectorButHoldTheCounter) {
    s.run_frame();
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(events_of(MODE_FREQ_POS).empty());
    click(POWER_ON);
    set(SUPPLY, 1.0);
    s.run_frame();
    EXPECT_EQ(s.result(MHZ_LABEL), 1.0);  // at FREQ, but the counter is still -1
    EXPECT_TRUE(s.hidden(FREQ));
    EXPECT_TRUE(s.hidden(FREQ_SET));
    EXPECT_TRUE(events_of(MODE_FREQ_POS).empty());  // -1 to 0: the cycle starts as after the reset
    s.run_frame();
    EXPECT_FALSE(s.hidden(FREQ));
    EXPECT_EQ(events_of(MODE_FREQ_POS), (Events{{FREQ_SET_TOGGLE, 0}}));
}

TEST_F(DmeControls, SwitchAndSelectorClickOnlyWhenTheyMove) {
    s.run_frame();
    const std::pair<Point, size_t> clicks[] = {
        {POWER_OFF, 0},    {POWER_ON, 1},      {POWER_ON, 0},     {POWER_OFF, 1},     {MODE_RMT_POS, 0},
        {MODE_GST_POS, 1}, {MODE_GST_POS, 0},  {MODE_RMT_POS, 1}, {MODE_FREQ_POS, 1}, {MODE_FREQ_POS, 0},
        {MODE_GST_POS, 1}, {MODE_FREQ_POS, 1}, {KNOB_CENTRE, 1},  {KNOB_CENTRE, 1},
    };
    int i = 0;
    for (auto [at, cues] : clicks) {
        s.log().clear();
        click(at);
        EXPECT_EQ(cue_count(), cues) << "click " << i++;
        EXPECT_TRUE(s.log().events().empty());
    }
}

TEST_F(DmeControls, PowerFollowsSupplyAndSwitchFromTheNextUpdate) {
    s.run_frame();
    set(SUPPLY, 1.0);
    click(POWER_ON);
    EXPECT_EQ(s.result(NM_LABEL), 0.0);
    const std::pair<double, double> supplies[] = {{1.9, 1}, {0.99, 0}, {2.0, 0}, {-1.0, 0}, {1.0, 1}};
    for (auto [supply, powered] : supplies) {
        set(SUPPLY, supply);
        s.run_frame();
        EXPECT_EQ(s.result(NM_LABEL), powered) << supply;
    }
    click(POWER_OFF);
    s.run_frame();
    EXPECT_EQ(s.result(NM_LABEL), 0.0);
}

}  // namespace
}  // namespace dme_test
