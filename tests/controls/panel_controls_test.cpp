// Controls by name against the real faces: a name that resolved to the wrong area, or a ring
// turned by the wrong half, would work the wrong control and still look plausible.
#include "panel_controls.h"

#include <gtest/gtest.h>

#include <set>

#include "gauge_session.h"

namespace {

using panel::controls::Control;
using panel::controls::GaugeControls;
using panel::controls::PanelControls;

GaugeControls controls_of(const std::string& module) {
    const panel::GaugeSession session(std::string(PANEL_MODULE_DIR) + "/" + module + ".so");
    return {session.records().name, session.records().mouse_areas};
}

struct Click {
    size_t gauge;
    int32_t x, y;
    bool operator==(const Click&) const = default;
};

class PanelControlsTest : public testing::Test {
protected:
    // Two GPS and a DME, as a panel with a second navigator has them.
    PanelControls controls{
        {controls_of("GPS_Corvane_PX40"), controls_of("GPS_Corvane_PX40"), controls_of("VER2_Corvane_VX_RD22")}};
    std::vector<Click> clicks;
    panel::controls::Clicker clicker = [this](size_t gauge, int32_t x, int32_t y) { clicks.push_back({gauge, x, y}); };

    const Control& named(std::string_view name) {
        const PanelControls::Found found = controls.find(name);
        EXPECT_NE(found.control, nullptr) << found.problem;
        static const Control none;
        return found.control ? *found.control : none;
    }
    Click middle_of(size_t gauge, size_t area) const {
        const Control* found = nullptr;
        for (const Control& c : controls.list()) {
            if (c.gauge == gauge && c.kind == Control::Kind::push && c.area == area) found = &c;
        }
        return {gauge, found->x + found->width / 2, found->y + found->height / 2};
    }
};

TEST_F(PanelControlsTest, NamesResolveToTheirOwnAreasOnTheRightGauge) {
    const Control& ent = named("gps#2 ent");
    EXPECT_EQ(ent.gauge, 1u);
    EXPECT_EQ(ent.area, 4u);  // ENT is the GPS's fifth area
    const Control& outer = named("gps#1 outer");
    EXPECT_EQ(outer.kind, Control::Kind::ring);
    EXPECT_EQ(outer.area, 5u);                // outer_right
    EXPECT_EQ(outer.anticlockwise_area, 6u);  // outer_left
    const Control& power = named("dme power");
    EXPECT_EQ(power.gauge, 2u);
    EXPECT_EQ(power.area, 0u);           // power_on is the clockwise half of the switch
    EXPECT_EQ(named("dme 6").area, 5u);  // by number too
    // Every name is listed once, so that a binding or a page can name each control.
    std::set<std::string> names;
    for (const Control& control : controls.list()) EXPECT_TRUE(names.insert(control.name).second) << control.name;
    for (const char* ring : {"gps#1 power", "gps#2 inner", "dme inner", "dme outer"})
        EXPECT_TRUE(names.count(ring)) << ring;
}

TEST_F(PanelControlsTest, NamesThatNameNothingSayWhy) {
    EXPECT_EQ(controls.find("gps ent").problem, "gauge name 'gps' is ambiguous: the panel has 2; write gps#1 to gps#2");
    EXPECT_NE(controls.find("dme knob").problem.find("unknown control 'knob' of dme (its controls: power_on,"),
              std::string::npos);
    EXPECT_EQ(controls.find("gps#3 ent").problem, "no gauge 'gps#3': the panel has 2 gps");
    EXPECT_EQ(controls.find("dme").control, nullptr);
}

TEST_F(PanelControlsTest, PressingAndTurningClickTheRightHalves) {
    controls.press(named("gps#2 ent"), clicker, 2);
    controls.turn(named("dme outer"), -3, clicker);
    controls.turn(named("gps#1 inner"), 1, clicker);
    controls.turn(named("gps#1 ent"), 5, clicker);  // a button does not turn
    const std::vector<Click> expected = {middle_of(1, 4), middle_of(1, 4), middle_of(2, 9),
                                         middle_of(2, 9), middle_of(2, 9), middle_of(0, 8)};
    EXPECT_EQ(clicks, expected);
    // The wheel over either half turns the same ring.
    clicks.clear();
    EXPECT_TRUE(controls.turn_at(2, 9, 1, clicker));   // over outer_left, clockwise
    EXPECT_FALSE(controls.turn_at(2, 5, 1, clicker));  // the knob's centre is pushed
    EXPECT_EQ(clicks, std::vector<Click>{middle_of(2, 7)});
}

}  // namespace
