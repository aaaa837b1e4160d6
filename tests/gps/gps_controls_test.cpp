// The ten handlers: cues, events and what each click does to the pages, the sub-page, editing,
// the alerter target and the flight timer.
#include "gps_fixture.h"

namespace gps_test {
namespace {

using GpsControlsTest = GpsTest;
using Cues = std::vector<std::string>;
using Events = std::vector<panel::KeyEvent>;

TEST_F(GpsControlsTest, ButtonsClickSoftlyEvenUnpoweredWhileKnobsAreSilent) {
    for (Control button : {DIRECT_TO, CRSR, ENT, ALT}) press(button);
    EXPECT_EQ(cue_paths(), Cues(4, "sound\\soft_click.wav"));
    s.log().clear();
    for (Control knob : {OUTER_RIGHT, OUTER_LEFT, INNER_RIGHT, INNER_LEFT}) press(knob);
    EXPECT_TRUE(s.log().cues().empty());
    EXPECT_TRUE(s.log().events().empty());
}

TEST_F(GpsControlsTest, PowerKnobClicksOnlyWhenItMoves) {
    press(POWER_OFF);
    press(POWER_ON);
    press(POWER_ON);
    press(POWER_OFF);
    EXPECT_EQ(cue_paths(), Cues(2, "sound\\click.wav"));
}

TEST_F(GpsControlsTest, OnSideAgainRestartsTheStartUpAndPresetsTheTarget) {
    start_running();
    go_to_page(5);
    set(ALTITUDE, 1500.0);
    set(HEIGHT, 100.0);
    set(TICK, 500.0);
    s.log().clear();
    press_and_update(POWER_ON);
    EXPECT_TRUE(s.log().cues().empty());
    EXPECT_EQ(s.result(STARTUP_SCREEN), 1.0);
    EXPECT_EQ(text(SELECTED_ALT), "03100");  // (2000 + 1500 - 328.084) / 100
    set(TICK, 553.0);
    frame();
    EXPECT_EQ(s.result(STARTUP_SCREEN), 1.0);
    set(TICK, 554.0);
    frame();
    EXPECT_EQ(s.result(STARTUP_SCREEN), 2.0);
}

TEST_F(GpsControlsTest, TargetPresetIsNotClampedUntilTheInnerKnobSteps) {
    set(HEIGHT, 700.0);
    const std::pair<double, const char*> presets[] = {{9000.0, "09000"}, {99950.0, "99900"}, {-150.0, "-0100"}};
    for (auto [altitude, expected] : presets) {
        set(ALTITUDE, altitude);
        press_and_update(POWER_ON);
        EXPECT_EQ(text(SELECTED_ALT), expected);
    }
    press_and_update(INNER_LEFT);  // clamps whether or not it may step
    EXPECT_EQ(text(SELECTED_ALT), "00000");
}

TEST_F(GpsControlsTest, InnerKnobStepsTheTargetWithinLimitsOnPageFive) {
    set(ALTITUDE, 99900.0);
    set(HEIGHT, 700.0);
    start_running();
    go_to_page(5);
    press_and_update(INNER_LEFT);
    EXPECT_EQ(text(SELECTED_ALT), "99900");  // not editing yet
    press_and_update(CRSR);
    press_and_update(INNER_RIGHT);
    EXPECT_EQ(text(SELECTED_ALT), "99900");
    press_and_update(INNER_LEFT);
    press_and_update(INNER_LEFT);
    EXPECT_EQ(text(SELECTED_ALT), "99700");
    EXPECT_TRUE(s.log().events().empty());
    press_and_update(OUTER_RIGHT);  // a page change keeps editing open but the knob idle
    press_and_update(INNER_RIGHT);
    press_and_update(ALT);
    press_and_update(ALT);
    press_and_update(INNER_RIGHT);
    EXPECT_EQ(text(SELECTED_ALT), "99800");
}

TEST_F(GpsControlsTest, InnerKnobSendsPressureEventsWhileEditingPageFour) {
    start_running();
    go_to_page(4);
    press_and_update(INNER_RIGHT);
    EXPECT_TRUE(s.log().events().empty());
    press_and_update(CRSR);
    const std::string target = text(SELECTED_ALT);
    press_and_update(INNER_RIGHT);
    press_and_update(INNER_LEFT);
    press_and_update(INNER_LEFT);
    EXPECT_EQ(s.log().events(), (Events{{0x1015B, 0}, {0x1015C, 0}, {0x1015C, 0}}));
    EXPECT_EQ(text(SELECTED_ALT), target);
    press_and_update(ENT);  // closes editing
    press_and_update(INNER_RIGHT);
    EXPECT_EQ(s.log().events().size(), 3u);
}

TEST_F(GpsControlsTest, DirectToSendsItsEventOnlyWhilePowered) {
    press(DIRECT_TO);
    EXPECT_TRUE(s.log().events().empty());
    start_running();
    set(SUPPLY, 0.5);
    frame();
    press(DIRECT_TO);
    EXPECT_TRUE(s.log().events().empty());
    set(SUPPLY, 1.0);
    frame();
    press(DIRECT_TO);
    EXPECT_EQ(s.log().events(), (Events{{65908, 0}}));
}

TEST_F(GpsControlsTest, PagesChangeAsTheKnobAndAltDictate) {
    struct Case {
        int from;
        Control control;
        const char* to;
    };
    const Case cases[] = {{1, OUTER_RIGHT, "2"}, {1, OUTER_LEFT, "3"},  {1, ALT, "4"},         {2, OUTER_RIGHT, "3"},
                          {2, OUTER_LEFT, "1"},  {2, ALT, "4"},         {3, OUTER_RIGHT, "1"}, {3, OUTER_LEFT, "2"},
                          {3, ALT, "4"},         {4, OUTER_RIGHT, "1"}, {4, OUTER_LEFT, "3"},  {4, ALT, "5"},
                          {5, OUTER_RIGHT, "1"}, {5, OUTER_LEFT, "4"},  {5, ALT, "1"}};
    start_running();
    for (const Case& c : cases) {
        set(TICK, 0.0);
        press_and_update(POWER_ON);  // back to page 1 through a fresh start-up check
        set(TICK, 54.0);
        frame();
        press_and_update(ENT);
        go_to_page(c.from);
        press_and_update(c.control);
        EXPECT_EQ(text(PAGE_NUMBER), c.to) << c.from << " " << c.control;
    }
}

TEST_F(GpsControlsTest, KnobWrapsWithoutPowerAndAltNeedsARunningNavigator) {
    set(SUPPLY, 1.0);
    press_and_update(POWER_ON);  // self-test, page 0
    press_and_update(ALT);
    EXPECT_EQ(s.result(PAGE_IMAGE), 0.0);
    press_and_update(OUTER_LEFT);  // 0 -> 3 while starting
    EXPECT_EQ(s.result(PAGE_IMAGE), 1.0);
    start_running();
    go_to_page(5);
    set(SUPPLY, 0.0);
    frame();
    press_and_update(OUTER_LEFT);  // unpowered: 5 stays
    press_and_update(ALT);
    EXPECT_EQ(s.result(PAGE_IMAGE), 3.0);
    press_and_update(OUTER_RIGHT);  // unpowered: 5 wraps to 1
    EXPECT_EQ(s.result(PAGE_IMAGE), 0.0);
}

TEST_F(GpsControlsTest, CrsrStepsTheSubPageOnlyWhileRunningOnPageOne) {
    set(SUPPLY, 1.0);
    press_and_update(POWER_ON);  // sub-page 1
    EXPECT_EQ(s.result(PAGE_IMAGE), 0.0);
    set(TICK, 54.0);
    frame();
    press_and_update(OUTER_RIGHT);  // page 1, still at the start-up check
    press_and_update(CRSR);
    press_and_update(ENT);  // running, sub-page 0
    auto subpage_view = [this] {
        return std::string(shown(BEARING_TO) ? "To" : "") + (shown(BEARING_FROM) ? "Fr" : "") +
               (shown(DEVIATION_SCALE) ? "+scale" : "") + (shown(FLY_LEFT_RIGHT) ? "+fly" : "");
    };
    EXPECT_EQ(subpage_view(), "To+scale");
    const char* cycle[] = {"To+fly", "Fr+fly", "Fr+scale", "To+scale"};
    for (const char* expected : cycle) {
        press_and_update(CRSR);
        EXPECT_EQ(subpage_view(), expected);
    }
    go_to_page(2);
    press_and_update(CRSR);
    press_and_update(OUTER_LEFT);
    EXPECT_EQ(subpage_view(), "To+scale");
}

TEST_F(GpsControlsTest, EntArmsOrNearsByTheDistanceToTheTarget) {
    set(ALTITUDE, 5000.0);
    set(HEIGHT, 700.0);
    start_running();
    go_to_page(5);
    // The alerter state shows in what the next altitudes sound: armed beeps at 4000 ft,
    // near captures at 5000 ft at once, off and unchanged say nothing.
    struct Case {
        double altitude_at_ent;
        const char* state;
    };
    // clang-format off
    for (const Case& c : {Case{3900.0, "armed"}, {4000.0, "unchanged"}, {4000.01, "near"}, {4500.0, "near"},
                          {5000.0, "unchanged"}, {5999.0, "near"}, {6000.0, "unchanged"}, {6100.0, "armed"}}) {
        // clang-format on
        press_and_update(CRSR);  // editing, alerter off
        set(ALTITUDE, c.altitude_at_ent);
        press_and_update(ENT);
        press_and_update(INNER_RIGHT);  // steps only while ENT left editing open
        const bool still_editing = text(SELECTED_ALT) == "05100";
        if (still_editing) press_and_update(INNER_LEFT);
        s.log().clear();
        set(ALTITUDE, 4000.0);
        frame();
        set(ALTITUDE, 5000.0);
        frame();
        Cues expected;
        if (std::string(c.state) == "armed") expected = {"sound\\beep2.wav", "sound\\beep3.wav"};
        if (std::string(c.state) == "near") expected = {"sound\\beep3.wav"};
        EXPECT_EQ(cue_paths(), expected) << c.altitude_at_ent;
        EXPECT_EQ(still_editing, std::string(c.state) == "unchanged") << c.altitude_at_ent;
    }
}

TEST_F(GpsControlsTest, CrsrAtTheStartUpCheckOnlyDisarms) {
    set(ALTITUDE, 5000.0);
    set(HEIGHT, 700.0);
    start_running();
    go_to_page(5);
    set(ALTITUDE, 3000.0);
    press_and_update(ENT);  // armed for 5000 ft
    set(TICK, 0.0);
    set(ALTITUDE, 5000.0);
    press_and_update(POWER_ON);  // restarted; the target is preset to 5000 ft again
    set(TICK, 54.0);
    frame();
    press_and_update(OUTER_RIGHT);  // page 1 at the start-up check, sub-page 1
    press_and_update(CRSR);
    EXPECT_FALSE(shown(BEARING_FROM));  // sub-page 2 would show it even now
    s.log().clear();
    set(ALTITUDE, 4000.0);
    frame();
    EXPECT_TRUE(s.log().cues().empty());  // an armed alerter would have beeped
}

TEST_F(GpsControlsTest, OffSideWhileOffStillClearsThePage) {
    press_and_update(OUTER_LEFT);  // unpowered wrap: 0 -> 3
    EXPECT_EQ(s.result(PAGE_IMAGE), 1.0);
    press_and_update(POWER_OFF);
    EXPECT_EQ(s.result(PAGE_IMAGE), 0.0);
    EXPECT_TRUE(s.log().cues().empty());
}

}  // namespace
}  // namespace gps_test
