// The simulated world: the flight, the autopilot, the plan, the DME radio, the clock and the
// key events, read back through the variables a gauge would see.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <numbers>
#include <stdexcept>
#include <string>

#include "variable_store.h"
#include "world.h"

// Every allocation of the test program is counted while `counting` is set, to show that the
// world's steady frames allocate nothing.
namespace {
bool counting = false;
size_t allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
// Not inlined: the compiler would otherwise pair the free() with a new expression and warn.
[[gnu::noinline]] void operator delete(void* block) noexcept {
    std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

using namespace panel::sim;
using panel::VariableStore;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double one_degree_m = 111195.0802;  // one degree of arc on the mean sphere
constexpr double kt = 1852.0 / 3600.0;        // metres per second in a knot

uint32_t var(std::string_view name) {
    return panel::simulator_catalogue().variable_id(name);
}
panel::KeyEvent event(std::string_view name) {
    return {panel::simulator_catalogue().event_id(name), 0};
}

// Eastbound along the equator at 120 kt and 3000 ft, the DME station on the way.
FlightSetup equator_flight() {
    FlightSetup setup;
    setup.start = {0.0, 0.0};
    setup.altitude_ft = 3000.0;
    setup.heading_deg = 90.0;
    setup.airspeed_kt = 120.0;
    setup.utc = {10, 30, 0};
    setup.flight_plan = {{"ALPHA", {0.0, 1.0}}, {"BRAVO", {0.0, 2.0}}, {"CHARLIE", {0.0, 3.0}}};
    setup.dme = {
        .ident = "DME", .frequency_mhz = 113.45, .position = {0.0, 1.5}, .elevation_ft = 0.0, .range_nm = 120.0};
    setup.dme_tuned_mhz = 113.45;
    return setup;
}

class WorldTest : public ::testing::Test {
protected:
    void frames(int count) {
        for (int i = 0; i < count; ++i) world.advance_frame();
        world.fill(store);
    }
    void send(std::string_view name) { ASSERT_TRUE(world.key_event(event(name))) << name; }
    double number(std::string_view name) { return store.number(var(name)); }
    int32_t integer(std::string_view name) { return store.integer(var(name)); }

    World world{equator_flight()};
    VariableStore store;
};

TEST_F(WorldTest, SteadyFlightClosesOnTheWaypointAtTheGroundSpeed) {
    world.fill(store);
    EXPECT_NEAR(number("waypoint_distance"), one_degree_m, 1e-3);
    EXPECT_NEAR(number("ground_speed"), 120.0 * kt, 1e-9);
    EXPECT_NEAR(number("waypoint_bearing"), std::numbers::pi / 2, 1e-9);
    EXPECT_NEAR(number("desired_track"), std::numbers::pi / 2, 1e-9);
    // Ten seconds at 120 kt: 120 x 1852 / 360 = 617.333 m nearer, straight down the leg.
    frames(180);
    EXPECT_NEAR(number("waypoint_distance"), one_degree_m - 617.3333, 1e-3);
    EXPECT_NEAR(number("cross_track"), 0.0, 1e-6);
    EXPECT_NEAR(world.position().longitude_deg, 617.3333 / one_degree_m, 1e-9);
    EXPECT_EQ(world.track_deg(), 90.0);
}

TEST_F(WorldTest, WindSetsTrackAndGroundSpeed) {
    world.fly_heading(0.0);
    frames(30 * 18 + 1);  // the turn to north
    ASSERT_EQ(world.heading_deg(), 0.0);
    world.set_wind(270.0, 30.0);  // from the west: pushed east, tan track = 30 / 120
    EXPECT_NEAR(world.track_deg(), 14.036243, 1e-6);
    EXPECT_NEAR(world.ground_speed_kt(), std::sqrt(120.0 * 120.0 + 30.0 * 30.0), 1e-9);
    const GeoPoint before = world.position();
    frames(60 * 18);
    EXPECT_NEAR(initial_bearing_deg(before, world.position()), 14.036243, 1e-4);
    EXPECT_NEAR(distance_m(before, world.position()), 123.693169 * kt * 60.0, 0.01);
    world.fill(store);
    EXPECT_EQ(number("wind_direction"), 270.0);
    EXPECT_EQ(number("wind_speed"), 30.0);
    EXPECT_EQ(number("heading"), 0.0);  // the nose stays north; only the track moves

    world.set_wind(0.0, 30.0);  // straight on the nose
    EXPECT_EQ(world.track_deg(), 0.0);
    EXPECT_NEAR(world.ground_speed_kt(), 90.0, 1e-9);
    world.set_wind(-90.0, 30.0);  // from the west again, written the other way round
    EXPECT_NEAR(world.track_deg(), 14.036243, 1e-6);
}

World heading_world(double heading_deg) {
    FlightSetup setup = equator_flight();
    setup.heading_deg = heading_deg;
    return World(setup);
}

void fly_frames(World& world, int count) {
    for (int i = 0; i < count; ++i) world.advance_frame();
}

TEST(WorldTurnTest, TurnsAtThreeDegreesASecondTheShortWayRound) {
    World right = heading_world(90.0);
    right.fly_heading(120.0);
    fly_frames(right, 18);
    EXPECT_NEAR(right.heading_deg(), 93.0, 1e-9);
    fly_frames(right, 9 * 18 + 1);
    EXPECT_EQ(right.heading_deg(), 120.0);  // rolls out exactly and holds
    fly_frames(right, 18);
    EXPECT_EQ(right.heading_deg(), 120.0);

    World left_through_north = heading_world(10.0);
    left_through_north.fly_heading(-10.0);  // 350: 20 degrees left, not 340 right
    fly_frames(left_through_north, 18);
    EXPECT_NEAR(left_through_north.heading_deg(), 7.0, 1e-9);
    fly_frames(left_through_north, 5 * 18 + 13);  // 20 / 3 s = 120 frames, and one to roll out
    EXPECT_EQ(left_through_north.heading_deg(), 350.0);

    World right_through_north = heading_world(350.0);
    right_through_north.fly_heading(20.0);
    fly_frames(right_through_north, 18);
    EXPECT_NEAR(right_through_north.heading_deg(), 353.0, 1e-9);

    // Exactly opposite: both ways are as short, and it turns right.
    World reverse_east = heading_world(90.0);
    reverse_east.fly_heading(270.0);
    fly_frames(reverse_east, 18);
    EXPECT_NEAR(reverse_east.heading_deg(), 93.0, 1e-9);
    World reverse_west = heading_world(270.0);
    reverse_west.fly_heading(90.0);
    fly_frames(reverse_west, 18);
    EXPECT_NEAR(reverse_west.heading_deg(), 273.0, 1e-9);
}

TEST_F(WorldTest, ClimbsAndDescendsAtTheSetRateAndLevelsOffExactly) {
    // 100 ft at 700 fpm: 8.571 s, 154.3 frames.
    world.fly_altitude(3100.0);
    frames(154);
    EXPECT_LT(world.altitude_ft(), 3100.0);
    EXPECT_EQ(world.vertical_speed_fpm(), 700.0);
    EXPECT_NEAR(number("vertical_speed"), 700.0 * 0.00508 * 256.0, 1e-9);  // 910.336
    frames(1);
    EXPECT_EQ(world.altitude_ft(), 3100.0);
    EXPECT_EQ(world.vertical_speed_fpm(), 0.0);
    EXPECT_EQ(number("vertical_speed"), 0.0);
    frames(100);
    EXPECT_EQ(world.altitude_ft(), 3100.0);

    world.fly_vertical_speed(1000.0);
    world.fly_altitude(3000.0);  // 100 ft at 1000 fpm: 6 s
    frames(5 * 18);
    EXPECT_EQ(world.vertical_speed_fpm(), -1000.0);
    EXPECT_NEAR(world.altitude_ft(), 3100.0 - 5 * 1000.0 / 60.0, 1e-6);
    frames(18 + 1);
    EXPECT_EQ(world.altitude_ft(), 3000.0);
    EXPECT_EQ(number("altitude"), 3000.0);
    EXPECT_NEAR(number("height"), 3000.0 * 0.3048, 1e-9);
}

TEST_F(WorldTest, AcceleratesAtOneAndAHalfKnotsASecond) {
    world.fly_speed(126.0);
    frames(2 * 18);
    EXPECT_NEAR(world.airspeed_kt(), 123.0, 1e-9);
    frames(2 * 18 + 1);
    EXPECT_EQ(world.airspeed_kt(), 126.0);
    EXPECT_EQ(number("airspeed"), 126.0);
    world.fly_speed(120.0);
    frames(18);
    EXPECT_NEAR(world.airspeed_kt(), 124.5, 1e-9);
}

TEST(WorldSequencingTest, NextWaypointWithinHalfAMileOrOnceAbeam) {
    // 1.2 nm short of ALPHA (0.02 deg = 2223.9 m): half a mile out after 0.7 nm, 21 s.
    FlightSetup setup = equator_flight();
    setup.start = {0.0, 0.98};
    World world(setup);
    VariableStore store;
    for (int i = 0; i < 20 * 18; ++i) world.advance_frame();
    EXPECT_EQ(world.active_waypoint_ident(), "ALPHA");
    for (int i = 0; i < 2 * 18; ++i) world.advance_frame();
    EXPECT_EQ(world.active_waypoint_ident(), "BRAVO");
    EXPECT_EQ(world.plan().leg_origin().longitude_deg, 1.0);  // the new leg starts at ALPHA
    world.fill(store);
    EXPECT_EQ(store.text(var("waypoint_id")), "BRAVO");

    // 3 nm north of the leg to BRAVO, never within half a mile: it moves on once abeam.
    setup.start = {0.05, 1.98};
    setup.active_waypoint = 1;
    World abeam(setup);
    EXPECT_EQ(abeam.plan().leg_origin().longitude_deg, 1.0);
    while (abeam.position().longitude_deg < 1.9999) abeam.advance_frame();
    EXPECT_EQ(abeam.active_waypoint_ident(), "BRAVO");
    for (int i = 0; i < 18; ++i) abeam.advance_frame();
    EXPECT_EQ(abeam.active_waypoint_ident(), "CHARLIE");

    // Past the last waypoint it stays active.
    setup.start = {0.0, 2.99};
    setup.active_waypoint = 2;
    World last(setup);
    for (int i = 0; i < 60 * 18; ++i) last.advance_frame();
    EXPECT_EQ(last.active_waypoint_ident(), "CHARLIE");
    EXPECT_EQ(last.plan().active_index(), 2u);
}

TEST_F(WorldTest, DirectToStartsALegFromThePresentPosition) {
    world.fly_heading(45.0);
    frames(120 * 18);
    // North-east of an eastbound leg: left of it, so the pilot must fly right.
    EXPECT_GT(number("cross_track"), 1000.0);
    send("gps_direct_to");
    world.fill(store);
    EXPECT_NEAR(number("cross_track"), 0.0, 1e-6);
    EXPECT_NEAR(number("desired_track"), number("waypoint_bearing"), 1e-12);
    EXPECT_EQ(world.active_waypoint_ident(), "ALPHA");
    // The navigator shows a direct-to leg by its status code's bit 0x20, not while lost.
    EXPECT_EQ(integer("gps_status"), 39);
    world.set_gps_status(64);
    world.fill(store);
    EXPECT_EQ(integer("gps_status"), 64);
}

TEST_F(WorldTest, DmeFrequencySelectionStepsWrapsAndTunes) {
    world.fill(store);
    EXPECT_EQ(integer("dme_frequency"), 0x1345);
    EXPECT_EQ(number("dme_reception"), 400.0);
    send("dme_frequency_select");
    EXPECT_TRUE(world.dme_selecting());
    for (int i = 0; i < 5; ++i) send("dme_mhz_up");  // 114, 115, 116, 117, 108
    world.fill(store);
    EXPECT_EQ(integer("dme_set_frequency"), 0x0845);
    EXPECT_EQ(integer("dme_frequency"), 0x1345);  // still tuned to the station meanwhile
    EXPECT_EQ(number("dme_reception"), 400.0);
    send("dme_mhz_down");                             // 108 back round to 117
    for (int i = 0; i < 11; ++i) send("dme_khz_up");  // .45 + 11 x .05 = 1.00: .00 in the same MHz
    world.fill(store);
    EXPECT_EQ(integer("dme_set_frequency"), 0x1700);
    send("dme_khz_down");  // .00 back round to .95
    world.fill(store);
    EXPECT_EQ(integer("dme_set_frequency"), 0x1795);
    send("dme_frequency_select");  // ends the selection and tunes it
    world.fill(store);
    EXPECT_FALSE(world.dme_selecting());
    EXPECT_EQ(world.dme_tuned_mhz(), 117.95);
    EXPECT_EQ(integer("dme_frequency"), 0x1795);
    EXPECT_EQ(number("dme_reception"), 0.0);  // tuned elsewhere
    EXPECT_FALSE(world.dme_in_range());

    // A new selection starts at the tuned frequency; rings outside a selection still move it.
    send("dme_frequency_select");
    send("dme_frequency_select");
    send("dme_mhz_down");
    world.fill(store);
    EXPECT_EQ(integer("dme_set_frequency"), 0x1695);
    EXPECT_EQ(integer("dme_frequency"), 0x1795);
}

TEST(WorldDmeTest, ReceptionOnlyWithinTheStationsRangeAndMeasuredBySlantRange) {
    FlightSetup setup = equator_flight();
    setup.dme.range_nm = 80.0;  // the station 1.5 deg = 90.06 nm away, 3000 ft below
    World world(setup);
    VariableStore store;
    world.fill(store);
    const double ground_m = 1.5 * earth_radius_m * std::numbers::pi / 180.0;
    const double slant = std::hypot(ground_m, 3000.0 * 0.3048) / 1852.0;
    EXPECT_NEAR(store.number(var("dme_distance")), slant, 1e-9);
    EXPECT_EQ(store.number(var("dme_reception")), 0.0);
    EXPECT_EQ(store.number(var("dme_speed")), 0.0);  // nothing measured yet
    EXPECT_NEAR(store.number(var("rmi")), 90.0, 1e-9);
    // Flying at it, the range falls at nearly the ground speed, and it comes into range.
    for (int i = 0; i < 18; ++i) world.advance_frame();
    world.fill(store);
    EXPECT_NEAR(store.number(var("dme_speed")), 120.0, 0.01);
    for (int i = 0; i < 6 * 60 * 18; ++i) world.advance_frame();  // 6 minutes: 12 nm
    world.fill(store);
    EXPECT_EQ(store.number(var("dme_reception")), 400.0);
    EXPECT_TRUE(world.dme_in_range());
}

TEST(WorldDmeTest, FrequenciesAreWholeChannelsEncodedAsBcd) {
    EXPECT_EQ(bcd_frequency(10800), 0x0800);
    EXPECT_EQ(bcd_frequency(11345), 0x1345);
    EXPECT_EQ(bcd_frequency(11795), 0x1795);
    EXPECT_EQ(bcd_frequency(10905), 0x0905);
    EXPECT_EQ(frequency_hundredths(113.45), 11345);
    EXPECT_EQ(frequency_hundredths(108.0), 10800);
    EXPECT_EQ(frequency_hundredths(117.95), 11795);
    for (double refused : {113.47, 107.95, 118.0, nan, 1e300}) {
        EXPECT_THROW(frequency_hundredths(refused), std::invalid_argument) << refused;
    }
}

TEST_F(WorldTest, BaroStepsSupplyAndStatus) {
    world.fill(store);
    EXPECT_EQ(number("baro"), 1013.0);
    EXPECT_EQ(number("avionics_supply"), 1.0);
    EXPECT_EQ(integer("gps_status"), 7);  // a leg from waypoint to waypoint
    send("baro_up");
    world.fill(store);
    EXPECT_EQ(number("baro"), 1014.0);
    send("baro_down");
    send("baro_down");
    world.set_supply(false);
    world.set_gps_status(64);
    world.fill(store);
    EXPECT_EQ(number("baro"), 1012.0);
    EXPECT_EQ(number("avionics_supply"), 0.0);
    EXPECT_FALSE(world.supply_on());
    EXPECT_EQ(integer("gps_status"), 64);
    world.set_supply(true);
    world.fill(store);
    EXPECT_EQ(number("avionics_supply"), 1.0);
}

TEST(WorldClockTest, TicksEveryFrameAndRollsOverMidnight) {
    FlightSetup setup = equator_flight();
    setup.utc = {23, 59, 59};
    World world(setup);
    VariableStore store;
    world.fill(store);
    EXPECT_EQ(store.number(var("tick")), 0.0);
    EXPECT_EQ(store.number(var("seconds")), 86399.0);
    EXPECT_EQ(store.number(var("utc_hours")), 23.0);
    EXPECT_EQ(store.number(var("utc_minutes")), 59.0);
    for (int i = 0; i < 17; ++i) world.advance_frame();
    EXPECT_EQ(world.utc().seconds, 59);
    world.advance_frame();
    world.fill(store);
    EXPECT_EQ(store.number(var("tick")), 18.0);
    EXPECT_EQ(store.number(var("seconds")), 86400.0);  // goes on counting past midnight
    EXPECT_EQ(store.number(var("utc_hours")), 0.0);
    EXPECT_EQ(store.number(var("utc_minutes")), 0.0);
    for (int i = 0; i < 61 * 18; ++i) world.advance_frame();
    world.fill(store);
    EXPECT_EQ(store.number(var("tick")), 18.0 * 62);
    EXPECT_EQ(store.number(var("seconds")), 86461.0);
    EXPECT_EQ(store.number(var("utc_minutes")), 1.0);
}

TEST_F(WorldTest, PositionAndAltitudeInTheGaugesUnits) {
    FlightSetup setup = equator_flight();
    setup.start = {-33.5, -70.25};
    setup.ground_elevation_ft = 1000.0;
    setup.vertical_speed_fpm = -500.0;
    setup.obs_deg = 275.0;
    World here(setup);
    here.fill(store);
    EXPECT_DOUBLE_EQ(number("latitude"), -33.5 * 111130.555557);
    EXPECT_DOUBLE_EQ(number("longitude"), -70.25 * 11930430.0);
    EXPECT_DOUBLE_EQ(number("height"), 2000.0 * 0.3048);  // above the ground, not the sea
    EXPECT_DOUBLE_EQ(number("vertical_speed"), -500.0 * 0.00508 * 256.0);
    EXPECT_EQ(number("obs"), 275.0);
}

TEST_F(WorldTest, KnownEventsAreCarriedOutAndOthersRefused) {
    for (const panel::KeyEventInfo& info : panel::simulator_catalogue().events()) {
        EXPECT_TRUE(world.key_event({info.id, 0})) << info.name;
    }
    EXPECT_FALSE(world.key_event({0x12345, 0}));
    EXPECT_FALSE(world.key_event({0, 0}));
}

TEST_F(WorldTest, FillWritesEveryCatalogueVariableWithItsType) {
    // Every variable starts at a value the world never gives; a wrong type would throw.
    const auto& catalogue = panel::simulator_catalogue();
    for (const panel::VariableInfo& info : catalogue.variables()) {
        switch (info.type) {
            case panel::VariableType::number: store.set_number(info.id, -12345.0); break;
            case panel::VariableType::integer: store.set_integer(info.id, -12345); break;
            case panel::VariableType::text: store.set_text(info.id, "untouched"); break;
        }
    }
    ASSERT_NO_THROW(world.fill(store));
    for (const panel::VariableInfo& info : catalogue.variables()) {
        EXPECT_NE(store.number(info.id), -12345.0) << info.name;
        EXPECT_NE(store.integer(info.id), -12345) << info.name;
        EXPECT_NE(store.text(info.id), "untouched") << info.name;
    }
    EXPECT_EQ(number("unused_834"), 0.0);
    EXPECT_EQ(store.number(0), 0.0);  // an id outside the catalogue
}

TEST_F(WorldTest, SteadyFramesAllocateNothing) {
    world.fly_heading(100.0);
    world.fly_altitude(4000.0);
    world.fly_speed(130.0);
    frames(3);  // the waypoint text's first copy
    store.end_frame();
    counting = true;
    const std::string probe(100, 'x');  // proves the count works
    counting = false;
    ASSERT_EQ(allocations, 1u);
    allocations = 0;
    counting = true;
    for (int i = 0; i < 1000; ++i) {
        world.advance_frame();
        world.key_event(event("baro_up"));
        world.fill(store);
        store.end_frame();
    }
    counting = false;
    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(world.active_waypoint_ident(), "ALPHA");  // the text never changed
}

TEST(WorldInputTest, BadTargetsAndSetupsAreRefusedWithAMessage) {
    World world(equator_flight());
    EXPECT_THROW(world.fly_heading(nan), std::invalid_argument);
    EXPECT_THROW(world.fly_heading(1e300), std::invalid_argument);
    EXPECT_THROW(world.fly_altitude(std::numeric_limits<double>::infinity()), std::invalid_argument);
    EXPECT_THROW(world.fly_altitude(1e9), std::invalid_argument);
    EXPECT_THROW(world.fly_speed(-1.0), std::invalid_argument);
    EXPECT_THROW(world.fly_vertical_speed(0.0), std::invalid_argument);
    EXPECT_THROW(world.set_wind(90.0, nan), std::invalid_argument);
    try {
        world.fly_altitude(nan);
        FAIL();
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "altitude (ft): nan is not within -1500 to 60000");
    }
    // Nothing refused reached the flight.
    for (int i = 0; i < 18; ++i) world.advance_frame();
    EXPECT_TRUE(std::isfinite(world.position().longitude_deg));
    EXPECT_EQ(world.altitude_ft(), 3000.0);
    EXPECT_EQ(world.heading_deg(), 90.0);

    const auto refused = [](auto change, const char* message) {
        FlightSetup setup = equator_flight();
        change(setup);
        try {
            World bad(setup);
            ADD_FAILURE() << message;
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), message);
        }
    };
    refused([](FlightSetup& s) { s.flight_plan.clear(); }, "flight setup: the flight plan has no waypoint");
    refused([](FlightSetup& s) { s.active_waypoint = 3; },
            "flight setup: active waypoint 3 is past the last of the plan's 3");
    refused([](FlightSetup& s) { s.flight_plan[1].position.latitude_deg = 95.0; },
            "flight setup: waypoint BRAVO latitude: 95 is not within -90 to 90");
    refused([](FlightSetup& s) { s.dme_tuned_mhz = 120.0; },
            "flight setup: tuned DME frequency: 120 MHz is not one of 108.00 to 117.95 in steps of 0.05");
    refused([](FlightSetup& s) { s.utc.hours = 24; }, "flight setup: UTC hours: 24 is not within 0 to 23");
    refused([](FlightSetup& s) { s.airspeed_kt = nan; }, "flight setup: airspeed (kt): nan is not within 0 to 1000");
}

}  // namespace
