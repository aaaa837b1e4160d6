// Flights on the demo's panel (and a probe's): how the world, the pins, the opening update and
// the gauges' events meet, through the same path `panelhost run` takes.
#include "flight_run.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using panel::app::FlightOptions;
using panel::app::FlightResult;

FlightOptions options(const std::string& script, const std::string& panel_text = "") {
    FlightOptions options;
    options.panel = panel_text.empty() ? panel::app::demo_panel() : panel::app::NamedText{"test.cfg", panel_text, {}};
    options.script = {"test.scenario", script, {}};
    options.gauge_folders = {PANEL_MODULE_DIR, PROBE_DIR};
    return options;
}

std::string failures(const FlightResult& result) {
    std::string text;
    for (const std::string& failure : result.failures) text += failure + "\n";
    return text;
}

// The gauges reset themselves at their first update; the panel's opening update comes before
// the script's first click, so that a click made at once is not undone.
TEST(Flights, AClickBeforeTheFirstWaitIsNotLost) {
    const FlightResult result =
        panel::app::fly_scripted(options("click gps power_on\nexpect gps lit_screen shown within 1s\n"));
    EXPECT_EQ(failures(result), "");
    EXPECT_EQ(result.expectations_met, 1u);
}

TEST(Flights, APinnedValueHoldsOverTheWorldUntilCleared) {
    const FlightResult result =
        panel::app::fly_scripted(options("click gps power_on\nwait 4s\nclick gps ent\n"
                                         "text waypoint_id \"TEST\"\nexpect gps nav_text text \"TEST\" within 1s\n"
                                         "wait 1s\nclear waypoint_id\nexpect gps nav_text text \"PAE\" within 1s\n"
                                         "ramp altitude to 3500 over 2s\nwait 2s\nexpect gps startup_alt hidden\n"));
    EXPECT_EQ(failures(result), "");
    EXPECT_EQ(result.expectations_met, 3u);
}

TEST(Flights, TheSupplyMayFailInFlightButTheStartIsSetOnce) {
    const FlightResult result = panel::app::fly_scripted(
        options("click gps power_on\nwait 1s\nworld supply off\nexpect gps lit_screen hidden within 1s\n"));
    EXPECT_EQ(failures(result), "");
    try {
        panel::app::fly_scripted(options("wait 1s\nworld position 47.5 -122.3\n"));
        ADD_FAILURE() << "moved the aircraft in flight";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "test.scenario:2: world position sets up the flight: give it before the first update");
    }
}

TEST(Flights, AnEventTheWorldDoesNotKnowIsNotedNotLost) {
    const FlightResult result = panel::app::fly_scripted(
        options("click probe 12 12\nwait 0.5s\n", "[Window00]\ngauge00=probe_good!probe, 0, 0\n"));
    ASSERT_EQ(result.unknown_events.size(), 1u);
    EXPECT_EQ(result.unknown_events[0], "probe sent event 4096, which the world does not know");
}

// Its state is the module's own, so the second copy is loaded as a separate instance.
TEST(Flights, AModulePlacedTwiceFliesAsTwoInstruments) {
    const FlightResult result = panel::app::fly_scripted(
        options("click gps#2 power_on\nwait 1s\nexpect gps#2 lit_screen shown\nexpect gps#1 lit_screen hidden\n",
                "[Window00]\ngauge00=GPS_Corvane_PX40!GPS_Corvane_PX40, 0, 0\n"
                "[Window01]\ngauge00=GPS_Corvane_PX40!GPS_Corvane_PX40, 0, 0\n"));
    EXPECT_EQ(failures(result), "");
    EXPECT_EQ(result.expectations_met, 2u);
}

}  // namespace
