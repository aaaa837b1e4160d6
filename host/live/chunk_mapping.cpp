#include "chunk_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "simulator_units.h"
#include "windows1252.h"

namespace panel::live {
namespace {

using enum Conversion;
using namespace panel::units;

// By the protocol's chunk names (packaging/flightgear/panelhost.xml). FlightGear's headings and
// bearings are true, as the gauges read them.
constexpr ChunkMapping mappings[] = {
    {"elapsed-sec", "", none, 1.0, 0.0, 1e9},
    {"latitude-deg", "latitude", scale, latitude_units_per_degree, -90.0, 90.0},
    {"longitude-deg", "longitude", scale, longitude_units_per_degree, -180.0, 180.0},
    {"altitude-ft", "altitude", scale, 1.0, -2000.0, 100000.0},
    {"altitude-agl-ft", "height", scale, metres_per_foot, -2000.0, 100000.0},
    {"airspeed-kt", "airspeed", scale, 1.0, -100.0, 2000.0},
    {"groundspeed-kt", "ground_speed", scale, knots_to_metres_per_second, -1.0, 5000.0},
    {"vertical-speed-fps", "vertical_speed", scale, vertical_speed_units_per_fps, -2000.0, 2000.0},
    {"heading-deg", "heading", scale, 1.0, -360.0, 720.0},
    {"wind-from-heading-deg", "wind_direction", scale, 1.0, -360.0, 720.0},
    {"wind-speed-kt", "wind_speed", scale, 1.0, 0.0, 500.0},
    {"utc-hour", "utc_hours", scale, 1.0, 0.0, 23.0},
    {"utc-minute", "utc_minutes", scale, 1.0, 0.0, 59.0},
    {"utc-second", "", none, 1.0, 0.0, 60.0},
    {"obs-deg", "obs", scale, 1.0, -360.0, 720.0},
    {"altimeter-setting-hpa", "baro", scale, 1.0, 800.0, 1100.0},  // a hectopascal is a millibar
    {"supply-volts", "avionics_supply", supply, 1.0, -1000.0, 1000.0},
    {"gps-mode", "gps_status", gps_mode},
    {"wp-id", "waypoint_id", text},
    {"wp-latitude-deg", "", none, 1.0, -90.0, 90.0},
    {"wp-longitude-deg", "", none, 1.0, -180.0, 180.0},
    // FlightGear's GPS gives -1 and -9999 while it has no waypoint.
    {"wp-distance-nm", "waypoint_distance", scale, metres_per_nm, -1.0, 25000.0},
    {"wp-bearing-true-deg", "waypoint_bearing", scale, radians(1.0), -10000.0, 720.0},
    // Negative right of the leg, as the gauges' cross track.
    {"wp-course-error-nm", "cross_track", scale, metres_per_nm, -25000.0, 25000.0},
    {"leg-true-course-deg", "desired_track", scale, radians(1.0), -10000.0, 720.0},
    {"dme-frequency-mhz", "dme_frequency", frequency, 1.0, 0.0, 1000.0},
    {"dme-in-range", "dme_reception", reception},
    {"dme-distance-nm", "dme_distance", scale, 1.0, -1.0, 10000.0},
    // FlightGear derives it from the change of distance, so a retune gives a spike of
    // thousands of knots for a moment.
    {"dme-ground-speed-kt", "dme_speed", magnitude, 1.0, -5000.0, 5000.0, true},
};

int32_t frequency_bcd(double mhz) {
    const std::optional<int> channel = dme_channel(mhz);
    return channel ? bcd_frequency(*channel) : 0;
}

bool reads_text(Conversion conversion) {
    return conversion == Conversion::text || conversion == gps_mode;
}

}  // namespace

std::span<const ChunkMapping> chunk_mappings() {
    return mappings;
}

const ChunkMapping* chunk_mapping(std::string_view chunk) {
    for (const ChunkMapping& mapping : mappings) {
        if (mapping.chunk == chunk) return &mapping;
    }
    return nullptr;
}

std::optional<int> dme_channel(double mhz) {
    if (!(mhz >= 100.0 && mhz <= 200.0)) return std::nullopt;
    const int hundredths = static_cast<int>(std::lround(mhz * 100.0 / dme_channel_step)) * dme_channel_step;
    if (hundredths < lowest_dme_frequency || hundredths > highest_dme_frequency) return std::nullopt;
    return hundredths;
}

LiveVariables::LiveVariables(const Protocol& protocol, const Catalogue& catalogue)
    : protocol_(protocol),
      supply_id_(catalogue.variable_id("avionics_supply")),
      gps_status_id_(catalogue.variable_id("gps_status")) {
    for (const ChunkMapping& mapping : mappings) {
        const int chunk = protocol.chunk_index(mapping.chunk);
        const uint32_t id = mapping.variable.empty() ? 0 : catalogue.variable_id(mapping.variable);
        if (chunk < 0) {
            notes_.push_back(protocol.file + ": no chunk " + std::string(mapping.chunk) +
                             (mapping.variable.empty() ? "" : ": " + std::string(mapping.variable) + " reads 0"));
            continue;
        }
        const Chunk& given = protocol.chunks[chunk];
        if (reads_text(mapping.conversion) != (given.type == ChunkType::text)) {
            throw ProtocolError(protocol.file + ":" + std::to_string(given.line) + ": chunk " + given.name +
                                " must be of type " +
                                (reads_text(mapping.conversion) ? "string" : "int, float, double or bool"));
        }
        rows_.push_back({&mapping, chunk, id});
    }
    for (const Chunk& chunk : protocol.chunks) {
        bool known = false;
        for (const ChunkMapping& mapping : mappings) known = known || mapping.chunk == chunk.name;
        if (!known) {
            notes_.push_back(protocol.file + ":" + std::to_string(chunk.line) + ": chunk " + chunk.name +
                             " feeds no instrument; it is ignored");
        }
    }
}

std::vector<std::string> LiveVariables::take(const std::vector<ChunkValue>& values) {
    std::vector<std::string> problems;
    std::vector<ChunkValue> taken = values;
    held_.assign(values.size(), false);
    for (const Row& row : rows_) {
        const ChunkMapping& mapping = *row.mapping;
        if (protocol_.chunks[row.chunk].type == ChunkType::text) continue;
        double& value = taken[row.chunk].number;
        if (value >= mapping.low && value <= mapping.high) continue;
        const double limited = std::clamp(value, mapping.low, mapping.high);
        if (mapping.clamped) {
            value = limited;
            continue;
        }
        char text[96];
        std::snprintf(text, sizeof text, "%g is out of range (%g to %g)", value, mapping.low, mapping.high);
        problems.push_back("chunk " + protocol_.chunks[row.chunk].name + ": " + text);
        value = values_.empty() ? limited : values_[row.chunk].number;
        held_[row.chunk] = true;
    }
    values_ = std::move(taken);
    return problems;
}

bool LiveVariables::held(std::string_view chunk) const {
    const int index = protocol_.chunk_index(chunk);
    return index >= 0 && static_cast<size_t>(index) < held_.size() && held_[index];
}

std::optional<double> LiveVariables::number(std::string_view chunk) const {
    const int index = protocol_.chunk_index(chunk);
    if (index < 0 || values_.empty()) return std::nullopt;
    return values_[index].number;
}

std::optional<std::string> LiveVariables::text(std::string_view chunk) const {
    const int index = protocol_.chunk_index(chunk);
    if (index < 0 || values_.empty()) return std::nullopt;
    return values_[index].text;
}

void LiveVariables::fill(VariableStore& store, bool receiving) const {
    if (!values_.empty()) {
        for (const Row& row : rows_) {
            const ChunkValue& value = values_[row.chunk];
            switch (row.mapping->conversion) {
                case scale: store.set_number(row.id, value.number * row.mapping->factor); break;
                case magnitude: store.set_number(row.id, std::abs(value.number) * row.mapping->factor); break;
                case supply: store.set_number(row.id, value.number >= supply_on_volts ? 1.0 : 0.0); break;
                case reception:
                    store.set_number(row.id, value.number != 0.0 ? dme_reception_in_range : dme_reception_none);
                    break;
                case frequency: store.set_integer(row.id, frequency_bcd(value.number)); break;
                case Conversion::text: store.set_text(row.id, utf8_to_windows1252(value.text)); break;
                case gps_mode:
                    store.set_integer(row.id,
                                      value.text == "dto" ? gps_status_leg | gps_status_direct_bit : gps_status_leg);
                    break;
                case none: break;
            }
        }
    }
    if (!receiving) {
        store.set_number(supply_id_, 0.0);
        store.set_integer(gps_status_id_, gps_status_no_position);
    }
}

}  // namespace panel::live
