// The real GPS module flown by the world: its readouts agree with the world's figures, which
// shows the units right from the world through the variable store into the gauge and back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "gauge_session.h"
#include "world.h"

namespace {

using namespace panel::sim;

// Elements of the GPS face, by draw-order number.
constexpr size_t nav_text_element = 11;
constexpr size_t distance_element = 18;
constexpr size_t ground_speed_element = 19;

// Distance and speed as the GPS converts them: 1000 m a kilometre, 1.8567508 km a nautical
// mile, 1.944 kt per m/s, each narrowed to a float before it is formatted.
std::string gps_distance_text(double metres) {
    char text[32];
    std::snprintf(text, sizeof text, "%3.1fnm", static_cast<double>(static_cast<float>(metres / 1000.0 / 1.8567508)));
    return text;
}

std::string gps_speed_text(double metres_per_second) {
    char text[32];
    std::snprintf(text, sizeof text, "%3.0fkt", static_cast<double>(static_cast<float>(1.944 * metres_per_second)));
    return text;
}

// North-east over hills towards KILO, a crosswind from the left.
FlightSetup hill_flight() {
    FlightSetup setup;
    setup.start = {47.0, 8.0};
    setup.altitude_ft = 4500.0;
    setup.heading_deg = 30.0;
    setup.airspeed_kt = 140.0;
    setup.wind = {.from_deg = 300.0, .speed_kt = 15.0};
    setup.flight_plan = {{"KILO", {47.3, 8.4}}, {"LIMA", {47.6, 8.2}}};
    setup.dme = {.ident = "DME", .frequency_mhz = 114.2, .position = {47.2, 8.3}, .range_nm = 100.0};
    setup.dme_tuned_mhz = 114.2;
    return setup;
}

class WorldGaugeTest : public ::testing::Test {
protected:
    // As the application runs it: the world steps, then answers the gauge's update.
    void frame() {
        world.advance_frame();
        world.fill(session.variables());
        session.run_frame();
    }
    // The key events the gauge sent, carried out by the world.
    void deliver_events() {
        for (const panel::KeyEvent& event : session.log().events()) world.key_event(event);
        session.log().clear();
    }

    World world{hill_flight()};
    panel::GaugeSession session{std::string(PANEL_MODULE_DIR) + "/GPS_Corvane_PX40.so"};
};

TEST_F(WorldGaugeTest, GpsReadoutsAgreeWithTheWorld) {
    world.fill(session.variables());
    session.run_frame();
    ASSERT_NE(session.click(62, 121), nullptr);   // the knob's ON side
    for (int i = 0; i < 54; ++i) frame();         // the start-up delay, in ticks
    ASSERT_NE(session.click(376, 138), nullptr);  // ENT on the start-up check screen
    frame();

    ASSERT_FALSE(session.hidden(distance_element));
    EXPECT_EQ(session.text(distance_element), gps_distance_text(world.waypoint_distance_m()));
    EXPECT_EQ(session.text(ground_speed_element), gps_speed_text(world.ground_speed_kt() * 1852.0 / 3600.0));
    EXPECT_STREQ(session.text(nav_text_element), "KILO");

    // Two minutes on, the figures have moved and still agree.
    const std::string before = session.text(distance_element);
    for (int i = 0; i < 120 * 18; ++i) frame();
    EXPECT_NE(session.text(distance_element), before);
    EXPECT_EQ(session.text(distance_element), gps_distance_text(world.waypoint_distance_m()));
}

TEST_F(WorldGaugeTest, DirectToFromTheGpsReachesTheWorld) {
    world.fill(session.variables());
    session.run_frame();
    session.click(62, 121);
    for (int i = 0; i < 54; ++i) frame();
    session.click(376, 138);
    world.fly_heading(90.0);  // off the leg
    for (int i = 0; i < 60 * 18; ++i) frame();
    ASSERT_GT(std::abs(world.cross_track_m()), 1000.0);

    session.log().clear();
    ASSERT_NE(session.click(287, 138), nullptr);  // D->
    deliver_events();
    EXPECT_NEAR(world.cross_track_m(), 0.0, 1e-6);
}

}  // namespace
