// The live source between FlightGear and the gauges: the values it makes of datagrams (the same
// as the simulated world's for the same state), the newest datagram of a frame, malformed ones
// counted, staleness, and the key events written to a property server that comes and goes.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <tuple>

#include "fakes.h"
#include "line_reader.h"
#include "live_source.h"
#include "recording_clock.h"
#include "replay_feed.h"
#include "udp_receiver.h"
#include "world.h"
#include "world_chunks.h"

namespace {

using namespace panel;
using namespace panel::live;

// Datagrams handed over by the test, on a clock the test moves.
class QueueFeed : public DatagramFeed {
public:
    size_t poll(double, std::vector<std::string>& into) override {
        const size_t count = queued.size();
        for (std::string& datagram : queued) into.push_back(std::move(datagram));
        queued.clear();
        return count;
    }
    double now() const override { return clock; }
    std::string where() const override { return "queue"; }

    std::vector<std::string> queued;
    double clock = 0.0;
};

uint32_t id(const char* name) {
    return simulator_catalogue().variable_id(name);
}

uint32_t event(const char* name) {
    return simulator_catalogue().event_id(name);
}

void sleep_for(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

sim::FlightSetup crossing_flight() {
    sim::FlightSetup setup;
    setup.start = {37.58, -122.43};
    setup.altitude_ft = 3000.0;
    setup.heading_deg = 60.0;
    setup.airspeed_kt = 110.0;
    setup.wind = {300.0, 10.0};
    setup.utc = {20, 4, 0};
    setup.flight_plan = {{"SFO", {37.6195, -122.3738}}, {"KOAK", {37.7213, -122.2208}}};
    setup.active_waypoint = 1;
    setup.dme = {"SFO", 115.80, {37.6195, -122.3738}, 0.0, 40.0};
    setup.dme_tuned_mhz = 115.80;
    return setup;
}

// The world's state sent as FlightGear would send it comes out as the world fills it itself, to
// the precision of the protocol's formats: one set of units, shared.
TEST(LiveVariables, TheWorldSentAsDatagramsFillsTheStoreAsTheWorldDoes) {
    const Protocol protocol = fakes::shipped_protocol();
    sim::World world(crossing_flight());
    for (int frame = 0; frame < 200; ++frame) world.advance_frame();
    world.key_event({event("gps_direct_to"), 0});
    for (int frame = 0; frame < 20; ++frame) world.advance_frame();

    auto feed = std::make_unique<QueueFeed>();
    feed->queued.push_back(fakes::world_datagram(world, protocol, true));
    LiveSource source(protocol, std::move(feed), nullptr);
    source.advance_frame();
    VariableStore live, simulated;
    source.fill(live);
    world.fill(simulated);

    // The ids neither side computes from the aircraft: the clocks, the RMI, the ones never used.
    const std::set<std::string_view> own = {"tick", "seconds", "rmi", "dme_speed"};
    for (const VariableInfo& info : simulator_catalogue().variables()) {
        if (own.contains(info.name) || info.name.starts_with("unused")) continue;
        SCOPED_TRACE(std::string(info.name));
        switch (info.type) {
            case VariableType::number: {
                const double expected = simulated.number(info.id);
                // Seven decimals of a degree, two of a foot or a knot, three of a mile (a metre).
                const bool metres = info.name == "waypoint_distance" || info.name == "cross_track";
                EXPECT_NEAR(live.number(info.id), expected, metres ? 1.0 : std::max(0.02, std::abs(expected) * 2e-6));
                break;
            }
            case VariableType::integer: EXPECT_EQ(live.integer(info.id), simulated.integer(info.id)); break;
            case VariableType::text: EXPECT_EQ(live.text(info.id), simulated.text(info.id)); break;
        }
    }
    EXPECT_EQ(live.integer(id("gps_status")), 39);
    EXPECT_EQ(live.integer(id("dme_frequency")), 0x1580);
    EXPECT_NEAR(live.number(id("dme_speed")), world.dme().speed_kt(), 0.05);
}

TEST(LiveVariables, TheSupplyTheReceptionAndTheBadValues) {
    fakes::FakeFlightGear fake;
    auto owned = std::make_unique<QueueFeed>();
    QueueFeed& feed = *owned;
    LiveSource source(fake.protocol(), std::move(owned), nullptr);
    VariableStore store;
    const auto frame = [&] {
        feed.queued.push_back(fake.datagram());
        source.advance_frame();
        source.fill(store);
    };
    fake.set("supply-volts", 9.0);
    fake.set("dme-in-range", 0.0);
    fake.set_text("gps-mode", "leg");
    fake.set("altimeter-setting-hpa", 1213.0);  // out of range before any good one: the nearer limit
    frame();
    EXPECT_EQ(store.number(id("avionics_supply")), 1.0);
    EXPECT_EQ(store.number(id("dme_reception")), 0.0);
    EXPECT_EQ(store.integer(id("gps_status")), 7);
    EXPECT_EQ(store.number(id("baro")), 1100.0);
    fake.set("altimeter-setting-hpa", 1013.0);
    fake.set("supply-volts", 8.9);
    fake.set("dme-in-range", 1.0);
    frame();
    EXPECT_EQ(store.number(id("avionics_supply")), 0.0);
    EXPECT_EQ(store.number(id("dme_reception")), 400.0);
    // A value no aircraft has is bad data: that value keeps its last good one, the rest is taken.
    const double latitude = store.number(id("latitude"));
    fake.set("supply-volts", 28.0);
    fake.set("latitude-deg", 91.0);
    frame();
    EXPECT_EQ(source.malformed(), 0u);
    EXPECT_EQ(source.bad_values(), 2u);
    EXPECT_EQ(store.number(id("latitude")), latitude);
    EXPECT_EQ(store.number(id("avionics_supply")), 1.0);
    EXPECT_NE(source.status().find("bad values: 2 (chunk latitude-deg: 91 is out of range (-90 to 90))"),
              std::string::npos);
    // FlightGear's DME speed spikes when it is retuned: a true value, held at the limit.
    fake.set("latitude-deg", 37.6);
    fake.set("dme-ground-speed-kt", -31665.3);
    frame();
    EXPECT_EQ(source.bad_values(), 2u);
    EXPECT_EQ(store.number(id("avionics_supply")), 1.0);
    EXPECT_EQ(store.number(id("dme_speed")), 5000.0);
    // Idents come as UTF-8 and are drawn in Windows-1252: what it lacks, and what is no UTF-8
    // (cut short, overlong, a surrogate, a stray byte), is one '?' each.
    const std::pair<std::string, std::string> idents[] = {
        {"M\xC3\x9CNCHEN", "M\xDCNCHEN"},
        // clang-format off
        {"\xE2\x82\xAC" "1 \xC5\xA0", "\x80" "1 \x8A"},
        {"\xC5\x81\xC3\x93" "D\xC5\xB9", "?\xD3" "D?"},
        // clang-format on
        {"\xF0\x9F\x98\x80\xC2\x85", "??"},
        {"A\xE2\x82"
         "B\xC3",
         "A?B?"},
        {"\xC0\xAF\xE0\x80\xAF\xED\xA0\x80\xFF", "?????"},
    };
    for (const auto& [sent, shown] : idents) {
        fake.set_text("wp-id", sent);
        frame();
        EXPECT_EQ(store.text(id("waypoint_id")), shown) << sent;
    }
    // A frequency off the DME band reads as none.
    fake.set("latitude-deg", 37.6);
    fake.set("dme-frequency-mhz", 0.0);
    frame();
    EXPECT_EQ(store.integer(id("dme_frequency")), 0x1580);  // the radio keeps what it was tuned to
}

TEST(LiveVariables, NoDatagramForTwoSecondsAndTheSupplyDrops) {
    fakes::FakeFlightGear fake;
    auto owned = std::make_unique<QueueFeed>();
    QueueFeed& feed = *owned;
    LiveSource source(fake.protocol(), std::move(owned), nullptr);
    VariableStore store;
    source.advance_frame();
    source.fill(store);
    EXPECT_EQ(source.link(), LiveSource::Link::listening);
    EXPECT_EQ(store.number(id("avionics_supply")), 0.0);
    EXPECT_EQ(source.status(), "queue  no props");

    feed.queued.push_back(fake.datagram());
    source.advance_frame();
    source.fill(store);
    EXPECT_EQ(source.link(), LiveSource::Link::receiving);
    EXPECT_EQ(store.number(id("avionics_supply")), 1.0);
    feed.clock = 2.0;
    source.advance_frame();
    EXPECT_EQ(source.link(), LiveSource::Link::receiving);
    feed.clock = 2.01;
    source.advance_frame();
    source.fill(store);
    EXPECT_EQ(source.link(), LiveSource::Link::stale);
    EXPECT_EQ(store.number(id("avionics_supply")), 0.0);
    EXPECT_EQ(store.integer(id("gps_status")), 64);
    EXPECT_EQ(source.status().substr(0, 30), "stale: no datagram for 2 s, qu");
    feed.queued.push_back(fake.datagram());
    source.advance_frame();
    source.fill(store);
    EXPECT_EQ(store.number(id("avionics_supply")), 1.0);
    std::vector<std::string> notes;
    source.take_notes(notes);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0], "FlightGear: receiving (queue)");
    EXPECT_EQ(notes[1], "FlightGear: stale: no datagram for 2 s; the supply drops");
    EXPECT_EQ(notes[2], "FlightGear: receiving (queue)");
}

// Over a real socket: of several datagrams waiting, the newest is taken; a malformed newest one
// leaves the good one before it; a silence makes the link stale.
TEST(UdpFeed, TheNewestDatagramOfAFrameWinsAndASilenceMakesTheLinkStale) {
    fakes::FakeFlightGear fake;
    auto owned = std::make_unique<UdpReceiver>("127.0.0.1:0");
    const int port = owned->port();
    ASSERT_GT(port, 0);
    LiveSource source(fake.protocol(), std::move(owned), nullptr);
    VariableStore store;
    EXPECT_EQ(source.status(), "listening on 127.0.0.1:" + std::to_string(port) + "  no props");

    for (double altitude : {1000.0, 2000.0, 3000.0}) {
        fake.set("altitude-ft", altitude);
        fake.send(port);
    }
    source.advance_frame();
    source.fill(store);
    EXPECT_EQ(store.number(id("altitude")), 3000.0);
    EXPECT_EQ(source.skipped(), 2u);

    fake.set("altitude-ft", 4000.0);
    fake.send(port);
    const std::string good = fake.datagram();
    fake.send_raw(port, good.substr(0, 20));                        // truncated
    fake.send_raw(port, "garbage\n");                               // garbage
    fake.send_raw(port, "1,2,3\n");                                 // too few chunks
    fake.send_raw(port, good.substr(0, good.size() - 1) + ",9\n");  // too many
    fake.send_raw(port, std::string(60000, '1') + "\n");            // too long
    source.advance_frame();
    source.fill(store);
    EXPECT_EQ(store.number(id("altitude")), 4000.0);
    EXPECT_EQ(source.malformed(), 5u);
    EXPECT_EQ(source.link(), LiveSource::Link::receiving);
    EXPECT_NE(source.status().find("receiving "), std::string::npos);

    sleep_for(LiveSource::stale_seconds + 0.2);
    source.advance_frame();
    source.fill(store);
    EXPECT_EQ(source.link(), LiveSource::Link::stale);
    EXPECT_EQ(store.number(id("avionics_supply")), 0.0);
    EXPECT_EQ(store.number(id("altitude")), 4000.0);  // the last values stay; the instruments are dark
    fake.send(port);
    source.advance_frame();
    source.fill(store);
    EXPECT_EQ(source.link(), LiveSource::Link::receiving);
    EXPECT_EQ(store.number(id("avionics_supply")), 1.0);
}

// A flood of malformed datagrams, each frame's backlog ending in a good one: every one is
// counted, not only those of a frame's newest few, and so are those the system dropped.
TEST(UdpFeed, EveryMalformedDatagramIsCountedHoweverManyComeAFrame) {
    fakes::FakeFlightGear fake;
    auto owned = std::make_unique<UdpReceiver>("127.0.0.1:0");
    const int port = owned->port();
    LiveSource source(fake.protocol(), std::move(owned), nullptr);
    for (int frame = 0; frame < 200; ++frame) {
        for (int i = 0; i < 99; ++i) fake.send_raw(port, i % 2 ? "garbage\n" : fake.datagram().substr(0, 20));
        fake.send(port);
        source.advance_frame();
    }
    EXPECT_EQ(source.malformed(), 19800u);
    EXPECT_EQ(source.link(), LiveSource::Link::receiving);
    EXPECT_NE(source.status().find("bad data: 19800 malformed (cut short: no line separator at its end)"),
              std::string::npos)
        << source.status();
    // More at once than the socket holds: what the system dropped is counted too.
    for (int i = 0; i < 20000; ++i) fake.send_raw(port, "garbage\n");
    for (int frame = 0; frame < 20; ++frame) source.advance_frame();
    fake.send(port);  // the system tells of drops with the next datagram read
    source.advance_frame();
    EXPECT_GT(source.lost(), 0u);
    EXPECT_EQ(source.malformed() + source.lost(), 39800u);
    EXPECT_NE(source.status().find("  lost: " + std::to_string(source.lost()) + " (more than could be read)"),
              std::string::npos);
}

TEST(UdpFeed, AnAddressThatCannotBeListenedOnIsOneLine) {
    const auto refusal = [](const std::string& listen) {
        try {
            UdpReceiver receiver(listen);
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string("(listening)");
    };
    EXPECT_EQ(refusal("5500"), "--listen 5500: give HOST:PORT, e.g. 127.0.0.1:5500");
    EXPECT_EQ(refusal("127.0.0.1:99999"), "--listen 127.0.0.1:99999: the port must be a number from 0 to 65535");
    UdpReceiver taken("127.0.0.1:0");
    const std::string address = "127.0.0.1:" + std::to_string(taken.port());
    EXPECT_EQ(refusal(address), "--listen " + address + ": cannot listen there (Address already in use)");
}

class KeyEvents : public ::testing::Test {
protected:
    KeyEvents() {
        auto owned = std::make_unique<QueueFeed>();
        feed = owned.get();
        source.emplace(fake.protocol(), std::move(owned),
                       std::make_unique<PropertyClient>("127.0.0.1:" + std::to_string(server.port())));
        frame();
    }
    void frame() {
        feed->queued.push_back(fake.datagram());
        source->advance_frame();
        source->fill(store);
    }
    // Sends the event and returns the lines the server got for it, but for the `data` that opens
    // each connection (which may have come before).
    std::vector<std::string> send(const char* name) {
        const size_t before = server.lines().size();
        EXPECT_TRUE(source->key_event({event(name), 0}));
        for (int i = 0; i < 100 && server.lines().size() == before; ++i) {
            source->advance_frame();
            sleep_for(0.01);
        }
        sleep_for(0.05);
        const std::vector<std::string> lines = server.lines();
        std::vector<std::string> sent;
        for (size_t i = before; i < lines.size(); ++i) {
            if (lines[i] != "data") sent.push_back(lines[i]);
        }
        return sent;
    }
    using Lines = std::vector<std::string>;

    fakes::FakeFlightGear fake;
    fakes::FakePropertyServer server;
    QueueFeed* feed = nullptr;
    std::optional<LiveSource> source;
    VariableStore store;
};

TEST_F(KeyEvents, EachEventIsWrittenAsItsRowSays) {
    EXPECT_EQ(send("baro_up"), (Lines{"set /instrumentation/altimeter/setting-hpa 1014.00"}));
    EXPECT_EQ(server.lines().front(), "data");  // no prompts, and `set` answers nothing
    // Shown at once, and a second step counts from the first before FlightGear reports it.
    frame();
    EXPECT_EQ(store.number(id("baro")), 1014.0);
    EXPECT_EQ(send("baro_up"), (Lines{"set /instrumentation/altimeter/setting-hpa 1015.00"}));
    fake.set("altimeter-setting-hpa", 1015.0);
    frame();
    EXPECT_EQ(send("baro_down"), (Lines{"set /instrumentation/altimeter/setting-hpa 1014.00"}));

    // The DME: a selection stepped on the panel, then tuned through the frequency source.
    EXPECT_TRUE(source->key_event({event("dme_frequency_select"), 0}));
    EXPECT_TRUE(source->key_event({event("dme_mhz_up"), 0}));
    EXPECT_TRUE(source->key_event({event("dme_khz_up"), 0}));
    frame();
    EXPECT_EQ(store.integer(id("dme_set_frequency")), 0x1685);
    EXPECT_EQ(store.integer(id("dme_frequency")), 0x1580);
    EXPECT_EQ(send("dme_frequency_select"),
              (Lines{"set /instrumentation/dme/frequencies/source /instrumentation/dme/frequencies/selected-mhz",
                     "set /instrumentation/dme/frequencies/selected-mhz 116.85"}));
    frame();
    EXPECT_EQ(store.integer(id("dme_frequency")), 0x1685);  // before FlightGear reports it

    EXPECT_EQ(send("gps_direct_to"), (Lines{"set /instrumentation/gps/scratch/ident KOAK",
                                            "set /instrumentation/gps/scratch/latitude-deg 37.7274693",
                                            "set /instrumentation/gps/scratch/longitude-deg -122.2163901",
                                            "set /instrumentation/gps/command direct"}));
    // An event the table does not have is the flight's to note.
    EXPECT_FALSE(source->key_event({0x10000, 0}));
}

// The knob never writes a setting FlightGear's report of would be refused; a setting out of range
// set by something else keeps the last good one, and the link, the supply and the knob work on.
TEST_F(KeyEvents, TheAltimeterSettingStaysInRangeAndOneOutOfRangeDarkensNothing) {
    fake.set("altimeter-setting-hpa", 1099.6);
    frame();
    EXPECT_EQ(send("baro_up"), (Lines{"set /instrumentation/altimeter/setting-hpa 1100.00"}));
    EXPECT_EQ(send("baro_up"), (Lines{"set /instrumentation/altimeter/setting-hpa 1100.00"}));
    fake.set("altimeter-setting-hpa", 1213.0);
    feed->clock = 10.0;
    frame();
    EXPECT_EQ(source->link(), LiveSource::Link::receiving);
    EXPECT_EQ(store.number(id("avionics_supply")), 1.0);
    EXPECT_EQ(store.number(id("baro")), 1099.6);
    EXPECT_EQ(source->malformed(), 0u);
    EXPECT_NE(source->status().find("bad values: 1 (chunk altimeter-setting-hpa: 1213 is out of range (800 to 1100))"),
              std::string::npos);
    EXPECT_EQ(send("baro_down"), (Lines{"set /instrumentation/altimeter/setting-hpa 1099.00"}));
    fake.set("altimeter-setting-hpa", 800.0);
    feed->clock = 20.0;  // past the write's wait for FlightGear's report
    frame();
    EXPECT_EQ(send("baro_down"), (Lines{"set /instrumentation/altimeter/setting-hpa 800.00"}));
    // A waypoint whose position is out of range is no target for a direct-to.
    fake.set("wp-latitude-deg", 95.0);
    frame();
    std::vector<std::string> notes;
    source->take_notes(notes);
    notes.clear();
    EXPECT_EQ(send("gps_direct_to"), Lines{});
    source->take_notes(notes);
    EXPECT_NE(std::find(notes.begin(), notes.end(),
                        "gps_direct_to: not carried out: FlightGear's waypoint position is out of range"),
              notes.end());
}

TEST_F(KeyEvents, EveryCatalogueEventHasARow) {
    for (const KeyEventInfo& info : simulator_catalogue().events()) {
        bool found = false;
        for (const EventRow& row : event_rows()) found = found || row.event == info.name;
        EXPECT_TRUE(found) << info.name;
    }
}

TEST_F(KeyEvents, AnEventThatCannotBeCarriedOutIsNoted) {
    fake.set_text("wp-id", "");
    frame();
    std::vector<std::string> notes;
    source->take_notes(notes);
    notes.clear();
    EXPECT_TRUE(source->key_event({event("gps_direct_to"), 0}));
    source->take_notes(notes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "gps_direct_to: not carried out: FlightGear's GPS has no active waypoint");
}

TEST_F(KeyEvents, ALostConnectionIsMadeAgainAndTheWritesGoOn) {
    EXPECT_EQ(send("baro_up"), (Lines{"set /instrumentation/altimeter/setting-hpa 1014.00"}));
    server.drop_client();
    // The client notices the close at its next pump and connects again after its back-off.
    for (int i = 0; i < 300 && server.connections() < 2; ++i) {
        source->advance_frame();
        sleep_for(0.01);
    }
    EXPECT_EQ(server.connections(), 2u);
    EXPECT_EQ(send("baro_up"), (Lines{"set /instrumentation/altimeter/setting-hpa 1015.00"}));
    const Lines lines = server.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "data"), 2);  // data mode again on the new connection
    std::vector<std::string> notes;
    source->take_notes(notes);
    const std::string props = "props 127.0.0.1:" + std::to_string(server.port());
    EXPECT_NE(std::find(notes.begin(), notes.end(), props + ": connection lost (closed by the server)"), notes.end());
}

TEST(PropertyServer, AServerThatComesUpLaterIsConnectedToWithBackOff) {
    int port = 0;
    {
        fakes::FakePropertyServer gone;
        port = gone.port();
    }
    PropertyClient client("127.0.0.1:" + std::to_string(port));
    client.set("/a", "1");
    for (int i = 0; i < 50 && client.describe().ends_with("connecting"); ++i) {
        client.pump();
        sleep_for(0.01);
    }
    EXPECT_FALSE(client.connected());
    EXPECT_TRUE(client.describe().starts_with("props 127.0.0.1:" + std::to_string(port) +
                                              " down (Connection refused), retry in"))
        << client.describe();
    EXPECT_EQ(client.queued(), 1u);
    fakes::FakePropertyServer server(port);
    for (int i = 0; i < 400 && !client.connected(); ++i) {
        client.pump();
        sleep_for(0.01);
    }
    ASSERT_TRUE(client.connected());
    for (int i = 0; i < 10; ++i) client.pump();
    EXPECT_TRUE(server.wait_for_lines(2, 2.0));
    EXPECT_EQ(server.lines(), (std::vector<std::string>{"data", "set /a 1"}));
}

// A server that keeps sending unasked holds no update: each reads a bounded amount, and the
// connection is dropped with one line naming the server.
TEST(PropertyServer, OneThatKeepsSendingHoldsNoUpdateAndIsDropped) {
    fakes::FakePropertyServer server;
    const std::string props = "props 127.0.0.1:" + std::to_string(server.port());
    PropertyClient client("127.0.0.1:" + std::to_string(server.port()));
    for (int i = 0; i < 200 && !client.connected(); ++i) {
        client.pump();
        sleep_for(0.01);
    }
    ASSERT_TRUE(client.connected());
    server.flood_for(5.0);
    double longest = 0.0;
    for (int i = 0; i < 100 && client.connected(); ++i) {
        const auto start = std::chrono::steady_clock::now();
        client.pump();
        longest = std::max(longest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        sleep_for(0.05);
    }
    EXPECT_LT(longest, 0.1);
    EXPECT_FALSE(client.connected());
    const std::vector<std::string> notes = client.take_notes();
    EXPECT_NE(std::find(notes.begin(), notes.end(),
                        props + ": connection lost (it sends without being asked: more than 64 KB in a second)"),
              notes.end());
    EXPECT_TRUE(client.describe().ends_with("retry in 8 s")) << client.describe();
}

// Whatever builds a write, a path or value that would end the line and start a command is
// refused and noted, never sent.
TEST(PropertyServer, AWriteThatWouldStartACommandIsNotSent) {
    fakes::FakePropertyServer server;
    const std::string props = "props 127.0.0.1:" + std::to_string(server.port());
    PropertyClient client("127.0.0.1:" + std::to_string(server.port()));
    EXPECT_FALSE(client.set("/a\r\nrun exit", "1"));
    EXPECT_FALSE(client.set("/a", "1\nrun exit"));
    EXPECT_FALSE(client.set("/a b", "1"));
    EXPECT_TRUE(client.set("/instrumentation/gps/scratch/ident", "ST JOHN"));
    EXPECT_EQ(client.take_notes(),
              (std::vector<std::string>{props + ": a write to /a??run exit refused: the path holds a line break",
                                        props + ": a write to /a refused: the value holds a control character",
                                        props + ": a write to /a b refused: the path holds a space"}));
    for (int i = 0; i < 200 && !server.wait_for_lines(2, 0.01); ++i) client.pump();
    EXPECT_EQ(server.lines(), (std::vector<std::string>{"data", "set /instrumentation/gps/scratch/ident ST JOHN"}));
}

TEST(PropertyServer, WithoutOneTheWritesAreNotedNotSent) {
    fakes::FakeFlightGear fake;
    auto owned = std::make_unique<QueueFeed>();
    owned->queued.push_back(fake.datagram());
    LiveSource source(fake.protocol(), std::move(owned), nullptr);
    source.advance_frame();
    std::vector<std::string> notes;
    source.take_notes(notes);
    notes.clear();
    EXPECT_TRUE(source.key_event({event("baro_up"), 0}));
    source.take_notes(notes);
    EXPECT_EQ(notes, (std::vector<std::string>{"baro_up: not sent: no property server (--fgfs-props)"}));
}

// Lines of the shipped protocol, one per clock value (none: a line that is not a datagram).
std::string recording_file(const std::string& name, const std::vector<std::optional<double>>& clocks) {
    fakes::FakeFlightGear fake;
    const std::string file = ::testing::TempDir() + name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::optional<double>& clock : clocks) {
        if (!clock) {
            out << "garbage\n";
            continue;
        }
        fake.set("elapsed-sec", *clock);
        out << fake.datagram();
    }
    return file;
}

long peak_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Plays a feed to its end: the frames it took and the datagrams it gave.
std::pair<int, size_t> play_out(ReplayFeed& feed, int most_frames = 100000) {
    std::vector<std::string> into;
    int frames = 0;
    while (!feed.finished() && frames < most_frames) {
        feed.poll(1.0 / 18.0, into);
        ++frames;
    }
    return {frames, into.size()};
}

TEST(Replay, TheRecordingPlaysAtItsOwnTimesTimesTheRate) {
    const Protocol protocol = fakes::shipped_protocol();
    const std::string file = std::string(PANEL_SOURCE_DIR) + "/packaging/flightgear/recording-ksfo.txt";
    const auto frames_to_play = [&](double rate) {
        ReplayFeed feed(file, protocol, rate);
        EXPECT_EQ(feed.ahead()->seconds, 0.0);
        const auto [frames, lines] = play_out(feed);
        EXPECT_EQ(lines, 601u);
        EXPECT_NEAR(feed.now(), 60.0, 0.1 * rate);
        return frames;
    };
    EXPECT_NEAR(frames_to_play(1.0), 1080, 1);
    EXPECT_NEAR(frames_to_play(4.0), 270, 1);
}

TEST(Replay, ALineWithoutAClockFollowsTheOneBefore) {
    RecordingClock clock;
    EXPECT_EQ(clock.time(100.0).seconds, 0.0);
    EXPECT_DOUBLE_EQ(clock.time(std::nullopt).seconds, 0.1);  // at FlightGear's usual pace
    EXPECT_DOUBLE_EQ(clock.time(100.5).seconds, 0.5);
    for (int i = 1; i <= 40; ++i) clock.time(100.0 + i);  // a line a second from here
    EXPECT_NEAR(clock.pace(), 1.0, 1e-9);
    EXPECT_NEAR(clock.time(std::nullopt).seconds, 41.0, 1e-9);
    EXPECT_NEAR(clock.time(std::nullopt).seconds, 42.0, 1e-9);
    EXPECT_NEAR(clock.time(141.5).seconds, 42.0, 1e-9);  // never before the line it follows
    EXPECT_NEAR(clock.time(143.0).seconds, 43.0, 1e-9);
}

// A clock that jumps ahead far past the recording's pace, or back, is a break: the replay goes on
// from the next line a pace later instead of waiting out the gap. A stall of FlightGear is kept.
TEST(Replay, AJumpOfTheClockIsABreakNotAWait) {
    RecordingClock clock;
    clock.time(10.0);
    EXPECT_NEAR(clock.time(10.1).seconds, 0.1, 1e-9);
    const RecordingClock::Timed stall = clock.time(50.1);
    EXPECT_NEAR(stall.seconds, 40.1, 1e-9);
    EXPECT_FALSE(stall.jump);
    EXPECT_NEAR(clock.pace(), 0.1, 1e-9);  // a stall is no pace
    for (double far : {1e9, 1e7, 50.1 + 60.001}) {
        RecordingClock copy = clock;
        const RecordingClock::Timed ahead = copy.time(far);
        EXPECT_NEAR(*ahead.jump, far - 50.1, 1e-6);
        EXPECT_NEAR(ahead.seconds, 40.1 + copy.pace(), 1e-9);
        const RecordingClock::Timed back = copy.time(50.2);  // and back from the glitch
        EXPECT_NEAR(*back.jump, 50.2 - far, 1e-6);
        EXPECT_NEAR(back.seconds, 40.1 + 2 * copy.pace(), 1e-9);
        EXPECT_NEAR(copy.time(50.3).seconds, back.seconds + 0.1, 1e-9);  // its pace again from there
    }

    // End to end: the clock's jumps, a value refused as out of range and numbers that are no
    // numbers are played in the recording's own minute, each jump named by its line.
    const Protocol protocol = fakes::shipped_protocol();
    std::vector<std::optional<double>> clocks;
    for (int i = 0; i < 600; ++i) clocks.push_back(i * 0.1);
    clocks[100] = 1e9;
    clocks[200] = 1e300;
    clocks[300] = 1e7;
    clocks[400] = -1e9;
    clocks[450] = NAN;
    clocks[500] = INFINITY;
    const std::string file = recording_file("replay-jumps.txt", clocks);
    ReplayFeed feed(file, protocol, 1.0);
    const auto [frames, lines] = play_out(feed);
    EXPECT_NEAR(frames, 1080, 3);
    EXPECT_EQ(lines, 600u);
    std::vector<std::string> notes;
    feed.take_notes(notes);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0], file + ":101: the recording's clock jumps 1e+09 s ahead; the replay goes on without the gap");
    EXPECT_EQ(notes[1], file + ":102: the recording's clock goes back 1e+09 s; the replay goes on from there");
    EXPECT_EQ(notes[2].substr(0, file.size() + 5), file + ":301:");
    EXPECT_EQ(notes[3].substr(0, file.size() + 5), file + ":302:");

    // A recording that does nothing but jump says so a few times, then no more.
    std::vector<std::optional<double>> jumping;
    for (int i = 0; i < 100; ++i) jumping.push_back(i % 2 ? 1e9 : 0.0);
    ReplayFeed jumps(recording_file("replay-jumping.txt", jumping), protocol, 1.0);
    EXPECT_LT(play_out(jumps).first, 200);
    notes.clear();
    jumps.take_notes(notes);
    EXPECT_EQ(notes.size(), 10u);
    EXPECT_NE(notes.back().find("jumps again (10 jumps); later ones are not noted"), std::string::npos);
}

// The recording is read a line ahead of the replay: its lines with their numbers, however the
// separator falls across the reads, one longer than any datagram cut; a backlog bounded; and
// what is not a file of lines refused in one line.
TEST(Replay, TheFileIsReadAsItPlays) {
    const std::string file = ::testing::TempDir() + "replay-lines.txt";
    const std::string first(65535, 'a');  // its separator across the first read's end
    std::ofstream(file, std::ios::binary) << first << "\r\n\r\n\r\nb\r\n" << std::string(100000, 'c') << "\r\nd\n";
    LineReader reader(file, "\r\n", 4097);
    std::string line;
    std::vector<std::tuple<size_t, size_t, char>> read;  // number, size, first byte
    while (reader.next(line)) read.emplace_back(reader.number(), line.size(), line.front());
    EXPECT_EQ(read, (std::vector<std::tuple<size_t, size_t, char>>{
                        {1, 4097, 'a'}, {4, 3, 'b'}, {5, 4097, 'c'}, {6, 2, 'd'}}));
    EXPECT_EQ(reader.consumed(), first.size() + 6 + 3 + 100002 + 2);
    EXPECT_TRUE(reader.error().empty());

    // 16 MiB of short lines cost no memory to start: held whole, they took twenty times that.
    const Protocol protocol = fakes::shipped_protocol();
    const std::string large = ::testing::TempDir() + "replay-large.txt";
    {
        std::ofstream out(large, std::ios::binary | std::ios::trunc);
        std::string lines;
        for (int i = 0; i < (1 << 19); ++i) lines += "1\n";
        for (int i = 0; i < 16; ++i) out << lines;
    }
    const long before = peak_kib();
    {
        ReplayFeed feed(large, protocol, 1.0);
        EXPECT_EQ(play_out(feed, 100).first, 100);
    }
    EXPECT_LT(peak_kib() - before, 32 << 10);
    std::filesystem::remove(large);

    // Ten thousand lines at one time, in one update: the newest few handed on, all counted.
    const std::string same = recording_file("replay-same.txt", std::vector<std::optional<double>>(10000, 5.0));
    ReplayFeed feed(same, protocol, 1.0);
    std::vector<std::string> into;
    size_t arrived = feed.poll(0.05, into);
    EXPECT_LT(arrived, 10000u * 182 / 4);  // a MiB of them at most
    EXPECT_EQ(into.size(), ReplayFeed::newest_kept);
    for (int i = 0; i < 10 && !feed.finished(); ++i) arrived += feed.poll(0.05, into);
    EXPECT_EQ(arrived, 10000u);

    const auto refusal = [&](const std::string& name) {
        try {
            ReplayFeed refused(name, protocol, 1.0);
        } catch (const ProtocolError& error) {
            return std::string(error.what());
        }
        return std::string("(read)");
    };
    std::ofstream(file, std::ios::trunc) << "\n\n";
    EXPECT_EQ(refusal(file), file + ": no recorded line");
    const std::string fifo = ::testing::TempDir() + "replay-fifo";
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(refusal(fifo), fifo + ": cannot read (a pipe, not a regular file)");  // not waiting for a writer
    EXPECT_EQ(refusal("/dev/zero"), "/dev/zero: cannot read (a device, not a regular file)");
    std::filesystem::remove(fifo);
}

}  // namespace
