// The simulator variables and key events that the gauges use: each id once, with its name,
// type, unit and meaning. The variable store, the scripts, the simulated world and any live
// source of variables all look ids up here instead of repeating bare numbers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace panel {

// How a gauge reads the 8-byte value: an IEEE double, a signed integer in the low 32 bits,
// or a pointer to NUL-terminated text there.
enum class VariableType { number, integer, text };

const char* type_name(VariableType type);

struct VariableInfo {
    uint32_t id;
    std::string_view name;
    VariableType type;
    std::string_view unit;
    std::string_view meaning;
};

struct KeyEventInfo {
    uint32_t id;
    std::string_view name;
    std::string_view meaning;
};

// A set of variables and events, searchable by id and by name. The simulator's own is
// simulator_catalogue(); tests build small ones for their probe modules.
class Catalogue {
public:
    Catalogue(std::span<const VariableInfo> variables, std::span<const KeyEventInfo> events);

    const VariableInfo* variable(uint32_t id) const;
    const VariableInfo* variable(std::string_view name) const;
    const KeyEventInfo* event(uint32_t id) const;
    const KeyEventInfo* event(std::string_view name) const;
    // The id of a variable or event the code names, which must be in the catalogue; throws
    // std::invalid_argument otherwise (a programming error, found at start-up).
    uint32_t variable_id(std::string_view name) const;
    uint32_t event_id(std::string_view name) const;
    // The position of `id` in variables(), or -1: a dense index for per-variable tables.
    int index_of(uint32_t id) const;

    std::span<const VariableInfo> variables() const { return variables_; }
    std::span<const KeyEventInfo> events() const { return events_; }

private:
    // Ids below this are found by a direct table: every lookup of every frame asks, most of
    // them for small ids.
    static constexpr uint32_t direct_ids = 4096;

    std::span<const VariableInfo> variables_;
    std::span<const KeyEventInfo> events_;
    std::vector<int16_t> direct_;                  // index by id, -1 for none
    std::vector<std::pair<uint32_t, int>> by_id_;  // the rest, sorted by id
};

// Every variable either gauge reads (its input list and its elements' own variables) and
// every event either gauge sends.
const Catalogue& simulator_catalogue();

// A name for display: the catalogue's name, or the bare number for an id it does not hold.
std::string describe_variable(const Catalogue& catalogue, uint32_t id);
std::string describe_event(const Catalogue& catalogue, uint32_t id);

}  // namespace panel
