// Writes the repository's recording of a live flight: the simulated world flown by a fixed
// script and written as FlightGear writes its protocol lines, ten a second. West of San
// Francisco's VOR-DME at 3000 ft, heading for Oakland; half a minute in, a direct-to and a turn.
//   make_live_recording PROTOCOL_FILE OUTPUT_FILE
#include <cmath>
#include <cstdio>
#include <fstream>

#include "world.h"
#include "world_chunks.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_live_recording PROTOCOL_FILE OUTPUT_FILE\n");
        return 2;
    }
    try {
        using namespace panel;
        const live::Protocol protocol = live::read_protocol(argv[1]);
        sim::FlightSetup setup;
        setup.start = {37.5800, -122.4300};
        setup.altitude_ft = 3000.0;
        setup.heading_deg = 60.0;
        setup.airspeed_kt = 110.0;
        setup.wind = {300.0, 10.0};
        setup.baro_mb = 1013.0;
        setup.utc = {20, 4, 0};
        setup.flight_plan = {{"SFO", {37.6195, -122.3738}}, {"KOAK", {37.7213, -122.2208}}};
        setup.active_waypoint = 1;
        setup.dme = {"SFO", 115.80, {37.6195, -122.3738}, 0.0, 40.0};
        setup.dme_tuned_mhz = 115.80;
        sim::World world(setup);

        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        constexpr int lines_per_second = 10;
        constexpr int seconds = 60;
        bool direct_to = false;
        long written = -1;
        for (uint64_t frame = 0; frame <= seconds * sim::World::frames_per_second; ++frame) {
            if (frame == 30 * sim::World::frames_per_second) {
                world.key_event({simulator_catalogue().event_id("gps_direct_to"), 0});
                direct_to = true;
                world.fly_heading(45.0);
            }
            // A line whenever the clock has passed the next tenth of a second.
            const long due = static_cast<long>(
                std::floor(static_cast<double>(frame) * lines_per_second / sim::World::frames_per_second));
            if (due > written) {
                out << live::fakes::world_datagram(world, protocol, direct_to);
                written = due;
            }
            world.advance_frame();
        }
        out.close();
        if (!out) throw std::runtime_error(std::string(argv[2]) + ": cannot write");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    return 0;
}
