#include "simulator_catalogue.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace panel {
namespace {

using enum VariableType;

// Sorted by id. Units are those in which the gauges read the value.
constexpr VariableInfo simulator_variables[] = {
    {1, "tick", number, "updates", "panel update counter, 18 a second; ends the GPS start-up delay"},
    {2, "unused_2", number, "", "read by the GPS every update, never used"},
    {5, "unused_5", number, "", "read by the GPS every update, never used"},
    {6, "utc_hours", number, "h", "UTC clock hours"},
    {7, "utc_minutes", number, "min", "UTC clock minutes"},
    {27, "dme_frequency", integer, "BCD",
     "tuned DME frequency: four BCD digits after a leading 1 (0x1345 is 113.45 MHz)"},
    {35, "dme_distance", number, "nm", "DME slant distance to the station"},
    {36, "dme_speed", number, "kt", "DME ground speed towards or from the station"},
    {40, "unused_40", number, "", "read by the GPS every update, never used"},
    {45, "obs", number, "deg", "course selected on the OBS"},
    {58, "dme_reception", number, "", "DME signal: above 255 in range, below 255 out of range"},
    {60, "unused_60", number, "", "read by the GPS every update, never used"},
    {61, "airspeed", number, "kt", "indicated airspeed"},
    {65, "vertical_speed", number, "m/s/256", "vertical speed in 1/256 metre per second"},
    {74, "altitude", number, "ft", "indicated altitude"},
    {75, "baro", number, "mb", "altimeter pressure setting"},
    {81, "heading", number, "deg", "heading"},
    {84, "rmi", number, "deg", "RMI needle bearing"},
    {343, "wind_speed", number, "kt", "wind speed"},
    {344, "wind_direction", number, "deg", "direction the wind blows from"},
    {372, "unused_372", number, "", "read by the DME every update, never used"},
    {604, "seconds", number, "s", "simulation clock in seconds; timers and blink clocks"},
    {614, "height", number, "m", "height above the ground"},
    {773, "avionics_supply", number, "", "1.0 while the avionics bus is supplied"},
    {827, "latitude", number, "1/111130.555557 deg", "latitude, 111130.555557 units per degree, north positive"},
    {828, "longitude", number, "1/11930430 deg", "longitude, 11930430 units per degree, east positive"},
    {831, "gps_status", integer, "",
     "navigator status code: 7 flies a leg, 39 a direct-to leg, 64 and 72 no usable position"},
    {832, "ground_speed", number, "m/s", "ground speed"},
    {834, "unused_834", number, "", "read by the GPS every update, never used"},
    {835, "waypoint_distance", number, "m", "distance to the active waypoint"},
    {836, "waypoint_bearing", number, "rad", "true bearing to the active waypoint"},
    {837, "cross_track", number, "m", "signed distance off the leg, positive when left of it (fly right)"},
    {838, "desired_track", number, "rad", "true course of the active leg"},
    {839, "waypoint_id", text, "", "identifier of the active waypoint"},
    {847, "unused_847", number, "", "read by the GPS every update, never used"},
    {873, "dme_set_frequency", integer, "BCD", "DME frequency being selected, as dme_frequency"},
};

constexpr KeyEventInfo simulator_events[] = {
    {0x1006C, "dme_mhz_down", "DME selection: one megahertz down, 108 wraps to 117"},
    {0x1006D, "dme_mhz_up", "DME selection: one megahertz up, 117 wraps to 108"},
    {0x1006E, "dme_khz_down", "DME selection: 0.05 MHz down within the megahertz, wrapping"},
    {0x1006F, "dme_khz_up", "DME selection: 0.05 MHz up within the megahertz, wrapping"},
    {0x1015B, "baro_up", "altimeter setting one millibar up"},
    {0x1015C, "baro_down", "altimeter setting one millibar down"},
    {0x10174, "gps_direct_to", "direct leg from the present position to the active waypoint"},
    {0x10394, "dme_frequency_select", "starts DME frequency selection, or ends it and tunes the radio"},
};

}  // namespace

const char* type_name(VariableType type) {
    switch (type) {
        case VariableType::number: return "number";
        case VariableType::integer: return "integer";
        case VariableType::text: return "text";
    }
    return "?";
}

Catalogue::Catalogue(std::span<const VariableInfo> variables, std::span<const KeyEventInfo> events)
    : variables_(variables), events_(events), direct_(direct_ids, -1) {
    for (size_t i = 0; i < variables.size(); ++i) {
        if (variables[i].id < direct_ids && i < INT16_MAX) direct_[variables[i].id] = static_cast<int16_t>(i);
        else by_id_.emplace_back(variables[i].id, static_cast<int>(i));
    }
    std::sort(by_id_.begin(), by_id_.end());
}

int Catalogue::index_of(uint32_t id) const {
    if (id < direct_ids) return direct_[id];
    auto found = std::lower_bound(by_id_.begin(), by_id_.end(), std::pair<uint32_t, int>{id, -1});
    return found != by_id_.end() && found->first == id ? found->second : -1;
}

const VariableInfo* Catalogue::variable(uint32_t id) const {
    int index = index_of(id);
    return index < 0 ? nullptr : &variables_[index];
}

const VariableInfo* Catalogue::variable(std::string_view name) const {
    for (const VariableInfo& info : variables_) {
        if (info.name == name) return &info;
    }
    return nullptr;
}

const KeyEventInfo* Catalogue::event(uint32_t id) const {
    for (const KeyEventInfo& info : events_) {
        if (info.id == id) return &info;
    }
    return nullptr;
}

const KeyEventInfo* Catalogue::event(std::string_view name) const {
    for (const KeyEventInfo& info : events_) {
        if (info.name == name) return &info;
    }
    return nullptr;
}

uint32_t Catalogue::variable_id(std::string_view name) const {
    const VariableInfo* info = variable(name);
    if (info == nullptr) throw std::invalid_argument("the simulator catalogue has no variable " + std::string(name));
    return info->id;
}

uint32_t Catalogue::event_id(std::string_view name) const {
    const KeyEventInfo* info = event(name);
    if (info == nullptr) throw std::invalid_argument("the simulator catalogue has no event " + std::string(name));
    return info->id;
}

const Catalogue& simulator_catalogue() {
    static const Catalogue catalogue(simulator_variables, simulator_events);
    return catalogue;
}

std::string describe_variable(const Catalogue& catalogue, uint32_t id) {
    const VariableInfo* info = catalogue.variable(id);
    return info ? std::to_string(id) + " (" + std::string(info->name) + ")" : std::to_string(id);
}

std::string describe_event(const Catalogue& catalogue, uint32_t id) {
    const KeyEventInfo* info = catalogue.event(id);
    return info ? std::string(info->name) : std::to_string(id);
}

}  // namespace panel
