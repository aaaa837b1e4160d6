#include "world_chunks.h"

#include <stdexcept>

#include "geo.h"

namespace panel::live::fakes {

ChunkState world_chunk(const sim::World& world, const std::string& chunk, bool direct_to) {
    const sim::GeoPoint here = world.position();
    const sim::GeoPoint waypoint = world.plan().active().position;
    const sim::UtcTime utc = world.utc();
    const double elapsed = static_cast<double>(world.clock().tick()) / sim::World::frames_per_second;
    if (chunk == "elapsed-sec") return {elapsed};
    if (chunk == "latitude-deg") return {here.latitude_deg};
    if (chunk == "longitude-deg") return {here.longitude_deg};
    if (chunk == "altitude-ft") return {world.altitude_ft()};
    if (chunk == "altitude-agl-ft") return {world.altitude_ft()};  // the world's ground lies at 0 ft
    if (chunk == "airspeed-kt") return {world.airspeed_kt()};
    if (chunk == "groundspeed-kt") return {world.ground_speed_kt()};
    if (chunk == "vertical-speed-fps") return {world.vertical_speed_fpm() / 60.0};
    if (chunk == "heading-deg") return {world.heading_deg()};
    if (chunk == "wind-from-heading-deg") return {world.wind().from_deg};
    if (chunk == "wind-speed-kt") return {world.wind().speed_kt};
    if (chunk == "utc-hour") return {static_cast<double>(utc.hours)};
    if (chunk == "utc-minute") return {static_cast<double>(utc.minutes)};
    if (chunk == "utc-second") return {static_cast<double>(utc.seconds)};
    if (chunk == "obs-deg") return {0.0};
    if (chunk == "altimeter-setting-hpa") return {world.baro_mb()};
    if (chunk == "supply-volts") return {world.supply_on() ? 28.0 : 0.0};
    if (chunk == "gps-mode") return {0.0, direct_to ? "dto" : "leg"};
    if (chunk == "wp-id") return {0.0, world.plan().active().ident};
    if (chunk == "wp-latitude-deg") return {waypoint.latitude_deg};
    if (chunk == "wp-longitude-deg") return {waypoint.longitude_deg};
    if (chunk == "wp-distance-nm") return {world.waypoint_distance_m() / sim::metres_per_nm};
    if (chunk == "wp-bearing-true-deg") return {sim::initial_bearing_deg(here, waypoint)};
    if (chunk == "wp-course-error-nm") return {world.cross_track_m() / sim::metres_per_nm};
    if (chunk == "leg-true-course-deg") return {sim::initial_bearing_deg(world.plan().leg_origin(), waypoint)};
    if (chunk == "dme-frequency-mhz") return {world.dme_tuned_mhz()};
    if (chunk == "dme-in-range") return {world.dme_in_range() ? 1.0 : 0.0};
    if (chunk == "dme-distance-nm") return {world.dme().slant_nm()};
    if (chunk == "dme-ground-speed-kt") return {world.dme().speed_kt()};
    throw std::invalid_argument("the world gives no chunk " + chunk);
}

std::string world_datagram(const sim::World& world, const Protocol& protocol, bool direct_to) {
    std::string datagram;
    for (size_t i = 0; i < protocol.chunks.size(); ++i) {
        const Chunk& chunk = protocol.chunks[i];
        const ChunkState state = world_chunk(world, chunk.name, direct_to);
        if (i > 0) datagram += protocol.var_separator;
        datagram += format_chunk(chunk, state.number, state.text);
    }
    return datagram + protocol.line_separator;
}

}  // namespace panel::live::fakes
