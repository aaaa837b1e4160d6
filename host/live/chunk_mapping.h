// The one table from FlightGear's values to the gauges' variables: each chunk of the protocol,
// by name, with the catalogue variable it feeds and the conversion into the catalogue's unit
// (the factors are those of simulator_units.h, which the simulated world uses too). A value
// outside its row's range is bad data, as a garbled number would be: that value is not taken,
// and the rest of its datagram is.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "datagram.h"
#include "generic_protocol.h"
#include "simulator_catalogue.h"
#include "variable_store.h"

namespace panel::live {

enum class Conversion {
    scale,      // times `factor`
    magnitude,  // the size, times `factor`
    supply,     // volts: 1.0 at or above supply_on_volts, else 0.0
    reception,  // in range or not: the DME's reception figure
    frequency,  // MHz: the radio's BCD
    text,       // FlightGear's UTF-8 in the gauges' Windows-1252
    gps_mode,   // FlightGear's GPS mode: "dto" flies a direct-to, anything else a leg
    none,       // read by panelhost itself (the recording's clock, the direct-to target)
};

struct ChunkMapping {
    std::string_view chunk;     // the protocol's <name>
    std::string_view variable;  // the catalogue's name; empty for Conversion::none
    Conversion conversion;
    double factor = 1.0;
    double low = -1e300, high = 1e300;  // in the chunk's own unit
    // Out of range: the chunk's last good value is kept (the nearer limit before there is one);
    // or, for an indication FlightGear derives and that spikes (the DME's speed after a
    // retune), the value is held at the nearer limit and is no bad data.
    bool clamped = false;
};

// A 12-volt bus on its battery reads well above this, a dead one below.
inline constexpr double supply_on_volts = 9.0;

std::span<const ChunkMapping> chunk_mappings();
// The row of a chunk, by name, or null.
const ChunkMapping* chunk_mapping(std::string_view chunk);

// The DME channel nearest `mhz`, in hundredths of a megahertz; none off the band.
std::optional<int> dme_channel(double mhz);

// The values of the last good datagram, by chunk, and the variables made from them.
class LiveVariables {
public:
    // Throws ProtocolError for a chunk of the wrong type for its row, std::invalid_argument when
    // a row names a variable the catalogue lacks.
    LiveVariables(const Protocol& protocol, const Catalogue& catalogue);

    // What the protocol and the table do not share, one line each: chunks nobody reads (they
    // are ignored) and rows no chunk feeds (their variables read 0).
    const std::vector<std::string>& notes() const { return notes_; }

    // Takes a parsed datagram, but for its values out of their rows' ranges: those keep their
    // last good value, and are returned, one line each ("chunk NAME: VALUE is out of range
    // (LOW to HIGH)").
    std::vector<std::string> take(const std::vector<ChunkValue>& values);
    bool has_values() const { return !values_.empty(); }
    // Whether the chunk's value of the last datagram was out of range, and so not taken.
    bool held(std::string_view chunk) const;

    // The last value of a chunk, by name: none before the first datagram or when the protocol
    // has no such chunk.
    std::optional<double> number(std::string_view chunk) const;
    std::optional<std::string> text(std::string_view chunk) const;

    // Writes every variable a chunk feeds. Without `receiving` (nothing yet, or stale) the
    // supply is off and the navigator has no position, as with the avionics switched off.
    void fill(VariableStore& store, bool receiving) const;

private:
    struct Row {
        const ChunkMapping* mapping;
        int chunk;  // in the protocol
        uint32_t id;
    };

    const Protocol& protocol_;
    std::vector<Row> rows_;
    std::vector<ChunkValue> values_;
    std::vector<bool> held_;  // by chunk
    std::vector<std::string> notes_;
    uint32_t supply_id_, gps_status_id_;
};

}  // namespace panel::live
